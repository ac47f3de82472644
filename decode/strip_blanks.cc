// Removal of spaces, carriage returns and line feeds from a text.
#include "decode/strip_blanks.h"

char* strip_blanks(char* text) {
  char* kept = text;
  for (const char* read = text; *read != '\0'; ++read) {
    if (*read != ' ' && *read != '\r' && *read != '\n') *kept++ = *read;
  }
  *kept = '\0';
  return text;
}

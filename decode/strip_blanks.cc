// Removal of spaces, carriage returns and line feeds from a text.
#include "decode/strip_blanks.h"

#include <cstring>

char* strip_blanks(char* text) {
  // Most texts have few blanks or none: the library's scan skips to the
  // first one, and only the rest is moved character by character.
  char* kept = text + std::strcspn(text, " \r\n");
  for (const char* read = kept; *read != '\0'; ++read) {
    if (*read != ' ' && *read != '\r' && *read != '\n') *kept++ = *read;
  }
  *kept = '\0';
  return text;
}

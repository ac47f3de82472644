// Field names in UTF-8, kept until the definitions are read again.
#include "explain/field_name_text.h"

#include "decode/field_table.h"
#include "encoding/cp936_to_utf8.h"

const std::string& field_name_utf8(int number) {
  static std::string names[kFieldRows];
  static unsigned generation = 0;
  if (generation != field_defs_generation) {
    generation = field_defs_generation;
    for (int row = 0; row < kFieldRows; ++row) {
      names[row].clear();
      append_text_as_utf8(field_names[row], &names[row]);
    }
  }
  return names[number];
}

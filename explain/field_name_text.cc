// Field names in UTF-8, kept until names of another dialect are asked for.
#include "explain/field_name_text.h"

#include "encoding/cp936_to_utf8.h"

const std::string& field_name_utf8(const Dialect& dialect, int number) {
  static std::string names[kFieldRows];
  static unsigned converted_id = 0;
  if (converted_id != dialect.id) {
    converted_id = dialect.id;
    for (int row = 0; row < kFieldRows; ++row) {
      names[row].clear();
      append_text_as_utf8(dialect.names[row], &names[row]);
    }
  }
  return names[number];
}

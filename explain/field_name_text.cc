// Field names in UTF-8, converted when another dialect is asked about.
#include "explain/field_name_text.h"

#include "encoding/cp936_to_utf8.h"

const std::string& FieldNameTexts::name(const Dialect& dialect, int number) {
  if (dialect_id_ != dialect.id) {
    dialect_id_ = dialect.id;
    for (int row = 0; row < kFieldRows; ++row) {
      names_[row].clear();
      append_text_as_utf8(dialect.names[row], &names_[row]);
    }
  }
  return names_[number];
}

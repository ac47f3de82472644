// Code tables: binary search, and the meaning of an element made of codes.
#include "fields/code_table.h"

#include <algorithm>

#include "fields/digits.h"

std::string_view find_meaning(const CodeTable& table, int code) {
  const CodeMeaning* end = table.rows + table.count;
  const CodeMeaning* row =
      std::lower_bound(table.rows, end, code,
                       [](const CodeMeaning& entry, int value) { return entry.last < value; });
  return row != end && row->first <= code ? row->meaning : std::string_view();
}

bool describe_code(const CodeTable& table, const unsigned char* digits, int width,
                   std::string* out) {
  const std::string_view meaning = find_meaning(table, digits_value(digits, width));
  if (meaning.empty()) return false;
  out->append(meaning);
  return true;
}

bool describe_parts(const unsigned char* digits, const CodePart* parts, int count,
                    std::string* out) {
  const std::string::size_type start = out->size();
  bool any_known = false;
  for (int k = 0; k < count; ++k) {
    const CodePart& part = parts[k];
    const unsigned char* code = digits + part.offset;
    if (k > 0) out->append(", ");
    const std::string_view meaning = find_meaning(part.table, digits_value(code, part.width));
    if (!meaning.empty()) {
      out->append(part.prefix).append(meaning);
      any_known = true;
    } else {
      out->append(part.prefix)
          .append(part.unknown)
          .append(reinterpret_cast<const char*>(code), static_cast<size_t>(part.width));
    }
  }
  if (!any_known) out->resize(start);
  return any_known;
}

// The explanation of a decoded message, a report for people in UTF-8: one
// block per field with its name, length, value and meaning, the chip data
// of field 55 as a tree of named elements with the meanings of their bits
// and codes, the parts of composite fields as a tree below their field,
// and the verdict in words.
#ifndef EXPLAIN_EXPLAIN_REPORT_H_
#define EXPLAIN_EXPLAIN_REPORT_H_

#include <string>
#include <vector>

#include "decode/decoded_message.h"
#include "decode/report.h"
#include "explain/chip_data_tree.h"
#include "explain/field_name_text.h"
#include "fields/field_meaning.h"

// Writes explanations, keeping what it works with from one message to the
// next: an output keeps one for all its messages.
class ExplanationWriter {
 public:
  // Appends the explanation of `message` to `text`, with LF line ends.
  void write(const DecodedMessage& message, std::string* text);

 private:
  // Writes the parts of composite `field` as a tree below it, or why its
  // data does not fit its layout.
  void write_parts(const DecodedMessage& message, const DecodedField& field, ReportWriter* out);

  WriterRoom room_;  // where an explanation is written
  FieldMeaning meaning_;
  std::vector<ExplainedElement> tree_;
  FieldNameTexts names_;
  std::string shown_;  // a masked value
  std::string utf8_;   // a value in UTF-8
  std::string name_;   // a part's name in UTF-8
};

// Writes the value of `field` for people: its text in UTF-8 when it is
// printable, else "hex " and its bytes in hexadecimal; binary data always
// in hexadecimal. What masking hides shows as '*'. `shown` and `utf8` are
// room to work in.
void write_field_value(const DecodedField& field, std::string* shown, std::string* utf8,
                       ReportWriter* out);

// The verdict of `verdict` in words: "unpacked", "too short: the fields
// need 33 bytes, the message has 24", …
std::string verdict_in_words(const UnpackVerdict& verdict);

#endif  // EXPLAIN_EXPLAIN_REPORT_H_

// The explanation of a decoded message, a report for people in UTF-8: one
// block per field with its name, length, value and meaning, the chip data
// of field 55 as a tree of named elements with the meanings of their bits
// and codes, and the verdict in words.
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
  WriterRoom room_;  // where an explanation is written
  FieldMeaning meaning_;
  std::vector<ExplainedElement> tree_;
  FieldNameTexts names_;
  std::string shown_;  // a masked value
  std::string utf8_;   // a value in UTF-8
};

#endif  // EXPLAIN_EXPLAIN_REPORT_H_

// The explanation output: a report for people of each message, in UTF-8.
#ifndef CLI_EXPLAIN_MESSAGE_WRITER_H_
#define CLI_EXPLAIN_MESSAGE_WRITER_H_

#include "cli/message_writer.h"
#include "explain/explain_report.h"

class ExplainMessageWriter : public MessageWriter {
 public:
  // `separate`: an empty line after each message, for inputs of many.
  explicit ExplainMessageWriter(bool separate) : separate_(separate) {}

  void write_decoded(const MessageOrigin& origin, size_t byte_count, DecodeOutcome outcome,
                     const DecodedMessage& message, Output* output) override;
  void write_rejected(const MessageOrigin& origin, const Refusal& refusal,
                      Output* output) override;

 private:
  bool separate_;
  ExplanationWriter explanation_;
};

#endif  // CLI_EXPLAIN_MESSAGE_WRITER_H_

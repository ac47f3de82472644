// The explanation of each message.
#include "cli/explain_message_writer.h"

#include "explain/explain_report.h"

void ExplainMessageWriter::write_decoded(const MessageOrigin& origin, size_t byte_count,
                                         DecodeOutcome, const DecodedMessage& message,
                                         Output* output) {
  std::string* text = output->pending();
  append_capture_heading(origin, byte_count, "\n", text);
  write_explanation(message, text);
  if (separate_) *text += '\n';
  output->maybe_flush();
}

void ExplainMessageWriter::write_rejected(const MessageOrigin&, DecodeOutcome, Output*) {}

// The explanation of each message.
#include "cli/explain_message_writer.h"

void ExplainMessageWriter::write_decoded(const MessageOrigin& origin, size_t byte_count,
                                         DecodeOutcome, const DecodedMessage& message,
                                         Output* output) {
  std::string* text = output->pending();
  append_capture_heading(origin, byte_count, "\n", text);
  explanation_.write(message, text);
  const size_t trailing = trailing_bytes(byte_count, message);
  if (trailing > 0) *text += "Trailing: " + trailing_text(trailing) + "\n";
  if (separate_) *text += '\n';
  output->maybe_flush();
}

void ExplainMessageWriter::write_rejected(const MessageOrigin&, const Refusal&, Output*) {}

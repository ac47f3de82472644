// One JSON object a line.
#include "cli/json_message_writer.h"

void JsonMessageWriter::begin(const MessageOrigin& origin, Output* output) {
  json_.begin(output->pending());
  if (origin.line > 0) json_.add("line", origin.line);
  if (!origin.time.empty()) {
    json_.add("time", origin.time);
    json_.add("src", origin.source);
    json_.add("dst", origin.destination);
    json_.add("connection", origin.connection);
    json_.add("seq", origin.sequence);
  }
}

void JsonMessageWriter::end(Output* output) {
  json_.end();
  *output->pending() += '\n';
  output->maybe_flush();
}

void JsonMessageWriter::write_decoded(const MessageOrigin& origin, size_t, DecodeOutcome,
                                      const DecodedMessage& message, Output* output) {
  begin(origin, output);
  json_.add_decoded(message);
  if (masked_) json_.add_flag("masked");
  end(output);
}

void JsonMessageWriter::write_rejected(const MessageOrigin& origin, DecodeOutcome outcome,
                                       Output* output) {
  begin(origin, output);
  json_.add("error", outcome == DecodeOutcome::kOddDigitCount ? "odd_digit_count" : "too_short");
  end(output);
}

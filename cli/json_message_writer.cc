// One JSON object a line.
#include "cli/json_message_writer.h"

namespace {

struct RefusalName {
  DecodeOutcome outcome;
  const char* name;
};

const RefusalName kRefusalNames[] = {
    {DecodeOutcome::kOddDigitCount, "odd_digit_count"},
    {DecodeOutcome::kTooShort, "too_short"},
    {DecodeOutcome::kNotHex, "not_hex"},
};

const char* refusal_name(DecodeOutcome outcome) {
  for (const RefusalName& refusal : kRefusalNames) {
    if (refusal.outcome == outcome) return refusal.name;
  }
  return "";
}

}  // namespace

template <class Json>
void BasicJsonMessageWriter<Json>::begin(const MessageOrigin& origin, Output* output) {
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

template <class Json>
void BasicJsonMessageWriter<Json>::end(Output* output) {
  json_.end();
  *output->pending() += '\n';
  output->maybe_flush();
}

template <class Json>
void BasicJsonMessageWriter<Json>::write_decoded(const MessageOrigin& origin, size_t byte_count,
                                                DecodeOutcome, const DecodedMessage& message,
                                                Output* output) {
  begin(origin, output);
  json_.add_decoded(message);
  const size_t trailing = trailing_bytes(byte_count, message);
  if (trailing > 0) json_.add("trailing", static_cast<long>(trailing));
  if (!hint_.empty()) {
    json_.add("hint", hint_);
    hint_.clear();
  }
  if (masked_) json_.add_flag("masked");
  end(output);
}

template <class Json>
void BasicJsonMessageWriter<Json>::write_rejected(const MessageOrigin& origin, const Refusal& refusal,
                                                 Output* output) {
  begin(origin, output);
  json_.add("error", refusal_name(refusal.outcome));
  if (refusal.outcome == DecodeOutcome::kNotHex) {
    if (origin.line == 0) json_.add("line", refusal.line);
    json_.add("column", refusal.column);
    json_.add("character", refusal.character);
  }
  end(output);
}

template class BasicJsonMessageWriter<MessageJson>;
template class BasicJsonMessageWriter<MessageRecord>;

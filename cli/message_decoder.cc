// Source message to decoded message.
#include "cli/message_decoder.h"

#include "cli/status_line.h"
#include "mask/card_data_mask.h"

void note(const MessageOrigin& origin, const char* text) {
  std::string line;
  if (!origin.time.empty()) {
    line = "connection " + std::to_string(origin.connection) + " message " +
           std::to_string(origin.sequence) + ": ";
  } else if (origin.line > 0) {
    line = "line " + std::to_string(origin.line) + ": ";
  }
  line += text;
  write_note(line);
}

DecodeOutcome MessageDecoder::decode(const SourceMessage& message) {
  const std::string* bytes = &message.content;
  size_t full_byte_count = message.full_length;
  if (message.is_text) {
    if (message.full_length > kInputTextLimit) {
      note(message.origin, "input cut to its first 3999 characters");
    }
    if (!hex_text_to_bytes(message.content, &bytes_)) {
      note(message.origin, "msg length error");
      return DecodeOutcome::kOddDigitCount;
    }
    bytes = &bytes_;
    full_byte_count = bytes_.size();
  }
  const size_t skipped = steps_.skip < bytes->size() ? steps_.skip : bytes->size();
  const size_t kept = bytes->size() - skipped;
  if (full_byte_count - skipped > kMaxMessageBytes) {
    note(message.origin, "message cut to its first 1999 bytes");
  }
  byte_count_ = kept < kMaxMessageBytes ? kept : kMaxMessageBytes;
  const DecodeOutcome outcome = decoder_->decode(
      reinterpret_cast<const unsigned char*>(bytes->data()) + skipped, byte_count_, &decoded_);
  if (outcome == DecodeOutcome::kTooShort) {
    note(message.origin, "message too short");
    return outcome;
  }
  if (steps_.mask) mask_card_data(&decoded_);
  return outcome;
}

// Source message to decoded message.
#include "cli/message_decoder.h"

#include "cli/status_line.h"
#include "cli/text_hints.h"
#include "mask/card_data_mask.h"

void note(const MessageOrigin& origin, const std::string& text) {
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

DecodeOutcome MessageDecoder::refuse(const MessageOrigin& origin, DecodeOutcome outcome,
                                     const std::string& text) {
  note(origin, text);
  refusal_.outcome = outcome;
  ++tally_.refused;
  return outcome;
}

std::string MessageDecoder::describe_non_hex(const SourceMessage& message) {
  refusal_.line = static_cast<long>(non_hex_.line) +
                  (message.origin.line > 0 ? message.origin.line - 1 : 0);
  refusal_.column = static_cast<long>(non_hex_.column);
  refusal_.character = shown_character(message.content, non_hex_.offset);
  const std::string& character = refusal_.character;
  return "line " + std::to_string(refusal_.line) + ", column " + std::to_string(refusal_.column) +
         ": " + (character.size() == 1 ? "'" + character + "'" : character) +
         " is not a hexadecimal digit";
}

void MessageDecoder::hint_non_hex(const SourceMessage& message, bool name_character) {
  if (!message.is_text || non_hex_.line == 0) return;
  // The place is the input's line and column, so no line of origin before it.
  if (name_character) write_note("hint: " + describe_non_hex(message));
  for (const std::string& hint : non_hex_hints(message.content)) {
    note(message.origin, "hint: " + hint);
  }
}

void MessageDecoder::note_trailing(const SourceMessage& message) {
  const size_t trailing = trailing_bytes(byte_count_, decoded_);
  if (trailing == 0) return;
  tally_.bytes_dropped += trailing;
  if (steps_.note_trailing) {
    note(message.origin, trailing_text(trailing));
  }
  const size_t lines = steps_.whole_input ? count_non_blank_lines(message.content) : 0;
  if (lines > 1) {
    note(message.origin, "hint: the input has " + std::to_string(lines) +
                             " lines; to decode one message a line, use --each-line");
  }
}

bool MessageDecoder::prepare(const SourceMessage& message) {
  const std::string* bytes = &message.content;
  size_t full_byte_count = message.full_length;
  non_hex_ = TextPosition();
  refusal_ = Refusal();
  TextEnding ending = TextEnding::kMessage;
  if (message.is_text) {
    if (message.full_length > kMaxMessageTextLength) {
      note(message.origin, "input cut to its first " + std::to_string(kMaxMessageTextLength) +
                               " characters");
      ++tally_.cut;
    }
    const TextReading reading = read_message_text(message.content, steps_.skip, &bytes_);
    ending = reading.ending;
    non_hex_ = reading.non_hex;
    bytes = &bytes_;
    full_byte_count = bytes_.size();
  } else if (message.content.size() < steps_.skip + kMinMessageBytes) {
    ending = TextEnding::kTooShort;
  }
  switch (ending) {
    case TextEnding::kOddDigitCount:
      refuse(message.origin, DecodeOutcome::kOddDigitCount, "msg length error");
      hint_non_hex(message, true);
      return false;
    case TextEnding::kTooShort:
      if (steps_.skip > 0 && steps_.skip >= bytes->size()) {
        refuse(message.origin, DecodeOutcome::kTooShort,
               "message too short: its " + std::to_string(bytes->size()) +
                   " bytes are all skipped by --skip " + std::to_string(steps_.skip));
      } else {
        refuse(message.origin, DecodeOutcome::kTooShort, "message too short");
      }
      hint_non_hex(message, true);
      return false;
    case TextEnding::kNotHex:
    case TextEnding::kMessage:
      break;
  }
  const size_t skipped = steps_.skip;
  const size_t kept = bytes->size() - skipped;
  if (full_byte_count - skipped > kMaxMessageBytes) {
    note(message.origin, "message cut to its first " + std::to_string(kMaxMessageBytes) + " bytes");
    ++tally_.cut;
    tally_.bytes_dropped += full_byte_count - skipped - kMaxMessageBytes;
  }
  if (ending == TextEnding::kNotHex) {
    refuse(MessageOrigin(), DecodeOutcome::kNotHex, describe_non_hex(message));
    hint_non_hex(message, false);
    return false;
  }
  byte_count_ = kept < kMaxMessageBytes ? kept : kMaxMessageBytes;
  bytes_to_decode_ = reinterpret_cast<const unsigned char*>(bytes->data()) + skipped;
  return true;
}

DecodeOutcome MessageDecoder::decode(const SourceMessage& message) {
  if (!prepare(message)) return refusal_.outcome;
  const DecodeOutcome outcome = decoder_.decode(bytes_to_decode_, byte_count_, &decoded_);
  if (outcome == DecodeOutcome::kUnpacked) {
    ++tally_.decoded;
    note_trailing(message);
  } else {
    ++tally_.failed;
  }
  for (const PartMisfit& misfit : decoded_.misfits) {
    note(message.origin, "fld " + std::to_string(misfit.field) + ": " + misfit.reason);
  }
  if (steps_.mask) mask_card_data(&decoded_);
  return outcome;
}

// The output forms of iso8583dump: each writer turns every message, decoded
// or rejected, into its part of the output.
#ifndef CLI_MESSAGE_WRITER_H_
#define CLI_MESSAGE_WRITER_H_

#include <string>
#include <string_view>

#include "cli/message_source.h"
#include "cli/output.h"
#include "decode/decoded_message.h"
#include "decode/decoder.h"

// A message refused before decoding.
struct Refusal {
  DecodeOutcome outcome = DecodeOutcome::kTooShort;  // kOddDigitCount, kTooShort or kNotHex
  // kNotHex: where the first character that is not a hexadecimal digit
  // stands in the input, and that character as shown_character gives it.
  long line = 0;
  long column = 0;
  std::string character;
};

// The bytes after the last field of a message that unpacked, out of the
// `byte_count` it was decoded from; 0 for every other ending.
size_t trailing_bytes(size_t byte_count, const DecodedMessage& message);

// "1 byte after the last field", "3 bytes after the last field".
std::string trailing_text(size_t trailing);

// One output form.
class MessageWriter {
 public:
  virtual ~MessageWriter() = default;

  // Writes a message that decoded: `outcome` is kUnpacked or kUnpackFailed.
  virtual void write_decoded(const MessageOrigin& origin, size_t byte_count, DecodeOutcome outcome,
                             const DecodedMessage& message, Output* output) = 0;

  // Writes what the output shows of a message refused before decoding.
  virtual void write_rejected(const MessageOrigin& origin, const Refusal& refusal,
                              Output* output) = 0;

  // Gives the hint about the next message written, for the forms that
  // carry it with the message.
  virtual void add_hint(const std::string& /*hint*/) {}

  // Writes what follows the last message.
  virtual void finish(Output* /*output*/) {}
};

// Appends the heading line of a captured message (nothing for other
// origins), ended by `line_end`:
//   # 2026-12-07T09:30:15.123456Z 10.0.0.1:40000 -> 10.0.0.2:8583 #3 398 bytes
void append_capture_heading(const MessageOrigin& origin, size_t byte_count,
                            std::string_view line_end, std::string* text);

#endif  // CLI_MESSAGE_WRITER_H_

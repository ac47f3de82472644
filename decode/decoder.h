// A decoder: one dialect, read once and never changed by decoding. Any
// number of threads may decode with one decoder at once, each into a
// decoded message of its own.
#ifndef DECODE_DECODER_H_
#define DECODE_DECODER_H_

#include <cstddef>
#include <utility>

#include "decode/decoded_message.h"
#include "decode/dialect.h"

// How a decode ended.
enum class DecodeOutcome {
  kOddDigitCount,  // the text minus its blanks has an odd length
  kTooShort,       // fewer than kMinMessageBytes bytes
  kNotHex,         // a character is neither a hexadecimal digit nor a blank
  kUnpacked,       // decoded, and the unpack read the whole message
  kUnpackFailed,   // decoded, and the report ends the unpack with a failure
};

class Decoder {
 public:
  // A decoder that defines nothing.
  Decoder() = default;
  // A decoder of `dialect`.
  explicit Decoder(Dialect dialect) : dialect_(std::move(dialect)) {}

  const Dialect& dialect() const { return dialect_; }

  // Decodes the first `count` bytes of `bytes`, of which at most
  // kMaxMessageBytes are read, into `message`: kTooShort under
  // kMinMessageBytes, otherwise kUnpacked or kUnpackFailed. `message`
  // refers to this decoder's dialect, which must outlive it.
  DecodeOutcome decode(const unsigned char* bytes, size_t count, DecodedMessage* message) const;

 private:
  Dialect dialect_;
};

#endif  // DECODE_DECODER_H_

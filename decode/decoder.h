// A decoder: one dialect with the storage of its fields and the last
// message it decoded. Decoders are values, so one process can hold several
// dialects at once; the window program keeps one, default_decoder(), for
// its whole life.
#ifndef DECODE_DECODER_H_
#define DECODE_DECODER_H_

#include <cstddef>
#include <string_view>

#include "decode/decoded_message.h"
#include "decode/definition_file.h"
#include "decode/field_table.h"
#include "decode/unpack.h"

// How a decode ended.
enum class DecodeOutcome {
  kOddDigitCount,  // the text minus its blanks has an odd length
  kTooShort,       // fewer than kMinMessageBytes bytes
  kNotHex,         // a character is neither a hexadecimal digit nor a blank
  kUnpacked,       // decoded, and the unpack read the whole message
  kUnpackFailed,   // decoded, and the report ends the unpack with a failure
};

// The fewest message bytes a request decodes.
constexpr int kMinMessageBytes = 20;

// The most message bytes a decode reads.
constexpr size_t kMaxMessageBytes = 1999;

class Decoder {
 public:
  // A decoder that defines nothing.
  Decoder();
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  // Reads the definition file at `path` and prepares the field storage.
  // Returns 0, or -1 when the file cannot be opened or read (after showing
  // "fopen error", with errno telling the reporter why; nothing is defined)
  // or when a line ended the reading as invalid. Problems of the file go
  // into `problems` when it is given.
  int load(const char* path, DefinitionProblems* problems = nullptr);

  // The same for the contents of a definition file already in memory.
  int parse(std::string_view contents, DefinitionProblems* problems = nullptr);

  // Decodes the first `count` bytes of `bytes`, of which at most
  // kMaxMessageBytes are read, into `message`: kTooShort under
  // kMinMessageBytes, otherwise kUnpacked or kUnpackFailed. `message`
  // points into this decoder's storage until its next decode.
  DecodeOutcome decode(const unsigned char* bytes, size_t count, DecodedMessage* message);

  const Dialect& dialect() const { return dialect_; }
  Dialect& dialect() { return dialect_; }
  FieldValue* values() { return values_; }
  using ValueTable = FieldValue[kFieldRows];
  ValueTable& value_table() { return values_; }
  const FieldValue* values() const { return values_; }

  // What the last unpack into this decoder's rows found and wrote, for
  // the window's unpack, which writes the same rows.
  MessageFrame& frame() { return frame_; }

 private:
  Dialect dialect_;
  FieldValue values_[kFieldRows];
  MessageBytes buffer_{};
  int previous_byte_count_ = 0;  // what the buffer held after its zeros
  MessageFrame frame_;           // of the last unpack: which rows it wrote
};

// The process-wide decoder of the window program and of the decoding
// functions that take no decoder.
Decoder& default_decoder();

#endif  // DECODE_DECODER_H_

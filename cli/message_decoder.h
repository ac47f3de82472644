// The steps between a source's message and its decoded form, the same for
// every source: hexadecimal text to bytes, the skipped header dropped, the
// message cut to what a decode reads, the decode, and masking.
#ifndef CLI_MESSAGE_DECODER_H_
#define CLI_MESSAGE_DECODER_H_

#include <string>

#include "cli/message_source.h"
#include "decode/decode_request.h"
#include "decode/decoded_message.h"
#include "decode/decoder.h"

// What to do with every message besides decoding it.
struct DecodeSteps {
  size_t skip = 0;    // bytes dropped from the front of every message
  bool mask = false;  // hide card data
};

class MessageDecoder {
 public:
  // Decodes with `decoder`'s dialect and storage.
  explicit MessageDecoder(const DecodeSteps& steps, Decoder* decoder = &default_decoder())
      : steps_(steps), decoder_(decoder) {}

  // Decodes `message`, noting on standard error what was cut or rejected.
  // After kUnpacked or kUnpackFailed, decoded() holds the result until the
  // next call, and byte_count() the bytes it was decoded from.
  DecodeOutcome decode(const SourceMessage& message);

  const DecodedMessage& decoded() const { return decoded_; }
  size_t byte_count() const { return byte_count_; }

 private:
  DecodeSteps steps_;
  Decoder* decoder_;
  std::string bytes_;
  DecodedMessage decoded_;
  size_t byte_count_ = 0;
};

// Writes `text` on standard error as a note, after the place `origin` names.
void note(const MessageOrigin& origin, const char* text);

#endif  // CLI_MESSAGE_DECODER_H_

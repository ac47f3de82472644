// Decoding with a dialect.
#include "decode/decoder.h"

#include "decode/unpack.h"

DecodeOutcome Decoder::decode(const unsigned char* bytes, size_t count,
                              DecodedMessage* message) const {
  if (count < kMinMessageBytes) return DecodeOutcome::kTooShort;
  const int byte_count = static_cast<int>(count < kMaxMessageBytes ? count : kMaxMessageBytes);
  return unpack(dialect_, bytes, byte_count, message).result == UnpackResult::kUnpacked
             ? DecodeOutcome::kUnpacked
             : DecodeOutcome::kUnpackFailed;
}

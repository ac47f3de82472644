// Fuzz target: one input holding a definition file and a message, so both
// vary together. The bytes before the first zero byte are the definition
// file and the bytes after it the message, which is pasted as hexadecimal
// text; without a zero byte there is no message.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view message;
  const Decoder decoder = decoder_from_head(data, size, &message);
  const size_t message_size = std::min(message.size(), kMaxMessageBytes);
  DecodedMessage decoded;
  Report report;
  decode_and_check(decoder,
                   hex_text_of(reinterpret_cast<const uint8_t*>(message.data()), message_size),
                   &decoded, &report);
  return 0;
}

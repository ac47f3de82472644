// Fuzz target: one input holding a definition file and a message, so both
// vary together. The bytes before the first zero byte are the definition
// file and the bytes after it the message, which is pasted as hexadecimal
// text; without a zero byte there is no message.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "decode/decode_request.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  silence_error_reports();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view message = define_from_head(data, size);
  const size_t message_size = std::min(message.size(), kMaxMessageBytes);
  Report report;
  const DecodeOutcome outcome = decode_request(
      hex_text_of(reinterpret_cast<const uint8_t*>(message.data()), message_size), &report);
  check_decode(outcome, report);
  return 0;
}

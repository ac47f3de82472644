// Fuzz target: one input holding a definition file and a message, so both
// vary together. The bytes before the first zero byte are the definition
// file and the bytes after it the message, which is pasted as hexadecimal
// text; without a zero byte there is no message.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "decode/decode_request.h"
#include "decode/definition_file.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  silence_error_reports();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint8_t* end = data + size;
  const uint8_t* separator = std::find(data, end, 0);
  const uint8_t* message = separator != end ? separator + 1 : end;
  const size_t message_size = std::min(static_cast<size_t>(end - message), kMaxMessageBytes);

  const std::string_view definition_file(reinterpret_cast<const char*>(data),
                                         static_cast<size_t>(separator - data));
  parse_field_defs(definition_file);
  Report report;
  const DecodeOutcome outcome = decode_request(hex_text_of(message, message_size), &report);
  check_decode(outcome, report);
  return 0;
}

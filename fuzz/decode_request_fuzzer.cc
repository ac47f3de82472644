// Fuzz target: arbitrary bytes pasted as message text and decoded over
// the repository's definition file, as the Parse button and iso8583dump
// decode them.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "decode/decode_request.h"
#include "decode/definition_file.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (parse_field_defs(read_source_file("bitmap.ini")) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view pasted_text(reinterpret_cast<const char*>(data), size);
  Report report;
  const DecodeOutcome outcome = decode_request(pasted_text, &report);
  check_decode(outcome, report);
  return 0;
}

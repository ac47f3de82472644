// Fuzz target: arbitrary text read as a log of hex dumps, as
// iso8583dump --hexdump reads it. Every message must keep within the byte
// limit, and a smaller limit must give the same messages cut shorter.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/hexdump_source.h"
#include "decode/limits.h"

namespace {

constexpr size_t kSmallLimit = 16;

std::FILE* notes = nullptr;

// The messages of `text`, each checked against `byte_limit`.
std::vector<SourceMessage> messages_of(const uint8_t* text, size_t size, size_t byte_limit) {
  std::FILE* file = fmemopen(const_cast<uint8_t*>(text), size, "r");
  if (file == nullptr) std::abort();
  HexdumpSource source(file, byte_limit, notes);
  std::vector<SourceMessage> messages;
  SourceMessage message;
  while (source.next(&message)) {
    const long previous_line = messages.empty() ? 0 : messages.back().origin.line;
    const size_t kept = message.full_length < byte_limit ? message.full_length : byte_limit;
    if (message.is_text || message.content.size() != kept || message.origin.line <= previous_line) {
      std::abort();
    }
    messages.push_back(message);
  }
  std::fclose(file);
  return messages;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  notes = std::fopen("/dev/null", "w");
  return notes == nullptr ? 1 : 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;  // fmemopen refuses an empty buffer
  const std::vector<SourceMessage> full = messages_of(data, size, kMaxMessageBytes);
  const std::vector<SourceMessage> cut = messages_of(data, size, kSmallLimit);
  if (cut.size() != full.size()) std::abort();
  for (size_t i = 0; i < full.size(); ++i) {
    if (cut[i].full_length != full[i].full_length || cut[i].origin.line != full[i].origin.line ||
        full[i].content.compare(0, kSmallLimit, cut[i].content) != 0) {
      std::abort();
    }
  }
  return 0;
}

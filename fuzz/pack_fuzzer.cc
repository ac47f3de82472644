// Fuzz target: iso8583pack's input. One input holds a definition file and
// a JSON line, split at the first zero byte. The line is read as a message
// to pack and packed; whatever it holds, nothing may read or write outside
// a buffer. When it packs into a message that a decode reads whole, the
// decode must give back the fields that were packed.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "decode/decoder.h"
#include "fuzz/fuzz_support.h"
#include "json/pack_request_json.h"
#include "pack/message_packer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view rest;
  const Decoder decoder = decoder_from_head(data, size, &rest);
  std::string line(rest);

  PackRequest request;
  std::string packed, error;
  if (!read_pack_request(&line, &request, &error) || !pack_message(decoder.dialect(), request, &packed, &error)) {
    fuzz_check(packed.empty(), "a refused message left bytes behind");
    return 0;
  }
  if (packed.size() < static_cast<size_t>(kMinMessageBytes) || packed.size() > kMaxMessageBytes) {
    return 0;
  }
  DecodedMessage decoded;
  fuzz_check(decoder.decode(reinterpret_cast<const unsigned char*>(packed.data()), packed.size(),
                            &decoded) == DecodeOutcome::kUnpacked,
             "a packed message does not unpack");
  std::sort(request.fields.begin(), request.fields.end(),
            [](const PackField& a, const PackField& b) { return a.number < b.number; });
  fuzz_check(decoded.fields.size() == request.fields.size(), "the packed fields do not come back");
  for (size_t k = 0; k < request.fields.size(); ++k) {
    const DecodedField& field = decoded.fields[k];
    const PackValue& value = request.fields[k].value;
    // Bytes given as they stand, or text of a field shown as it stands,
    // come back as they were; other texts were encoded.
    const bool bytes_known = !value.is_text || is_plain(field);
    fuzz_check(field.number == request.fields[k].number &&
                   (!bytes_known || std::string(reinterpret_cast<const char*>(field.data),
                                                static_cast<size_t>(field.length)) == value.bytes),
               "a packed field decodes to other bytes");
  }
  return 0;
}

// Fuzz target: the round trip iso8583dump --json -> iso8583pack -> decode.
// One input holds a definition file, of any dialect, and a message's
// bytes, split at the first zero byte. Whenever the message unpacks, its
// JSON (written and then parsed back) must pack, the packed message must
// decode to the same fields and pack again to the same bytes, and, in the
// plain dialect, when the message ends with its last field and every
// length indicator is plain zero-filled digits, the packed bytes must be
// the message's own.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "decode/decoder.h"
#include "fuzz/fuzz_support.h"
#include "json/message_json.h"
#include "json/pack_request_json.h"
#include "pack/message_packer.h"

namespace {

struct StoredField {
  int number;
  std::string bytes;
  bool operator==(const StoredField& other) const {
    return number == other.number && bytes == other.bytes;
  }
};

// The JSON of `message`, read back and packed; aborts when it does not.
std::string repack(const DecodedMessage& message) {
  MessageJson json;
  std::string line;
  json.begin(&line);
  json.add_decoded(message);
  json.end();
  PackRequest request;
  std::string packed, error;
  fuzz_check(read_pack_request(&line, &request, &error), "the JSON of a message does not read back");
  fuzz_check(pack_message(*message.dialect, request, &packed, &error),
             "an unpacked message does not pack");
  return packed;
}

std::vector<StoredField> stored_fields(const DecodedMessage& message) {
  std::vector<StoredField> fields = {
      {1, std::string(reinterpret_cast<const char*>(message.type_indicator.data),
                      static_cast<size_t>(message.type_indicator.length))}};
  for (const DecodedField& field : message.fields) {
    fields.push_back({field.number, std::string(reinterpret_cast<const char*>(field.data),
                                                static_cast<size_t>(field.length))});
  }
  return fields;
}

// Whether `dialect` is the plain one: no header, a 16-byte binary bitmap,
// ASCII length digits and data as it stands.
bool is_plain_dialect(const Dialect& dialect) {
  const MessageFormat& format = dialect.message;
  if (format.header_length != 0 || format.bitmap != BitmapEncoding::kBinary ||
      format.secondary_when_flagged) {
    return false;
  }
  for (const FieldDef& def : dialect.defs) {
    if (!is_plain(def.format) || def.format.length != LengthEncoding::kAscii) return false;
  }
  return true;
}

// Whether `message`, decoded from `bytes`, ends with its last field and
// frames every variable field with a plain zero-filled indicator.
bool packs_back_exactly(const DecodedMessage& message, const std::string& bytes) {
  if (!is_plain_dialect(*message.dialect)) return false;
  size_t end = static_cast<size_t>(message.type_indicator.length) + kBitmapLength;
  for (const DecodedField& field : message.fields) {
    if (field.length_digits > 0) {
      const size_t digits = static_cast<size_t>(field.length_digits);
      std::string indicator = std::to_string(field.length);
      if (indicator.size() > digits) return false;
      indicator.insert(0, digits - indicator.size(), '0');
      const size_t start = static_cast<size_t>(field.data_offset) - digits;
      if (start + digits > bytes.size() || bytes.compare(start, digits, indicator) != 0) return false;
    }
    end = static_cast<size_t>(field.data_offset + field.length);
  }
  return end == bytes.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view message;
  const Decoder decoder = decoder_from_head(data, size, &message);
  const std::string bytes(message.substr(0, kMaxMessageBytes));

  DecodedMessage decoded;
  if (decoder.decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                     &decoded) != DecodeOutcome::kUnpacked) {
    return 0;
  }
  const std::vector<StoredField> fields = stored_fields(decoded);
  const bool exact = packs_back_exactly(decoded, bytes);

  const std::string packed = repack(decoded);
  fuzz_check(!exact || packed == bytes, "the packed message differs from the original");

  // Packed without the bytes that followed its last field, a message can
  // be too short to decode.
  if (packed.size() < static_cast<size_t>(kMinMessageBytes)) return 0;
  DecodedMessage repacked;
  fuzz_check(decoder.decode(reinterpret_cast<const unsigned char*>(packed.data()), packed.size(),
                            &repacked) == DecodeOutcome::kUnpacked,
             "the packed message does not unpack");
  fuzz_check(stored_fields(repacked) == fields, "the packed message decodes to other fields");
  fuzz_check(repack(repacked) == packed, "the packed message packs again to other bytes");
  return 0;
}

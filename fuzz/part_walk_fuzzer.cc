// Fuzz target: arbitrary data in composite fields of every kind of layout.
// The first byte of an input chooses the field, the rest is its data,
// framed in a message of a fixed dialect. Every part must lie within its
// field, nest as its depth says and carry its field's id; data that does
// not fit must leave a note and no part; every output form must come out
// whole (the JSON read back by RapidJSON), masked or not; and the parts,
// packed back, must decode to the same parts.
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "decode/definition_file.h"
#include "decode/field_report.h"
#include "fuzz/fuzz_support.h"
#include "json/message_json.h"
#include "json/pack_request_json.h"
#include "mask/card_data_mask.h"
#include "pack/message_packer.h"
#include "rapidjson/document.h"
#include "rapidjson/writer.h"

namespace {

const char kDefinitions[] =
    "1|4|0\n"
    "43|999|3 layout=delimited separator=\\ delimited=3\n"
    "43.1|25|0\n43.2|48|0\n43.3|13|0\n43.4|10|0\n43.5|3|0\n43.6|*|0\n"
    "48|999|3 layout=tagged tag=ascii2 tag-len=ascii2 prefix=1\n"
    "48.prefix|1|0\n48.26|3|0\n48.42|7|0 layout=positional\n48.42.1|3|0\n48.42.2|*|0\n"
    "54|999|3 layout=positional repeat=2\n"
    "54.1|2|0\n54.2|2|0\n54.3|3|0\n54.4|13|0 data=amount\n"
    "60|99|3 len=bcd data=bcd align=left layout=positional\n"
    "60.1|2|0\n60.2|6|0 mask=card\n60.3|*|0\n"
    "62|999|3 layout=bitmap map=hex map-bytes=2 map-bit1=secondary\n"
    "62.2|1|0\n62.3|15|0 mask=card\n62.17|2|2 len=bcd data=bcd\n62.25|16|0 layout=positional\n"
    "62.25.1|6|0\n62.25.2|10|0 mask=secret\n"
    "63|999|3 layout=tlv values=text\n"
    "63.DF01|20|0\n63.5A|10|0 data=bcd mask=card\n"
    "126|999|3 data=ebcdic layout=tagged tag=ebcdic2 tag-len=binary1\n"
    "126.01|20|0\n";

const int kFields[] = {43, 48, 54, 60, 62, 63, 126};

const Decoder& decoder() {
  static const Decoder kDecoder = [] {
    Definitions definitions = parse_definitions(kDefinitions);
    fuzz_check(definitions.complete && definitions.problems.empty(), "the fixed dialect does not read");
    return Decoder(std::move(definitions.dialect));
  }();
  return kDecoder;
}

// A message 0200 whose only field is `field`, holding `data`.
std::string message_with(int field, const std::string& data) {
  std::string bitmap(16, '\0');
  if (field > 64) bitmap[0] = static_cast<char>(0x80);
  bitmap[static_cast<size_t>((field - 1) / 8)] |= static_cast<char>(0x80 >> ((field - 1) % 8));
  std::string indicator = std::to_string(data.size());
  if (field == 60) {
    // Packed digits: their count in two BCD bytes.
    const size_t digits = 2 * data.size();
    indicator = {static_cast<char>(digits / 1000 % 10 << 4 | digits / 100 % 10),
                 static_cast<char>(digits / 10 % 10 << 4 | digits % 10)};
  } else {
    indicator.insert(0, 3 - indicator.size(), '0');
  }
  return "0200" + bitmap + indicator + data;
}

// Every part's id, text and depth, in order.
std::vector<std::string> parts_of(const DecodedMessage& message) {
  std::vector<std::string> parts;
  for (const DecodedPart& part : message.parts) {
    parts.push_back(std::string(part_id(part)) + "=" + std::string(part.value, static_cast<size_t>(part.value_length)) +
                    "@" + std::to_string(part.depth));
  }
  return parts;
}

void check_parts(const DecodedMessage& message, const DecodedField& field) {
  const std::string prefix = std::to_string(field.number);
  fuzz_check(field.misfit < 0 || field.part_count == 0, "a field that does not fit kept parts");
  for (int k = 0; k < field.part_count; ++k) {
    const DecodedPart& part = message.parts[static_cast<size_t>(field.first_part + k)];
    fuzz_check(part_id(part).compare(0, prefix.size(), prefix) == 0, "a part has another field's id");
    fuzz_check(part.depth >= 1 && part.depth <= kMaxLayoutDepth, "a part nests too deep");
    fuzz_check(k + 1 + part.descendants <= field.part_count, "a part's descendants run past its field");
    if (part.in_digits) {
      fuzz_check(part.offset >= 0 && part.offset + part.length <= field.value_length,
                 "a part of digits lies outside its field's digits");
    } else {
      fuzz_check(part.offset >= field.data_offset && part.offset + part.length <= field.data_offset + field.length,
                 "a part lies outside its field's bytes");
    }
  }
}

// The JSON of `message` with its composite fields given by their parts.
std::string json_of_parts(const DecodedMessage& message) {
  MessageJson json;
  std::string line;
  json.begin(&line);
  json.add_decoded(message);
  json.end();
  rapidjson::Document document;
  document.Parse(line.c_str(), line.size());
  fuzz_check(!document.HasParseError() && document.IsObject(), "the JSON does not parse");
  for (rapidjson::Value& entry : document["fields"].GetArray()) {
    if (!entry.HasMember("sub")) continue;
    entry.RemoveMember("hex");
    entry.RemoveMember("text");
  }
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  document.Accept(writer);
  return buffer.GetString();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int field = kFields[data[0] % (sizeof kFields / sizeof kFields[0])];
  const std::string content(reinterpret_cast<const char*>(data) + 1, std::min<size_t>(size - 1, 999));
  const std::string bytes = message_with(field, content);
  DecodedMessage message;
  const DecodeOutcome outcome =
      decoder().decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &message);
  Report report;
  write_report(message, &report);
  check_decoded(decoder(), outcome, message, report);
  for (const DecodedField& decoded : message.fields) check_parts(message, decoded);
  if (outcome != DecodeOutcome::kUnpacked || !message.misfits.empty() || message.parts.empty()) {
    mask_card_data(&message);
    write_report(message, &report);
    return 0;
  }
  // Packed back from its parts, the message decodes to the same parts.
  std::string line = json_of_parts(message);
  PackRequest request;
  std::string packed;
  std::string error;
  fuzz_check(read_pack_request(&line, &request, &error), "the JSON of parts does not read back");
  fuzz_check(pack_message(decoder().dialect(), request, &packed, &error), "the parts do not pack");
  DecodedMessage again;
  decoder().decode(reinterpret_cast<const unsigned char*>(packed.data()), packed.size(), &again);
  fuzz_check(parts_of(again) == parts_of(message), "the packed parts decode to other parts");
  mask_card_data(&message);
  write_report(message, &report);
  json_of_parts(message);
  return 0;
}

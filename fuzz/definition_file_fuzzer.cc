// Fuzz target: arbitrary bytes as the definition file, then a fixed set of
// messages decoded with whatever it defined: the sample messages and
// messages built to meet long, variable, negative and missing framings.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "decode/definition_file.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr size_t kHeadBytes = 4 + 16;  // message type indicator and bitmap

// A 16-byte bitmap flagging `fields`.
std::string bitmap_flagging(std::initializer_list<int> fields) {
  std::string bitmap(16, '\0');
  for (int field : fields) bitmap[(field - 1) / 8] |= static_cast<char>(0x80 >> ((field - 1) % 8));
  return bitmap;
}

const std::string kEveryField(16, '\xFF');

// The hexadecimal text of a message: the indicator 0200, `bitmap` and
// then `body`.
std::string message_text(const std::string& bitmap, std::string_view body) {
  std::string bytes = "0200" + bitmap;
  bytes += body;
  return hex_text_of(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// A field 55 element list behind a three-digit length indicator.
std::string field55_body(const std::string& elements) {
  const size_t length = elements.size();
  std::string indicator = {static_cast<char>('0' + length / 100 % 10),
                           static_cast<char>('0' + length / 10 % 10),
                           static_cast<char>('0' + length % 10)};
  return indicator + elements;
}

std::string bytes(std::initializer_list<int> values) {
  std::string text;
  for (int value : values) text.push_back(static_cast<char>(value));
  return text;
}

std::vector<std::string> build_messages() {
  std::vector<std::string> texts = {
      read_source_file("examples/purchase.hex"),
      read_source_file("examples/response.hex"),
      read_source_file("examples/reversal.hex"),
  };
  texts.push_back(texts[0].substr(0, 400));  // the purchase cut short

  const size_t body_bytes = kMaxMessageBytes - kHeadBytes;
  // Every indicator reads as 9s: the longest lengths, far past the message.
  texts.push_back(message_text(kEveryField, std::string(body_bytes, '9')));
  // Every indicator reads as 0 and every fixed field as 0xFF bytes.
  texts.push_back(message_text(kEveryField, std::string(body_bytes, '\xFF')));
  // A length indicator with a minus sign.
  texts.push_back(message_text(bitmap_flagging({2, 3}), "-1000000"));
  // Field 55: a 300-byte value, then a long-form length with a count of 0.
  texts.push_back(
      message_text(bitmap_flagging({55}),
                   field55_body(bytes({0x9F, 0x10, 0x82, 0x01, 0x2C}) + std::string(300, '\xAB') +
                                bytes({0x9F, 0x26, 0x80, 0x01}))));
  // Field 55: a 301-byte value, and a long-form length with a count of 3.
  texts.push_back(
      message_text(bitmap_flagging({55}),
                   field55_body(bytes({0x9F, 0x10, 0x82, 0x01, 0x2D}) + std::string(301, '\xCD'))));
  texts.push_back(
      message_text(bitmap_flagging({55}), field55_body(bytes({0x95, 0x83, 0x00, 0x00, 0x05}))));
  // Field 55: a value running past the end, then a lone first tag byte.
  texts.push_back(message_text(bitmap_flagging({55}),
                               field55_body(bytes({0x9F, 0x26, 0x08, 0x01, 0x02, 0x9F}))));
  // The shortest message that is decoded: 20 zero bytes.
  texts.push_back(std::string(2 * kHeadBytes, '0'));
  return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<std::string> messages = build_messages();
  const Decoder decoder(
      parse_definitions(std::string_view(reinterpret_cast<const char*>(data), size)).dialect);
  DecodedMessage message;
  Report report;
  for (const std::string& text : messages) decode_and_check(decoder, text, &message, &report);
  return 0;
}

// Helpers shared by the decoding library's tests.
#include "tests/test_support.h"

#include <iconv.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "decode/definition_file.h"
#include "decode/message_text.h"
#include "gtest/gtest.h"

std::string iconv_convert(const char* to, const char* from, const std::string& text) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no converter");
  std::string in = text;
  std::string out(in.size() * 2 + 1, '\0');
  char* in_cursor = in.data();
  size_t in_left = in.size();
  char* out_cursor = out.data();
  size_t out_left = out.size();
  const size_t result = iconv(converter, &in_cursor, &in_left, &out_cursor, &out_left);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1)) throw std::runtime_error("not convertible: " + text);
  out.resize(out.size() - out_left);
  return out;
}

std::string cp936(const std::string& utf8) { return iconv_convert("CP936", "UTF-8", utf8); }

Report report_text(const std::string& utf8_lines) {
  Report report;
  for (char ch : cp936(utf8_lines)) {
    if (ch == '\n') report.push_back('\r');
    report.push_back(ch);
  }
  return report;
}

std::string bytes_of(const std::string& hex) {
  std::string digits;
  for (char ch : hex) {
    if (ch != ' ') digits.push_back(ch);
  }
  std::string bytes;
  for (size_t k = 0; k + 1 < digits.size(); k += 2) {
    bytes.push_back(static_cast<char>(std::stoi(digits.substr(k, 2), nullptr, 16)));
  }
  return bytes;
}

std::string hex_of(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char byte : bytes) {
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 0x0F]);
  }
  return hex;
}

Decoder decoder_of(const std::string& contents) {
  Definitions definitions = parse_definitions(contents);
  EXPECT_TRUE(definitions.complete) << "definitions not read: " << contents;
  return Decoder(std::move(definitions.dialect));
}

std::string message_bytes(const std::string& hex_text) {
  std::string bytes;
  const TextReading reading = read_message_text(hex_text, 0, &bytes);
  EXPECT_EQ(reading.ending, TextEnding::kMessage) << "not a message: " << hex_text;
  return bytes;
}

DecodeOutcome decode_text(const Decoder& decoder, const std::string& hex_text,
                          DecodedMessage* message) {
  const std::string bytes = message_bytes(hex_text);
  return decoder.decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                        message);
}

std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  EXPECT_TRUE(file.good()) << "cannot read " << path;
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::vector<std::string> shipped_dialects() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator("dialects")) {
    if (entry.path().extension() == ".ini") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

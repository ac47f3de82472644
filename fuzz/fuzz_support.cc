// Shared helpers of the fuzz targets.
#include "fuzz/fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "decode/definition_file.h"
#include "decode/field_codec.h"
#include "decode/field_report.h"
#include "decode/message_text.h"
#include "encoding/cp936_to_utf8.h"

namespace {

void require(bool condition, const char* what, int field = 0) {
  if (condition) return;
  std::fprintf(stderr, "decode check failed: %s", what);
  if (field != 0) std::fprintf(stderr, " (field %d)", field);
  std::fprintf(stderr, "\n");
  std::abort();
}

// "开始解包:" and the start of the indicator's line.
constexpr std::string_view kHeadingStart = "\xBF\xAA\xCA\xBC\xBD\xE2\xB0\xFC:\r\n";

// What follows the heading: the header of a dialect that has one, or the
// message type indicator.
constexpr std::string_view kHeaderLineStart = "header[";
constexpr std::string_view kIndicatorLineStart = "fld[000][";

// Room for one report line besides the field's data: its field number,
// length and brackets, or a failure or verdict line.
constexpr size_t kLineOverhead = 64;

// A field 55 element line is at most about 75 bytes plus two per value
// byte, and the element takes at least two bytes plus its value from the
// field, so a listing is at most 40 bytes per byte of the field, counting
// the last element, which may run past the end by a value and a header.
constexpr size_t kListingBytesPerFieldByte = 40;
constexpr size_t kLastElementOverrun = kMaxTagValueLength + 8;

// The longest report `dialect` can give: one line per defined field with
// its longest data, and the field 55 listing.
size_t report_size_bound(const Dialect& dialect) {
  size_t bound = 2 * kLineOverhead + 2 * static_cast<size_t>(dialect.message.header_length);
  for (int n = 1; n < kFieldRows; ++n) {
    const FieldDef& def = dialect.defs[n];
    if (def.number != n) continue;
    bound += kLineOverhead + static_cast<size_t>(value_capacity(def.format, def.max_length)) +
             static_cast<size_t>(data_bytes(def.format, def.max_length));
  }
  if (dialect.defines(55)) {
    const FieldDef& def = dialect.defs[55];
    const size_t field55_bytes = static_cast<size_t>(data_bytes(def.format, def.max_length));
    bound += 2 * kLineOverhead + kListingBytesPerFieldByte * (field55_bytes + kLastElementOverrun);
  }
  return bound;
}

void check_field(const Dialect& dialect, const DecodedMessage& message, const DecodedField& field) {
  const int n = field.number;
  require(n >= 2 && n < kFieldRows && dialect.defines(n), "a stored field is not defined", n);
  const FieldDef& def = dialect.defs[n];
  require(field.unit_length >= 0 && field.unit_length <= def.max_length,
          "a stored length in its unit is out of bounds", n);
  require(field.length == data_bytes(def.format, field.unit_length),
          "a stored length does not match its unit length", n);
  require(field.data_offset >= 0 &&
              static_cast<size_t>(field.data_offset) + static_cast<size_t>(field.length) <=
                  message.bytes.size(),
          "a field lies outside the message's copy", n);
  require(field.data == message.bytes.data() + field.data_offset && field.readable == field.length,
          "a field is not a view of its own bytes", n);
  require(is_plain(field) || (field.value_length >= 0 &&
                              field.value_length <= value_capacity(def.format, field.unit_length)),
          "a field's text is out of bounds", n);
}

}  // namespace

void fuzz_check(bool condition, const char* what) { require(condition, what); }

std::string read_source_file(const char* relative_path) {
  const std::string path = std::string(SOURCE_DIR) + "/" + relative_path;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    std::abort();
  }
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

Decoder decoder_from_head(const uint8_t* data, size_t size, std::string_view* rest) {
  const uint8_t* end = data + size;
  const uint8_t* separator = std::find(data, end, 0);
  const uint8_t* after = separator != end ? separator + 1 : end;
  *rest = std::string_view(reinterpret_cast<const char*>(after), static_cast<size_t>(end - after));
  return Decoder(parse_definitions(std::string_view(reinterpret_cast<const char*>(data),
                                                    static_cast<size_t>(separator - data)))
                     .dialect);
}

std::string hex_text_of(const uint8_t* bytes, size_t size) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(2 * size);
  for (size_t k = 0; k < size; ++k) {
    text.push_back(kDigits[bytes[k] >> 4]);
    text.push_back(kDigits[bytes[k] & 0x0F]);
  }
  return text;
}

DecodeOutcome decode_and_check(const Decoder& decoder, std::string_view text,
                               DecodedMessage* message, Report* report) {
  std::string bytes;
  report->clear();
  DecodeOutcome outcome = DecodeOutcome::kTooShort;
  switch (read_message_text(text, 0, &bytes).ending) {
    case TextEnding::kOddDigitCount:
      outcome = DecodeOutcome::kOddDigitCount;
      break;
    case TextEnding::kNotHex:
      outcome = DecodeOutcome::kNotHex;
      break;
    case TextEnding::kTooShort:
      break;
    case TextEnding::kMessage:
      outcome = decoder.decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                               message);
      write_report(*message, report);
      break;
  }
  check_decoded(decoder, outcome, *message, *report);
  return outcome;
}

void check_decoded(const Decoder& decoder, DecodeOutcome outcome, const DecodedMessage& message,
                   const Report& report) {
  check_report(decoder.dialect(), outcome, report);
  if (outcome != DecodeOutcome::kUnpacked && outcome != DecodeOutcome::kUnpackFailed) return;
  const Dialect& dialect = decoder.dialect();
  require(message.dialect == &dialect, "the message is not of its decoder's dialect");
  int previous = 1;
  for (const DecodedField& field : message.fields) {
    require(field.number > previous, "the fields are not in ascending order", field.number);
    previous = field.number;
    check_field(dialect, message, field);
  }
  const size_t own = static_cast<size_t>(message.byte_count);
  require(own <= message.bytes.size() &&
              std::all_of(message.bytes.begin() + static_cast<long>(own), message.bytes.end(),
                          [](unsigned char byte) { return byte == 0; }),
          "the message's copy is not zero past its bytes");
}

void check_report(const Dialect& dialect, DecodeOutcome outcome, const Report& report) {
  if (outcome == DecodeOutcome::kOddDigitCount || outcome == DecodeOutcome::kTooShort ||
      outcome == DecodeOutcome::kNotHex) {
    require(report.empty(), "a rejected request wrote a report");
    return;
  }
  const size_t after = kHeadingStart.size();
  require(report.compare(0, after, kHeadingStart) == 0 &&
              (report.compare(after, kHeaderLineStart.size(), kHeaderLineStart) == 0 ||
               report.compare(after, kIndicatorLineStart.size(), kIndicatorLineStart) == 0),
          "the report does not start with the heading");
  require(report.size() >= 2 && report.compare(report.size() - 2, 2, "\r\n") == 0,
          "the report does not end with a line end");
  require(report.size() <= report_size_bound(dialect), "the report is longer than its fields allow");
  std::string printed;
  append_cp936_as_utf8(report, &printed);
  require(is_utf8(printed), "the printed report is not well-formed UTF-8");
}

// Shared helpers of the fuzz targets.
#include "fuzz/fuzz_support.h"

#include "decode/decoder.h"
#include "decode/field_codec.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string_view>

#include "encoding/cp936_to_utf8.h"
#include "decode/definition_file.h"
#include "decode/error_report.h"
#include "decode/field55.h"
#include "decode/field_table.h"

namespace {

void require(bool condition, const char* what, int field = 0) {
  if (condition) return;
  std::fprintf(stderr, "decode check failed: %s", what);
  if (field != 0) std::fprintf(stderr, " (field row %d)", field);
  std::fprintf(stderr, "\n");
  std::abort();
}

void ignore_error(const char*) {}

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

// The longest report the current definitions can give: one line per
// defined field with its longest data, and the field 55 listing.
size_t report_size_bound() {
  const Dialect& dialect = default_decoder().dialect();
  size_t bound = 2 * kLineOverhead + 2 * static_cast<size_t>(dialect.message.header_length);
  for (int n = 1; n < kFieldRows; ++n) {
    const FieldDef& def = field_defs[n];
    if (def.number != n) continue;
    bound += kLineOverhead + static_cast<size_t>(value_capacity(def.format, def.max_length)) +
             static_cast<size_t>(data_bytes(def.format, def.max_length));
  }
  if (field_defs[55].number == 55) {
    const size_t field55_bytes =
        static_cast<size_t>(data_bytes(field_defs[55].format, field_defs[55].max_length));
    bound += 2 * kLineOverhead + kListingBytesPerFieldByte * (field55_bytes + kLastElementOverrun);
  }
  return bound;
}

void check_field_row(int n) {
  const FieldDef& def = field_defs[n];
  const FieldValue& value = field_values[n];
  const bool defined = def.number != 0;
  if (defined) {
    require(def.number == n, "a definition row holds another field's number", n);
    require(def.max_length >= 0 && def.max_length <= kMaxFieldLength, "max_length out of bounds",
            n);
    require(def.length_digits >= 0 && def.length_digits <= kMaxLengthDigits,
            "length_digits out of bounds", n);
  }
  const size_t storage = value.data.size();
  const int max_bytes = defined ? data_bytes(def.format, def.max_length) : 0;
  require(storage == 0 || (defined && storage == static_cast<size_t>(max_bytes) + 1),
          "field storage is not its largest data + 1 bytes", n);

  size_t data_end = 0;
  if (value.number != 0) {
    require(value.number == n, "a stored row holds another field's number", n);
    require(defined && storage > 0, "a field without a definition or storage was stored", n);
    require(value.length >= 0 && value.length <= max_bytes, "stored length out of bounds", n);
    require(value.unit_length >= 0 && value.unit_length <= def.max_length,
            "stored length in its unit out of bounds", n);
    require(is_plain(def.format) ||
                (value.value_length >= 0 &&
                 value.value_length <= value_capacity(def.format, def.max_length)),
            "stored text out of bounds", n);
    data_end = static_cast<size_t>(value.length);
  }
  const bool zero_after_data = std::all_of(value.data.begin() + data_end, value.data.end(),
                                           [](unsigned char byte) { return byte == 0; });
  require(zero_after_data, "field storage is not zero after the data", n);
}

}  // namespace

void silence_error_reports() { set_error_reporter(ignore_error); }

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

std::string_view define_from_head(const uint8_t* data, size_t size) {
  const uint8_t* end = data + size;
  const uint8_t* separator = std::find(data, end, 0);
  parse_field_defs(std::string_view(reinterpret_cast<const char*>(data),
                                    static_cast<size_t>(separator - data)));
  const uint8_t* rest = separator != end ? separator + 1 : end;
  return std::string_view(reinterpret_cast<const char*>(rest), static_cast<size_t>(end - rest));
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

void check_decode(DecodeOutcome outcome, const Report& report) {
  for (int n = 1; n < kFieldRows; ++n) check_field_row(n);
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
  require(report.size() <= report_size_bound(), "the report is longer than its fields allow");
  std::string printed;
  append_cp936_as_utf8(report, &printed);
  require(is_utf8(printed), "the printed report is not well-formed UTF-8");
}

// Speed of the decoder: one typical purchase request with chip data, a
// UnionPay POS purchase in its dialect, one maximal message (1,999 bytes, every short field filled and a long field
// 55), and reading the repository's definition file. Every decode includes
// its whole report, as the Parse button and iso8583dump produce it.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "decode/decoder.h"
#include "decode/definition_file.h"
#include "decode/field_report.h"
#include "decode/message_text.h"

namespace {

const std::string kDefinitionPath = std::string(SOURCE_DIR) + "/bitmap.ini";

std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
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

std::string element(const std::string& tag, const std::string& value) {
  std::string header = tag;
  if (value.size() > 0xFF) {
    header += {'\x82', static_cast<char>(value.size() >> 8), static_cast<char>(value.size())};
  } else if (value.size() > 0x7F) {
    header += {'\x81', static_cast<char>(value.size())};
  } else {
    header += static_cast<char>(value.size());
  }
  return header + value;
}

// Field 55 of `length` bytes: the common EMV elements of a purchase, an
// issuer script of 300 bytes, the longest value listed, and an element of
// discretionary data filling the rest.
std::string chip_data(size_t length) {
  std::string data =
      element("\x9F\x26", "\x7A\x3C\x1E\x5B\x9D\x20\xF4\x86") + element("\x9F\x27", "\x80") +
      element("\x9F\x10", std::string(19, '\x0A')) + element("\x9F\x37", "\x5E\x2D\x8C\x11") +
      element("\x9F\x36", "\x01\xA7") + element("\x95", std::string("\x00\x00\x04\x80\x00", 5)) +
      element("\x9A", "\x26\x12\x07") + element("\x9C", std::string(1, '\0')) +
      element("\x9F\x02", std::string("\x00\x00\x00\x01\x28\x50", 6)) +
      element("\x5F\x2A", std::string("\x01\x56", 2)) +
      element("\x82", std::string("\x7C\x00", 2)) +
      element("\x9F\x1A", std::string("\x01\x56", 2)) + element("\x9F\x33", "\xE0\xE1\xC8") +
      element("\x9F\x34", "\x42\x03") + element("\x9F\x1E", "12345678") +
      element("\x84", std::string("\xA0\x00\x00\x03\x33\x01\x01\x01", 8)) +
      element("\x9F\x71", std::string(300, '\x86'));
  const size_t rest = length - data.size();
  const size_t header = rest - 3 > 0x7F ? 4 : 3;
  return data + element("\xDF\x31", std::string(rest - header, '\x5A'));
}

constexpr int kChipField = 55;
constexpr int kLongestFilledField = 120;

// Whether the maximal message fills field `n` to its largest length: the
// defined fields apart from field 55 and the free-form ones of 999 bytes.
bool is_filled(const Dialect& dialect, int n) {
  const FieldDef& def = dialect.defs[n];
  return def.number == n && n != kChipField && def.max_length <= kLongestFilledField;
}

std::string framed(const FieldDef& def, const std::string& data) {
  if (def.length_digits == 0) return data;
  std::string indicator = std::to_string(data.size());
  indicator.insert(0, def.length_digits - indicator.size(), '0');
  return indicator + data;
}

// A message of exactly `byte_count` bytes framed by the current
// definitions: every filled field at its largest length, and field 55
// taking all the bytes left.
std::string maximal_message(const Dialect& dialect, size_t byte_count) {
  const FieldDef* defs = dialect.defs;
  const size_t head_bytes = 4 + 16;
  size_t filled_bytes = 0;
  for (int n = 2; n < kFieldRows; ++n) {
    if (is_filled(dialect, n)) filled_bytes += defs[n].length_digits + defs[n].max_length;
  }
  const size_t chip_bytes = byte_count - head_bytes - filled_bytes - defs[kChipField].length_digits;

  std::string bitmap(16, '\0');
  std::string body;
  for (int n = 2; n < kFieldRows; ++n) {
    std::string data;
    if (is_filled(dialect, n)) {
      data.assign(defs[n].max_length, static_cast<char>('0' + n % 10));
    } else if (n == kChipField) {
      data = chip_data(chip_bytes);
    } else {
      continue;
    }
    bitmap[(n - 1) / 8] |= static_cast<char>(0x80 >> ((n - 1) % 8));
    body += framed(defs[n], data);
  }
  return "0200" + bitmap + body;
}

// A decoder of the definition file at `path`.
Decoder decoder_of(benchmark::State& state, const std::string& path) {
  Definitions definitions = parse_definitions(read_file(path));
  if (!definitions.complete) state.SkipWithError(("cannot read " + path).c_str());
  return Decoder(std::move(definitions.dialect));
}

// Decodes `text` over and over into one report, as iso8583dump does: the
// text read into bytes, decoded, and the report written.
void decode_repeatedly(benchmark::State& state, const Decoder& decoder, const std::string& text) {
  std::string bytes;
  DecodedMessage message;
  Report report;
  const auto decode = [&] {
    read_message_text(text, 0, &bytes);
    const DecodeOutcome outcome =
        decoder.decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &message);
    write_report(message, &report);
    return outcome;
  };
  if (decode() != DecodeOutcome::kUnpacked) {
    state.SkipWithError("the message does not decode");
    return;
  }
  for (auto _ : state) {
    decode();
    benchmark::DoNotOptimize(report.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["report_bytes"] = static_cast<double>(report.size());
}

void BM_DecodeTypicalPurchase(benchmark::State& state) {
  decode_repeatedly(state, decoder_of(state, kDefinitionPath),
                    read_file(std::string(SOURCE_DIR) + "/examples/purchase.hex"));
}
BENCHMARK(BM_DecodeTypicalPurchase);

// A UnionPay POS purchase with its dialect: header, BCD type and lengths,
// packed numbers and track 2, decoded with its report.
void BM_DecodeUnionPayPos(benchmark::State& state) {
  decode_repeatedly(state, decoder_of(state, SOURCE_DIR "/dialects/unionpay-pos.ini"),
                    read_file(std::string(SOURCE_DIR) + "/examples/unionpay-pos.hex"));
}
BENCHMARK(BM_DecodeUnionPayPos);

// The largest message the window's input box holds.
constexpr size_t kMaximalBytes = 1999;

void BM_DecodeMaximalMessage(benchmark::State& state) {
  const Decoder decoder = decoder_of(state, kDefinitionPath);
  const std::string message = maximal_message(decoder.dialect(), kMaximalBytes);
  if (message.size() != kMaximalBytes) state.SkipWithError("the message is not maximal");
  decode_repeatedly(state, decoder, hex_of(message));
}
BENCHMARK(BM_DecodeMaximalMessage);

void BM_ParseDefinitionFile(benchmark::State& state) {
  const std::string contents = read_file(kDefinitionPath);
  for (auto _ : state) {
    Definitions definitions = parse_definitions(contents);
    if (!definitions.dialect.defines(128)) state.SkipWithError("bitmap.ini was not read whole");
    benchmark::DoNotOptimize(definitions);
  }
}
BENCHMARK(BM_ParseDefinitionFile);

void BM_LoadDefinitionFile(benchmark::State& state) {
  std::string contents;
  for (auto _ : state) {
    if (!read_definition_file(kDefinitionPath.c_str(), &contents)) state.SkipWithError("cannot read");
    Definitions definitions = parse_definitions(contents);
    if (!definitions.dialect.defines(128)) state.SkipWithError("bitmap.ini was not read whole");
    benchmark::DoNotOptimize(definitions);
  }
}
BENCHMARK(BM_LoadDefinitionFile);

}  // namespace

BENCHMARK_MAIN();

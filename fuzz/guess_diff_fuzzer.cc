// Fuzz target: the guess and the comparison over hostile definitions and
// messages. One input holds a definition file and a message's bytes,
// split at the first zero byte. The guess ranks the readings of the
// message by that dialect, a plain one and one with a header and packed
// digits, behind every framing; its table and JSON are written, and the
// JSON must parse. The message is compared with itself decoded again (no
// differences may be found) and with the message with one byte changed,
// both ways round (the same places, with only_a and only_b swapped), down
// to the parts of composite fields; the comparison is written masked, and
// its JSON must parse. The input's last byte chooses the byte changed and
// a list of places to ignore.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "decode/decoder.h"
#include "decode/definition_file.h"
#include "diff/diff_json.h"
#include "diff/diff_text.h"
#include "diff/message_diff.h"
#include "fuzz/fuzz_support.h"
#include "guess/dialect_guess.h"
#include "guess/guess_json.h"
#include "guess/guess_table.h"
#include "mask/card_data_mask.h"
#include "rapidjson/document.h"

namespace {

// Two short dialects beside the fuzzed one: the plain form, which also
// gets its variant with the secondary bitmap only when flagged, and one
// with a header, packed digits and BCD lengths.
constexpr char kPlainDefinitions[] = "1|4|0\n2|19|2\n3|6|0\n4|12|0\n11|6|0\n55|999|3\n";
constexpr char kHeaderDefinitions[] =
    "header=11 secondary=flagged len=bcd\n1|4|0 data=bcd\n2|19|2 data=bcd align=left\n"
    "3|6|0 data=bcd\n4|12|0 data=bcd\n35|37|2 data=track\n55|255|3 data=binary\n";

void check_json(const std::string& text, const char* what) {
  rapidjson::Document document;
  document.Parse(text.data(), text.size());
  fuzz_check(!document.HasParseError() && document.IsObject(), what);
}

void check_guess(std::string_view definitions, const unsigned char* bytes, size_t count) {
  DialectGuess guess;
  guess.add_candidate("fuzzed", definitions, true);
  guess.add_candidate("plain", kPlainDefinitions, false);
  guess.add_candidate("header", kHeaderDefinitions, false);
  guess.read(bytes, count);
  const std::vector<Reading> ranking = guess.ranking();
  // Every candidate reads the message as it stands.
  fuzz_check(ranking.size() >= guess.candidates().size(), "a candidate read nothing");
  for (size_t k = 0; k < ranking.size(); ++k) {
    fuzz_check(ranking[k].messages == 1 && ranking[k].complete <= 1, "a reading counts wrongly");
    fuzz_check(k == 0 || ranking[k - 1].complete >= ranking[k].complete,
               "a reading that is complete ranks after one that is not");
  }
  std::string text;
  write_guess_table(guess, ranking, 10, &text);
  std::string json;
  write_guess_json(guess, ranking, 0, &json);
  check_json(json, "the JSON of a guess does not parse");
}

// Whether `a` and `b` are the same places, with only_a and only_b
// swapped. Elements of field 55 found on one side only come after the
// others, in their own side's order, so the places are compared sorted.
bool mirrored(std::vector<Difference> a, std::vector<Difference> b) {
  if (a.size() != b.size()) return false;
  const auto by_place = [](const Difference& x, const Difference& y) { return x.place < y.place; };
  std::sort(a.begin(), a.end(), by_place);
  std::sort(b.begin(), b.end(), by_place);
  for (size_t k = 0; k < a.size(); ++k) {
    const Change swapped = a[k].change == Change::kOnlyInA   ? Change::kOnlyInB
                           : a[k].change == Change::kOnlyInB ? Change::kOnlyInA
                                                             : Change::kChanged;
    if (a[k].place != b[k].place || b[k].change != swapped) return false;
  }
  return true;
}

void check_diff(const Decoder& decoder, const unsigned char* bytes, size_t count,
                uint8_t ignore_byte) {
  DecodedMessage a;
  DecodedMessage b;
  decoder.decode(bytes, count, &a);
  decoder.decode(bytes, count, &b);
  MessageDiff diff;
  diff.compare(a, b, IgnoredPlaces());
  fuzz_check(diff.differences().empty(), "a message differs from itself");

  std::string changed(reinterpret_cast<const char*>(bytes), count);
  changed[ignore_byte % count] = static_cast<char>(changed[ignore_byte % count] ^ 0x5A);
  decoder.decode(reinterpret_cast<const unsigned char*>(changed.data()), count, &b);
  IgnoredPlaces ignored;
  const std::string list = std::to_string(ignore_byte % 130) + ",mti";
  const bool known = parse_ignored_places(list, &ignored);
  fuzz_check(known == (ignore_byte % 130 >= 2 && ignore_byte % 130 <= 128),
             "an ignore list is read wrongly");
  diff.compare(a, b, ignored);
  const std::vector<Difference> forward = diff.differences();
  diff.compare(b, a, ignored);
  fuzz_check(mirrored(forward, diff.differences()), "a comparison is not the same both ways");

  mask_card_data(&a);
  mask_card_data(&b);
  diff.compare(a, b, ignored);
  std::string text;
  write_diff_text(diff, &text);
  MessageJson json(true);
  std::string line;
  json.begin(&line);
  add_diff_json(diff, &json);
  json.end();
  check_json(line, "the JSON of a comparison does not parse");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t separator = input.find('\0');
  if (separator == std::string_view::npos) return 0;
  const std::string_view definitions = input.substr(0, separator);
  const std::string_view message = input.substr(separator + 1);
  if (message.size() < static_cast<size_t>(kMinMessageBytes)) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(message.data());
  check_guess(definitions, bytes, message.size());
  const Decoder decoder(parse_definitions(definitions).dialect);
  check_diff(decoder, bytes, message.size(), data[size - 1]);
  return 0;
}

// Fuzz target: masking card data. Each input builds a message with card
// numbers in every place one can stand (field 2, the track data of fields
// 35, 36 and 45, and the chip data elements 5A, 57, 9F6B and 56, inside
// templates or not) followed by arbitrary chip data, and a twin message
// that differs only in what masking must hide: the middle digits of every
// card number and all that follows a track's separator. Masked, the two
// must give the very same outputs in every form; any byte that differed
// would show hidden card data. The input also chooses how the fields are
// encoded: ASCII, packed or EBCDIC card numbers and track data, behind
// ASCII, BCD, EBCDIC or binary lengths. The rest of the input is decoded
// as a message of its own, with the same twin test for its field 2.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "decode/decoder.h"
#include "decode/definition_file.h"
#include "fuzz/fuzz_support.h"
#include "mask/card_data_mask.h"
#include "pack/message_packer.h"
#include "tests/masking_support.h"

namespace {

// The definitions of a dialect whose card data fields are encoded as the
// input chooses.
std::string definitions_of(FuzzedDataProvider* input) {
  static const char* const kLengths[] = {"ascii", "bcd", "ebcdic", "binary"};
  static const char* const kPanData[] = {"raw", "bcd", "ebcdic"};
  static const char* const kTrackData[] = {"raw", "track", "ebcdic"};
  static const char* const kTextData[] = {"raw", "ebcdic"};
  auto properties = [input](const char* const* data, size_t choices) {
    return std::string(" len=") + kLengths[input->ConsumeIntegralInRange<size_t>(0, 3)] +
           " data=" + data[input->ConsumeIntegralInRange<size_t>(0, choices - 1)] +
           (input->ConsumeBool() ? " align=left" : "") + "\n";
  };
  // And card numbers in parts: a tagged part, and the digits after a
  // positional part of packed digits.
  return "1|4|0\n2|19|2" + properties(kPanData, 3) + "35|37|2" + properties(kTrackData, 3) +
         "36|104|2" + properties(kTrackData, 3) + "45|76|2" + properties(kTextData, 2) +
         "48|99|3 layout=tagged tag=ascii2 tag-len=ascii2\n48.26|19|0 mask=card data=" +
         kPanData[input->ConsumeIntegralInRange<size_t>(0, 2)] +
         "\n52|8|0\n55|999|3\n60|99|3 data=bcd layout=positional\n60.1|2|0\n60.2|*|0 mask=card\n";
}

constexpr size_t kKeptLeadingDigits = 6;
constexpr size_t kKeptTrailingDigits = 4;

// A character changed to another of its kind: a digit to the next digit, a
// letter to the next letter; others stay.
char changed(char ch) {
  if (ch >= '0' && ch <= '9') return static_cast<char>('0' + (ch - '0' + 1) % 10);
  if (ch >= 'A' && ch <= 'Z') return static_cast<char>('A' + (ch - 'A' + 1) % 26);
  return ch;
}

// A card number with the digits masking hides changed.
std::string twin_pan(std::string pan) {
  for (size_t k = kKeptLeadingDigits; k + kKeptTrailingDigits < pan.size(); ++k) pan[k] = changed(pan[k]);
  return pan;
}

// Track data after its separator, all changed.
std::string twin_rest(std::string rest) {
  for (char& ch : rest) ch = changed(ch);
  return rest;
}

std::string digits(FuzzedDataProvider* input, size_t count) {
  std::string text;
  while (text.size() < count) text.push_back(static_cast<char>('0' + input->ConsumeIntegralInRange(0, 9)));
  return text;
}

// Digits packed two to a byte, padded with an F nibble.
std::string packed(const std::string& text) {
  const std::string even = text.size() % 2 == 0 ? text : text + "F";
  auto nibble = [](char ch) { return ch <= '9' ? ch - '0' : ch - 'A' + 10; };
  std::string bytes;
  for (size_t k = 0; k < even.size(); k += 2) {
    bytes.push_back(static_cast<char>(nibble(even[k]) << 4 | nibble(even[k + 1])));
  }
  return bytes;
}

std::string tlv(const std::string& tag, const std::string& value) {
  const std::string kept = value.substr(0, 0x7F);
  return tag + static_cast<char>(kept.size()) + kept;
}

// The card data the input chooses for the message, and where it goes.
struct CardChoices {
  std::vector<std::string> pans;   // ten card numbers
  std::vector<std::string> rests;  // what follows the separators of the tracks
  char separator;                  // of field 35
  std::string wrapper;             // the template around 57, or none
  std::string noise;               // arbitrary chip data after the card data
};

// The message of `choices`, with the data masking hides changed when `twin`.
std::string message_of(const Decoder& decoder, const CardChoices& choices, bool twin) {
  std::vector<std::string> pans = choices.pans, rests = choices.rests;
  if (twin) {
    for (std::string& pan : pans) pan = twin_pan(pan);
    for (std::string& rest : rests) rest = twin_rest(rest);
  }
  std::string track2 = tlv("\x57", packed(pans[5] + "D" + rests[4]));
  if (!choices.wrapper.empty()) track2 = tlv(choices.wrapper, track2 + choices.noise.substr(0, 40));
  PackRequest request;
  request.type_indicator = "0200";
  request.fields = {
      {2, pans[0]},
      {35, pans[1] + choices.separator + rests[0]},
      {36, "01" + pans[2] + "=" + rests[1]},
      {45, "B" + pans[3] + "^" + rests[2]},
      // The noise goes after the card data, so that none of it can take
      // the elements holding card numbers into its own value.
      {55, tlv("\x5A", packed(pans[4])) + track2 + tlv("\x9F\x6B", packed(pans[6] + "D" + rests[5])) +
               tlv("\x56", "B" + pans[7] + "^" + rests[3]) + choices.noise},
  };
  // Card data as text, which the fields' encodings turn into bytes.
  for (PackField& field : request.fields) field.value.is_text = field.number != 55;
  PackValue tagged;
  tagged.from_parts = true;
  tagged.parts = {{"48.26", PackValue(pans[8])}};
  tagged.parts[0].value.is_text = true;
  PackValue digits;
  digits.from_parts = true;
  digits.parts = {{"60.1", PackValue("22")}, {"60.2", PackValue(pans[9])}};
  request.fields.push_back({48, tagged});
  request.fields.push_back({60, digits});
  std::string message, error;
  fuzz_check(pack_message(decoder.dialect(), request, &message, &error), "the card data message does not pack");
  return message;
}

// Every output form of `message`, masked; empty when it is too short.
std::string masked_outputs(const Decoder& decoder, const std::string& message) {
  DecodedMessage decoded;
  if (decoder.decode(reinterpret_cast<const unsigned char*>(message.data()), message.size(),
                     &decoded) == DecodeOutcome::kTooShort) {
    return std::string();
  }
  mask_card_data(&decoded);
  return every_output(decoded);
}

// `message` with the hidden digits of its field 2 changed, when field 2
// holds a card number as ASCII digits; otherwise `message` itself.
std::string twin_of_own(const Decoder& decoder, const std::string& message) {
  DecodedMessage decoded;
  if (decoder.decode(reinterpret_cast<const unsigned char*>(message.data()), message.size(),
                     &decoded) == DecodeOutcome::kTooShort) {
    return message;
  }
  // Only a card number shown as it stands has its digits at the same places
  // in the message.
  const DecodedField* pan = decoded.find(2);
  if (pan == nullptr || !is_plain(*pan)) return message;
  const std::string digits(reinterpret_cast<const char*>(pan->data), static_cast<size_t>(pan->length));
  const size_t offset = static_cast<size_t>(pan->data_offset);
  if (digits.find_first_not_of("0123456789") != std::string::npos || offset + digits.size() > message.size()) {
    return message;
  }
  std::string twin = message;
  twin.replace(offset, digits.size(), twin_pan(digits));
  return twin;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  Definitions definitions = parse_definitions(definitions_of(&input));
  fuzz_check(definitions.complete, "the dialect does not read");
  const Decoder decoder(std::move(definitions.dialect));
  CardChoices choices;
  for (int k = 0; k < 10; ++k) choices.pans.push_back(digits(&input, input.ConsumeIntegralInRange<size_t>(13, 19)));
  choices.rests = {digits(&input, 12), digits(&input, 20), "NAME/GIVEN^" + digits(&input, 10),
                   "X^1", digits(&input, 8), digits(&input, 7)};
  choices.separator = input.ConsumeBool() ? '=' : 'D';
  const char* const kWrappers[] = {"", "\x70", "\x77", "\xBF\x0C", "\xE1"};
  choices.wrapper = kWrappers[input.ConsumeIntegralInRange<size_t>(0, 4)];
  choices.noise = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<size_t>(0, 200));
  fuzz_check(masked_outputs(decoder, message_of(decoder, choices, false)) ==
                 masked_outputs(decoder, message_of(decoder, choices, true)),
             "masked outputs show data that masking hides");

  const std::string own = input.ConsumeRemainingBytesAsString();
  fuzz_check(masked_outputs(decoder, own) == masked_outputs(decoder, twin_of_own(decoder, own)),
             "masked outputs show hidden digits of field 2");
  return 0;
}

// Masking card data: each place a card number (PAN), track or PIN data can
// stand, in every output form; and the guarantee, for random card numbers
// in every place at once, that no output keeps more than a PAN's first 6
// and last 4 digits.
#include <random>
#include <string>
#include <vector>

#include "decode/decoder.h"
#include "gtest/gtest.h"
#include "mask/card_data_mask.h"
#include "pack/message_packer.h"
#include "tests/masking_support.h"
#include "tests/test_support.h"

namespace {

const char kDefinitions[] =
    "1|4|0\n2|19|2\n35|37|2\n36|104|3\n45|76|2\n52|8|0\n55|999|3\n";

std::string tlv(const std::string& tag_hex, const std::string& value) {
  return bytes_of(tag_hex) + static_cast<char>(value.size()) + value;
}

// Every output form of `request`'s message, masked.
std::string masked_outputs(const PackRequest& request) {
  static const Decoder decoder = decoder_of(kDefinitions);
  std::string message, error;
  EXPECT_TRUE(pack_message(decoder.dialect(), request, &message, &error)) << error;
  DecodedMessage decoded;
  EXPECT_EQ(decoder.decode(reinterpret_cast<const unsigned char*>(message.data()), message.size(),
                           &decoded),
            DecodeOutcome::kUnpacked);
  mask_card_data(&decoded);
  return every_output(decoded);
}

PackRequest request_with(int field, const std::string& bytes) {
  PackRequest request;
  request.type_indicator = "0200";
  request.fields.push_back({field, bytes});
  return request;
}

TEST(MaskTest, FieldsKeepThePansEndsAndHideTrackAndPinData) {
  const struct {
    int field;
    std::string data, shown;
  } kCases[] = {
      {2, "6222021234567890123", "622202*********0123"},
      {35, "6222021234567890123=2912220123456780", "622202*********0123=****************"},
      {35, "4111111111111111D29121011234", "411111******1111D***********"},
      {36, "016222021234567890123=1562912", "016222***********0123=*******"},
      {45, "B6222021234567890123^ZHANG/SAN^2912101", "B622202*********0123^*****************"},
  };
  for (const auto& c : kCases) {
    const std::string outputs = masked_outputs(request_with(c.field, c.data));
    EXPECT_NE(outputs.find("=[" + c.shown + "]"), std::string::npos) << c.data;  // the reports
    EXPECT_NE(outputs.find("\"text\":\"" + c.shown + "\""), std::string::npos) << c.data;
    EXPECT_EQ(outputs.find(c.data), std::string::npos) << c.data;
  }
  // A card number in packed digits, as some dialects hold field 2.
  const std::string packed = masked_outputs(request_with(2, bytes_of("6222021234567890123F")));
  EXPECT_NE(packed.find("\"hex\":\"622202*********0123F\""), std::string::npos);
  EXPECT_EQ(packed.find("62220212345"), std::string::npos);
  const std::string pin = masked_outputs(request_with(52, bytes_of("0123456789ABCDEF")));
  EXPECT_NE(pin.find("fld[052][008]=[********]"), std::string::npos);
  EXPECT_NE(pin.find("\"hex\":\"****************\""), std::string::npos);
}

TEST(MaskTest, ChipDataElementsAreMaskedAlsoInsideTemplates) {
  const std::string chip =
      tlv("9F27", bytes_of("80")) + tlv("5A", bytes_of("6222021234567890123F")) +
      tlv("70", tlv("57", bytes_of("6222021234567890123D29122201234567890F")) +
                    tlv("5F20", "ZHANG/SAN") + tlv("9F1F", "123456")) +
      tlv("9F6B", bytes_of("4111111111111111D2912F")) + tlv("56", "B4111111111111111^LI/SI^2912") +
      tlv("9F20", bytes_of("1234"));
  const std::string outputs = masked_outputs(request_with(55, chip));
  for (const char* shown : {
           "5A  [10]:622202*********0123F",  // the F that pads is not a digit
           "9F6B[11]:411111******1111D*****",
           "56  [28]:42343131313131************313131315E********************",
           "9F20[02]:****",
           "9F27[01]:80",
       }) {
    EXPECT_NE(outputs.find(shown), std::string::npos) << shown;
  }
  // The template's value: 57's PAN and all after its separator, then 5F20
  // and 9F1F completely.
  EXPECT_NE(outputs.find("5713622202*********0123D" + std::string(18, '*') + "5F2009" +
                         std::string(18, '*') + "9F1F06" + std::string(12, '*')),
            std::string::npos);
  EXPECT_EQ(outputs.find("6222021234"), std::string::npos);
  EXPECT_EQ(outputs.find("ZHANG"), std::string::npos);
}

// Found by fuzzing: a track 1 element at the end of a template claims more
// bytes than the template holds, those of the 9F6B and the 56 after it.
// Whether the hidden digits of 9F6B make ASCII digits must not move the
// masking of the 56.
TEST(MaskTest, HiddenDigitsDoNotShowThroughAnElementRunningPastItsTemplate) {
  auto chip = [](const std::string& pan) {
    return tlv("E1", tlv("57", bytes_of("6222021234567890123D2912")) + bytes_of("56819F")) +
           tlv("9F6B", bytes_of(pan + "D2912")) + tlv("56", "B4111111111111111^X^1");
  };
  EXPECT_EQ(masked_outputs(request_with(55, chip("4111113939393911"))),
            masked_outputs(request_with(55, chip("4111114040403911"))));
}

TEST(MaskTest, NoOutputHoldsMoreOfAnyPanThanItsFirst6AndLast4Digits) {
  std::mt19937 random(8583);
  auto digits = [&random](size_t count) {
    std::string text;
    while (text.size() < count) text.push_back(static_cast<char>('0' + random() % 10));
    return text;
  };
  for (int round = 0; round < 200; ++round) {
    std::vector<std::string> pans;
    for (int k = 0; k < 8; ++k) pans.push_back(digits(13 + random() % 7));
    auto packed = [](const std::string& text) {
      return bytes_of(text.size() % 2 == 0 ? text : text + "F");
    };
    PackRequest request;
    request.type_indicator = "0200";
    request.fields = {
        {2, pans[0]},
        {35, pans[1] + (round % 2 == 0 ? "=" : "D") + digits(12)},
        {36, "01" + pans[2] + "=" + digits(20)},
        {45, "B" + pans[3] + "^NAME/GIVEN^" + digits(10)},
        {55, tlv("5A", packed(pans[4])) + tlv("70", tlv("57", packed(pans[5] + "D" + digits(8)))) +
                 tlv("9F6B", packed(pans[6] + "D" + digits(7))) + tlv("56", "B" + pans[7] + "^X^1")},
    };
    const std::string outputs = masked_outputs(request);
    for (const std::string& pan : pans) ASSERT_FALSE(reveals_pan(outputs, pan)) << pan << "\n" << outputs;
  }
}

// The hidden middle of `pan` as the hexadecimal of EBCDIC digits, when it
// is long enough (7 digits) not to turn up elsewhere by chance.
std::string ebcdic_middle(const std::string& pan) {
  std::string hex;
  for (size_t k = 6; k + 4 < pan.size(); ++k) hex += std::string("F") + pan[k];
  return hex.size() >= 14 ? hex : "no middle to look for";
}

TEST(MaskDialects, CardNumbersInRandomEncodingsKeepOnlyTheirFirst6AndLast4Digits) {
  std::mt19937 random(1987);
  auto pick = [&random](int high) { return static_cast<int>(random() % static_cast<unsigned>(high + 1)); };
  auto digits = [&random](size_t count) {
    std::string text;
    while (text.size() < count) text.push_back(static_cast<char>('0' + random() % 10));
    return text;
  };
  static const char* const kData[] = {"raw", "bcd", "ebcdic", "track"};
  static const char* const kLengths[] = {"ascii", "ebcdic", "bcd", "binary"};
  for (int round = 0; round < 200; ++round) {
    const int fields[] = {2, 34, 35, 36, 45, 48};
    std::string definitions = "1|4|0\n";
    for (int field : fields) {
      const int length = pick(3);
      definitions += std::to_string(field) + "|60|" + (length == 3 ? "1" : "2") + " len=" +
                     kLengths[length] + " data=" + kData[field == 2 || field == 34 ? pick(2) : pick(3)] +
                     (field == 48 ? " mask=card" : "") + (pick(1) ? " align=left" : "") + "\n";
    }
    const Decoder decoder = decoder_of(definitions);
    PackRequest request;
    request.type_indicator = "0200";
    std::vector<std::string> pans;
    for (int field : fields) {
      pans.push_back(digits(13 + random() % 7));
      const FieldFormat& format = decoder.dialect().defs[field].format;
      const bool track = format.data == DataEncoding::kTrack;
      const std::string text = pans.back() + (field == 2 || field == 34 ? "" : (track ? "=" : "D") + digits(9));
      PackValue value(text);
      value.is_text = true;
      if (format.data == DataEncoding::kBcd) {
        // Packed digits take a separator D only as their bytes.
        const bool odd = text.size() % 2 != 0;
        value = PackValue(bytes_of(odd && !format.left_aligned ? "0" + text : odd ? text + "0" : text));
        value.length = static_cast<int>(text.size());
      }
      request.fields.push_back({field, value});
    }
    std::string message, error;
    ASSERT_TRUE(pack_message(decoder.dialect(), request, &message, &error)) << error;
    DecodedMessage decoded;
    ASSERT_EQ(decoder.decode(reinterpret_cast<const unsigned char*>(message.data()), message.size(), &decoded),
              DecodeOutcome::kUnpacked);
    mask_card_data(&decoded);
    const std::string outputs = every_output(decoded);
    for (const std::string& pan : pans) {
      ASSERT_FALSE(reveals_pan(outputs, pan)) << pan << "\n" << definitions << outputs;
      ASSERT_EQ(outputs.find(ebcdic_middle(pan)), std::string::npos) << pan << "\n" << outputs;
    }
  }
}

TEST(MaskDialects, CardNumbersInPartsOfEveryLayoutKeepOnlyTheirFirst6AndLast4Digits) {
  std::mt19937 random(2026);
  auto pick = [&random](int high) { return static_cast<int>(random() % static_cast<unsigned>(high + 1)); };
  auto digits = [&random](size_t count) {
    std::string text;
    while (text.size() < count) text.push_back(static_cast<char>('0' + random() % 10));
    return text;
  };
  static const char* const kData[] = {"raw", "ebcdic", "bcd"};
  for (int round = 0; round < 100; ++round) {
    // A card number in a part of each kind of layout, in a random encoding.
    const std::string data = kData[pick(2)];
    const std::string definitions =
        "1|4|0\n"
        "43|99|2 layout=delimited separator=/ delimited=2\n43.1|19|0 mask=card\n43.2|20|0\n"
        "48|99|3 layout=tagged tag=ascii2 tag-len=ascii2\n48.26|19|0 mask=card data=" + data + "\n"
        "60|99|3 data=bcd layout=positional\n60.1|2|0\n60.2|*|0 mask=card\n"
        "62|99|3 layout=bitmap map-bytes=8\n62.2|19|2 mask=card data=" + data + "\n"
        "63|99|3 layout=tlv\n63.5A|10|0 data=bcd mask=card\n";
    const Decoder decoder = decoder_of(definitions);
    std::vector<std::string> pans;
    for (int k = 0; k < 5; ++k) pans.push_back(digits(13 + random() % 7));
    auto parts = [](std::vector<PackPart> list) {
      PackValue value;
      value.from_parts = true;
      value.parts = std::move(list);
      return value;
    };
    auto text = [](const std::string& characters) {
      PackValue value(characters);
      value.is_text = true;
      return value;
    };
    auto hex = [](const std::string& digits_as_nibbles) {
      PackValue value(digits_as_nibbles);
      value.is_hex = true;
      return value;
    };
    const std::string even = pans[4].size() % 2 == 0 ? pans[4] : pans[4] + "F";
    PackRequest request;
    request.type_indicator = "0200";
    request.fields = {
        {43, parts({{"43.1", text(pans[0])}, {"43.2", text("SHOP")}})},
        {48, parts({{"48.26", text(pans[1])}})},
        {60, parts({{"60.1", hex("22")}, {"60.2", hex(pans[2])}})},
        {62, parts({{"62.2", text(pans[3])}})},
        {63, parts({{"63.5A", hex(even)}})},
    };
    std::string message, error;
    ASSERT_TRUE(pack_message(decoder.dialect(), request, &message, &error)) << error;
    DecodedMessage decoded;
    ASSERT_EQ(decoder.decode(reinterpret_cast<const unsigned char*>(message.data()), message.size(), &decoded),
              DecodeOutcome::kUnpacked);
    ASSERT_TRUE(decoded.misfits.empty()) << decoded.misfits[0].reason;
    ASSERT_EQ(decoded.parts.size(), 7u);
    mask_card_data(&decoded);
    const std::string outputs = every_output(decoded);
    for (const std::string& pan : pans) {
      ASSERT_FALSE(reveals_pan(outputs, pan)) << pan << "\n" << definitions << outputs;
      ASSERT_EQ(outputs.find(ebcdic_middle(pan)), std::string::npos) << pan << "\n" << outputs;
    }
  }
}

}  // namespace

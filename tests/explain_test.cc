// The explanation for people, and its keys in the JSON: field meanings, the
// chip data as a tree with the meanings of bits and codes, and no meaning
// for masked data.
#include <string>

#include "decode/decoder.h"
#include "explain/explain_report.h"
#include "gtest/gtest.h"
#include "json/message_json.h"
#include "mask/card_data_mask.h"
#include "pack/message_packer.h"
#include "rapidjson/document.h"
#include "tests/test_support.h"

namespace {

const char kDefinitions[] =
    "1|4|0 # message type indicator\n4|12|0 # amount, transaction\n49|3|0\n55|999|3 # chip data\n";

std::string tlv(const std::string& tag_hex, const std::string& value) {
  return bytes_of(tag_hex) + static_cast<char>(value.size()) + value;
}

// A purchase of 128.50 CNY whose chip data holds a template with a card
// number and a TVR, and a cryptogram information data element.
const std::string kChipData = tlv("70", tlv("5A", bytes_of("6222021234567890")) +
                                            tlv("95", bytes_of("0000048000"))) +
                              tlv("9F27", bytes_of("80"));

class ExplainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PackRequest request;
    request.type_indicator = "0200";
    request.fields = {{4, "000000012850"}, {49, "156"}, {55, kChipData}};
    std::string error;
    ASSERT_TRUE(pack_message(decoder.dialect(), request, &bytes, &error)) << error;
  }

  // The decoded message, masked when `mask`.
  const DecodedMessage& decoded(bool mask) {
    EXPECT_EQ(decoder.decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                             &message),
              DecodeOutcome::kUnpacked);
    if (mask) mask_card_data(&message);
    return message;
  }

  const Decoder decoder = decoder_of(kDefinitions);
  ExplanationWriter explanation;
  std::string bytes;
  DecodedMessage message;
};

TEST_F(ExplainTest, FieldsAndTheChipDataTreeInWords) {
  std::string text;
  explanation.write(decoded(false), &text);
  EXPECT_EQ(text,
            "Message type indicator | 4 bytes | 0200\n"
            "    ISO 8583:1987, financial, request, from acquirer\n"
            "Bitmap | 16 bytes | 10000000000082000000000000000000\n"
            "    fields 4, 49, 55\n"
            "Field 4 | amount, transaction | 12 bytes | 000000012850\n"
            "    128.50 CNY\n"
            "Field 49 | 3 bytes | 156\n"
            "    Yuan Renminbi (CNY)\n"
            "Field 55 | chip data | 23 bytes | hex 70115A086222021234567890950500000480009F270180\n"
            "  70 | READ RECORD Response Message Template | 读记录响应报文模板 | 17 bytes\n"
            "    5A | Application Primary Account Number (PAN) | 应用主账号（PAN） | 8 bytes | "
            "6222021234567890\n"
            "    95 | Terminal Verification Results (TVR) | 终端验证结果 | 5 bytes | 0000048000\n"
            "        byte 3 bit 3: Online PIN entered\n"
            "        byte 4 bit 8: Transaction exceeds floor limit\n"
            "  9F27 | Cryptogram Information Data | 密文信息数据 | 1 byte | 80\n"
            "      ARQC (Authorisation Request Cryptogram); no advice required; reason: no "
            "information given\n"
            "Result: unpacked: every flagged field was read\n");
}

TEST_F(ExplainTest, MaskedDataIsShownHiddenAndWithoutMeaning) {
  std::string text;
  explanation.write(decoded(true), &text);
  EXPECT_NE(text.find("    5A | Application Primary Account Number (PAN) | 应用主账号（PAN） | 8 bytes | "
                      "622202******7890\n"),
            std::string::npos);
  EXPECT_EQ(text.find("6222021234567890"), std::string::npos);
}

TEST_F(ExplainTest, TheJsonCarriesTheSameMeanings) {
  MessageJson json(true);
  std::string line;
  json.begin(&line);
  json.add_decoded(decoded(false));
  json.end();
  rapidjson::Document document;
  ASSERT_FALSE(document.Parse(line.c_str()).HasParseError()) << line;
  const auto& amount = document["fields"][0];
  EXPECT_STREQ(amount["meaning"].GetString(), "128.50 CNY");
  EXPECT_STREQ(amount["amount"].GetString(), "128.50");
  EXPECT_STREQ(amount["currency"].GetString(), "CNY");
  const auto& chip = document["field55"];
  ASSERT_EQ(chip.Size(), 2u);
  const auto& tvr = chip[0]["children"][1];
  EXPECT_STREQ(tvr["name_en"].GetString(), "Terminal Verification Results (TVR)");
  ASSERT_EQ(tvr["bits"].Size(), 2u);
  EXPECT_EQ(tvr["bits"][1]["byte"].GetInt(), 4);
  EXPECT_EQ(tvr["bits"][1]["bit"].GetInt(), 8);
  EXPECT_STREQ(tvr["bits"][1]["meaning"].GetString(), "Transaction exceeds floor limit");
  EXPECT_STREQ(chip[1]["name"].GetString(), "密文信息数据");
  EXPECT_STREQ(document["mti_meaning"].GetString(),
               "ISO 8583:1987, financial, request, from acquirer");
}

TEST(ExplainVerdictTest, EveryEndingInWords) {
  const struct {
    UnpackVerdict verdict;
    const char* words;
  } kCases[] = {
      {{UnpackResult::kUnpacked, 0, 0, 0, 0}, "unpacked: every flagged field was read"},
      {{UnpackResult::kTooShort, 0, 33, 24, 0}, "too short: the fields need 33 bytes, the message has 24"},
      {{UnpackResult::kFieldNotDefined, 65, 0, 0, 0}, "field 65 is flagged but the definitions lack it"},
      {{UnpackResult::kLengthTooLong, 2, 0, 0, 0}, "the length indicator of field 2 exceeds its maximum"},
      {{UnpackResult::kLengthInvalid, 128, 0, 0, 0}, "the length indicator of field 128 is negative"},
      {{UnpackResult::kHeaderTooLong, 0, 1200, 40, 0}, "the header needs 1200 bytes, the message has 40"},
      {{UnpackResult::kBitmapNotHex, 0, 0, 0, 0}, "the bitmap is not hexadecimal text"},
      {{UnpackResult::kLengthNotDigits, 35, 0, 0, 0}, "the length indicator of field 35 is not digits"},
  };
  ExplanationWriter explanation;
  for (const auto& ending : kCases) {
    DecodedMessage message;
    message.verdict = ending.verdict;
    std::string text;
    explanation.write(message, &text);
    const std::string last_line = "Result: " + std::string(ending.words) + "\n";
    ASSERT_GE(text.size(), last_line.size());
    EXPECT_EQ(text.substr(text.size() - last_line.size()), last_line);
  }
}

}  // namespace

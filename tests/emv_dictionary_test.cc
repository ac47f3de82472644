// The chip-data dictionary: its size and order, lookups of one- and
// two-byte tags, and Chinese names that agree with the report's and show in
// code page 936.
#include "emv/tag_dictionary.h"

#include <string>

#include "decode/tag_names.h"
#include "gtest/gtest.h"
#include "tests/test_support.h"

namespace {

const EmvTag* find_code(int code) {
  const unsigned char tag[2] = {static_cast<unsigned char>(code > 0xFF ? code >> 8 : code),
                                static_cast<unsigned char>(code > 0xFF ? code & 0xFF : 0)};
  return find_emv_tag(tag, code > 0xFF ? 2 : 1);
}

TEST(EmvDictionaryTest, HoldsAtLeastAHundredTagsInStrictOrder) {
  EXPECT_GE(emv_tag_count, 100);
  for (int row = 1; row < emv_tag_count; ++row) {
    EXPECT_LT(emv_tags[row - 1].code, emv_tags[row].code) << "row " << row;
  }
}

TEST(EmvDictionaryTest, EveryRowIsATagFoundByItsBytes) {
  for (int row = 0; row < emv_tag_count; ++row) {
    const int code = emv_tags[row].code;
    const int first_byte = code > 0xFF ? code >> 8 : code;
    // A first byte ending in bits 11111 announces a second byte.
    EXPECT_EQ((first_byte & 0x1F) == 0x1F, code > 0xFF) << std::hex << code;
    EXPECT_EQ(find_code(code), &emv_tags[row]) << std::hex << code;
    EXPECT_STRNE(emv_tags[row].name, "");
  }
}

TEST(EmvDictionaryTest, ChineseNamesOfTheReportsTagsAreTheReportsOwn) {
  for (int row = 0; row < kFilledTagNames; ++row) {
    const int code = std::stoi(report_tag_names[row].tag, nullptr, 16);
    const EmvTag* tag = find_code(code);
    ASSERT_NE(tag, nullptr) << report_tag_names[row].tag;
    EXPECT_EQ(tag->chinese_name, iconv_convert("UTF-8", "CP936", report_tag_names[row].name))
        << report_tag_names[row].tag;
  }
}

TEST(EmvDictionaryTest, EveryChineseNameShowsInCodePage936) {
  for (int row = 0; row < emv_tag_count; ++row) {
    const std::string name = emv_tags[row].chinese_name;
    ASSERT_FALSE(name.empty()) << std::hex << emv_tags[row].code;
    EXPECT_EQ(iconv_convert("UTF-8", "CP936", iconv_convert("CP936", "UTF-8", name)), name);
  }
}

TEST(EmvDictionaryTest, NamesTheTemplates) {
  EXPECT_STREQ(find_code(0x6F)->name, "File Control Information (FCI) Template");
  EXPECT_STREQ(find_code(0x77)->name, "Response Message Template Format 2");
  EXPECT_STREQ(find_code(0x80)->name, "Response Message Template Format 1");
  EXPECT_STREQ(find_code(0xBF0C)->chinese_name, "文件控制信息（FCI）发卡行自定义数据");
  for (int code : {0x61, 0x6F, 0x70, 0x71, 0x72, 0x73, 0x77, 0xA5, 0xBF0C, 0xE1}) {
    EXPECT_NE(find_code(code), nullptr) << std::hex << code;
  }
}

TEST(EmvDictionaryTest, LooksUpOneAndTwoByteTags) {
  const unsigned char cryptogram[2] = {0x9F, 0x26};
  ASSERT_NE(find_emv_tag(cryptogram, 2), nullptr);
  EXPECT_STREQ(find_emv_tag(cryptogram, 2)->name, "Application Cryptogram");
  EXPECT_STREQ(find_emv_tag(cryptogram, 2)->chinese_name, "应用密文");

  const unsigned char tvr_with_stray_byte[2] = {0x95, 0x26};
  ASSERT_NE(find_emv_tag(tvr_with_stray_byte, 1), nullptr);
  EXPECT_STREQ(find_emv_tag(tvr_with_stray_byte, 1)->chinese_name, "终端验证结果");
}

TEST(EmvDictionaryTest, FindsNothingForUnknownOrMisframedTags) {
  const unsigned char unknown[2] = {0x9F, 0xEE};
  const unsigned char tvr[2] = {0x95, 0x00};
  const unsigned char cryptogram[2] = {0x9F, 0x26};
  const unsigned char shifted_tvr[2] = {0x00, 0x95};
  EXPECT_EQ(find_emv_tag(unknown, 2), nullptr);
  EXPECT_EQ(find_emv_tag(tvr, 2), nullptr);         // 95 is one byte long
  EXPECT_EQ(find_emv_tag(cryptogram, 1), nullptr);  // 9F announces a second byte
  EXPECT_EQ(find_emv_tag(shifted_tvr, 2), nullptr);
  EXPECT_EQ(find_emv_tag(tvr, 0), nullptr);
  EXPECT_EQ(find_emv_tag(cryptogram, 3), nullptr);
}

TEST(EmvDictionaryTest, TheIndexFindsWhatASearchOfEveryRowFinds) {
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      const unsigned char tag[2] = {static_cast<unsigned char>(first),
                                    static_cast<unsigned char>(second)};
      for (int length = 1; length <= 2; ++length) {
        if (length == 1 && second > 0) continue;
        const int code = emv_tag_code(tag, length);
        const EmvTag* row = nullptr;
        for (int k = 0; k < emv_tag_count; ++k) {
          if (code != 0 && emv_tags[k].code == code) row = &emv_tags[k];
        }
        ASSERT_EQ(find_emv_tag(tag, length), row) << std::hex << first << " " << second;
      }
    }
  }
}

TEST(EmvDictionaryTest, NamesKnowTheirLengths) {
  for (int row = 0; row < emv_tag_count; ++row) {
    EXPECT_EQ(emv_tags[row].english(), std::string(emv_tags[row].name));
    EXPECT_EQ(emv_tags[row].chinese(), std::string(emv_tags[row].chinese_name));
  }
}

}  // namespace

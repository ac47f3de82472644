// The field 55 decoder: the chip-card data of a message listed element by
// element, with the names of the dictionary's tags.
#include "window_decode/unpack_message.h"

#include <cstdio>
#include <string>

#include "gtest/gtest.h"
#include "tests/test_support.h"
#include "tests/window_test_support.h"
#include "window_decode/field_tables.h"

namespace {

const char kOpening[] = "=======55域子域解析=========\n";
const char kClosing[] = "=======55域子域解析结束=======\n";

class Field55Test : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(define_fields("1|4|0\n2|19|2\n55|999|3\n"), 0); }

  // The report lines from the opening banner on, for a message whose
  // field 55 holds the bytes of `tlv_hex`.
  static Report lines_for(const std::string& tlv_hex) {
    const std::string data = bytes_of(tlv_hex);
    char indicator[8];
    std::snprintf(indicator, sizeof indicator, "%03zu", data.size());
    const Report report = decode_hex("30323030" "00000000000002000000000000000000" +
                                     hex_of(indicator) + hex_of(data));
    const size_t banner = report.find("=======55");
    return banner == std::string::npos ? Report() : report.substr(banner);
  }

  static Report expected(const std::string& element_lines) {
    return report_text(kOpening + element_lines + kClosing);
  }
};

TEST_F(Field55Test, OneAndTwoByteTagsWithTheirNames) {
  EXPECT_EQ(lines_for("9F2701 80 9505 0000000000"),
            expected("Tag-01:9F27[01]:80                   [密文信息数据]\n"
                     "Tag-02:95  [05]:0000000000           [终端验证结果]\n"));
}

TEST_F(Field55Test, AnEightByteCryptogram) {
  EXPECT_EQ(lines_for("9F2608 7A3C1E5B9D20F486"),
            expected("Tag-01:9F26[08]:7A3C1E5B9D20F486     [应用密文]\n"));
}

TEST_F(Field55Test, EveryDictionaryTagIsNamed) {
  const char* const kNames[kFilledTagNames] = {
      "应用密文", "密文信息数据", "发卡行应用数据", "不可预知数", "应用交易计数器",
      "终端验证结果", "交易日期", "交易类型", "授权金额", "交易货币代码",
      "应用交互特征", "终端国家代码", "其它金额", "终端性能", "持卡人验证方法结果",
      "终端类型", "接口设备序列号", "专用文件名称", "应用版本号", "交易序列计数器",
      "发卡行认证数据", "发卡行脚本1", "发卡行脚本 2", "发卡方脚本结果", "电子现金发卡行授权码"};
  for (int row = 0; row < kFilledTagNames; ++row) {
    const std::string tag = tag_names[row].tag;
    const std::string padding(4 - tag.size(), ' ');
    EXPECT_EQ(lines_for(tag + "01 AB"),
              expected("Tag-01:" + tag + padding + "[01]:AB                   [" + kNames[row] +
                       "]\n"));
  }
  for (int row = kFilledTagNames; row < kTagNameRows; ++row) {
    EXPECT_STREQ(tag_names[row].tag, "");
    EXPECT_STREQ(tag_names[row].name, "");
  }
}

TEST_F(Field55Test, UnknownTagsHaveAnEmptyName) {
  EXPECT_EQ(lines_for("9F5301 52"), expected("Tag-01:9F53[01]:52                   []\n"));
}

TEST_F(Field55Test, IssuerScriptTagsAreNamedOnlyAsTwoByteTags) {
  EXPECT_EQ(lines_for("7100 7200 9F7100 9F7200"),
            expected("Tag-01:71  [00]:                     []\n"
                     "Tag-02:72  [00]:                     []\n"
                     "Tag-03:9F71[00]:                     [发卡行脚本1]\n"
                     "Tag-04:9F72[00]:                     [发卡行脚本 2]\n"));
}

TEST_F(Field55Test, ValuesOfTenBytesOrMoreAreNotPadded) {
  EXPECT_EQ(lines_for("910A 3A1F77C2E0045E2B3030"),
            expected("Tag-01:91  [10]:3A1F77C2E0045E2B3030 []\n"));
  EXPECT_EQ(lines_for("9F1012 07010103A0A802010A010000000000A1B2C3"),
            expected("Tag-01:9F10[18]:07010103A0A802010A010000000000A1B2C3 [发卡行应用数据]\n"));
}

TEST_F(Field55Test, LongFormLengths) {
  const std::string value160(320, 'C');
  EXPECT_EQ(lines_for("9F6381A0" + value160),
            expected("Tag-01:9F63[160]:" + value160 + " []\n"));
  const std::string value300(600, 'D');
  EXPECT_EQ(lines_for("9F6382012C" + value300),
            expected("Tag-01:9F63[300]:" + value300 + " []\n"));
}

TEST_F(Field55Test, SequenceNumbersFrom100PrintWithThreeDigits) {
  std::string elements;
  for (int k = 0; k < 101; ++k) elements += "9C0100";
  const Report lines = lines_for(elements);
  EXPECT_NE(lines.find(report_text("Tag-99:9C  [01]:00                   [交易类型]\n")),
            std::string::npos);
  EXPECT_NE(lines.find(report_text("Tag-100:9C  [01]:00                   [交易类型]\n"
                                   "Tag-101:9C  [01]:00                   [交易类型]\n") +
                       report_text(kClosing)),
            std::string::npos);
}

TEST_F(Field55Test, AnEmptyFieldGivesBothBannersAlone) {
  EXPECT_EQ(lines_for(""), expected(""));
}

TEST_F(Field55Test, NoBannersWithoutField55) {
  // Field 2 only.
  const Report report = decode_hex("30323030" "40000000000000000000000000000000" "3034" "31323334");
  EXPECT_EQ(report, report_text("开始解包:\nfld[000][004]=[0200]\nfld[002][004]=[1234]\n解包成功\n"));
}

TEST_F(Field55Test, NoBannersWhenField55IsNotDefined) {
  ASSERT_EQ(define_fields("1|4|0\n"), 0);
  const Report report =
      decode_hex("30323030" "00000000000002000000000000000000" "303033" "9C0100");
  EXPECT_EQ(report, report_text("开始解包:\nfld[000][004]=[0200]\nfld[55] bitmap is not exist!\n"));
}

TEST_F(Field55Test, AnElementRunningPastTheFieldShowsZeroBytes) {
  EXPECT_EQ(lines_for("9F2608 AABB"), expected("Tag-01:9F26[08]:AABB000000000000     [应用密文]\n"));
}

TEST_F(Field55Test, ATagWhoseLengthLiesPastTheFieldHasLengthZero) {
  EXPECT_EQ(lines_for("9F"), expected("Tag-01:9F00[00]:                     []\n"));
}

TEST_F(Field55Test, ReadsPastTheFieldStorageSeeZeroBytes) {
  // Storage for field 55 is 5 bytes; the element claims 16 value bytes.
  ASSERT_EQ(define_fields("1|4|0\n55|4|3\n"), 0);
  EXPECT_EQ(lines_for("9F2610 AA"),
            expected("Tag-01:9F26[16]:AA000000000000000000000000000000 [应用密文]\n"));
}

TEST_F(Field55Test, UnsupportedLengthFormsEndTheWalk) {
  // Long-form counts 0 and 3, and a value longer than 300 bytes.
  for (const char* length : {"80", "83000001", "82012D"}) {
    EXPECT_EQ(lines_for(std::string("9F2701 80 9F26") + length + "AA 9C0100"),
              expected("Tag-01:9F27[01]:80                   [密文信息数据]\n"))
        << length;
  }
}

TEST_F(Field55Test, DecodedAlsoAfterAFailedUnpack) {
  // Field 55 is stored, then the undefined field 60 ends the unpack.
  const Report report = decode_hex("30323030" "00000000000002100000000000000000"
                                   "303033" "9C0100" "303031" "41");
  EXPECT_EQ(report.substr(report.find("fld[60]")),
            report_text("fld[60] bitmap is not exist!\n") +
                expected("Tag-01:9C  [01]:00                   [交易类型]\n"));
}

TEST(AppendTagLine, FormatsOneElement) {
  const unsigned char tag[] = {0x5F, 0x2A};
  const unsigned char value[] = {0x01, 0x56};
  Report report = "before\r\n";
  append_tag_line(tag, 2, value, 2, 10, &report);
  EXPECT_EQ(report, report_text("before\nTag-10:5F2A[02]:0156                 [交易货币代码]\n"));
}

}  // namespace

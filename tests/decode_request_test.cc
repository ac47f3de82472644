// The decode request: pasted text in, report (or an early ending) out,
// including the whole reports of the sample messages.
#include "window_decode/decode_request.h"

#include <cstdio>
#include <string>

#include "decode/message_text.h"
#include "gtest/gtest.h"
#include "tests/test_support.h"
#include "tests/window_test_support.h"
#include "window_decode/field_defs_loader.h"

namespace {

// The message type indicator 0200, a bitmap flagging fields 3 and 11, and
// the two fixed fields: 32 bytes.
const char kSmallMessage[] =
    "30323030" "20200000000000000000000000000000" "303030303030" "303030303031";

class DecodeRequestTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(define_fields("1|4|0\n3|6|0\n11|6|0\n"), 0); }

  DecodeOutcome decode(const std::string& text) { return decode_request(text, &report); }

  Report report;
};

TEST_F(DecodeRequestTest, DecodesAMessageIntoItsReport) {
  EXPECT_EQ(decode(kSmallMessage), DecodeOutcome::kUnpacked);
  EXPECT_EQ(report, report_text("开始解包:\n"
                                "fld[000][004]=[0200]\n"
                                "fld[003][006]=[000000]\n"
                                "fld[011][006]=[000001]\n"
                                "解包成功\n"));
}

TEST_F(DecodeRequestTest, BlanksAndLineBreaksAreIgnored) {
  const Report unbroken = decode_hex(kSmallMessage);
  EXPECT_EQ(decode("30 32 30 30\r\n20 20 00 00 00 00 00 00 00 00 00 00 00 00 00 00\r\n"
                   "30 30 30 30 30 30\n30 30 30 30 30 31\n"),
            DecodeOutcome::kUnpacked);
  EXPECT_EQ(report, unbroken);
}

TEST_F(DecodeRequestTest, LowerCaseDigitsAreRead) {
  ASSERT_EQ(define_fields("1|4|0\n2|19|2\n"), 0);
  EXPECT_EQ(decode("30323030" "40000000000000000000000000000000" "3032" "abcd"),
            DecodeOutcome::kUnpacked);
  EXPECT_EQ(report, report_text("开始解包:\nfld[000][004]=[0200]\nfld[002][002]=[") + "\xAB\xCD" +
                        report_text("]\n解包成功\n"));
}

TEST_F(DecodeRequestTest, AFailedUnpackIsStillDecoded) {
  EXPECT_EQ(decode("30323030" "28000000000000000000000000000000" "303030303030"),
            DecodeOutcome::kUnpackFailed);
  EXPECT_EQ(report, report_text("开始解包:\nfld[000][004]=[0200]\nfld[003][006]=[000000]\n"
                                "fld[5] bitmap is not exist!\n"));
}

TEST_F(DecodeRequestTest, TooShortTexts) {
  for (const std::string& text : {std::string(""), std::string("  \r\n \n"),
                                  std::string(38, '3'), cp936("十六进制报文输入")}) {
    report = "untouched";
    EXPECT_EQ(decode(text), DecodeOutcome::kTooShort) << text;
    EXPECT_EQ(report, "untouched");
  }
  EXPECT_NE(decode(std::string(40, '3')), DecodeOutcome::kTooShort);
}

TEST_F(DecodeRequestTest, OddDigitCounts) {
  report = "untouched";
  EXPECT_EQ(decode(std::string(kSmallMessage) + "3"), DecodeOutcome::kOddDigitCount);
  EXPECT_EQ(decode("303"), DecodeOutcome::kOddDigitCount);
  EXPECT_EQ(report, "untouched");
}

TEST_F(DecodeRequestTest, TabsAndByteOrderMarksAreBlanks) {
  const Report unbroken = decode_hex(kSmallMessage);
  const std::string message = kSmallMessage;
  EXPECT_EQ(decode("\xEF\xBB\xBF" + message.substr(0, 8) + "\t" + message.substr(8) + "\t\r\n"),
            DecodeOutcome::kUnpacked);
  EXPECT_EQ(report, unbroken);
}

TEST_F(DecodeRequestTest, ACharacterThatIsNotHexadecimalIsRefusedWhereItStands) {
  std::string message = std::string(kSmallMessage).insert(8, "\n\t");
  message[13] = 'G';  // line 2, column 5: after the tab and three digits
  report = "untouched";
  EXPECT_EQ(decode(message), DecodeOutcome::kNotHex);
  EXPECT_EQ(report, "untouched");
  std::string bytes;
  const TextReading reading = read_message_text(message, 0, &bytes);
  EXPECT_EQ(reading.ending, TextEnding::kNotHex);
  EXPECT_EQ(reading.non_hex.offset, 13u);
  EXPECT_EQ(reading.non_hex.line, 2u);
  EXPECT_EQ(reading.non_hex.column, 5u);
  EXPECT_EQ(read_message_text(kSmallMessage, 0, &bytes).non_hex.line, 0u);
  // An odd count and too few bytes come first.
  EXPECT_EQ(decode(message + "0"), DecodeOutcome::kOddDigitCount);
  EXPECT_EQ(decode("0x30323030"), DecodeOutcome::kTooShort);
  EXPECT_EQ(decode("0x" + std::string(kSmallMessage)), DecodeOutcome::kNotHex);
}

TEST_F(DecodeRequestTest, TextBeyond3999CharactersIsCut) {
  // 4,000 digits are cut to 3,999: an odd count.
  EXPECT_EQ(decode(std::string(4000, '0')), DecodeOutcome::kOddDigitCount);
  // The cut comes before the blanks are removed: of 3,998 digits, a space
  // and more digits, only the 3,998 digits are decoded.
  const std::string digits = std::string(kSmallMessage) + std::string(3998 - 64, '0');
  EXPECT_EQ(decode(digits + " 1234"), DecodeOutcome::kUnpacked);
  const Report kept = report;
  EXPECT_EQ(decode(digits), DecodeOutcome::kUnpacked);
  EXPECT_EQ(report, kept);
}

TEST(HexPairToByte, HexadecimalDigitsInBothCases) {
  EXPECT_EQ(hex_pair_to_byte("00"), 0x00);
  EXPECT_EQ(hex_pair_to_byte("9F"), 0x9F);
  EXPECT_EQ(hex_pair_to_byte("a0"), 0xA0);
  EXPECT_EQ(hex_pair_to_byte("fF"), 0xFF);
}

TEST(HexPairToByte, OtherCharactersGiveTheLowBitsOfTheirCode) {
  EXPECT_EQ(hex_pair_to_byte("G0"), 0x70);
  EXPECT_EQ(hex_pair_to_byte("zz"), 0xAA);
  EXPECT_EQ(hex_pair_to_byte("\t0"), 0x90);
  EXPECT_EQ(hex_pair_to_byte("\xCA\xCA"), 0xAA);
}

class SampleMessageTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(load_field_defs("bitmap.ini"), 0); }
};

// The field 55 line of the samples: its raw bytes print up to the first
// zero byte, padded with spaces to the field's length.
std::string raw_field55_line(const std::string& tlv_hex) {
  const std::string data = bytes_of(tlv_hex);
  const std::string printed = data.substr(0, data.find('\0'));
  char length[8];
  std::snprintf(length, sizeof length, "%03zu", data.size());
  return std::string("fld[055][") + length + "]=[" + printed +
         std::string(data.size() - printed.size(), ' ') + "]\r\n";
}

const char kPurchaseIcc[] =
    "9F26087A3C1E5B9D20F486" "9F270180" "9F101307010103A0A802010A010000000000A1B2C3D4"
    "9F37045E2D8C11" "9F360201A7" "95050000048000" "9A03261207" "9C0100" "9F0206000000012850"
    "5F2A020156" "82027C00" "9F1A020156" "9F0306000000000000" "9F3303E0E1C8" "9F3403420300"
    "9F350122" "9F1E083132333435363738" "8408A000000333010101" "9F09020030" "9F410400000371"
    "9F631030313130303030300000000000000000";

const char kPurchaseTags[] =
    "=======55域子域解析=========\n"
    "Tag-01:9F26[08]:7A3C1E5B9D20F486     [应用密文]\n"
    "Tag-02:9F27[01]:80                   [密文信息数据]\n"
    "Tag-03:9F10[19]:07010103A0A802010A010000000000A1B2C3D4 [发卡行应用数据]\n"
    "Tag-04:9F37[04]:5E2D8C11             [不可预知数]\n"
    "Tag-05:9F36[02]:01A7                 [应用交易计数器]\n"
    "Tag-06:95  [05]:0000048000           [终端验证结果]\n"
    "Tag-07:9A  [03]:261207               [交易日期]\n"
    "Tag-08:9C  [01]:00                   [交易类型]\n"
    "Tag-09:9F02[06]:000000012850         [授权金额]\n"
    "Tag-10:5F2A[02]:0156                 [交易货币代码]\n"
    "Tag-11:82  [02]:7C00                 [应用交互特征]\n"
    "Tag-12:9F1A[02]:0156                 [终端国家代码]\n"
    "Tag-13:9F03[06]:000000000000         [其它金额]\n"
    "Tag-14:9F33[03]:E0E1C8               [终端性能]\n"
    "Tag-15:9F34[03]:420300               [持卡人验证方法结果]\n"
    "Tag-16:9F35[01]:22                   [终端类型]\n"
    "Tag-17:9F1E[08]:3132333435363738     [接口设备序列号]\n"
    "Tag-18:84  [08]:A000000333010101     [专用文件名称]\n"
    "Tag-19:9F09[02]:0030                 [应用版本号]\n"
    "Tag-20:9F41[04]:00000371             [交易序列计数器]\n"
    "Tag-21:9F63[16]:30313130303030300000000000000000 []\n"
    "=======55域子域解析结束=======\n";

TEST_F(SampleMessageTest, PurchaseRequest) {
  EXPECT_EQ(decode_hex(read_file("examples/purchase.hex")),
            report_text("开始解包:\n"
                        "fld[000][004]=[0200]\n"
                        "fld[002][019]=[6222021234567890123]\n"
                        "fld[003][006]=[000000]\n"
                        "fld[004][012]=[000000012850]\n"
                        "fld[007][010]=[1207093015]\n"
                        "fld[011][006]=[000371]\n"
                        "fld[012][006]=[093015]\n"
                        "fld[013][004]=[1207]\n"
                        "fld[014][004]=[2912]\n"
                        "fld[018][004]=[5411]\n"
                        "fld[022][003]=[051]\n"
                        "fld[023][003]=[001]\n"
                        "fld[025][002]=[00]\n"
                        "fld[032][008]=[48020000]\n"
                        "fld[035][036]=[6222021234567890123=2912220123456780]\n"
                        "fld[037][012]=[634109000371]\n"
                        "fld[041][008]=[TERM0001]\n"
                        "fld[042][015]=[898310054110001]\n"
                        "fld[043][040]=[SHANGHAI DAILY FRESH MARKET  SHANGHAI CN]\n"
                        "fld[049][003]=[156]\n") +
                raw_field55_line(kPurchaseIcc) + report_text(std::string("解包成功\n") + kPurchaseTags));
}

TEST_F(SampleMessageTest, PurchaseResponse) {
  EXPECT_EQ(decode_hex(read_file("examples/response.hex")),
            report_text("开始解包:\n"
                        "fld[000][004]=[0210]\n"
                        "fld[002][019]=[6222021234567890123]\n"
                        "fld[003][006]=[000000]\n"
                        "fld[004][012]=[000000012850]\n"
                        "fld[007][010]=[1207093015]\n"
                        "fld[011][006]=[000371]\n"
                        "fld[012][006]=[093015]\n"
                        "fld[013][004]=[1207]\n"
                        "fld[025][002]=[00]\n"
                        "fld[032][008]=[48020000]\n"
                        "fld[037][012]=[634109000371]\n"
                        "fld[038][006]=[A1B2C3]\n"
                        "fld[039][002]=[00]\n"
                        "fld[041][008]=[TERM0001]\n"
                        "fld[042][015]=[898310054110001]\n"
                        "fld[049][003]=[156]\n") +
                raw_field55_line("910A3A1F77C2E0045E2B3030" "9F360201A7") +
                report_text("解包成功\n"
                            "=======55域子域解析=========\n"
                            "Tag-01:91  [10]:3A1F77C2E0045E2B3030 []\n"
                            "Tag-02:9F36[02]:01A7                 [应用交易计数器]\n"
                            "=======55域子域解析结束=======\n"));
}

TEST_F(SampleMessageTest, ReversalWithSecondaryBitmap) {
  EXPECT_EQ(decode_hex(read_file("examples/reversal.hex")),
            report_text("开始解包:\n"
                        "fld[000][004]=[0400]\n"
                        "fld[002][019]=[6222021234567890123]\n"
                        "fld[003][006]=[000000]\n"
                        "fld[004][012]=[000000012850]\n"
                        "fld[007][010]=[1207093115]\n"
                        "fld[011][006]=[000372]\n"
                        "fld[012][006]=[093015]\n"
                        "fld[013][004]=[1207]\n"
                        "fld[022][003]=[051]\n"
                        "fld[023][003]=[001]\n"
                        "fld[025][002]=[00]\n"
                        "fld[032][008]=[48020000]\n"
                        "fld[037][012]=[634109000371]\n"
                        "fld[039][002]=[98]\n"
                        "fld[041][008]=[TERM0001]\n"
                        "fld[042][015]=[898310054110001]\n"
                        "fld[049][003]=[156]\n") +
                raw_field55_line(kPurchaseIcc) +
                report_text(std::string("fld[090][042]=[020000037112070930150000004802000000000000]\n"
                                        "解包成功\n") +
                            kPurchaseTags));
}

}  // namespace

// The unpacker: the field report of a message, what it stores in
// field_values, and each way an unpack can end.
#include "window_decode/unpack_message.h"

#include <algorithm>
#include <string>

#include "gtest/gtest.h"
#include "tests/test_support.h"
#include "tests/window_test_support.h"
#include "window_decode/field_tables.h"

namespace {

const char kDefinitions[] =
    "1|4|0\n"
    "2|19|2\n"
    "3|6|0\n"
    "4|12|0\n"
    "11|6|0\n"
    "32|11|2\n"
    "48|9999|4\n"
    "104|100|3\n";

class UnpackTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(define_fields(kDefinitions), 0); }

  // Unpacks the message of `hex` (spaces allowed) as a decode request would.
  int unpack(const std::string& hex) {
    const std::string bytes = bytes_of(hex);
    MessageBytes message{};
    std::copy(bytes.begin(), bytes.end(), message.begin());
    return unpack_message(message, &report, static_cast<int>(bytes.size()));
  }

  Report report;
};

// The message type indicator 0200 and a bitmap flagging fields 3 and 11,
// a whole message with those two fields, and its report.
const char kHead3And11[] = "30323030 2020 0000000000000000000000000000";
const char kMessage3And11[] =
    "30323030 2020 0000000000000000000000000000 303030303030 303030303031";
const char kReport3And11[] =
    "开始解包:\n"
    "fld[000][004]=[0200]\n"
    "fld[003][006]=[000000]\n"
    "fld[011][006]=[000001]\n"
    "解包成功\n";

TEST_F(UnpackTest, FixedFieldsOfAWholeMessage) {
  EXPECT_EQ(unpack(kMessage3And11), 0);
  EXPECT_EQ(report, report_text(kReport3And11));
}

TEST_F(UnpackTest, StoresEveryElementInFieldValues) {
  // Fields 2 (LLVAR), 3 and 11.
  ASSERT_EQ(unpack("30323030 6020 0000000000000000000000000000"
                   "3136 34313131313131313131313131313131"
                   "303030303030 303030303031"),
            0);
  const FieldValue& pan = field_values[2];
  EXPECT_EQ(pan.number, 2);
  EXPECT_EQ(pan.length_digits, 2);
  EXPECT_EQ(pan.data_offset, 4 + 16 + 2);
  EXPECT_EQ(pan.length, 16);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(pan.data.data())), "4111111111111111");
  EXPECT_EQ(field_values[11].data_offset, 4 + 16 + 18 + 6);
  EXPECT_EQ(field_values[1].number, 1);
  EXPECT_EQ(field_values[4].number, 0);
}

TEST_F(UnpackTest, ABitmapWithNoDataElementsUnpacksToTheHeading) {
  EXPECT_EQ(unpack("30323030 80000000000000000000000000000000"), 0);
  EXPECT_EQ(report, report_text("开始解包:\nfld[000][004]=[0200]\n解包成功\n"));
  EXPECT_EQ(unpack("30323030 00000000000000000000000000000000"), 0);
  EXPECT_EQ(report, report_text("开始解包:\nfld[000][004]=[0200]\n解包成功\n"));
}

TEST_F(UnpackTest, TheBitmapIsAlways16BytesLong) {
  // A primary bitmap only: the eight bytes after it, "00000001" in ASCII,
  // are read as the secondary bitmap, whose first bytes 0x30 flag field 67.
  EXPECT_EQ(unpack("30323030 2000000000000000 3030303030303031 303030303030"), -1);
  EXPECT_EQ(report, report_text("开始解包:\n"
                                "fld[000][004]=[0200]\n"
                                "fld[003][006]=[000000]\n"
                                "fld[67] bitmap is not exist!\n"));
}

TEST_F(UnpackTest, ElementLinesComeInFieldOrderWhateverTheDefinitionOrder) {
  ASSERT_EQ(define_fields("11|6|0\n3|6|0\n1|4|0\n"), 0);
  EXPECT_EQ(unpack(kMessage3And11), 0);
  EXPECT_EQ(report, report_text(kReport3And11));
}

TEST_F(UnpackTest, AnIndicatorEqualToTheMaximumIsAccepted) {
  EXPECT_EQ(unpack("30323030 4000 0000000000000000000000000000"
                   "3139 36323232303231323334353637383930313233"),
                   0);
  EXPECT_EQ(report, report_text("开始解包:\n"
                                "fld[000][004]=[0200]\n"
                                "fld[002][019]=[6222021234567890123]\n"
                                "解包成功\n"));
}

TEST_F(UnpackTest, AnIndicatorAboveTheMaximumEndsTheUnpack) {
  EXPECT_EQ(unpack("30323030 6000 0000000000000000000000000000"
                   "3230 3632323230323132333435363738393031323334"
                   "303030303030"),
            -1);
  EXPECT_EQ(report, report_text("开始解包:\n"
                                "fld[000][004]=[0200]\n"
                                "fld[2] length is too long!\n"));
  EXPECT_EQ(field_values[2].number, 0);
  EXPECT_EQ(field_values[3].number, 0);
}

TEST_F(UnpackTest, ANegativeIndicatorEndsTheUnpackWithoutCopying) {
  EXPECT_EQ(unpack("30323030 4000 0000000000000000000000000000 2D35 3132333435"), -1);
  EXPECT_EQ(report, report_text("开始解包:\n"
                                "fld[000][004]=[0200]\n"
                                "fld[2] length is invalid!\n"));
  EXPECT_EQ(field_values[2].number, 0);
  EXPECT_TRUE(field_values[2].data.empty());
}

TEST_F(UnpackTest, IndicatorsReadAsAtoiDoes) {
  // "0A" reads as 0, "00" zero bytes as 0, " 3" as 3 and "+3" as 3.
  for (const char* indicator : {"3041", "0000"}) {
    EXPECT_EQ(unpack(std::string("30323030 4000 0000000000000000000000000000") + indicator +
                     "3030303030303030"),
              0);
    EXPECT_EQ(report, report_text("开始解包:\nfld[000][004]=[0200]\nfld[002][000]=[]\n解包成功\n"));
  }
  for (const char* indicator : {"2033", "2B33"}) {
    EXPECT_EQ(unpack(std::string("30323030 4000 0000000000000000000000000000") + indicator +
                     "414243 3030303030303030"),
              0);
    EXPECT_EQ(report, report_text("开始解包:\nfld[000][004]=[0200]\nfld[002][003]=[ABC]\n解包成功\n"));
  }
}

TEST_F(UnpackTest, ThreeAndFourDigitIndicators) {
  // Fields 48 (four digits) and 104 (three digits).
  EXPECT_EQ(unpack("30323030 8000000000010000 0000000001000000"
                   "30303035 68656C6C6F 303032 6F6B"),
            0);
  EXPECT_EQ(report, report_text("开始解包:\n"
                                "fld[000][004]=[0200]\n"
                                "fld[048][005]=[hello]\n"
                                "fld[104][002]=[ok]\n"
                                "解包成功\n"));
  EXPECT_EQ(field_values[104].data_offset, 4 + 16 + 4 + 5 + 3);
}

TEST_F(UnpackTest, AnUndefinedFlaggedFieldEndsTheUnpack) {
  EXPECT_EQ(unpack("30323030 2800 0000000000000000000000000000 303030303030 3030"), -1);
  EXPECT_EQ(report, report_text("开始解包:\n"
                                "fld[000][004]=[0200]\n"
                                "fld[003][006]=[000000]\n"
                                "fld[5] bitmap is not exist!\n"));
  EXPECT_EQ(field_values[3].number, 3);
}

TEST_F(UnpackTest, WithNoDefinitionsTheHeadingIsEmpty) {
  ASSERT_EQ(define_fields(""), 0);
  EXPECT_EQ(unpack("30323030 2000 0000000000000000000000000000 303030303030"), -1);
  EXPECT_EQ(report, report_text("开始解包:\nfld[000][000]=[]\nfld[3] bitmap is not exist!\n"));
}

TEST_F(UnpackTest, DataPrintsUpToItsFirstZeroBytePaddedToItsLength) {
  EXPECT_EQ(unpack(std::string(kHead3And11) + "414200004344 303030303031"), 0);
  EXPECT_EQ(report, report_text("开始解包:\n"
                                "fld[000][004]=[0200]\n"
                                "fld[003][006]=[AB    ]\n"
                                "fld[011][006]=[000001]\n"
                                "解包成功\n"));
}

TEST_F(UnpackTest, AMessageEndingExactlyAtItsLastElementIsComplete) {
  EXPECT_EQ(unpack(kMessage3And11), 0);
  EXPECT_EQ(unpack(std::string(kHead3And11) + "303030303030 3030303030"), -1);
  EXPECT_EQ(report, report_text("开始解包:\n"
                                "fld[000][004]=[0200]\n"
                                "fld[003][006]=[000000]\n"
                                "fld[011][006]=[00000 ]\n"
                                "offset[32],inLen[31].\n"
                                "报文体总长度过短.\n"));
}

TEST_F(UnpackTest, ElementsPastTheMessageReadZeroBytes) {
  // Field 32 (LLVAR) lies wholly after the message: its indicator reads 0.
  EXPECT_EQ(unpack("30323030 20200001 000000000000000000000000 303030303030"), -1);
  EXPECT_EQ(report, report_text("开始解包:\n"
                                "fld[000][004]=[0200]\n"
                                "fld[003][006]=[000000]\n"
                                "fld[011][006]=[      ]\n"
                                "fld[032][000]=[]\n"
                                "offset[34],inLen[26].\n"
                                "报文体总长度过短.\n"));
}

TEST_F(UnpackTest, ReadsPastTheMessageBufferSeeZeroBytes) {
  // Eight fields of 9,999 bytes run far past the 4,000-byte buffer.
  ASSERT_EQ(define_fields("1|4|0\n2|9999|0\n3|9999|0\n4|9999|0\n5|9999|0\n6|9999|0\n"
                          "7|9999|0\n8|9999|0\n9|9999|0\n10|9999|4\n"),
            0);
  EXPECT_EQ(unpack("30323030 7FC0 0000000000000000000000000000"), -1);
  EXPECT_EQ(field_values[2].data[0], 0);
  EXPECT_EQ(field_values[10].number, 10);
  EXPECT_EQ(field_values[10].length, 0);
  EXPECT_NE(report.find("offset[" + std::to_string(20 + 8 * 9999 + 4) + "],inLen[20]."),
            std::string::npos);
}

TEST_F(UnpackTest, EachUnpackStartsFromClearedFields) {
  ASSERT_EQ(unpack(std::string(kHead3And11) + "393939393939 303030303031"), 0);
  ASSERT_EQ(unpack("30323030 4000 0000000000000000000000000000 3032 3132"), 0);
  EXPECT_EQ(field_values[3].number, 0);
  EXPECT_EQ(field_values[3].length, 0);
  for (unsigned char byte : field_values[3].data) EXPECT_EQ(byte, 0);
  EXPECT_EQ(field_values[2].number, 2);
}

}  // namespace

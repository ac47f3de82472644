// Hostile input: definition files and messages built to push the decoder
// past its buffers, with the largest and the negative sizes, four-digit
// indicators, field 55 lengths its buffers cannot hold, and lines longer
// than any line buffer. Each decode must stay in bounds and give the
// report shown. Also the regression tests of what fuzzing found.
#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/test_support.h"
#include "tests/window_test_support.h"
#include "window_decode/decode_request.h"
#include "window_decode/field_tables.h"
#include "window_decode/unpack_message.h"

namespace {

// The hexadecimal text of a message: the indicator 0200, a 16-byte bitmap
// flagging `fields`, then `body`.
std::string message_hex(std::initializer_list<int> fields, const std::string& body) {
  std::string bitmap(16, '\0');
  for (int field : fields) bitmap[(field - 1) / 8] |= static_cast<char>(0x80 >> ((field - 1) % 8));
  return hex_of("0200" + bitmap + body);
}

std::string spaces(size_t count) { return std::string(count, ' '); }

// The field 55 part of a report: from its opening banner to the end.
std::string field55_listing(const Report& report) {
  const std::string opening = report_text("=======55域子域解析=========\n");
  const size_t start = report.find(opening);
  return start == std::string::npos ? std::string() : report.substr(start);
}

// The listing of field 55 with `element_lines` between the banners.
std::string listing_of(const std::string& element_lines) {
  return report_text("=======55域子域解析=========\n" + element_lines +
                     "=======55域子域解析结束=======\n");
}

size_t total_storage() {
  size_t bytes = 0;
  for (const FieldValue& value : field_values) bytes += value.data.size();
  return bytes;
}

TEST(HostileDefinitions, ATypoInASizeCannotMakeADecodeAllocateOrPrintMuch) {
  ErrorRecorder errors;
  EXPECT_EQ(define_fields("1|4|0\n2|19|2\n3|600000000|0\n4|12|0\n"), -1);
  EXPECT_EQ(total_storage(), 0u);
  EXPECT_EQ(decode_hex(message_hex({2, 3}, "16" "4111111111111111" "000000")),
            report_text("开始解包:\n"
                        "fld[000][004]=[0200]\n"
                        "fld[002][016]=[4111111111111111]\n"
                        "fld[3] bitmap is not exist!\n"));
  // Storage for what the message holds: the indicator and field 2, each
  // with a zero byte after it.
  EXPECT_EQ(total_storage(), 5u + 17u);
  EXPECT_TRUE(errors.messages().empty());
}

TEST(HostileDefinitions, TheLargestDefinitionsBoundStorageAndReport) {
  // Every data element a four-digit LLLLVAR of up to 9,999 bytes, and a
  // message of 1,999 bytes flagging them all: field 2 takes 9,999 bytes,
  // running far past the 4,000-byte message buffer, and every later
  // indicator lies past the buffer and reads as 0.
  std::string definitions = "1|4|0\n";
  for (int n = 2; n <= 128; ++n) definitions += std::to_string(n) + "|9999|4\n";
  ASSERT_EQ(define_fields(definitions), 0);
  EXPECT_EQ(total_storage(), 0u);  // nothing until a message holds the fields

  const std::string every_field(16, '\xFF');
  const std::string text = hex_of("0200" + every_field + "9999" + std::string(1975, 'A'));
  ASSERT_EQ(text.size(), 2u * 1999u);
  Report report;
  EXPECT_EQ(decode_request(text, &report), DecodeOutcome::kUnpackFailed);

  Report expected = report_text("开始解包:\nfld[000][004]=[0200]\n");
  expected += "fld[002][9999]=[" + std::string(1975, 'A') + spaces(9999 - 1975) + "]\r\n";
  for (int n = 3; n <= 128; ++n) {
    char line[32];
    std::snprintf(line, sizeof line, "fld[%03d][000]=[]\r\n", n);
    expected += line;
  }
  expected += report_text("offset[10527],inLen[1999].\n报文体总长度过短.\n");
  expected += listing_of("");  // field 55 was stored with no data
  EXPECT_EQ(report, expected);
  EXPECT_EQ(field_values[3].data_offset, 4 + 16 + 4 + 9999 + 4);
  // Field 2's 9,999 bytes and the 126 empty fields after it.
  EXPECT_EQ(total_storage(), 5u + 10000u + 126u);
}

TEST(HostileDefinitions, AnIndicatorLongerThanTheBufferLeavesABlankBitmap) {
  // The message type indicator takes 9,999 bytes, so the bitmap lies past
  // the message buffer and flags nothing.
  ASSERT_EQ(define_fields("1|9999|0\n2|19|2\n"), 0);
  Report report;
  EXPECT_EQ(decode_request(std::string(2 * 1999, '3'), &report), DecodeOutcome::kUnpackFailed);
  EXPECT_EQ(report, report_text("开始解包:\n") + "fld[000][9999]=[" + std::string(1999, '3') +
                        spaces(9999 - 1999) + "]\r\n" +
                        report_text("offset[10015],inLen[1999].\n报文体总长度过短.\n"));
}

TEST(HostileMessages, BytesAfterAMessageReadAsZerosAfterALongerMessage) {
  ASSERT_EQ(define_fields("1|4|0\n3|6|0\n11|6|0\n"), 0);
  const Report whole = decode_hex(message_hex({3, 11}, "000000" "000001"));
  ASSERT_NE(whole.find("fld[011][006]=[000001]"), std::string::npos);
  // The same message without field 11: the bytes where it stood before
  // are zeros now.
  EXPECT_EQ(decode_hex(message_hex({3, 11}, "000000")), report_text("开始解包:\n"
                                                                     "fld[000][004]=[0200]\n"
                                                                     "fld[003][006]=[000000]\n"
                                                                     "fld[011][006]=[      ]\n"
                                                                     "offset[32],inLen[26].\n"
                                                                     "报文体总长度过短.\n"));
}

TEST(HostileMessages, AReportHoldsNoZeroByteThatWouldEndTheWindowsText) {
  // Text fields reaching past the message read zeros there; the window
  // shows a report up to its first zero byte, so they show as blanks.
  ASSERT_EQ(define_fields("1|4|0\n4|12|0 data=amount\n48|8|0 data=ebcdic\n49|3|0\n"), 0);
  const Report report = decode_hex(message_hex({4, 48, 49}, "C0000"));
  EXPECT_EQ(report.find('\0'), std::string::npos);
  EXPECT_EQ(report, report_text("开始解包:\n"
                                "fld[000][004]=[0200]\n"
                                "fld[004][012]=[C0000       ]\n"
                                "fld[048][008]=[        ]\n"
                                "fld[049][003]=[   ]\n"
                                "offset[43],inLen[25].\n"
                                "报文体总长度过短.\n"));
}

TEST(HostileLengthIndicators, ANegativeFourDigitIndicatorCopiesNothing) {
  ASSERT_EQ(define_fields("1|4|0\n2|9999|4\n3|6|0\n"), 0);
  EXPECT_EQ(decode_hex(message_hex({2, 3}, "-999" "12345" "000000")),
            report_text("开始解包:\n"
                        "fld[000][004]=[0200]\n"
                        "fld[2] length is invalid!\n"));
  EXPECT_EQ(field_values[2].number, 0);
  EXPECT_EQ(field_values[2].length, 0);
  EXPECT_TRUE(field_values[2].data.empty());
  EXPECT_EQ(field_values[3].number, 0);
}

TEST(HostileLengthIndicators, AFourDigitIndicatorGivesAWholeLongLine) {
  ASSERT_EQ(define_fields("1|4|0\n48|9999|4\n"), 0);
  const std::string data(1500, 'x');
  EXPECT_EQ(decode_hex(message_hex({48}, "1500" + data)),
            report_text("开始解包:\n") + "fld[000][004]=[0200]\r\nfld[048][1500]=[" + data +
                "]\r\n" + report_text("解包成功\n"));
}

class HostileField55 : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(define_fields("1|4|0\n55|999|3\n"), 0); }

  // The field 55 listing of a message whose field 55 holds `elements`.
  static std::string listing_for(const std::string& elements) {
    const std::string indicator = std::to_string(1000 + elements.size()).substr(1);
    return field55_listing(decode_hex(message_hex({55}, indicator + elements)));
  }
};

TEST_F(HostileField55, ALongFormLengthWithNoLengthBytesEndsTheListing) {
  EXPECT_EQ(listing_for(bytes_of("9F27 01 80  9F26 80 7A3C1E5B  95 05 0000048000")),
            listing_of("Tag-01:9F27[01]:80" + spaces(18) + " [密文信息数据]\n"));
}

TEST_F(HostileField55, ALongFormLengthWithMoreThanTwoLengthBytesEndsTheListing) {
  EXPECT_EQ(listing_for(bytes_of("95 83 000005 0000048000")), listing_of(""));
  EXPECT_EQ(listing_for(bytes_of("9F27 01 80  9F26 8F 00")),
            listing_of("Tag-01:9F27[01]:80" + spaces(18) + " [密文信息数据]\n"));
}

TEST_F(HostileField55, AValueOf300BytesGivesAWholeLongLine) {
  // The longest element line: a 300-byte value and the longest name.
  const std::string listing = listing_for(bytes_of("9F74 82 012C") + std::string(300, '\x5A'));
  std::string value_text;
  for (int k = 0; k < 300; ++k) value_text += "5A";
  const std::string line = "Tag-01:9F74[300]:" + value_text + " [电子现金发卡行授权码]\n";
  EXPECT_EQ(listing, listing_of(line));
  EXPECT_EQ(report_text(line).size(), 642u);
}

TEST_F(HostileField55, AValueOver300BytesEndsTheListing) {
  EXPECT_EQ(listing_for(bytes_of("9F74 82 012D") + std::string(301, '\x5A')), listing_of(""));
  EXPECT_EQ(listing_for(bytes_of("9F27 01 80  9F74 82 FFFF 00")),
            listing_of("Tag-01:9F27[01]:80" + spaces(18) + " [密文信息数据]\n"));
}

TEST_F(HostileField55, AValueRunningPastTheFieldShowsZeroBytes) {
  EXPECT_EQ(listing_for(bytes_of("9F26 08 0102")),
            listing_of("Tag-01:9F26[08]:0102000000000000     [应用密文]\n"));
}

TEST(HostileField55Storage, ReadsPastTheFieldStorageSeeZeroBytes) {
  // Fixed fields of 1 and 3 bytes, whose storage is 2 and 4 bytes: the
  // second tag byte, the length bytes and the value lie past it.
  ASSERT_EQ(define_fields("1|4|0\n55|1|0\n"), 0);
  EXPECT_EQ(field55_listing(decode_hex(message_hex({55}, bytes_of("9F")))),
            listing_of("Tag-01:9F00[00]:" + spaces(20) + " []\n"));
  ASSERT_EQ(define_fields("1|4|0\n55|3|0\n"), 0);
  EXPECT_EQ(field55_listing(decode_hex(message_hex({55}, bytes_of("9F26 82")))),
            listing_of("Tag-01:9F26[00]:" + spaces(20) + " [应用密文]\n"));
}

TEST(HostileField55Storage, AValueRunningIntoTheNextFieldShowsZerosNotItsBytes) {
  ASSERT_EQ(define_fields("1|4|0\n55|999|3\n60|8|0\n"), 0);
  EXPECT_EQ(field55_listing(decode_hex(message_hex({55, 60}, "003" + bytes_of("9F26 08") + "ABCDEFGH"))),
            listing_of("Tag-01:9F26[08]:0000000000000000     [应用密文]\n"));
}

// snprintf's line for `format`, in a buffer larger than any report line.
template <typename... Args>
std::string printf_line(const char* format, Args... args) {
  std::vector<char> line(32768);
  const int length = std::snprintf(line.data(), line.size(), format, args...);
  return std::string(line.data(), static_cast<size_t>(length));
}

TEST(LongReportLines, ElementLinesAreWhatTheirFormatGivesAtAnyLength) {
  ASSERT_EQ(define_fields("1|4|0\n48|9999|4\n"), 0);
  const Report heading = report_text("开始解包:\nfld[000][004]=[0200]\n");
  constexpr size_t kDataInMessage = 1999 - (4 + 16 + 4);
  for (int length : {0, 1, 999, 1975, 9999}) {
    SCOPED_TRACE(length);
    // The data has a zero byte halfway, which ends its printing, and the
    // part of it past the message reads as zero bytes.
    std::string data(std::min(static_cast<size_t>(length), kDataInMessage), 'd');
    if (data.size() > 2) data[data.size() / 2] = '\0';
    char indicator[8];
    std::snprintf(indicator, sizeof indicator, "%04d", length);
    const Report report = decode_hex(message_hex({48}, indicator + data));
    const std::string line =
        printf_line("fld[%03d][%03d]=[%-*.*s]\r\n", 48, length, length, length, data.c_str());
    ASSERT_EQ(report.compare(0, heading.size(), heading), 0);
    EXPECT_EQ(report.substr(heading.size(), line.size()), line);
  }
}

TEST(LongReportLines, TagLinesAreWhatTheirFormatGivesAtAnyLength) {
  ASSERT_STREQ(tag_names[24].tag, "9F74");
  const unsigned char tag[2] = {0x9F, 0x74};
  unsigned char value[kMaxTagValueLength];
  for (int k = 0; k < kMaxTagValueLength; ++k) value[k] = static_cast<unsigned char>(7 * k);
  for (int sequence : {1, 99, 100, 4999}) {
    for (int value_length : {0, 9, 10, 11, kMaxTagValueLength}) {
      for (int tag_length : {1, 2}) {
        SCOPED_TRACE(std::to_string(sequence) + " " + std::to_string(value_length) + " " +
                     std::to_string(tag_length));
        Report report = "kept:";
        append_tag_line(tag, tag_length, value, value_length, sequence, &report);
        const std::string value_text =
            hex_of(std::string(reinterpret_cast<const char*>(value), value_length));
        EXPECT_EQ(report, "kept:" + printf_line("Tag-%02d:%-04s[%02d]:%-20s [%s]\r\n", sequence,
                                                tag_length == 2 ? "9F74" : "9F", value_length,
                                                value_text.c_str(),
                                                tag_length == 2 ? tag_names[24].name : ""));
      }
    }
  }
}

// Found by fuzzing: rows stored by a decode under earlier definitions kept
// their field numbers after the definitions were read again, so a field 55
// that no longer existed was still listed, from storage that was gone.
TEST(DefinitionsReadAgain, FieldsStoredUnderFormerDefinitionsAreForgotten) {
  ASSERT_EQ(define_fields("1|4|0\n55|999|3\n"), 0);
  ASSERT_EQ(field55_listing(decode_hex(message_hex({55}, "004" + bytes_of("9F27 01 80")))),
            listing_of("Tag-01:9F27[01]:80" + spaces(18) + " [密文信息数据]\n"));

  ASSERT_EQ(define_fields("1|4|0\n3|6|0\n"), 0);
  for (int n = 1; n < kFieldRows; ++n) EXPECT_EQ(field_values[n].number, 0) << "field " << n;
  EXPECT_EQ(decode_hex(message_hex({3}, "000000")), report_text("开始解包:\n"
                                                                "fld[000][004]=[0200]\n"
                                                                "fld[003][006]=[000000]\n"
                                                                "解包成功\n"));
  EXPECT_EQ(field_values[55].number, 0);
}

}  // namespace

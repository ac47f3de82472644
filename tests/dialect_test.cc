// Dialects: messages built by hand from each shipped dialect's rules and
// their reports, every new way an unpack ends, two decoders side by side,
// and how definition files describe encodings.
#include <string>
#include <vector>

#include "decode/decoder.h"
#include "decode/definition_file.h"
#include "decode/dialect_text.h"
#include "decode/field_report.h"
#include "gtest/gtest.h"
#include "tests/test_support.h"

namespace {

// A decoder with the shipped dialect `name`.
class DialectDecoder {
 public:
  explicit DialectDecoder(const std::string& name)
      : decoder_(decoder_of(read_file("dialects/" + name + ".ini"))) {}
  DialectDecoder(const std::string& contents, bool) : decoder_(decoder_of(contents)) {}

  // The report of the message in `hex`.
  Report report_of(const std::string& hex) {
    const std::string bytes = bytes_of(hex);
    decoder_.decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &message_);
    Report report;
    write_report(message_, &report);
    return report;
  }

  const DecodedMessage& message() const { return message_; }

 private:
  Decoder decoder_;
  DecodedMessage message_;
};

TEST(Dialect, UnionPayPosMessageBuiltByHand) {
  DialectDecoder decoder("unionpay-pos");
  EXPECT_EQ(decoder.report_of("6000030000 603100310000"  // TPDU and header
                              "0200"                     // message type, BCD
                              "6000000020001000"         // fields 2, 3, 35, 52
                              "19 62220212345678901230"  // 19 digits, left-aligned, 0 pad
                              "000000"
                              "27 6222021234567890123D2912220F"  // track 2, F pad
                              "1122334455667788"),
            report_text("开始解包:\n"
                        "header[011]=[6000030000603100310000]\n"
                        "fld[000][004]=[0200]\n"
                        "fld[002][019]=[6222021234567890123]\n"
                        "fld[003][006]=[000000]\n"
                        "  fld[3.1][002]=[00]\n"
                        "  fld[3.2][002]=[00]\n"
                        "  fld[3.3][002]=[00]\n"
                        "fld[035][027]=[6222021234567890123=2912220]\n"
                        "fld[052][008]=[1122334455667788]\n"
                        "解包成功\n"));
}

TEST(Dialect, Iso87BinaryMessageBuiltByHand) {
  DialectDecoder decoder("iso87-binary");
  EXPECT_EQ(decoder.report_of("0200"
                              "5000001020000000"              // fields 2, 4, 28, 35
                              "19 06222021234567890123"       // right-aligned, 0 pad first
                              "000000012850"
                              "43 00000150"                   // 'C' and 8 packed digits
                              "21 4761739001010010D2812F"),   // track 2, F pad last
            report_text("开始解包:\n"
                        "fld[000][004]=[0200]\n"
                        "fld[002][019]=[6222021234567890123]\n"
                        "fld[004][012]=[000000012850]\n"
                        "fld[028][008]=[C00000150]\n"
                        "fld[035][021]=[4761739001010010=2812]\n"
                        "解包成功\n"));
}

TEST(Dialect, TextDialectsWithHexadecimalBitmaps) {
  DialectDecoder iso87("iso87-ascii");
  EXPECT_EQ(iso87.report_of(hex_of("0200" "A020000000000000" "0400000000000000"
                                   "000000" "000001" "301")),
            report_text("开始解包:\n"
                        "fld[000][004]=[0200]\n"
                        "fld[003][006]=[000000]\n"
                        "  fld[3.1][002]=[00]\n"
                        "  fld[3.2][002]=[00]\n"
                        "  fld[3.3][002]=[00]\n"
                        "fld[011][006]=[000001]\n"
                        "fld[070][003]=[301]\n"
                        "解包成功\n"));
  EXPECT_EQ(iso87.message().bitmap_length, 16);
  DialectDecoder iso93("iso93-ascii");
  EXPECT_EQ(iso93.report_of(hex_of("1804" "0030010000000000" "000001" "261207093015" "831")),
            report_text("开始解包:\n"
                        "fld[000][004]=[1804]\n"
                        "fld[011][006]=[000001]\n"
                        "fld[012][012]=[261207093015]\n"
                        "fld[024][003]=[831]\n"
                        "解包成功\n"));
  EXPECT_EQ(iso93.message().bitmap_length, 8);
}

TEST(Dialect, EbcdicMessageBuiltByHand) {
  DialectDecoder decoder("ebcdic");
  EXPECT_EQ(decoder.report_of("F0F8F0F0"
                              "4200000000001000"  // fields 2, 7, 52
                              "F1F6 F4F7F6F1F7F3F9F0F0F1F0F1F0F0F1F0"
                              "F1F2F0F7F0F9F3F0F1F5"
                              "0102030405060708"),
            report_text("开始解包:\n"
                        "fld[000][004]=[0800]\n"
                        "fld[002][016]=[4761739001010010]\n"
                        "fld[007][010]=[1207093015]\n"
                        "fld[052][008]=[0102030405060708]\n"
                        "解包成功\n"));
}

// The last line of `report`, without its line end.
std::string last_line(const Report& report) {
  const size_t end = report.rfind("\r\n");
  const size_t start = report.rfind("\r\n", end - 1);
  return report.substr(start + 2, end - start - 2);
}

TEST(Dialect, EveryEndingOfAnUnpackNamesItsCause) {
  const std::string union_head = "6000030000603100310000 0200";
  DialectDecoder unionpay("unionpay-pos");
  EXPECT_EQ(last_line(unionpay.report_of(union_head + "4000000000000000 1A 6222021234567890")),
            "fld[2] length is not digits!");
  EXPECT_EQ(unionpay.message().verdict.result, UnpackResult::kLengthNotDigits);
  EXPECT_EQ(last_line(unionpay.report_of(union_head + "4000000000000000 20 62220212345678901234")),
            "fld[2] length is too long!");
  EXPECT_NE(unionpay.report_of(union_head + "4000000000000000 19 62220212").find("offset[32],inLen[26].\r\n"),
            std::string::npos);
  DialectDecoder ebcdic("ebcdic");
  EXPECT_EQ(last_line(ebcdic.report_of("F0F8F0F0 4000000000000000 F140 F4F7F6F1F7F3F9F0F0F1")),
            "fld[2] length is not digits!");
  DialectDecoder iso87("iso87-ascii");
  EXPECT_EQ(last_line(iso87.report_of(hex_of("0200" "G000000000000000" "0000"))),
            "bitmap is not hexadecimal!");
  DialectDecoder headed("header=30\n1|4|0\n", true);
  EXPECT_EQ(last_line(headed.report_of(std::string(50, '0'))), "header[30] is longer than inLen[25]!");
  EXPECT_EQ(headed.message().verdict.result, UnpackResult::kHeaderTooLong);
}

TEST(Dialect, TwoDecodersKeepTheirOwnDialectsAndResults) {
  DialectDecoder unionpay("unionpay-pos");
  DialectDecoder binary("iso87-binary");
  const std::string union_message = read_file("examples/unionpay-pos.hex");
  const std::string binary_message = read_file("examples/iso87-binary.hex");
  const Report union_report = unionpay.report_of(union_message);
  const Report binary_report = binary.report_of(binary_message);
  EXPECT_EQ(unionpay.report_of(union_message), union_report);
  EXPECT_EQ(binary.report_of(binary_message), binary_report);
  EXPECT_NE(union_report, binary_report);
  EXPECT_EQ(unionpay.message().header_length, 11);
  EXPECT_EQ(binary.message().header_length, 0);
  EXPECT_NE(union_report.find("header[011]="), std::string::npos);
  EXPECT_EQ(binary_report.find("header["), std::string::npos);
}

// Reads `contents`; returns the problems as "LINE: reason" lines.
std::string problems_of(const std::string& contents, int* result = nullptr) {
  const Definitions read = parse_definitions(contents);
  if (result != nullptr) *result = read.complete ? 0 : -1;
  std::string lines;
  for (const DefinitionProblem& problem : read.problems) {
    lines += std::to_string(problem.line) + (problem.is_error ? " error: " : ": ") + problem.reason + "\n";
  }
  return lines;
}

TEST(DialectFile, PropertiesAreWordsAfterTheThirdColumnAndOtherWordsAreNotes) {
  const Definitions read = parse_definitions("header=11 bitmap=hex secondary=flagged ebcdic=1047\n"
                                             "len=bcd\n"
                                             "2 | 19 | 2 data=bcd align=left pad=F  # PAN\n"
                                             "35|37|2|data=track note text\n"
                                             "48|999|3data=ebcdic\n"
                                             "52|8|0 data=binary mask=none\n"
                                             "61|99|3 LEN=Ascii mask=secret\n");
  ASSERT_TRUE(read.complete);
  ASSERT_TRUE(read.problems.empty());
  const Dialect& dialect = read.dialect;
  EXPECT_EQ(dialect.message.header_length, 11);
  EXPECT_EQ(dialect.message.bitmap, BitmapEncoding::kHex);
  EXPECT_TRUE(dialect.message.secondary_when_flagged);
  EXPECT_EQ(dialect.message.code_page, EbcdicCodePage::k1047);
  const FieldFormat& pan = dialect.defs[2].format;
  EXPECT_EQ(pan.data, DataEncoding::kBcd);
  EXPECT_EQ(pan.length, LengthEncoding::kBcd);
  EXPECT_EQ(pan.unit, LengthUnit::kDigits);
  EXPECT_TRUE(pan.left_aligned);
  EXPECT_EQ(pan.pad, 0xF);
  EXPECT_EQ(pan.card_data, CardData::kPan);
  EXPECT_EQ(dialect.names[2], "PAN");
  EXPECT_EQ(dialect.defs[35].format.data, DataEncoding::kTrack);
  EXPECT_EQ(dialect.defs[48].format.data, DataEncoding::kEbcdic);
  EXPECT_EQ(dialect.defs[48].format.unit, LengthUnit::kBytes);
  EXPECT_EQ(dialect.defs[52].format.card_data, CardData::kNone);
  EXPECT_EQ(dialect.defs[61].format.length, LengthEncoding::kAscii);
  EXPECT_EQ(dialect.defs[61].format.card_data, CardData::kSecret);
}

TEST(DialectFile, APropertyNotUnderstoodIsAnErrorThatNamesItsLineAndWord) {
  int result = 0;
  EXPECT_EQ(problems_of("1|4|0\n2|19|2 lenn=bcd\n3|6|0\n", &result),
            "2 error: unknown property 'lenn=bcd'\n");
  EXPECT_EQ(result, -1);
  EXPECT_EQ(problems_of("2|19|2 len=bdc\n"), "1 error: 'len=bdc': len is ascii, ebcdic, bcd or binary\n");
  EXPECT_EQ(problems_of("2|19|2 header=5\n"),
            "1 error: 'header=5': describes the whole message; give it a line of its own\n");
  EXPECT_EQ(problems_of("mask=card\n"), "1 error: 'mask=card': describes one field; give it on that field's line\n");
  EXPECT_EQ(problems_of("header=5 tpdu\n"), "1 error: 'tpdu' on a line of properties is not a property\n");
  EXPECT_EQ(problems_of("header=2000\n"), "1 error: 'header=2000': header is a byte count, 0 to 1999\n");
  EXPECT_EQ(problems_of("2|19|2 unit=digits\n"),
            "1 error: 'unit=digits' needs packed data: data=bcd, track or amount-bcd\n");
  EXPECT_EQ(problems_of("2|19|5 len=bcd\n"), "1 error: len=bcd holds at most 4 digits, not 5\n");
  EXPECT_EQ(problems_of("2|19|3 len=binary\n"), "1 error: len=binary is 1 or 2 bytes, not 3\n");
}

TEST(DialectFile, LinesSkippedOrEndingTheReadingAreNamed) {
  EXPECT_EQ(problems_of("1|4|0\n\nabc|4|0\n2|19|2\n"),
            "3: not a definition (a field number from 1 to 128, or name=value properties): the reading stops here\n");
  EXPECT_EQ(problems_of("3|6|9\n"), "1: 9 length digits: at most 6: the reading stops here\n");
  EXPECT_EQ(problems_of("3|10000|0\n"), "1: maximum length 10000 is not 0 to 9999: the reading stops here\n");
  EXPECT_EQ(problems_of("128|8|0\n# done\n2|19|2\n129|1|0\n"),
            "3: ignored: the reading ended at line 1\n4: ignored: the reading ended at line 1\n");
  EXPECT_EQ(problems_of("200|1|0\n2|19|2\n"),
            "1: field 200 is above 128: the reading stops here\n2: ignored: the reading ended at line 1\n");
}

TEST(DialectFile, TheDefinitionsWrittenOutReadBackAsTheSameDialect) {
  const std::vector<std::string> names = shipped_dialects();
  ASSERT_GE(names.size(), 6u);
  for (const std::string& name : names) {
    const Definitions first = parse_definitions(read_file("dialects/" + name + ".ini"));
    ASSERT_TRUE(first.complete) << name;
    const Dialect& read = first.dialect;
    std::string written;
    write_dialect(read, &written);
    const Definitions second = parse_definitions(written);
    ASSERT_TRUE(second.complete) << written;
    const Dialect& again = second.dialect;
    std::string rewritten;
    write_dialect(again, &rewritten);
    EXPECT_EQ(rewritten, written) << name;
    EXPECT_EQ(again.message.header_length, read.message.header_length) << name;
    ASSERT_EQ(again.layouts.size(), read.layouts.size()) << name;
    for (size_t k = 0; k < read.layouts.size(); ++k) {
      EXPECT_EQ(again.layouts[k].id, read.layouts[k].id) << name;
      EXPECT_EQ(again.layouts[k].parts.size(), read.layouts[k].parts.size()) << name;
    }
  }
}

TEST(DialectFile, NearMissesAreNamedWithTheirFixAndReadAsBefore) {
  EXPECT_EQ(problems_of("2|19|2 data = bcd\n3|6|0 data:bcd\n4\t12\t0\n11|6|0 DATA= bcd\n"),
            "1: 'data = bcd' is a note: write data=bcd for the property\n"
            "2: 'data:bcd' is a note: write data=bcd for the property\n"
            "3: columns are separated by '|', not tabs: this line reads as 4 alone; write 4|12|0\n"
            "4: 'DATA= bcd' is a note: write DATA=bcd for the property\n"
            "4 error: 'DATA=': data is raw, bcd, track, ebcdic, binary, amount, amount-ebcdic or amount-bcd\n");
  // As the window reads them: notes, and the tab-separated line as field 4 alone.
  const Definitions read = parse_definitions("2|19|2 data = bcd\n4\t12\t0\n");
  EXPECT_TRUE(read.trusted());
  EXPECT_EQ(read.dialect.defs[2].format.data, DataEncoding::kRaw);
  EXPECT_EQ(read.dialect.defs[4].max_length, 0);
  // Words that only look like properties stay notes.
  EXPECT_EQ(problems_of("2|19|2 see the data sheet\n3|6|0 mandatory:yes length:12\n"), "");
}

TEST(DialectFile, AFileWhoseFirstLineEndsTheReadingIsNoDefinitionFile) {
  EXPECT_TRUE(parse_definitions(read_file("examples/purchase.hex")).stopped_at_first_line);
  EXPECT_TRUE(parse_definitions("# a comment first\n\n0|4|0\n2|19|2\n").stopped_at_first_line);
  EXPECT_FALSE(parse_definitions("1|4|0\n0|4|0\n").stopped_at_first_line);
  EXPECT_FALSE(parse_definitions("header=2\n200|4|0\n").stopped_at_first_line);
  // A long first line is named once.
  EXPECT_EQ(problems_of(std::string(600, '9') + "\n"),
            "1: field 2147483647 is above 128: the reading stops here\n");
}

}  // namespace

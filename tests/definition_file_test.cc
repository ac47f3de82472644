// Reading bitmap.ini: its line rules, where reading stops, and the storage
// that the window's fields get.
#include "decode/definition_file.h"

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/test_support.h"
#include "tests/window_test_support.h"
#include "window_decode/field_defs_loader.h"
#include "window_decode/field_tables.h"

namespace {

// The definition of field `number` as "number|max_length|length_digits",
// or "undefined".
std::string definition_of(int number) {
  const FieldDef& def = field_defs[number];
  if (def.number == 0) return "undefined";
  return std::to_string(def.number) + "|" + std::to_string(def.max_length) + "|" +
         std::to_string(def.length_digits);
}

int defined_count() {
  int count = 0;
  for (int n = 1; n < kFieldRows; ++n) count += field_defs[n].number != 0;
  return count;
}

TEST(DefinitionFile, ReadsFixedAndVariableFields) {
  EXPECT_EQ(define_fields("1|4|0\n2|19|2\n3|6|0\n55|999|3\n"), 0);
  EXPECT_EQ(definition_of(1), "1|4|0");
  EXPECT_EQ(definition_of(2), "2|19|2");
  EXPECT_EQ(definition_of(3), "3|6|0");
  EXPECT_EQ(definition_of(55), "55|999|3");
  EXPECT_EQ(defined_count(), 4);
}

TEST(DefinitionFile, TheCommentOfALineIsItsFieldsName) {
  ASSERT_EQ(define_fields("2 | 19 | 2 #  primary account number (PAN) \t\r\n"
                          "3|6|0\n"
                          "4|12|0 # amount\n"
                          "4|12|0\n"
                          "11|6|0 # STAN # trace\n"),
            0);
  EXPECT_EQ(field_names[2], "primary account number (PAN)");
  EXPECT_EQ(field_names[3], "");
  EXPECT_EQ(field_names[4], "");  // the later line, without a comment, wins
  EXPECT_EQ(field_names[11], "STAN # trace");
  ASSERT_EQ(define_fields("2|19|2\n"), 0);
  EXPECT_EQ(field_names[11], "");
}

TEST(DefinitionFile, OnlyCommentsAndBlankLinesDefineNothing) {
  EXPECT_EQ(define_fields("# field definitions\n\n   \r\n#2|19|2\n"), 0);
  EXPECT_EQ(defined_count(), 0);
}

TEST(DefinitionFile, BlanksAreRemovedAndTrailingCommentsCut) {
  EXPECT_EQ(define_fields("2 | 19 | 2 # PAN\r\n 3|6|0#3|9|0\n"), 0);
  EXPECT_EQ(definition_of(2), "2|19|2");
  EXPECT_EQ(definition_of(3), "3|6|0");
}

TEST(DefinitionFile, RunsOfSeparatorsCountAsOne) {
  EXPECT_EQ(define_fields("||5||6|||0|\n"), 0);
  EXPECT_EQ(definition_of(5), "5|6|0");
}

TEST(DefinitionFile, ColumnsAfterTheThirdAreIgnored) {
  EXPECT_EQ(define_fields("35|37|2|extra|99\n"), 0);
  EXPECT_EQ(definition_of(35), "35|37|2");
}

TEST(DefinitionFile, MissingColumnsReadAsZero) {
  EXPECT_EQ(define_fields("7|10\n8\n"), 0);
  EXPECT_EQ(definition_of(7), "7|10|0");
  EXPECT_EQ(definition_of(8), "8|0|0");
}

TEST(DefinitionFile, ALaterLineForTheSameFieldWins) {
  EXPECT_EQ(define_fields("3|6|0\n3|8|2\n"), 0);
  EXPECT_EQ(definition_of(3), "3|8|2");
}

TEST(DefinitionFile, Field128IsStoredAndEndsTheReading) {
  EXPECT_EQ(define_fields("2|19|2\n128|8|0\n3|6|0\n"), 0);
  EXPECT_EQ(definition_of(128), "128|8|0");
  EXPECT_EQ(definition_of(3), "undefined");
}

TEST(DefinitionFile, AFieldNumberAbove128EndsTheReadingUnstored) {
  EXPECT_EQ(define_fields("2|19|2\n200|8|0\n3|6|0\n"), 0);
  EXPECT_EQ(definition_of(2), "2|19|2");
  EXPECT_EQ(definition_of(3), "undefined");
  EXPECT_EQ(defined_count(), 1);
}

TEST(DefinitionFile, AFieldNumberBelowOneEndsTheReadingAsInvalid) {
  for (const char* line : {"0|4|0", "abc|4|0", "-3|4|0"}) {
    EXPECT_EQ(define_fields(std::string("2|19|2\n") + line + "\n3|6|0\n"), -1) << line;
    EXPECT_EQ(definition_of(2), "2|19|2") << line;
    EXPECT_EQ(definition_of(3), "undefined") << line;
  }
}

TEST(DefinitionFile, AByteOrderMarkAndLinesOfTabsAreSkipped) {
  EXPECT_EQ(define_fields("\xEF\xBB\xBF" "1|4|0\n\t\n\t# indented comment\n \t \n2|19|2\n"), 0);
  EXPECT_EQ(definition_of(1), "1|4|0");
  EXPECT_EQ(definition_of(2), "2|19|2");
}

TEST(DefinitionFile, SizesOutsideTheirRangeEndTheReadingAsInvalid) {
  for (const char* line : {"3|-1|0", "3|6|-2", "3|6|7", "3|10000|0", "3|600000000|0",
                           "3|99999999999999999999|0"}) {
    EXPECT_EQ(define_fields(std::string("2|19|2\n") + line + "\n4|12|0\n"), -1) << line;
    EXPECT_EQ(definition_of(2), "2|19|2") << line;
    EXPECT_EQ(definition_of(3), "undefined") << line;
    EXPECT_EQ(definition_of(4), "undefined") << line;
  }
}

TEST(DefinitionFile, TheLargestSizesAreAccepted) {
  EXPECT_EQ(define_fields("48|9999|4\n"), 0);
  EXPECT_EQ(definition_of(48), "48|9999|4");
}

TEST(DefinitionFile, LongLinesAreReadInPiecesOf255Characters) {
  // The second piece of a long comment does not start with '#'.
  EXPECT_EQ(define_fields("#" + std::string(254, 'c') + "more comment\n2|19|2\n"), -1);
  EXPECT_EQ(defined_count(), 0);
  // A piece that happens to start with a field number defines that field.
  EXPECT_EQ(define_fields("#" + std::string(254, 'c') + "4|12|0\n"), 0);
  EXPECT_EQ(definition_of(4), "4|12|0");
  // Exactly 255 characters before the line feed: the line feed alone is
  // the next piece, an empty line.
  EXPECT_EQ(define_fields("#" + std::string(254, 'c') + "\n2|19|2\n"), 0);
  EXPECT_EQ(definition_of(2), "2|19|2");
}

TEST(DefinitionFile, AnInvalidLineIsNamedWithItsNumber) {
  Definitions read = parse_definitions("2|19|2\r\n\n# note\nabc|4|0\n");
  EXPECT_FALSE(read.complete);
  ASSERT_EQ(read.problems.size(), 1u);
  EXPECT_EQ(read.problems[0].line, 4);
  EXPECT_EQ(problem_text("my.ini", read.problems[0]),
            "my.ini:4: not a definition (a field number from 1 to 128, or name=value properties): "
            "the reading stops here");
  // A line of several pieces counts once.
  read = parse_definitions("2|19|2" + std::string(300, ' ') + "\n3|10000|0\n");
  EXPECT_FALSE(read.complete);
  ASSERT_EQ(read.problems.size(), 1u);
  EXPECT_EQ(read.problems[0].line, 2);
}

TEST(DefinitionFile, CrLfLineEndsCountAsOneCharacter) {
  // 254 characters and CR LF fit one piece, as text-mode reading gives.
  EXPECT_EQ(define_fields("#" + std::string(253, 'c') + "\r\n2|19|2\r\n"), 0);
  EXPECT_EQ(definition_of(2), "2|19|2");
}

TEST(DefinitionFile, AnEndOfFileByteEndsTheFile) {
  EXPECT_EQ(define_fields("2|19|2\n\x1A" "3|6|0\n"), 0);
  EXPECT_EQ(definition_of(2), "2|19|2");
  EXPECT_EQ(definition_of(3), "undefined");
}

TEST(DefinitionFile, AZeroByteEndsTheLineItStandsIn) {
  EXPECT_EQ(define_fields(std::string("2|19\0|2\n3|6|0\n", 14)), 0);
  EXPECT_EQ(definition_of(2), "2|19|0");
  EXPECT_EQ(definition_of(3), "3|6|0");
}

TEST(DefinitionFile, AReadingRestartsFromNothing) {
  EXPECT_EQ(define_fields("2|19|2\n"), 0);
  EXPECT_EQ(define_fields("3|6|0\n"), 0);
  EXPECT_EQ(definition_of(2), "undefined");
  EXPECT_TRUE(field_values[2].data.empty());
}

TEST(FieldStorage, AFieldGetsStorageWhenAMessageHoldsItNotForItsMaximum) {
  EXPECT_EQ(define_fields("1|4|0\n2|19|2\n55|9999|4\n"), 0);
  for (const FieldValue& value : field_values) EXPECT_TRUE(value.data.empty());
  decode_hex("30323030" "40000000000000000000000000000000" "3035" "3132333435");
  // The data and a zero byte after it.
  EXPECT_EQ(field_values[1].data, (std::vector<unsigned char>{'0', '2', '0', '0', 0}));
  EXPECT_EQ(field_values[2].data, (std::vector<unsigned char>{'1', '2', '3', '4', '5', 0}));
  EXPECT_TRUE(field_values[55].data.empty());
}

TEST(FieldStorage, FieldsReadBeforeAnInvalidLineStillDecode) {
  EXPECT_EQ(define_fields("1|4|0\n3|6|0\n0|4|0\n"), -1);
  EXPECT_EQ(decode_hex("30323030" "20000000000000000000000000000000" "303030303030"),
            report_text("开始解包:\nfld[000][004]=[0200]\nfld[003][006]=[000000]\n解包成功\n"));
}

TEST(LoadFieldDefs, TheRepositoryDefinitionFileDefinesAllFields) {
  ErrorRecorder errors;
  EXPECT_EQ(load_field_defs("bitmap.ini"), 0);
  EXPECT_EQ(defined_count(), 128);
  EXPECT_EQ(definition_of(1), "1|4|0");
  EXPECT_EQ(definition_of(2), "2|19|2");
  EXPECT_EQ(definition_of(55), "55|999|3");
  EXPECT_EQ(definition_of(128), "128|8|0");
  EXPECT_TRUE(errors.messages().empty());
}

TEST(LoadFieldDefs, AMissingFileIsReportedAndDefinesNothing) {
  EXPECT_EQ(define_fields("2|19|2\n"), 0);
  ErrorRecorder errors;
  EXPECT_EQ(load_field_defs("no-such-directory/bitmap.ini"), -1);
  EXPECT_EQ(errors.messages(), std::vector<std::string>{"fopen error"});
  EXPECT_EQ(defined_count(), 0);
  EXPECT_TRUE(field_values[2].data.empty());
  EXPECT_EQ(decode_hex("30323030" "40000000000000000000000000000000" "023132"),
            report_text("开始解包:\nfld[000][000]=[]\nfld[3] bitmap is not exist!\n"));
}

}  // namespace

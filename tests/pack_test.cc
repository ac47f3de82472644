// iso8583pack, the way back from iso8583dump --json: the round trip gives
// back every message's bytes, and every kind of bad input is refused with
// its line and field named.
#include <string>

#include "gtest/gtest.h"
#include "tests/process_support.h"
#include "tests/test_support.h"

namespace {

std::string upper_hex_line(const std::string& path) {
  std::string hex;
  for (char ch : slurp(path)) {
    if (ch != '\n' && ch != ' ') hex.push_back(static_cast<char>(std::toupper(ch)));
  }
  return hex + "\n";
}

TEST(Pack, TheRoundTripGivesBackEverySample) {
  for (const char* name : {"purchase", "response", "reversal"}) {
    const std::string path = std::string(SOURCE_DIR) + "/examples/" + name + ".hex";
    const ProcessRun json = run_program(ISO8583DUMP_PATH, std::string("--json ") + path);
    const ProcessRun packed = run_program(ISO8583PACK_PATH, "", json.out);
    EXPECT_EQ(packed.status, 0) << packed.err;
    EXPECT_EQ(packed.out, upper_hex_line(path)) << name;
    const ProcessRun binary = run_program(ISO8583PACK_PATH, "--binary", json.out);
    EXPECT_EQ(hex_of(binary.out) + "\n", upper_hex_line(path)) << name;
  }
}

TEST(Pack, ChineseTextPacksAsCodePage936AndComesBackAsText) {
  const std::string defs = write_scratch("defs", "1|4|0\n43|40|2\n");
  const ProcessRun packed = run_program(
      ISO8583PACK_PATH, "--defs " + defs,
      R"({"mti":"0200","fields":[{"field":43,"text":"上海 每日生鲜"}]})" "\n");
  EXPECT_EQ(packed.err, "");
  EXPECT_EQ(packed.out, hex_of("0200") + "00000000002000000000000000000000" + hex_of("13") +
                            hex_of(cp936("上海 每日生鲜")) + "\n");
  const ProcessRun json = run_program(ISO8583DUMP_PATH, "--json --defs " + defs, packed.out);
  EXPECT_NE(json.out.find("\"text\":\"上海 每日生鲜\""), std::string::npos) << json.out;
}

TEST(Pack, BitOneComesFromTheBitmapOrElseFromTheFieldsAbove64) {
  const std::string defs = write_scratch("defs", "1|4|0\n3|6|0\n70|3|0\n");
  // Bit 1 set although no field above 64 follows, then the same without a
  // bitmap; and field 70, which sets it.
  const std::string input =
      R"({"mti":"0800","bitmap":"A0000000000000000000000000000000","fields":[{"field":3,"text":"990000"}]})"
      "\n"
      R"({"mti":"0800","fields":[{"field":3,"text":"990000"}]})"
      "\n"
      R"({"mti":"0800","fields":[{"field":70,"text":"301"},{"field":3,"hex":"393930303030"}]})"
      "\n";
  const ProcessRun run = run_program(ISO8583PACK_PATH, "--defs " + defs, input);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, hex_of("0800") + "A0000000000000000000000000000000" + hex_of("990000") + "\n" +
                         hex_of("0800") + "20000000000000000000000000000000" + hex_of("990000") + "\n" +
                         hex_of("0800") + "A0000000000000000400000000000000" + hex_of("990000301") +
                         "\n");
}

TEST(Pack, AnIndicatorTheDecoderAcceptsPacksBackZeroFilled) {
  // Field 2 with the indicator " 9", which the decoder reads as 9.
  const std::string message = hex_of("0200") + "40000000000000000000000000000000" + hex_of(" 9123456789");
  const ProcessRun json = run_program(ISO8583DUMP_PATH, "--json", message);
  const ProcessRun packed = run_program(ISO8583PACK_PATH, "", json.out);
  EXPECT_EQ(packed.err, "");
  EXPECT_EQ(packed.out, hex_of("0200") + "40000000000000000000000000000000" + hex_of("09123456789") + "\n");
}

TEST(Pack, RefusesWhatItCannotPackNamingTheLineAndField) {
  const std::string defs = write_scratch("defs", "1|4|0\n2|19|2\n3|6|0\n");
  const std::string good = R"({"mti":"0200","fields":[{"field":3,"text":"000000"}]})";
  const std::string input = good + "\n" +
                            R"({"mti":"0200","fields":[{"field":4,"text":"000000012850"}]})" "\n" +
                            R"({"mti":"0200","fields":[{"field":2,"text":"12345678901234567890"}]})" "\n" +
                            R"({"mti":"0200","fields":[{"field":3,"text":"00000"}]})" "\n" +
                            R"({"mti":"0200","fields":[{"field":3,"hex":"30303G"}]})" "\n" +
                            R"({"mti":"0200","fields":[{"field":2,"hex":"3632******"}]})" "\n" +
                            R"({"mti":"0200","fields":[{"field":3,"text":"000000"}],"masked":true})" "\n" +
                            R"({"mti":"0200","fields":[{"field":3,"text":"000000"})" "\n" +
                            R"({"mti":"02000","fields":[]})" "\n" +
                            R"({"error":"odd_digit_count"})" "\n" +
                            R"({"mti":"0200","fields":[7003,55]})" "\n" +
                            "\n" + good + "\n";
  const ProcessRun run = run_program(ISO8583PACK_PATH, "--defs " + defs, input);
  EXPECT_EQ(run.status, 2);
  const std::string packed_good = hex_of("0200") + "20000000000000000000000000000000" + hex_of("000000") + "\n";
  EXPECT_EQ(run.out, packed_good + packed_good);
  EXPECT_EQ(run.err,
            "line 2: field 4: not defined\n"
            "line 3: field 2: 20 bytes, more than its maximum of 19\n"
            "line 4: field 3: 5 bytes, but it is fixed at 6; hint: give all 6 bytes: a field of "
            "data=raw is not padded\n"
            "line 5: field 3: not a hexadecimal digit in hex\n"
            "line 6: field 2: masked ('*' in hex): masked card data cannot be packed\n"
            "line 7: masked card data cannot be packed\n"
            "line 8: malformed JSON: Missing a comma or ']' after an array element. (at character 52)\n"
            "line 9: mti: 5 bytes, but it is read as 4\n"
            "line 10: no message here: it was rejected\n"
            "line 11: a field that is not an object\n");
}

// A short fixed text is padded only where the definition gives the kind of
// its data, with a note; other short fixed fields are refused with a hint.
TEST(Pack, PadsAShortFixedTextOnlyWhereItsKindOfDataSaysHow) {
  const std::string defs = write_scratch(
      "defs", "1|4|0\n4|12|0 data=bcd\n6|12|0 data=amount-bcd\n8|6|0 data=ebcdic\n9|8|0\n");
  const std::string input = R"({"mti":"0200","fields":[{"field":4,"text":"100"}]})" "\n"
                            R"({"mti":"0200","fields":[{"field":6,"text":"D5"}]})" "\n"
                            R"({"mti":"0200","fields":[{"field":8,"text":"AB"}]})" "\n"
                            R"({"mti":"0200","fields":[{"field":9,"text":"TERM01"}]})" "\n"
                            R"({"mti":"0200","fields":[{"field":4,"hex":"0100"}]})" "\n";
  const ProcessRun run = run_program(ISO8583PACK_PATH, "--defs " + defs, input);
  EXPECT_EQ(run.status, 2);
  const std::string rest = "000000000000000000000000";
  EXPECT_EQ(run.out, hex_of("0200") + "10000000" + rest + "000000000100\n" +
                         hex_of("0200") + "04000000" + rest + hex_of("D") + "000000000005\n" +
                         hex_of("0200") + "01000000" + rest + "C1C240404040\n");
  EXPECT_EQ(run.err,
            "line 1: field 4: 3 digits padded to 12 with zeros on the left\n"
            "line 2: field 6: 1 digit padded to 12 with zeros after its sign C or D\n"
            "line 3: field 8: 2 characters padded to 6 with spaces on the right\n"
            "line 4: field 9: 6 bytes, but it is fixed at 8; hint: give all 8 bytes: a field of "
            "data=raw is not padded\n"
            "line 5: field 4: 4 digits, but it is fixed at 12; hint: give all 12 digits, or a "
            "\"text\" to be padded with zeros on the left\n");
}

// Characters that packed digits cannot hold are refused, blanks in
// hexadecimal taken, and a field number in quotes told what it must be.
TEST(Pack, RefusesWhatDigitsCannotHoldAndTakesBlanksInHex) {
  const std::string defs = write_scratch("defs", "1|4|0\n4|12|0 data=bcd\n35|37|2 data=track\n41|8|0\n");
  const std::string input =
      R"({"mti":"0200","fields":[{"field":41,"hex":"0123 4567\t89ab\r\ncdef"}]})" "\n"
      R"({"mti":"0200","fields":[{"field":35,"text":"6222D29"}]})" "\n"
      R"({"mti":"0200","fields":[{"field":4,"text":"00000000100A"}]})" "\n"
      R"({"mti":"0200","fields":[{"field":35,"text":"6222^29"}]})" "\n"
      R"({"mti":"0200","fields":[{"field":41,"hex":"0123 4567 89ab cde"}]})" "\n"
      R"({"mti":"0200","fields":[{"field":"4","text":"000000000100"}]})" "\n";
  const ProcessRun run = run_program(ISO8583PACK_PATH, "--defs " + defs, input);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, hex_of("0200") + "00000000008000000000000000000000" + "0123456789ABCDEF\n" +
                         hex_of("0200") + "00000000200000000000000000000000" + hex_of("07") + "6222D29F\n");
  EXPECT_EQ(run.err,
            "line 3: field 4: 'A', character 12, is not a digit\n"
            "line 4: field 35: '^', character 5, is not a digit or the separator, = or D\n"
            "line 5: field 41: hex has an odd number of digits\n"
            "line 6: a field number (\"field\") must be a whole number from 2 to 128, without quotes\n");
}

}  // namespace

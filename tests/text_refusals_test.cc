// What iso8583dump says of input that is not what it should be, with the
// exit status, grouped by input form: text that is not hexadecimal, bytes
// left after the last field, and input without a dump.
#include <string>

#include "gtest/gtest.h"
#include "rapidjson/document.h"
#include "tests/process_support.h"
#include "tests/test_support.h"

namespace {

ProcessRun dump(const std::string& arguments, const std::string& input) {
  return run_program(ISO8583DUMP_PATH, arguments, input);
}

std::string purchase() { return read_file("examples/purchase.hex"); }

// The purchase text with its first '6' typed as `typo`.
std::string with_typo(char typo) {
  std::string text = purchase();
  text[text.find('6')] = typo;
  return text;
}

const std::string kOneRefused = "iso8583dump: 1 message: 0 decoded, 0 failed, 1 refused\n";

TEST(TextInput, ACharacterThatIsNotHexadecimalIsRefusedByItsPlace) {
  const ProcessRun run = dump("", "\xEF\xBB\xBF" "0\t2\n" + with_typo('G'));
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "line 2, column 14: 'G' is not a hexadecimal digit\n" + kOneRefused);

  const ProcessRun json = dump("--json", with_typo('\x1B'));
  EXPECT_EQ(json.status, 2);
  rapidjson::Document record;
  ASSERT_FALSE(record.Parse(json.out.c_str()).HasParseError()) << json.out;
  EXPECT_STREQ(record["error"].GetString(), "not_hex");
  EXPECT_EQ(record["line"].GetInt(), 1);
  EXPECT_EQ(record["column"].GetInt(), 14);
  EXPECT_STREQ(record["character"].GetString(), "U+001B");
  EXPECT_EQ(json.err, "line 1, column 14: U+001B is not a hexadecimal digit\n"
                      "hint: the input holds bytes that are not text; read them with --binary\n" +
                          kOneRefused);
}

TEST(TextInput, EachLineRefusesTheBadLineAndGoesOn) {
  const ProcessRun run =
      dump("--each-line --summary", purchase() + with_typo('\xE4') + purchase());
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.out.find(" rejected_not_hex "), std::string::npos) << run.out;
  EXPECT_EQ(run.err, "line 2, column 14: byte 0xE4 is not a hexadecimal digit\n"
                     "line 2: hint: the input holds bytes that are not text; read them with --binary\n"
                     "iso8583dump: 3 messages: 2 decoded, 0 failed, 1 refused\n");
}

TEST(TextInput, TheEarlyEndingsComeFirstWithAHint) {
  const ProcessRun odd = dump("", "0x303");
  EXPECT_EQ(odd.status, 2);
  EXPECT_EQ(odd.err, "msg length error\nhint: line 1, column 2: 'x' is not a hexadecimal digit\n" +
                         kOneRefused);
  const ProcessRun dumped = dump("", "00000000: 3032 3030  0200.\n");
  EXPECT_EQ(dumped.status, 2);
  EXPECT_EQ(dumped.err, "message too short\nhint: line 1, column 9: ':' is not a hexadecimal digit\n"
                        "hint: the input looks like a hex dump; read it with --hexdump\n" +
                            kOneRefused);
}

TEST(TextInput, BytesAfterTheLastFieldAreReported) {
  const std::string twice = purchase() + "\n" + purchase() + "\n";
  const ProcessRun report = dump("", twice);
  EXPECT_EQ(report.status, 0);
  EXPECT_EQ(report.err, "394 bytes after the last field\n"
                        "hint: the input has 2 lines; to decode one message a line, use --each-line\n"
                        "iso8583dump: 1 message: 1 decoded, 0 failed, 0 refused; 394 bytes dropped\n");
  const ProcessRun json = dump("--json", purchase() + "00");
  rapidjson::Document record;
  ASSERT_FALSE(record.Parse(json.out.c_str()).HasParseError()) << json.out;
  EXPECT_EQ(record["trailing"].GetInt(), 1);
  EXPECT_FALSE(dump("--json", purchase()).out.find("trailing") != std::string::npos);
  const ProcessRun explain = dump("--explain", purchase() + "0000");
  EXPECT_NE(explain.out.find("\nTrailing: 2 bytes after the last field\n"), std::string::npos);
}

TEST(HexdumpInput, InputWithoutADumpIsAnError) {
  const ProcessRun run = dump("--hexdump", "sent to host: 0200\n");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "iso8583dump: no hex dump found; hint: hexadecimal text needs no --hexdump, and text "
            "of one message a line is read with --each-line\n");
}

}  // namespace

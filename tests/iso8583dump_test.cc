// iso8583dump run as a user runs it: its output, its messages on standard
// error and its exit status.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "encoding/cp936_to_utf8.h"
#include "gtest/gtest.h"
#include "tests/process_support.h"
#include "window_decode/decode_request.h"
#include "window_decode/field_defs_loader.h"

namespace {

using DumpRun = ProcessRun;

std::string scratch(const char* name) { return scratch_path(name); }

// The closing summary of a run whose one message was refused.
const std::string kOneRefused = "iso8583dump: 1 message: 0 decoded, 0 failed, 1 refused\n";

void write_file(const std::string& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

// Runs iso8583dump with `arguments` in the source directory, with `input`
// as its standard input.
DumpRun run_dump(const std::string& arguments, const std::string& input = "") {
  return run_program(ISO8583DUMP_PATH, arguments, input);
}

std::string sample(const char* name) {
  return slurp(std::string(SOURCE_DIR) + "/examples/" + name + ".hex");
}

// The report the decoding library gives for `text` with the repository's
// definition file: what the window shows.
Report window_report(const std::string& text) {
  EXPECT_EQ(load_field_defs((std::string(SOURCE_DIR) + "/bitmap.ini").c_str()), 0);
  Report report;
  decode_request(text, &report);
  return report;
}

std::string utf8_of(const Report& report) {
  std::string utf8;
  append_cp936_as_utf8(report, &utf8);
  return utf8;
}

// `utf8`, one or more reports of the samples, with the data of field 55,
// their only binary field, left out: the output shows its control bytes
// as pictures (tests/terminal_safety_test.cc), the plain conversion as they are.
std::string without_field55_data(std::string utf8) {
  for (size_t start = utf8.find("fld[055]["); start != std::string::npos;
       start = utf8.find("fld[055][", start + 1)) {
    start += std::strlen("fld[055][164]=[");
    const size_t end = std::min(utf8.find("]\n解包成功\n", start), utf8.find("]\nfld[090]", start));
    utf8.replace(start, end - start, "…");
  }
  return utf8;
}

TEST(Iso8583Dump, RawOutputIsTheWindowReportByteForByte) {
  for (const char* name : {"purchase", "response", "reversal"}) {
    const DumpRun run = run_dump(std::string("--raw examples/") + name + ".hex");
    EXPECT_EQ(run.status, 0) << name;
    EXPECT_EQ(run.out, window_report(sample(name))) << name;
    EXPECT_EQ(run.err, "") << name;
  }
}

TEST(Iso8583Dump, DefaultOutputIsUtf8WithLineFeeds) {
  const DumpRun run = run_dump("examples/purchase.hex");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(without_field55_data(run.out),
            without_field55_data(utf8_of(window_report(sample("purchase")))));
  EXPECT_EQ(run.out.rfind("开始解包:\nfld[000][004]=[0200]\nfld[002][019]=[6222021234567890123]\n", 0), 0u);
  EXPECT_NE(run.out.find("\nTag-01:9F26[08]:7A3C1E5B9D20F486     [应用密文]\n"), std::string::npos);
  EXPECT_NE(run.out.find("\n解包成功\n"), std::string::npos);
}

TEST(Iso8583Dump, ReadsStandardInputWithoutAnInputOrWithDash) {
  const std::string spaced = "30 32 31 30 00 00 00 00 00 00 00 00\n00 00 00 00 00 00 00 00\n";
  for (const char* arguments : {"", "-", "--defs bitmap.ini -"}) {
    const DumpRun run = run_dump(arguments, spaced);
    EXPECT_EQ(run.status, 0) << arguments;
    EXPECT_EQ(run.out, "开始解包:\nfld[000][004]=[0210]\n解包成功\n") << arguments;
  }
}

TEST(Iso8583Dump, AFailedUnpackExitsWithOne) {
  write_file(scratch("defs"), "1|4|0\n2|19|2\n");
  const DumpRun run = run_dump("--defs '" + scratch("defs") + "' examples/purchase.hex");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "开始解包:\nfld[000][004]=[0200]\nfld[002][019]=[6222021234567890123]\n"
            "fld[3] bitmap is not exist!\n");
}

TEST(Iso8583Dump, AMissingDefinitionFileIsAnError) {
  const DumpRun run = run_dump("--defs no-such-file.ini examples/purchase.hex");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "fopen error: no-such-file.ini: No such file or directory\n");
  EXPECT_EQ(run.out, "");
}

TEST(Iso8583Dump, RejectedInputExitsWithTwoAndPrintsNoReport) {
  const DumpRun odd = run_dump("", "303");
  EXPECT_EQ(odd.status, 2);
  EXPECT_EQ(odd.err, "msg length error\n" + kOneRefused);
  EXPECT_EQ(odd.out, "");
  const DumpRun short_text = run_dump("", "30323030");
  EXPECT_EQ(short_text.status, 2);
  EXPECT_EQ(short_text.err, "message too short\n" + kOneRefused);
  EXPECT_EQ(short_text.out, "");
}

TEST(Iso8583Dump, LongTextIsReadWholeAndCutOnlyPastTheLongestMessage) {
  // 4,000 digits, which the window's box would cut: a message of 2,000 bytes.
  const std::string purchase = sample("purchase").substr(0, 788);
  const DumpRun whole = run_dump("", purchase + std::string(4000 - 788, '0'));
  EXPECT_EQ(whole.status, 0) << whole.err;
  EXPECT_EQ(whole.err, "1606 bytes after the last field\n"
                       "iso8583dump: 1 message: 1 decoded, 0 failed, 0 refused; 1606 bytes dropped\n");
  // Past the text of 65,535 bytes with a blank after each pair: the cut
  // leaves an odd count of digits.
  const DumpRun run = run_dump("", " " + std::string(4 * 65535, '0'));
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "input cut to its first 262140 characters\nmsg length error\n"
                     "iso8583dump: 1 message: 0 decoded, 0 failed, 1 refused; 1 cut\n");
}

TEST(Iso8583Dump, EachLineDecodesEveryLineAsAMessage) {
  const std::string input = sample("purchase") + "\n" + sample("response") + "303\n" +
                            "3032\n" + "   \n" + sample("reversal").substr(0, 700) + "\r\n";
  const DumpRun run = run_dump("--each-line", input);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(without_field55_data(run.out),
            without_field55_data(utf8_of(window_report(sample("purchase"))) + "\n" +
                                 utf8_of(window_report(sample("response"))) + "\n" +
                                 utf8_of(window_report(sample("reversal").substr(0, 700))) +
                                 "\n"));
  EXPECT_EQ(run.err, "line 4: msg length error\nline 5: message too short\n"
                     "iso8583dump: 5 messages: 2 decoded, 1 failed, 2 refused\n");
}

TEST(Iso8583Dump, EachLineExitStatusIsTheWorstReport) {
  const std::string good = sample("purchase") + sample("response");
  EXPECT_EQ(run_dump("--each-line", good).status, 0);
  const std::string failing = "3032303040000000000000000000000000000000" "3939\n";
  EXPECT_EQ(run_dump("--each-line", good + failing).status, 1);
  const DumpRun raw = run_dump("--each-line --raw", failing + good);
  EXPECT_EQ(raw.out.substr(0, raw.out.find("\r\n\r\n") + 4),
            window_report(failing.substr(0, failing.size() - 1)) + "\r\n");
}

TEST(Iso8583Dump, UsageErrorsSayWhatIsWrongAndPointToHelp) {
  const struct {
    const char* arguments;
    const char* error;
  } cases[] = {
      {"--bogus", "unknown option --bogus"},
      {"--defs", "--defs needs a value"},
      {"a.hex b.hex", "more than one input: b.hex"},
  };
  for (const auto& c : cases) {
    const DumpRun run = run_dump(c.arguments);
    EXPECT_EQ(run.status, 2) << c.arguments;
    EXPECT_EQ(run.err, std::string("iso8583dump: ") + c.error +
                           "\nTry 'iso8583dump --help' for more information.\n");
    EXPECT_EQ(run.out, "") << c.arguments;
  }
  const DumpRun missing = run_dump("no-such-input.hex");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "iso8583dump: no-such-input.hex: No such file or directory\n");
}

TEST(Iso8583Dump, HelpPrintsUsage) {
  const DumpRun run = run_dump("--help");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("Usage: iso8583dump [OPTION]... [INPUT]\n", 0), 0u);
}

}  // namespace

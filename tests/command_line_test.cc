// What iso8583dump and iso8583pack share, run as a user runs them: the
// version, errors that name the path and the system's reason, output that
// cannot be written, and the progress line that only a terminal sees.
#include <fstream>
#include <regex>
#include <string>

#include "gtest/gtest.h"
#include "tests/process_support.h"

namespace {

const std::string kDump = ISO8583DUMP_PATH;
const std::string kPack = ISO8583PACK_PATH;

// Runs `command` through the shell in the source directory, for commands
// that redirect or pipe standard output themselves.
ProcessRun run_shell(const std::string& command) {
  return run_program("sh", "-c \"" + command + "\"");
}

// A scratch file of `count` purchase requests, one a line.
std::string purchases(int count) {
  std::string line = slurp(std::string(SOURCE_DIR) + "/examples/purchase.hex");
  line.erase(line.find_last_not_of("\r\n") + 1);
  std::string lines;
  for (int k = 0; k < count; ++k) lines += line + "\n";
  return write_scratch("purchases", lines);
}

TEST(CommandLine, BothProgramsTellTheProjectVersion) {
  for (const std::string& program : {kDump, kPack}) {
    const ProcessRun run = run_program(program, "--version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, program.substr(program.rfind('/') + 1) + " " ISO8583_VERSION "\n");
  }
}

TEST(CommandLine, InputsThatCannotBeReadAreNamedWithTheReason) {
  struct Case {
    const std::string& program;
    const char* arguments;
    const char* error;
  };
  const Case cases[] = {
      {kDump, "examples", "iso8583dump: examples: Is a directory\n"},
      {kDump, "--each-line examples", "iso8583dump: examples: Is a directory\n"},
      {kPack, "examples", "iso8583pack: examples: Is a directory\n"},
      {kPack, "no-such.json", "iso8583pack: no-such.json: No such file or directory\n"},
  };
  for (const Case& c : cases) {
    const ProcessRun run = run_program(c.program, c.arguments);
    EXPECT_EQ(run.status, 2) << c.arguments;
    EXPECT_EQ(run.err, c.error) << c.arguments;
    EXPECT_EQ(run.out, "") << c.arguments;
  }
}

TEST(CommandLine, DefinitionsThatCannotBeReadAreAnErrorInTheWindowsWords) {
  const ProcessRun directory = run_program(kDump, "--defs examples examples/purchase.hex");
  EXPECT_EQ(directory.status, 2);
  EXPECT_EQ(directory.out, "");
  EXPECT_EQ(directory.err, "fopen error: examples: Is a directory\n");
  const ProcessRun missing = run_program(kPack, "--defs no-such.ini", "{}\n");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "fopen error: no-such.ini: No such file or directory\n");
}

TEST(CommandLine, AFileThatIsNoDefinitionFileIsRefusedAndAStoppedReadingFailsPrintDefs) {
  // A message given for the definitions decodes nothing.
  const ProcessRun message = run_program(kDump, "--defs examples/purchase.hex examples/purchase.hex");
  EXPECT_EQ(message.status, 2);
  EXPECT_EQ(message.out, "");
  EXPECT_EQ(message.err,
            "examples/purchase.hex:1: field 2147483647 is above 128: the reading stops here\n"
            "iso8583dump: examples/purchase.hex is no definition file: its first line ends the reading\n");
  // --print-defs prints what was read before a line ended the reading, and fails.
  const std::string stopped = scratch_path("stopped.ini");
  std::ofstream(stopped) << "1|4|0\n2|19|2\n0|1|0\n3|6|0\n";
  for (const std::string& program : {kDump, kPack}) {
    const ProcessRun printed = run_program(program, "--defs " + stopped + " --print-defs");
    EXPECT_EQ(printed.status, 2) << program;
    EXPECT_NE(printed.out.find("\n2|19|2 len=ascii"), std::string::npos) << printed.out;
    EXPECT_EQ(printed.out.find("\n3|6|0"), std::string::npos) << printed.out;
  }
}

TEST(CommandLine, OutputThatCannotBeWrittenIsAnError) {
  const ProcessRun dump = run_shell("'" + kDump + "' examples/purchase.hex >/dev/full");
  EXPECT_EQ(dump.status, 2);
  EXPECT_EQ(dump.err, "iso8583dump: standard output: No space left on device\n");
  const ProcessRun pack =
      run_shell("'" + kDump + "' --json examples/purchase.hex | '" + kPack + "' >/dev/full");
  EXPECT_EQ(pack.status, 2);
  EXPECT_EQ(pack.err, "iso8583pack: standard output: No space left on device\n");
}

TEST(CommandLine, AClosedPipeEndsQuietly) {
  // With SIGPIPE ignored, as some parents leave it, the write fails instead
  // of ending the program.
  const ProcessRun run = run_shell("trap '' PIPE; '" + kDump + "' --each-line '" +
                                   purchases(1000) + "' | head -n 1");
  EXPECT_EQ(run.out, "开始解包:\n");
  EXPECT_EQ(run.err, "");
}

// Runs `command` on a pseudo-terminal, as script does; gives what it showed.
ProcessRun run_on_terminal(const std::string& command) {
  return run_program("script", "-qfec \"" + command + "\" /dev/null");
}

TEST(CommandLine, ProgressShowsOnlyOnATerminalThatHasNoOutput) {
  const std::string dump = "'" + kDump + "' --each-line '" + purchases(300) + "'";
  const ProcessRun shown = run_on_terminal(dump + " >/dev/null");
  EXPECT_EQ(shown.status, 0);
  EXPECT_TRUE(std::regex_search(
      shown.out, std::regex("^\r\\d+% \\d+\\.\\d of 0\\.2 MB, 256 messages, [\\d,]+ messages/s")))
      << shown.out;
  EXPECT_TRUE(std::regex_search(shown.out, std::regex("\r +\r$"))) << "erased at the end";
  const ProcessRun with_output = run_on_terminal(dump);
  EXPECT_EQ(with_output.out.find("messages/s"), std::string::npos);
  const ProcessRun to_file = run_shell(dump + " >/dev/null");
  EXPECT_EQ(to_file.status, 0);
  EXPECT_EQ(to_file.err, "");
}

}  // namespace

// No byte of a message reaches a terminal as a control character: every
// output form of iso8583dump but --raw is read back through a
// pseudo-terminal, as a user's screen would receive it.
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "encoding/cp936_to_utf8.h"
#include "gtest/gtest.h"
#include "tests/process_support.h"
#include "tests/test_support.h"

namespace {

// Runs iso8583dump with `arguments` in the source directory, standard
// output and standard error on a new pseudo-terminal, standard input from
// `input`; returns what the terminal received.
std::string run_on_terminal(const std::vector<std::string>& arguments, const std::string& input) {
  const std::string input_path = write_scratch("terminal-input", input);
  int terminal = -1;
  int device = -1;
  if (openpty(&terminal, &device, nullptr, nullptr, nullptr) != 0) {
    ADD_FAILURE() << "no pseudo-terminal";
    return std::string();
  }
  const pid_t child = fork();
  if (child == 0) {
    const int in = open(input_path.c_str(), O_RDONLY);
    if (in < 0 || chdir(SOURCE_DIR) != 0) _exit(127);
    dup2(in, 0);
    dup2(device, 1);
    dup2(device, 2);
    close(terminal);
    std::vector<char*> argv{const_cast<char*>(ISO8583DUMP_PATH)};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(ISO8583DUMP_PATH, argv.data());
    _exit(127);
  }
  close(device);
  std::string received;
  char buffer[4096];
  for (;;) {
    const ssize_t count = read(terminal, buffer, sizeof buffer);
    if (count > 0) {
      received.append(buffer, static_cast<size_t>(count));
    } else if (count < 0 && errno == EINTR) {
      continue;
    } else {
      break;  // EIO once the program has closed the terminal
    }
  }
  close(terminal);
  int status = 0;
  waitpid(child, &status, 0);
  return received;
}

// The first control character of `text` (UTF-8) other than the line ends
// CR and LF, "" when there is none: C0, DEL, or C1 as U+0080 to U+009F.
std::string first_control(const std::string& text) {
  for (size_t at = 0; at < text.size(); ++at) {
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    const bool c1 = byte == 0xC2 && at + 1 < text.size() &&
                    static_cast<unsigned char>(text[at + 1]) < 0xA0;
    if ((byte < 0x20 && byte != '\r' && byte != '\n') || byte == 0x7F || c1) {
      return "byte " + std::to_string(byte) + " at " + std::to_string(at);
    }
  }
  return "";
}

// The purchase sample with ESC, BEL, LF, CR, DEL and the C1 control CSI
// (0x9B) in the card number of field 2, and ESC in the message type.
std::string hostile_message() {
  std::string bytes = bytes_of(read_file("examples/purchase.hex"));
  bytes[0] = '\x1B';
  bytes.replace(22, 6, "\x1B]0;\x07\x0A", 6);
  bytes.replace(28, 3, "\x0D\x7F\x9B", 3);
  return bytes;
}

TEST(TerminalSafety, EveryOutputFormShowsControlBytesVisibly) {
  const std::string message = hostile_message();
  const std::string text = hex_of(message);
  const std::vector<std::vector<std::string>> forms = {
      {},           {"--json"},    {"--explain"}, {"--summary"},
      {"--mask"},   {"--json", "--explain"}, {"--each-line"},
  };
  for (const std::vector<std::string>& form : forms) {
    const std::string shown = run_on_terminal(form, text + "\n");
    const std::string name = form.empty() ? "report" : form[0] + (form.size() > 1 ? form[1] : "");
    EXPECT_TRUE(is_utf8(shown)) << name;
    EXPECT_EQ(first_control(shown), "") << name << ":\n" << shown;
    EXPECT_NE(shown.find("000371"), std::string::npos) << name << ":\n" << shown;  // it decoded
  }
  // The report shows the control bytes as their pictures, on the line of
  // their field: the line feed in the data splits no line.
  const std::string report = run_on_terminal({}, text);
  EXPECT_NE(report.find("fld[000][004]=[\xE2\x90\x9B" "200]\r\n"), std::string::npos) << report;
  EXPECT_NE(report.find("fld[002][019]=[\xE2\x90\x9B]0;\xE2\x90\x87\xE2\x90\x8A\xE2\x90\x8D\xE2\x90\xA1"),
            std::string::npos)
      << report;
}

TEST(TerminalSafety, RawOutputKeepsEveryByte) {
  const ProcessRun raw = run_program(ISO8583DUMP_PATH, "--raw --binary", hostile_message());
  EXPECT_EQ(raw.status, 0);
  EXPECT_NE(raw.out.find("fld[002][019]=[\x1B]0;\x07\x0A\x0D\x7F\x9B"), std::string::npos);
}

}  // namespace

// The command line of iso8583dump.
#ifndef CLI_DUMP_OPTIONS_H_
#define CLI_DUMP_OPTIONS_H_

#include <string>

#include "cli/command_line.h"
#include "diff/message_diff.h"

// How the input holds its messages.
enum class InputForm {
  kText,      // the whole input is one message of hexadecimal text
  kEachLine,  // --each-line: every non-blank line is one message of text
  kHexdump,   // --hexdump: dumps as tools and logs print them
  kBinary,    // --binary: the input is the message's bytes
  kCapture,   // --pcap FILE: TCP streams of a packet capture
};

// What is written for each message.
enum class OutputForm {
  kReport,   // the window's report (UTF-8, or code page 936 with --raw)
  kJson,     // --json: one JSON object a line
  kExplain,  // --explain: a report for people
  kSummary,  // --summary: one line a message
};

// The exit statuses: every message unpacked (and with --guess, the best
// reading is complete; with --diff, the messages are equal); a report
// ended with a failure line (or no reading is complete; or the messages
// differ); input refused or lost, a usage error, or a file that cannot be
// read or written.
constexpr int kExitUnpacked = 0;
constexpr int kExitUnpackFailed = 1;
constexpr int kExitRejected = 2;

// What the command line asks for.
struct DumpOptions {
  CommonOptions common;  // --defs, --help, --version and INPUT, or the capture of --pcap
  InputForm input_form = InputForm::kText;
  OutputForm output_form = OutputForm::kReport;
  bool raw = false;                // --raw: report bytes unchanged
  bool explain = false;            // --explain, also with --json
  bool mask = false;               // --mask: card data masked
  size_t skip = 0;                 // --skip N: bytes dropped before each message
  int port = 0;                    // --port N: only TCP connections with this port; 0 for all
  std::string frame = "len2";      // --frame KIND: how a TCP stream is cut into messages
  bool guess = false;              // --guess: rank the dialects that read the input
  bool diff = false;               // --diff A: compare A's messages with INPUT's
  std::string diff_path;           // A
  std::string defs_b_path;         // --defs-b FILE: the definitions of INPUT with --diff
  IgnoredPlaces ignored;           // --ignore LIST: what --diff leaves out, "7,11,mti"
  bool has_ignored = false;        // whether --ignore was given
};

// The usage text that --help prints.
extern const char kDumpUsage[];

// Reads the arguments after the program name into `options`. Returns 0,
// or -1 after writing what is wrong into `error`.
int parse_dump_options(int argc, const char* const* argv, DumpOptions* options,
                       std::string* error);

#endif  // CLI_DUMP_OPTIONS_H_

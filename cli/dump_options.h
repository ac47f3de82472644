// The command line of iso8583dump.
#ifndef CLI_DUMP_OPTIONS_H_
#define CLI_DUMP_OPTIONS_H_

#include <string>

// What the command line asks for.
struct DumpOptions {
  std::string defs_path = "bitmap.ini";  // --defs FILE
  bool raw = false;                      // --raw: report bytes unchanged
  bool each_line = false;                // --each-line: one message a line
  bool help = false;                     // --help
  std::string input_path = "-";          // INPUT; "-" is standard input
};

// The usage text that --help prints.
extern const char kDumpUsage[];

// Reads the arguments after the program name into `options`. Returns 0,
// or -1 after writing what is wrong into `error`.
int parse_dump_options(int argc, const char* const* argv, DumpOptions* options,
                       std::string* error);

#endif  // CLI_DUMP_OPTIONS_H_

// The command line of iso8583pack.
#ifndef CLI_PACK_OPTIONS_H_
#define CLI_PACK_OPTIONS_H_

#include <string>

#include "cli/command_line.h"

// What the command line asks for.
struct PackOptions {
  CommonOptions common;  // --defs, --help, --version and INPUT
  bool binary = false;   // --binary: raw bytes, not hexadecimal lines
};

// The usage text that --help prints.
extern const char kPackUsage[];

// Reads the arguments after the program name into `options`. Returns 0,
// or -1 after writing what is wrong into `error`.
int parse_pack_options(int argc, const char* const* argv, PackOptions* options,
                       std::string* error);

#endif  // CLI_PACK_OPTIONS_H_

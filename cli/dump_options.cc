// The command-line parser of iso8583dump.
#include "cli/dump_options.h"

#include <cstring>

const char kDumpUsage[] =
    "usage: iso8583dump [--defs FILE] [--raw] [--each-line] [INPUT]\n"
    "\n"
    "Decodes ISO 8583 messages written as hexadecimal text, as the window's\n"
    "Parse button does, and prints the field report.\n"
    "\n"
    "  INPUT         file holding the hexadecimal text; standard input when\n"
    "                absent or -\n"
    "  --defs FILE   the field definition file (default: bitmap.ini)\n"
    "  --raw         print the report bytes unchanged (code page 936, CR LF)\n"
    "                instead of UTF-8 with LF line ends\n"
    "  --each-line   every non-blank input line is one message; each report\n"
    "                is followed by an empty line\n"
    "  --help        print this text\n"
    "\n"
    "Exit status: 0 when every message unpacked successfully, 1 when a report\n"
    "ends with a failure line, 2 when input was rejected or on a usage error.\n";

int parse_dump_options(int argc, const char* const* argv, DumpOptions* options,
                       std::string* error) {
  bool have_input = false;
  for (int k = 1; k < argc; ++k) {
    const char* arg = argv[k];
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      options->help = true;
    } else if (std::strcmp(arg, "--raw") == 0) {
      options->raw = true;
    } else if (std::strcmp(arg, "--each-line") == 0) {
      options->each_line = true;
    } else if (std::strcmp(arg, "--defs") == 0) {
      if (k + 1 >= argc) {
        *error = "--defs needs a file name";
        return -1;
      }
      options->defs_path = argv[++k];
    } else if (std::strncmp(arg, "--defs=", 7) == 0) {
      options->defs_path = arg + 7;
    } else if (arg[0] == '-' && arg[1] != '\0') {
      *error = std::string("unknown option ") + arg;
      return -1;
    } else if (have_input) {
      *error = std::string("more than one input: ") + arg;
      return -1;
    } else {
      options->input_path = arg;
      have_input = true;
    }
  }
  return 0;
}

// The command-line parser of iso8583pack.
#include "cli/pack_options.h"

#include <cstring>

const char kPackUsage[] =
    "usage: iso8583pack [--defs FILE] [--binary] [INPUT]\n"
    "\n"
    "Packs ISO 8583 messages from JSON Lines, as iso8583dump --json writes\n"
    "them: one message a line, with \"mti\" (or \"mti_hex\"), \"fields\" of\n"
    "{\"field\": N, \"hex\": \"...\"} or {\"field\": N, \"text\": \"...\"}, and\n"
    "optionally \"bitmap\", whose bit 1 is kept. Fields are framed as the\n"
    "definition file says: ASCII length indicators, a 16-byte bitmap.\n"
    "\n"
    "  INPUT         the JSON Lines file; standard input when absent or -\n"
    "  --defs FILE   the field definition file (default: bitmap.ini)\n"
    "  --binary      write the messages' bytes instead of one line of\n"
    "                upper-case hexadecimal per message\n"
    "  --help        print this text\n"
    "\n"
    "A message that cannot be packed (malformed JSON, a field not defined or\n"
    "of the wrong length, bad hex, masked data) is named on standard error\n"
    "with its line and field, and nothing is written for it.\n"
    "Exit status: 0 when every message was packed, 2 otherwise.\n";

int parse_pack_options(int argc, const char* const* argv, PackOptions* options,
                       std::string* error) {
  bool have_input = false;
  for (int k = 1; k < argc; ++k) {
    const char* arg = argv[k];
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      options->help = true;
    } else if (std::strcmp(arg, "--binary") == 0) {
      options->binary = true;
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

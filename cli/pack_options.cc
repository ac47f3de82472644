// The command-line parser of iso8583pack.
#include "cli/pack_options.h"

#include <cstring>

const char kPackUsage[] =
    "Usage: iso8583pack [--defs FILE] [--binary] [INPUT]\n"
    "\n"
    "Packs ISO 8583 messages from JSON Lines, as iso8583dump --json writes\n"
    "them: one message a line, with \"mti\" (or \"mti_hex\"), \"fields\" of\n"
    "{\"field\": N, \"hex\": \"...\"} or {\"field\": N, \"text\": \"...\"}, and\n"
    "optionally \"bitmap\", whose bit 1 is kept, \"header\" and a field's\n"
    "\"length\". Fields are framed and encoded as the definition file says.\n"
    "\n"
    "  INPUT         the JSON Lines file; standard input when absent or -\n"
    "  --defs FILE   the field definition file (default: bitmap.ini), or the\n"
    "                name of a shipped dialect, such as unionpay-pos, or bitmap\n"
    "                for the installed sample bitmap.ini\n"
    "  --dialects    list the shipped dialects\n"
    "  --print-defs  print the definitions as read, every property spelled out\n"
    "  --binary      write the messages' bytes instead of one line of\n"
    "                upper-case hexadecimal per message\n"
    "  --help        print this text\n"
    "  --version     print the version\n"
    "\n"
    "A field number is a whole number from 2 to 128. Blanks between hex\n"
    "digits are ignored. A \"text\" shorter than its fixed field is padded\n"
    "where the definition gives the kind of data: packed digits with zeros on\n"
    "the left, amounts with zeros after the sign, EBCDIC text with spaces on\n"
    "the right; standard error notes it. Other short fixed fields are refused.\n"
    "\n"
    "A message that cannot be packed (malformed JSON, a field not defined or\n"
    "of the wrong length, a character its digits cannot hold, bad hex, masked\n"
    "data) is named on standard error with its line and field, and nothing is\n"
    "written for it.\n"
    "\n"
    "Exit status: 0 when every message was packed, 2 otherwise (also when the\n"
    "definition file or the input cannot be read, or the output cannot be\n"
    "written).\n";

int parse_pack_options(int argc, const char* const* argv, PackOptions* options,
                       std::string* error) {
  for (int k = 1; k < argc; ++k) {
    if (std::strcmp(argv[k], "--binary") == 0) {
      options->binary = true;
    } else if (!read_common_argument(argc, argv, &k, &options->common, error)) {
      return -1;
    }
  }
  return 0;
}

// The command-line parser of iso8583dump.
#include "cli/dump_options.h"

#include <cstdlib>
#include <cstring>

const char kDumpUsage[] =
    "usage: iso8583dump [--defs FILE] [--each-line | --hexdump | --binary | --pcap FILE]\n"
    "                   [--skip N] [--raw | --json | --explain | --summary] [--mask]\n"
    "                   [--port N] [--frame KIND] [INPUT]\n"
    "\n"
    "Decodes ISO 8583 messages, as the window's Parse button does, and prints\n"
    "the field report, or the messages as JSON or explained.\n"
    "\n"
    "Input:\n"
    "  INPUT         the input file; standard input when absent or -\n"
    "  --defs FILE   the field definition file (default: bitmap.ini)\n"
    "  (default)     the whole input is one message of hexadecimal text\n"
    "  --each-line   every non-blank input line is one message of text\n"
    "  --hexdump     messages as dumps in a log: xxd (also -g1), hexdump -C,\n"
    "                od -A x -t x1z, and lines such as '0000: 30 32 30 30  0200';\n"
    "                consecutive dump lines are one message\n"
    "  --binary      the input is the message's bytes\n"
    "  --pcap FILE   the TCP streams of a pcap or pcapng capture\n"
    "  --port N      with --pcap: only connections with port N at either end\n"
    "  --frame KIND  with --pcap: how a stream is cut into messages: len2 (a\n"
    "                2-byte big-endian length, the default), len2le, ascii4\n"
    "                (4 ASCII digits) or none (each pushed run of segments)\n"
    "  --skip N      drop the first N bytes of every message (a length, a TPDU\n"
    "                or a network header in front of the message type)\n"
    "\n"
    "Output:\n"
    "  (default)     the report in UTF-8 with LF line ends\n"
    "  --raw         the report bytes unchanged (code page 936, CR LF)\n"
    "  --json        one JSON object a line for every message\n"
    "  --explain     a report for people: every field and chip data element\n"
    "                with its name and meaning; with --json, the meanings as keys\n"
    "  --summary     one line a message: time, direction, type, amount, STAN,\n"
    "                response code, result; a response lines up with its request\n"
    "  --mask        mask card data: a card number keeps its first 6 and last 4\n"
    "                digits, track and PIN data are hidden\n"
    "  --help        print this text\n"
    "\n"
    "Exit status: 0 when every message unpacked successfully, 1 when a report\n"
    "ends with a failure line, 2 when input was rejected or on a usage error.\n";

namespace {

// A flag and what it sets.
struct Flag {
  const char* name;
  void (*apply)(DumpOptions* options);
};

const Flag kFlags[] = {
    {"--help", [](DumpOptions* o) { o->help = true; }},
    {"-h", [](DumpOptions* o) { o->help = true; }},
    {"--raw", [](DumpOptions* o) { o->raw = true; }},
    {"--each-line", [](DumpOptions* o) { o->input_form = InputForm::kEachLine; }},
    {"--hexdump", [](DumpOptions* o) { o->input_form = InputForm::kHexdump; }},
    {"--binary", [](DumpOptions* o) { o->input_form = InputForm::kBinary; }},
    {"--json", [](DumpOptions* o) { o->output_form = OutputForm::kJson; }},
    {"--summary", [](DumpOptions* o) { o->output_form = OutputForm::kSummary; }},
    {"--explain", [](DumpOptions* o) { o->explain = true; }},
    {"--mask", [](DumpOptions* o) { o->mask = true; }},
};

// A whole number from 0 to `limit`, or -1.
long read_count(const char* text, long limit) {
  if (*text < '0' || *text > '9') return -1;
  char* end;
  const long value = std::strtol(text, &end, 10);
  return *end == '\0' && value <= limit ? value : -1;
}

// An option with a value and what it sets; returns false when the value
// is not one the option takes.
struct ValueOption {
  const char* name;
  bool (*apply)(DumpOptions* options, const char* value);
};

// The largest --skip: more than any header in front of a message.
constexpr long kMaxSkip = 65535;
constexpr long kMaxPort = 65535;

const ValueOption kValueOptions[] = {
    {"--defs",
     [](DumpOptions* o, const char* value) {
       o->defs_path = value;
       return true;
     }},
    {"--pcap",
     [](DumpOptions* o, const char* value) {
       o->input_form = InputForm::kCapture;
       o->input_path = value;
       return true;
     }},
    {"--skip",
     [](DumpOptions* o, const char* value) {
       const long skip = read_count(value, kMaxSkip);
       o->skip = skip < 0 ? 0 : static_cast<size_t>(skip);
       return skip >= 0;
     }},
    {"--port",
     [](DumpOptions* o, const char* value) {
       o->port = static_cast<int>(read_count(value, kMaxPort));
       return o->port > 0;
     }},
    {"--frame",
     [](DumpOptions* o, const char* value) {
       o->frame = value;
       for (const char* kind : {"len2", "len2le", "ascii4", "none"}) {
         if (o->frame == kind) return true;
       }
       return false;
     }},
};

// Reads one option at argv[*k]; returns false when it is none of them.
bool read_option(int argc, const char* const* argv, int* k, DumpOptions* options,
                 std::string* error) {
  const char* arg = argv[*k];
  for (const Flag& flag : kFlags) {
    if (std::strcmp(arg, flag.name) == 0) {
      flag.apply(options);
      return true;
    }
  }
  for (const ValueOption& option : kValueOptions) {
    const size_t name_length = std::strlen(option.name);
    if (std::strncmp(arg, option.name, name_length) != 0) continue;
    const char* value;
    if (arg[name_length] == '=') {
      value = arg + name_length + 1;
    } else if (arg[name_length] != '\0') {
      continue;
    } else if (*k + 1 < argc) {
      value = argv[++*k];
    } else {
      *error = std::string(option.name) + " needs a value";
      return true;
    }
    if (!option.apply(options, value)) {
      *error = std::string("bad value for ") + option.name + ": " + value;
    }
    return true;
  }
  return false;
}

// Whether the options fit together; writes what does not into `error`.
bool check_combination(const DumpOptions& options, int input_forms, bool have_input,
                       std::string* error) {
  if (input_forms > 1) {
    *error = "choose one of --each-line, --hexdump, --binary and --pcap";
  } else if (options.input_form == InputForm::kCapture && have_input) {
    *error = "--pcap reads its FILE; no INPUT besides";
  } else if ((options.port != 0 || options.frame != "len2") &&
             options.input_form != InputForm::kCapture) {
    *error = "--port and --frame go with --pcap";
  } else if (options.raw && options.output_form != OutputForm::kReport) {
    *error = "--raw goes with the report, not with --json or --summary";
  } else if (options.output_form == OutputForm::kSummary && options.explain) {
    *error = "--summary and --explain do not go together";
  } else {
    return true;
  }
  return false;
}

}  // namespace

int parse_dump_options(int argc, const char* const* argv, DumpOptions* options,
                       std::string* error) {
  bool have_input = false;
  int input_forms = 0;
  int output_forms = 0;
  for (int k = 1; k < argc; ++k) {
    const char* arg = argv[k];
    const InputForm input_before = options->input_form;
    const OutputForm output_before = options->output_form;
    if (read_option(argc, argv, &k, options, error)) {
      if (!error->empty()) return -1;
      if (options->input_form != input_before) ++input_forms;
      if (options->output_form != output_before) ++output_forms;
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
  if (output_forms > 1) {
    *error = "choose one of --json and --summary";
    return -1;
  }
  if (options->explain && options->output_form == OutputForm::kReport) {
    options->output_form = OutputForm::kExplain;
  }
  if (options->raw && options->explain) {
    *error = "--raw goes with the report, not with --explain";
    return -1;
  }
  return check_combination(*options, input_forms, have_input, error) ? 0 : -1;
}

// The command-line parser of iso8583dump.
#include "cli/dump_options.h"

#include <cstdlib>
#include <cstring>

const char kDumpUsage[] =
    "Usage: iso8583dump [OPTION]... [INPUT]\n"
    "  or:  iso8583dump --pcap FILE [OPTION]...\n"
    "  or:  iso8583dump --guess [OPTION]... [INPUT]\n"
    "  or:  iso8583dump --diff A B [--defs-b FILE] [--ignore LIST] [OPTION]...\n"
    "\n"
    "Decodes ISO 8583 messages, as the window's Parse button does, and prints\n"
    "the field report, or the messages as JSON or explained.\n"
    "\n"
    "Input:\n"
    "  INPUT         the input file; standard input when absent or -\n"
    "  --defs FILE   the field definition file (default: bitmap.ini), or the\n"
    "                name of a shipped dialect, such as unionpay-pos, or bitmap\n"
    "                for the installed sample bitmap.ini\n"
    "  --dialects    list the shipped dialects\n"
    "  --print-defs  print the definitions as read, every property spelled out\n"
    "  (default)     the whole input is one message of hexadecimal text\n"
    "  --each-line   every non-blank input line is one message of text\n"
    "  --hexdump     messages as dumps in a log: xxd (also -g1 and -p), hexdump -C,\n"
    "                od -A x -t x1z, tcpdump -X and -xx, Wireshark's copy as hex\n"
    "                dump, and lines such as '0000: 30 32 30 30  0200', also\n"
    "                behind a log prefix; consecutive dump lines are one message\n"
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
    "  --version     print the version\n"
    "\n"
    "Guessing the dialect:\n"
    "  --guess       read the input with every candidate dialect (the file --defs\n"
    "                names, the sample bitmap.ini and the shipped dialects, and\n"
    "                those that always read a secondary bitmap also with\n"
    "                secondary=flagged), each as it stands and behind a 2-byte\n"
    "                length (len2), a 4-digit length (ascii4), a TPDU (5 bytes\n"
    "                from 0x60) or a length and a TPDU; a dialect with a header\n"
    "                reads a TPDU as part of it. Prints a table of the readings,\n"
    "                best first, and the options that decode as the first. The\n"
    "                messages of an input are ranked together: a reading ranks\n"
    "                by the messages it reads completely, with no byte left over,\n"
    "                then fewer failed and more passed checks (mti, digits,\n"
    "                dates, field55, luhn), then the --defs file, then by name\n"
    "\n"
    "Comparing two messages:\n"
    "  --diff A      compare the message of A with that of INPUT (B), field by\n"
    "                field, field 55 element by element, other composite fields\n"
    "                part by part, on their unmasked bytes;\n"
    "                each input is read as the input options say (not --pcap),\n"
    "                and inputs of many messages are compared message by message\n"
    "  --defs-b FILE the definitions of B (default: those of --defs)\n"
    "  --ignore LIST leave out these fields, and mti or header: 7,11,37,mti\n"
    "\n"
    "When a message does not unpack completely, or leaves bytes over, and\n"
    "another dialect or framing reads it completely, a hint on standard error\n"
    "(\"hint\" with --json) names it and its options, once a run; only the\n"
    "first 4 such messages of a run are tried.\n"
    "\n"
    "When standard error is a terminal and standard output is not, --each-line,\n"
    "--hexdump and --pcap show there how far they are: bytes read, messages and\n"
    "messages a second.\n"
    "\n"
    "Exit status: 0 when every message unpacked successfully (--guess: the first\n"
    "reading reads every message completely; --diff: the messages are equal), 1\n"
    "when a report ends with a failure line or a field did not fit its layout\n"
    "(--guess: no reading reads every message completely; --diff: they differ),\n"
    "2 when input was refused (text that is not hexadecimal, an odd digit count,\n"
    "a message too short, no dump found), when a capture lost bytes or could not\n"
    "be read to its end, when no connection matched, on a usage error, when the\n"
    "definition file or the input cannot be read, or when the output cannot be\n"
    "written.\n";

namespace {

// A flag and what it sets.
struct Flag {
  const char* name;
  void (*apply)(DumpOptions* options);
};

const Flag kFlags[] = {
    {"--raw", [](DumpOptions* o) { o->raw = true; }},
    {"--each-line", [](DumpOptions* o) { o->input_form = InputForm::kEachLine; }},
    {"--hexdump", [](DumpOptions* o) { o->input_form = InputForm::kHexdump; }},
    {"--binary", [](DumpOptions* o) { o->input_form = InputForm::kBinary; }},
    {"--json", [](DumpOptions* o) { o->output_form = OutputForm::kJson; }},
    {"--summary", [](DumpOptions* o) { o->output_form = OutputForm::kSummary; }},
    {"--explain", [](DumpOptions* o) { o->explain = true; }},
    {"--mask", [](DumpOptions* o) { o->mask = true; }},
    {"--guess", [](DumpOptions* o) { o->guess = true; }},
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
    {"--pcap",
     [](DumpOptions* o, const char* value) {
       o->input_form = InputForm::kCapture;
       o->common.input_path = value;
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
    {"--diff",
     [](DumpOptions* o, const char* value) {
       o->diff = true;
       o->diff_path = value;
       return true;
     }},
    {"--defs-b",
     [](DumpOptions* o, const char* value) {
       o->defs_b_path = value;
       return true;
     }},
    {"--ignore",
     [](DumpOptions* o, const char* value) {
       o->has_ignored = true;
       return parse_ignored_places(value, &o->ignored);
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
    const char* value = nullptr;
    if (!read_option_value(argc, argv, k, option.name, &value, error)) continue;
    if (value != nullptr && !option.apply(options, value)) {
      *error = std::string("bad value for ") + option.name + ": " + value;
    }
    return true;
  }
  return false;
}

// Whether the options fit together; writes what does not into `error`.
bool check_combination(const DumpOptions& options, int input_forms, std::string* error) {
  if (input_forms > 1) {
    *error = "choose one of --each-line, --hexdump, --binary and --pcap";
  } else if (options.input_form == InputForm::kCapture && options.common.have_input) {
    *error = "--pcap reads its FILE; no INPUT besides";
  } else if ((options.port != 0 || options.frame != "len2") &&
             options.input_form != InputForm::kCapture) {
    *error = "--port and --frame go with --pcap";
  } else if (options.raw && options.output_form != OutputForm::kReport) {
    *error = "--raw goes with the report, not with --json or --summary";
  } else if (options.output_form == OutputForm::kSummary && options.explain) {
    *error = "--summary and --explain do not go together";
  } else if (options.guess && options.diff) {
    *error = "choose one of --guess and --diff";
  } else if ((options.guess || options.diff) &&
             (options.raw || options.explain || options.output_form == OutputForm::kSummary)) {
    *error = "--guess and --diff write their own text or --json";
  } else if (options.guess && options.mask) {
    *error = "--guess shows no card data to mask";
  } else if (options.diff && options.input_form == InputForm::kCapture) {
    *error = "--diff reads two inputs, not --pcap";
  } else if (options.diff && !options.common.have_input) {
    *error = "--diff needs two inputs: --diff A B";
  } else if (!options.diff && (!options.defs_b_path.empty() || options.has_ignored)) {
    *error = "--defs-b and --ignore go with --diff";
  } else {
    return true;
  }
  return false;
}

}  // namespace

int parse_dump_options(int argc, const char* const* argv, DumpOptions* options,
                       std::string* error) {
  int input_forms = 0;
  int output_forms = 0;
  for (int k = 1; k < argc; ++k) {
    const InputForm input_before = options->input_form;
    const OutputForm output_before = options->output_form;
    if (read_option(argc, argv, &k, options, error)) {
      if (!error->empty()) return -1;
      if (options->input_form != input_before) ++input_forms;
      if (options->output_form != output_before) ++output_forms;
    } else if (!read_common_argument(argc, argv, &k, &options->common, error)) {
      return -1;
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
  return check_combination(*options, input_forms, error) ? 0 : -1;
}

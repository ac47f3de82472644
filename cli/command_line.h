// What the command lines of iso8583dump and iso8583pack have in common:
// the definition file (--defs), the input (INPUT), --help and --version;
// opening the input and reading the definitions with errors that name the
// path and the system's reason; and the end of the output, whose failure
// is told except for a closed pipe.
#ifndef CLI_COMMAND_LINE_H_
#define CLI_COMMAND_LINE_H_

#include <cstdio>
#include <string>
#include <vector>

#include "cli/output.h"
#include "decode/decoder.h"

// A program's name and usage text, for its messages.
struct Program {
  const char* name;   // "iso8583dump"
  const char* usage;  // what --help prints
};

// The definition file read when --defs does not name one: the window
// program's, in the current directory.
constexpr char kDefaultDefinitions[] = "bitmap.ini";

// The name --defs takes for the installed sample definition file, as the
// page and the npm package name it among their dialects.
constexpr char kSampleName[] = "bitmap";

// The options every program takes.
struct CommonOptions {
  std::string defs_path = kDefaultDefinitions;  // --defs FILE
  bool defs_given = false;                      // whether --defs was given
  std::string input_path = "-";                 // INPUT; "-" is standard input
  bool have_input = false;                      // whether INPUT was given
  bool help = false;                            // --help, -h
  bool version = false;                         // --version
  bool list_dialects = false;                   // --dialects
  bool print_definitions = false;               // --print-defs
};

// Whether argv[*k] is the option `name` with its value, given as "NAME
// VALUE" or "NAME=VALUE"; then `*value` is the value and *k is moved onto
// its last argument. A missing value is written into `error`.
bool read_option_value(int argc, const char* const* argv, int* k, const char* name,
                       const char** value, std::string* error);

// Reads argv[*k], which is none of the program's own options: --defs FILE,
// --dialects, --print-defs, --help, --version or the INPUT. Returns false after writing into `error`
// what is wrong (an unknown option, a second input).
bool read_common_argument(int argc, const char* const* argv, int* k, CommonOptions* options,
                          std::string* error);

// Writes `error` on standard error, and a pointer to --help.
void print_usage_error(const Program& program, const std::string& error);

// Prints the usage (--help) or the version (--version) when they were
// asked for; returns whether one was.
bool answer_help_or_version(const Program& program, const CommonOptions& options);

// Keeps the standard streams from translating line ends (on Windows).
void use_binary_standard_streams();

// Opens the input at `path` ("-": standard input) for reading. Returns
// nullptr after telling why on standard error, with the path and the
// system's reason ("iso8583dump: examples: Is a directory").
std::FILE* open_input(const Program& program, const std::string& path);

// Tells on standard error that reading the input at `path` failed with
// the system's error `error` (an errno value).
void report_input_error(const Program& program, const std::string& path, int error);

// Lists the shipped dialects (--dialects) on standard output: each name
// that --defs takes, with the first line of its comment. Returns false
// when none is found, after telling where they were looked for.
bool list_dialects(const Program& program);

// The names of the shipped dialects, which --defs takes, in order; none
// when they are not found.
std::vector<std::string> shipped_dialects();

// The path of the shipped dialect `name`.
std::string shipped_dialect_path(const std::string& name);

// Where the sample definition file is installed beside this program, or
// empty when it is not there.
std::string sample_definitions();

// The file that --defs `name` means: `name` itself when it is a file, or
// else, for a bare name, the shipped dialect of that name, or for
// kSampleName the installed sample.
std::string definitions_file(const std::string& name);

// Reads the definition file that --defs `name` means into `decoder`,
// naming every problem of the file on standard error as "FILE:LINE:
// reason"; `complete` tells whether no line ended the reading as invalid.
// When it cannot be read, "fopen error" is followed by the path and the
// reason; when the default file is missing, by where the installed sample
// is. Returns false when the file cannot be read, holds a property not
// understood, or is no definition file at all (its first line ends the
// reading): nothing may be decoded with it.
bool load_definitions(const Program& program, const std::string& name, Decoder* decoder,
                      bool* complete);

// Prints the definitions of `dialect`, with every property spelled out
// (--print-defs).
void print_definitions(const Dialect& dialect);

// Writes what is pending on `output`. Returns false when some output could
// not be written, after telling why on standard error; a closed pipe ends
// the output quietly, as it does other programs of a pipeline.
bool finish_output(const Program& program, Output* output);

#endif  // CLI_COMMAND_LINE_H_

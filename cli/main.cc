// iso8583dump: the command-line twin of the window program. It decodes
// hexadecimal message text from a file or standard input exactly as the
// window's Parse button does and prints the same report.
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/cp936_to_utf8.h"
#include "cli/dump_options.h"
#include "cli/line_reader.h"
#include "decode/decode_request.h"
#include "decode/definition_file.h"

namespace {

constexpr int kExitUnpacked = 0;
constexpr int kExitUnpackFailed = 1;
constexpr int kExitRejected = 2;

// Report output, gathered into large writes.
struct Output {
  bool raw = false;
  std::string pending;
};

void flush(Output* output) {
  std::fwrite(output->pending.data(), 1, output->pending.size(), stdout);
  output->pending.clear();
}

void write_report(const Report& report, Output* output) {
  if (output->raw) {
    output->pending += report;
  } else {
    append_cp936_as_utf8(report, &output->pending);
  }
  if (output->pending.size() >= (1 << 16)) flush(output);
}

// Writes a note on standard error, naming the input line in batch mode.
void note(int line_number, const char* text) {
  if (line_number > 0) {
    std::fprintf(stderr, "line %d: %s\n", line_number, text);
  } else {
    std::fprintf(stderr, "%s\n", text);
  }
}

// Decodes one message text and writes its report; returns the exit status
// it calls for. `line_number` is 0 outside batch mode.
int decode_one(const std::string& text, size_t full_length, int line_number, Report* report,
               Output* output) {
  if (full_length > kInputTextLimit) note(line_number, "input cut to its first 3999 characters");
  switch (decode_request(text, report)) {
    case DecodeOutcome::kOddDigitCount:
      note(line_number, "msg length error");
      return kExitRejected;
    case DecodeOutcome::kTooShort:
      note(line_number, "message too short");
      return kExitRejected;
    case DecodeOutcome::kUnpacked:
      write_report(*report, output);
      return kExitUnpacked;
    case DecodeOutcome::kUnpackFailed:
      write_report(*report, output);
      return kExitUnpackFailed;
  }
  return kExitRejected;
}

bool is_blank_line(const std::string& line) {
  return line.find_first_not_of(" \t\r") == std::string::npos;
}

int decode_each_line(LineReader* reader, Output* output) {
  static const char kBlankLine[] = "\r\n";
  int status = kExitUnpacked;
  Report report;
  std::string line;
  size_t full_length = 0;
  for (int line_number = 1; read_line(reader, kInputTextLimit, &line, &full_length) == 0;
       ++line_number) {
    if (is_blank_line(line)) continue;
    const int line_status = decode_one(line, full_length, line_number, &report, output);
    if (line_status != kExitRejected) write_report(kBlankLine, output);
    if (line_status > status) status = line_status;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  DumpOptions options;
  std::string error;
  if (parse_dump_options(argc, argv, &options, &error) != 0) {
    std::fprintf(stderr, "iso8583dump: %s\n%s", error.c_str(), kDumpUsage);
    return kExitRejected;
  }
  if (options.help) {
    std::fputs(kDumpUsage, stdout);
    return kExitUnpacked;
  }
#ifdef _WIN32
  // The report carries its own line ends; the console must not add more.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif

  static LineReader input;
  LineReader* reader = &input;
  reader->file = options.input_path == "-" ? stdin : std::fopen(options.input_path.c_str(), "rb");
  if (reader->file == nullptr) {
    std::fprintf(stderr, "iso8583dump: cannot open %s\n", options.input_path.c_str());
    return kExitRejected;
  }
  load_field_defs(options.defs_path.c_str());

  Output output;
  output.raw = options.raw;
  int status;
  if (options.each_line) {
    status = decode_each_line(reader, &output);
  } else {
    std::string text;
    size_t full_length = 0;
    read_all(reader, kInputTextLimit, &text, &full_length);
    Report report;
    status = decode_one(text, full_length, 0, &report, &output);
  }
  flush(&output);
  if (reader->file != stdin) std::fclose(reader->file);
  return status;
}

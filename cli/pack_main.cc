// iso8583pack: the way back from iso8583dump --json. Packs every JSON line
// into the message it describes, framed as the definition file says.
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/line_reader.h"
#include "cli/output.h"
#include "cli/pack_options.h"
#include "decode/definition_file.h"
#include "json/pack_request_json.h"

namespace {

constexpr int kExitPacked = 0;
constexpr int kExitRefused = 2;

// The longest JSON line read: far more than any message's JSON needs.
constexpr size_t kLineLimit = 1 << 20;

void append_hex(const std::string& bytes, std::string* text) {
  static const char kDigits[] = "0123456789ABCDEF";
  for (unsigned char byte : bytes) {
    text->push_back(kDigits[byte >> 4]);
    text->push_back(kDigits[byte & 0x0F]);
  }
  text->push_back('\n');
}

bool is_blank(const std::string& line) {
  return line.find_first_not_of(" \t\r") == std::string::npos;
}

// Packs every line of `reader`; returns the exit status.
int pack_all(LineReader* reader, bool binary, Output* output) {
  int status = kExitPacked;
  std::string line;
  size_t full_length = 0;
  PackRequest request;
  std::string message;
  std::string error;
  for (long line_number = 1; read_line(reader, kLineLimit, &line, &full_length) == 0;
       ++line_number) {
    if (is_blank(line)) continue;
    if (full_length > kLineLimit) {
      error = "longer than " + std::to_string(kLineLimit) + " characters";
    } else if (read_pack_request(&line, &request, &error) &&
               pack_message(request, &message, &error)) {
      if (binary) {
        output->write(message);
      } else {
        append_hex(message, output->pending());
        output->maybe_flush();
      }
      continue;
    }
    std::fprintf(stderr, "line %ld: %s\n", line_number, error.c_str());
    status = kExitRefused;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  PackOptions options;
  std::string error;
  if (parse_pack_options(argc, argv, &options, &error) != 0) {
    std::fprintf(stderr, "iso8583pack: %s\n%s", error.c_str(), kPackUsage);
    return kExitRefused;
  }
  if (options.help) {
    std::fputs(kPackUsage, stdout);
    return kExitPacked;
  }
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  static LineReader input;
  input.file = options.input_path == "-" ? stdin : std::fopen(options.input_path.c_str(), "rb");
  if (input.file == nullptr) {
    std::fprintf(stderr, "iso8583pack: cannot open %s\n", options.input_path.c_str());
    return kExitRefused;
  }
  load_field_defs(options.defs_path.c_str());
  Output output(stdout, options.binary ? OutputEncoding::kBinary : OutputEncoding::kUtf8);
  const int status = pack_all(&input, options.binary, &output);
  output.flush();
  if (input.file != stdin) std::fclose(input.file);
  return status;
}

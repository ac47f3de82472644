// iso8583pack: the way back from iso8583dump --json. Packs every JSON line
// into the message it describes, framed as the definition file says.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/line_reader.h"
#include "cli/output.h"
#include "cli/pack_options.h"
#include "decode/decoder.h"
#include "decode/hex_text.h"
#include "json/pack_request_json.h"

namespace {

constexpr int kExitPacked = 0;
constexpr int kExitRefused = 2;

constexpr Program kPack = {"iso8583pack", kPackUsage};

// The longest JSON line read: far more than any message's JSON needs.
constexpr size_t kLineLimit = 1 << 20;

// Appends `bytes` to `text` as one line of hexadecimal.
void append_hex_line(const std::string& bytes, std::string* text) {
  const size_t start = text->size();
  text->resize(start + 2 * bytes.size());
  render_hex(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &(*text)[start]);
  text->push_back('\n');
}

// Packs every line of `reader`; returns the exit status.
int pack_all(const Dialect& dialect, LineReader* reader, bool binary, Output* output) {
  int status = kExitPacked;
  std::string line;
  size_t full_length = 0;
  PackRequest request;
  std::string message;
  std::string error;
  std::vector<std::string> notes;
  for (long line_number = 1;
       output->ok() && read_line(reader, kLineLimit, &line, &full_length) == 0; ++line_number) {
    if (is_blank_line(line)) continue;
    if (full_length > kLineLimit) {
      error = "longer than " + std::to_string(kLineLimit) + " characters";
    } else if (read_pack_request(&line, &request, &error) &&
               pack_message(dialect, request, &message, &error, &notes)) {
      for (const std::string& note : notes) std::fprintf(stderr, "line %ld: %s\n", line_number, note.c_str());
      if (binary) {
        output->write(message);
      } else {
        append_hex_line(message, output->pending());
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
    print_usage_error(kPack, error);
    return kExitRefused;
  }
  if (answer_help_or_version(kPack, options.common)) return kExitPacked;
  if (options.common.list_dialects) return list_dialects(kPack) ? kExitPacked : kExitRefused;
  use_binary_standard_streams();
  static Decoder definitions;
  bool complete = true;
  if (!load_definitions(kPack, options.common.defs_path, &definitions, &complete)) return kExitRefused;
  if (options.common.print_definitions) {
    print_definitions(definitions.dialect());
    // What was read is printed; a reading that a line ended is still a failure.
    return complete ? kExitPacked : kExitRefused;
  }
  static LineReader input;
  input.file = open_input(kPack, options.common.input_path);
  if (input.file == nullptr) return kExitRefused;
  Output output(stdout, options.binary ? OutputEncoding::kBinary : OutputEncoding::kUtf8);
  int status = pack_all(definitions.dialect(), &input, options.binary, &output);
  if (input.error != 0) {
    report_input_error(kPack, options.common.input_path, input.error);
    status = kExitRefused;
  }
  if (!finish_output(kPack, &output)) status = kExitRefused;
  if (input.file != stdin) std::fclose(input.file);
  return status;
}

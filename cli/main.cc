// iso8583dump: the command-line twin of the window program. It decodes ISO
// 8583 messages exactly as the window's Parse button does and prints the
// same report, or the messages as JSON, explained or summed up, from text,
// lines, dumps in logs, raw bytes or packet captures.
#include <cstdio>
#include <memory>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/capture_source.h"
#include "cli/dump_options.h"
#include "cli/explain_message_writer.h"
#include "cli/hexdump_source.h"
#include "cli/json_message_writer.h"
#include "cli/line_reader.h"
#include "cli/message_decoder.h"
#include "cli/report_message_writer.h"
#include "cli/summary_writer.h"
#include "cli/text_sources.h"
#include "decode/definition_file.h"

namespace {

constexpr int kExitUnpacked = 0;
constexpr int kExitUnpackFailed = 1;
constexpr int kExitRejected = 2;

int usage_error(const std::string& error) {
  std::fprintf(stderr, "iso8583dump: %s\n%s", error.c_str(), kDumpUsage);
  return kExitRejected;
}

// Whether the input holds more messages than one.
bool has_many_messages(InputForm form) {
  return form != InputForm::kText && form != InputForm::kBinary;
}

// The source of the messages of `options`, reading `reader`. Returns
// nullptr after writing why into `error`.
std::unique_ptr<MessageSource> open_source(const DumpOptions& options, LineReader* reader,
                                           std::string* error) {
  // Bytes are kept beyond a decode's reach by the skipped header.
  const size_t byte_limit = kMaxMessageBytes + options.skip;
  switch (options.input_form) {
    case InputForm::kText:
      return std::make_unique<WholeInputSource>(reader, true, kInputTextLimit);
    case InputForm::kEachLine:
      return std::make_unique<EachLineSource>(reader);
    case InputForm::kHexdump:
      return std::make_unique<HexdumpSource>(reader->file, byte_limit);
    case InputForm::kBinary:
      return std::make_unique<WholeInputSource>(reader, false, byte_limit);
    case InputForm::kCapture: {
      CaptureOptions capture;
      capture.path = options.input_path;
      capture.port = options.port;
      capture.frame = options.frame;
      capture.skip = options.skip;
      return open_capture_source(capture, byte_limit, error);
    }
  }
  return nullptr;
}

std::unique_ptr<MessageWriter> make_writer(const DumpOptions& options) {
  const bool separate = has_many_messages(options.input_form);
  switch (options.output_form) {
    case OutputForm::kReport:
      break;
    case OutputForm::kJson:
      return std::make_unique<JsonMessageWriter>(options.explain, options.mask);
    case OutputForm::kExplain:
      return std::make_unique<ExplainMessageWriter>(separate);
    case OutputForm::kSummary:
      return make_summary_writer();
  }
  return std::make_unique<ReportMessageWriter>(options.raw, separate);
}

// Decodes every message of `source` and writes it; returns the exit
// status: the worst of all messages.
int decode_all(MessageSource* source, const DecodeSteps& steps, MessageWriter* writer,
               Output* output) {
  MessageDecoder decoder(steps);
  SourceMessage message;
  int status = kExitUnpacked;
  while (source->next(&message)) {
    const DecodeOutcome outcome = decoder.decode(message);
    int message_status;
    if (outcome == DecodeOutcome::kOddDigitCount || outcome == DecodeOutcome::kTooShort) {
      writer->write_rejected(message.origin, outcome, output);
      message_status = kExitRejected;
    } else {
      writer->write_decoded(message.origin, decoder.byte_count(), outcome, decoder.decoded(),
                            output);
      message_status = outcome == DecodeOutcome::kUnpacked ? kExitUnpacked : kExitUnpackFailed;
    }
    if (message_status > status) status = message_status;
  }
  writer->finish(output);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  DumpOptions options;
  std::string error;
  if (parse_dump_options(argc, argv, &options, &error) != 0) return usage_error(error);
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
  if (options.input_form != InputForm::kCapture) {
    reader->file =
        options.input_path == "-" ? stdin : std::fopen(options.input_path.c_str(), "rb");
    if (reader->file == nullptr) {
      std::fprintf(stderr, "iso8583dump: cannot open %s\n", options.input_path.c_str());
      return kExitRejected;
    }
  }
  load_field_defs(options.defs_path.c_str());

  std::unique_ptr<MessageSource> source = open_source(options, reader, &error);
  if (source == nullptr) {
    std::fprintf(stderr, "iso8583dump: %s\n", error.c_str());
    return kExitRejected;
  }
  std::unique_ptr<MessageWriter> writer = make_writer(options);
  Output output(stdout, options.raw ? OutputEncoding::kCp936 : OutputEncoding::kUtf8);
  DecodeSteps steps;
  steps.skip = options.skip;
  steps.mask = options.mask;
  const int status = decode_all(source.get(), steps, writer.get(), &output);
  output.flush();
  if (reader->file != nullptr && reader->file != stdin) std::fclose(reader->file);
  return status;
}

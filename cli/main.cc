// iso8583dump: the command-line twin of the window program. It decodes ISO
// 8583 messages exactly as the window's Parse button does and prints the
// same report, or the messages as JSON, explained or summed up, from text,
// lines, dumps in logs, raw bytes or packet captures.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "cli/command_line.h"
#include "cli/dialect_hint.h"
#include "cli/diff_command.h"
#include "cli/dump_options.h"
#include "cli/dump_source.h"
#include "cli/explain_message_writer.h"
#include "cli/guess_command.h"
#include "cli/json_message_writer.h"
#include "cli/line_reader.h"
#include "cli/message_decoder.h"
#include "cli/progress.h"
#include "cli/report_message_writer.h"
#include "cli/run_tally.h"
#include "cli/summary_writer.h"

namespace {

constexpr Program kDump = {"iso8583dump", kDumpUsage};

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
      return make_summary_writer(options.input_form);
  }
  return std::make_unique<ReportMessageWriter>(options.raw, separate);
}

// Decodes every message of `source` and writes it, until the output
// fails; returns the exit status: the worst of all messages and of what
// the source lost. The closing summary tells what went missing.
int decode_all(const DumpOptions& options, const Decoder& definitions, MessageSource* source,
               MessageWriter* writer, Output* output, Progress* progress) {
  DecodeSteps steps;
  steps.skip = options.skip;
  steps.mask = options.mask;
  steps.note_trailing = options.output_form == OutputForm::kReport ||
                        options.output_form == OutputForm::kSummary;
  steps.whole_input = options.input_form == InputForm::kText;
  MessageDecoder decoder(steps, definitions);
  DialectHint hint(options.common, options.skip);
  SourceMessage message;
  int status = kExitUnpacked;
  long messages = 0;
  while (output->ok() && source->next(&message)) {
    ++messages;
    progress->count_message();
    const DecodeOutcome outcome = decoder.decode(message);
    int message_status;
    if (outcome == DecodeOutcome::kUnpacked || outcome == DecodeOutcome::kUnpackFailed) {
      const std::string hint_text = hint.after(decoder, outcome);
      if (!hint_text.empty()) {
        note(message.origin, "hint: " + hint_text);
        writer->add_hint(hint_text);
      }
      writer->write_decoded(message.origin, decoder.byte_count(), outcome, decoder.decoded(),
                            output);
      // A field whose data does not fit its layout fails the run too.
      const bool whole = outcome == DecodeOutcome::kUnpacked && decoder.decoded().misfits.empty();
      message_status = whole ? kExitUnpacked : kExitUnpackFailed;
    } else {
      writer->write_rejected(message.origin, decoder.refusal(), output);
      message_status = kExitRejected;
    }
    if (message_status > status) status = message_status;
  }
  writer->finish(output);
  if (tell_no_dump_found(options, messages)) status = kExitRejected;
  const SourceLosses losses = source->losses();
  if (losses.faulty) status = kExitRejected;
  RunTally tally = decoder.tally();
  tally.bytes_lost = losses.bytes_lost;
  tally.bytes_dropped += losses.bytes_dropped;
  tally.bytes_dropped_expected = losses.bytes_dropped_expected;
  write_closing_summary(kDump.name, tally);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  DumpOptions options;
  std::string error;
  if (parse_dump_options(argc, argv, &options, &error) != 0) {
    print_usage_error(kDump, error);
    return kExitRejected;
  }
  if (answer_help_or_version(kDump, options.common)) return kExitUnpacked;
  if (options.common.list_dialects) return list_dialects(kDump) ? kExitUnpacked : kExitRejected;
  use_binary_standard_streams();
  if (options.diff) return diff_inputs(kDump, options);
  // A guess needs no definition file of the user's own.
  const bool definitions_wanted = !options.guess || options.common.defs_given ||
                                  std::filesystem::exists(options.common.defs_path);
  static Decoder definitions;
  bool complete = true;
  if (definitions_wanted &&
      !load_definitions(kDump, options.common.defs_path, &definitions, &complete)) {
    return kExitRejected;
  }
  if (options.common.print_definitions) {
    print_definitions(definitions.dialect());
    // What was read is printed; a reading that a line ended is still a failure.
    return complete ? kExitUnpacked : kExitRejected;
  }

  const std::string& input_path = options.common.input_path;
  static LineReader input;
  if (options.input_form != InputForm::kCapture) {
    input.file = open_input(kDump, input_path);
    if (input.file == nullptr) return kExitRejected;
  }

  std::unique_ptr<MessageSource> source = open_source(options, &input, &error);
  if (source == nullptr) {
    std::fprintf(stderr, "%s: %s\n", kDump.name, error.c_str());
    return kExitRejected;
  }
  std::unique_ptr<MessageWriter> writer = make_writer(options);
  Output output(stdout, options.raw ? OutputEncoding::kCp936 : OutputEncoding::kUtf8);
  Progress progress(source.get(), input_file_size(input_path),
                    has_many_messages(options.input_form));
  int status = options.guess ? guess_all(options, source.get(), &output, &progress)
                             : decode_all(options, definitions, source.get(), writer.get(),
                                          &output, &progress);
  if (input.error != 0) {
    report_input_error(kDump, input_path, input.error);
    status = kExitRejected;
  }
  if (!finish_output(kDump, &output)) status = kExitRejected;
  if (input.file != nullptr && input.file != stdin) std::fclose(input.file);
  return status;
}

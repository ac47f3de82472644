// Comparing the messages of two inputs.
#include "cli/diff_command.h"

#include <memory>
#include <string>

#include "cli/dump_source.h"
#include "cli/line_reader.h"
#include "cli/message_decoder.h"
#include "cli/status_line.h"
#include "diff/diff_json.h"
#include "diff/diff_text.h"
#include "explain/explain_report.h"

namespace {

// One of the two inputs: its file, its messages and their decoder.
struct DiffInput {
  DiffInput(const DecodeSteps& steps, const Decoder& definitions) : decoder(steps, definitions) {}

  // Reads the next message; false when the input is used up.
  bool next() {
    if (!source->next(&message)) return false;
    ++messages;
    return true;
  }

  std::string path;
  LineReader reader;
  std::unique_ptr<MessageSource> source;
  MessageDecoder decoder;  // its decoded() is the message read, masked when asked
  SourceMessage message;
  long messages = 0;  // read so far

  // "A.hex", or "A.txt line 4" for an input of many messages.
  std::string place(bool many) const {
    const std::string name = path == "-" ? "standard input" : path;
    return many ? name + " line " + std::to_string(message.origin.line) : name;
  }
};

// Opens `input` at `path`; false after telling why.
bool open_diff_input(const Program& program, const DumpOptions& options, const std::string& path,
                     DiffInput* input) {
  input->path = path;
  input->reader.file = open_input(program, path);
  if (input->reader.file == nullptr) return false;
  std::string error;
  input->source = open_source(options, &input->reader, &error);
  if (input->source != nullptr) return true;
  write_note(std::string(program.name) + ": " + error);
  return false;
}

void close_diff_input(DiffInput* input) {
  if (input->reader.file != nullptr && input->reader.file != stdin) std::fclose(input->reader.file);
}

// Decodes the current message of `input`; false after telling that it
// was refused. A message whose unpack ended early is told too: only what
// was read is compared.
bool decode(const Program& program, bool many, DiffInput* input) {
  const DecodeOutcome outcome = input->decoder.decode(input->message);
  if (outcome != DecodeOutcome::kUnpacked && outcome != DecodeOutcome::kUnpackFailed) {
    write_note(std::string(program.name) + ": " + input->place(many) + ": refused, not compared");
    return false;
  }
  if (outcome == DecodeOutcome::kUnpackFailed) {
    write_note(std::string(program.name) + ": " + input->place(many) +
               ": compared as far as its unpack went (" +
               verdict_in_words(input->decoder.decoded().verdict) + ")");
  }
  return true;
}

// Writes the differences of one pair.
void write_pair(const DumpOptions& options, bool many, const DiffInput& a, const DiffInput& b,
                const MessageDiff& diff, MessageJson* json, Output* output) {
  std::string* text = output->pending();
  if (options.output_form == OutputForm::kJson) {
    json->begin(text);
    if (many) {
      json->add("line_a", a.message.origin.line);
      json->add("line_b", b.message.origin.line);
    }
    add_diff_json(diff, json);
    if (options.mask) json->add_flag("masked");
    json->end();
    *text += '\n';
  } else if (!diff.differences().empty()) {
    if (many) *text += "# " + a.place(true) + ", " + b.place(true) + "\n";
    write_diff_text(diff, text);
  }
  output->maybe_flush();
}

// Tells how many messages each input held when one held more; they are
// not compared.
void tell_uncompared(const Program& program, DiffInput* longer, const DiffInput& a,
                     const DiffInput& b) {
  while (longer->next()) {
    // Counting the rest.
  }
  const DiffInput& shorter = longer == &a ? b : a;
  write_note(std::string(program.name) + ": " + std::to_string(a.messages) + " messages in " +
             a.place(false) + ", " + std::to_string(b.messages) + " in " + b.place(false) +
             ": the last " + std::to_string(longer->messages - shorter.messages) + " not compared");
}

// Compares the messages of `a` and `b` pair by pair and writes their
// differences; returns the exit status.
int compare_inputs(const Program& program, const DumpOptions& options, DiffInput* a, DiffInput* b) {
  const bool many = has_many_messages(options.input_form);
  Output output(stdout, OutputEncoding::kUtf8);
  MessageJson json(true);
  MessageDiff diff;
  int status = kExitUnpacked;
  bool more_a = a->next();
  bool more_b = b->next();
  while (more_a && more_b && output.ok()) {
    const bool decoded_a = decode(program, many, a);
    const bool decoded_b = decode(program, many, b);
    if (decoded_a && decoded_b) {
      diff.compare(a->decoder.decoded(), b->decoder.decoded(), options.ignored);
      write_pair(options, many, *a, *b, diff, &json, &output);
      if (!diff.differences().empty() && status == kExitUnpacked) status = kExitUnpackFailed;
    } else {
      status = kExitRejected;
    }
    more_a = a->next();
    more_b = b->next();
  }
  if (output.ok() && (more_a || more_b)) {
    tell_uncompared(program, more_a ? a : b, *a, *b);
    if (status == kExitUnpacked) status = kExitUnpackFailed;
  }
  for (DiffInput* input : {a, b}) {
    if (tell_no_dump_found(options, input->messages)) status = kExitRejected;
    if (input->reader.error != 0) {
      report_input_error(program, input->path, input->reader.error);
      status = kExitRejected;
    }
  }
  if (!finish_output(program, &output)) status = kExitRejected;
  return status;
}

}  // namespace

int diff_inputs(const Program& program, const DumpOptions& options) {
  Decoder decoder_a;
  Decoder decoder_b;
  const std::string& defs_b =
      options.defs_b_path.empty() ? options.common.defs_path : options.defs_b_path;
  bool complete = true;  // a reading that a line ended still compares what it read
  if (!load_definitions(program, options.common.defs_path, &decoder_a, &complete) ||
      !load_definitions(program, defs_b, &decoder_b, &complete)) {
    return kExitRejected;
  }
  if (options.diff_path == "-" && options.common.input_path == "-") {
    write_note(std::string(program.name) + ": A and B cannot both be standard input");
    return kExitRejected;
  }
  DecodeSteps steps;
  steps.skip = options.skip;
  steps.mask = options.mask;
  auto a = std::make_unique<DiffInput>(steps, decoder_a);
  auto b = std::make_unique<DiffInput>(steps, decoder_b);
  const bool opened = open_diff_input(program, options, options.diff_path, a.get()) &&
                      open_diff_input(program, options, options.common.input_path, b.get());
  const int status = opened ? compare_inputs(program, options, a.get(), b.get()) : kExitRejected;
  close_diff_input(a.get());
  close_diff_input(b.get());
  return status;
}

// Guessing the dialect of an input.
#include "cli/guess_command.h"

#include <string>
#include <vector>

#include "cli/dialect_candidates.h"
#include "cli/dump_source.h"
#include "cli/message_decoder.h"
#include "guess/decode_options.h"
#include "guess/guess_json.h"
#include "guess/guess_table.h"

namespace {

// The readings the table shows; the JSON has them all.
constexpr size_t kTableRows = 10;

// The line after the table: what decodes as the first reading, or that
// none reads the input completely.
std::string choice_line(const std::string& options, long messages) {
  if (!options.empty()) return "decode with: " + options + "\n";
  if (messages == 1) return "none: no dialect reads the message completely\n";
  return "none: no dialect reads all " + std::to_string(messages) + " messages completely\n";
}

}  // namespace

int guess_all(const DumpOptions& options, MessageSource* source, Output* output,
              Progress* progress) {
  DialectGuess guess;
  add_dialect_candidates(options.common, &guess);
  DecodeSteps steps;
  steps.skip = options.skip;
  // Messages are only prepared here: the candidates decode them.
  const Decoder no_dialect;
  MessageDecoder decoder(steps, no_dialect);
  SourceMessage message;
  long messages = 0;
  bool refused = false;
  while (source->next(&message)) {
    ++messages;
    progress->count_message();
    if (decoder.prepare(message)) {
      guess.read(decoder.bytes(), decoder.byte_count());
    } else {
      refused = true;
    }
  }
  if (tell_no_dump_found(options, messages) || source->losses().faulty) refused = true;
  const std::vector<Reading> ranking = guess.ranking();
  const bool complete = !ranking.empty() && reads_completely(ranking.front(), guess.messages());
  const std::string choice = complete ? decode_options(guess, ranking.front(), options.skip) : "";
  std::string* text = output->pending();
  if (options.output_form == OutputForm::kJson) {
    write_guess_json(guess, ranking, options.skip, text);
    *text += '\n';
  } else {
    write_guess_table(guess, ranking, kTableRows, text);
    *text += choice_line(choice, guess.messages());
  }
  if (refused) return kExitRejected;
  return complete ? kExitUnpacked : kExitUnpackFailed;
}

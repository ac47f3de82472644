// iso8583dump --guess: every message of the input read with every
// candidate dialect and framing, and the readings ranked together, as a
// table or as JSON, with the options that decode as the best one.
#ifndef CLI_GUESS_COMMAND_H_
#define CLI_GUESS_COMMAND_H_

#include "cli/dump_options.h"
#include "cli/message_source.h"
#include "cli/output.h"
#include "cli/progress.h"

// Guesses the dialect of the messages of `source` and writes the ranking
// on `output`. Returns the exit status: kExitUnpacked when the best
// reading reads every message completely, kExitUnpackFailed when no
// reading does (or there was no message), kExitRejected when a message was
// refused or the source lost bytes.
int guess_all(const DumpOptions& options, MessageSource* source, Output* output,
              Progress* progress);

#endif  // CLI_GUESS_COMMAND_H_

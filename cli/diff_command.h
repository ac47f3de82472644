// iso8583dump --diff A B: the messages of two inputs compared field by
// field, in the text for people or as JSON, with the exit status that diff
// gives.
#ifndef CLI_DIFF_COMMAND_H_
#define CLI_DIFF_COMMAND_H_

#include "cli/command_line.h"
#include "cli/dump_options.h"

// Reads the messages of A (options.diff_path, with the definitions of
// --defs) and of B (the INPUT, with those of --defs-b or else --defs) in
// the input form of `options`, compares them pair by pair and writes
// their differences on standard output. Returns kExitUnpacked when every
// pair is equal and the inputs hold as many messages, kExitUnpackFailed
// when they differ, kExitRejected when a message was refused or a file
// could not be read or written.
int diff_inputs(const Program& program, const DumpOptions& options);

#endif  // CLI_DIFF_COMMAND_H_

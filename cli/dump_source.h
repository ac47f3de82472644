// The messages that iso8583dump's options ask for: the source that reads
// them from the input, and the note when a log held no dump at all.
#ifndef CLI_DUMP_SOURCE_H_
#define CLI_DUMP_SOURCE_H_

#include <memory>
#include <string>

#include "cli/dump_options.h"
#include "cli/line_reader.h"
#include "cli/message_source.h"

// Whether inputs of `form` hold more messages than one.
bool has_many_messages(InputForm form);

// The source of the messages of `options`, reading `reader` (a capture
// reads the path of --pcap itself). Returns nullptr after writing why into
// `error`.
std::unique_ptr<MessageSource> open_source(const DumpOptions& options, LineReader* reader,
                                           std::string* error);

// When --hexdump found no dump in an input that gave `messages` messages,
// tells so on standard error, with a hint at the options that read it, and
// returns true: the input is refused.
bool tell_no_dump_found(const DumpOptions& options, long messages);

#endif  // CLI_DUMP_SOURCE_H_

// The hint after a message that did not unpack completely, or left bytes
// over: another candidate dialect or framing that reads it completely,
// named with the options that choose it. It costs nothing while messages
// unpack: the candidates are read when the first message needs them, only
// the first kHintTries such messages of a run are tried, and one hint at
// most is given.
#ifndef CLI_DIALECT_HINT_H_
#define CLI_DIALECT_HINT_H_

#include <string>

#include "cli/command_line.h"
#include "cli/message_decoder.h"
#include "guess/dialect_guess.h"

// How many messages of a run are tried with the other candidates.
constexpr int kHintTries = 4;

class DialectHint {
 public:
  // `options`: the definitions decoded with, among the candidates; `skip`:
  // the bytes --skip drops.
  DialectHint(const CommonOptions& options, size_t skip) : options_(options), skip_(skip) {}

  // The hint for the message that `decoder` decoded last with outcome
  // `outcome`, without "hint: ", or empty when there is none: when it
  // unpacked completely, when it is not one of the first kHintTries that
  // did not, when no candidate reads it completely, or when a hint was
  // given already.
  std::string after(const MessageDecoder& decoder, DecodeOutcome outcome);

 private:
  const CommonOptions& options_;
  size_t skip_;
  DialectGuess guess_;
  int tries_ = 0;
  bool given_ = false;
};

#endif  // CLI_DIALECT_HINT_H_

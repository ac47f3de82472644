// The options of iso8583dump that decode a message as a reading of a guess
// reads it: the same words from the program, the page and the npm package.
#ifndef GUESS_DECODE_OPTIONS_H_
#define GUESS_DECODE_OPTIONS_H_

#include <cstddef>
#include <string>

#include "guess/dialect_guess.h"

// The options that decode as `reading` of `guess` does, for messages of
// which --skip drops `skip` bytes already: "--defs unionpay-pos --skip 2".
// For a variant that reads the secondary bitmap only when flagged, the
// file and what to add to it.
std::string decode_options(const DialectGuess& guess, const Reading& reading, size_t skip);

#endif  // GUESS_DECODE_OPTIONS_H_

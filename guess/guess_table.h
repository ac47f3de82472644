// The ranking of a guess as a short table for people: one line a reading,
// with its dialect, framing, result, fields and checks.
#ifndef GUESS_GUESS_TABLE_H_
#define GUESS_GUESS_TABLE_H_

#include <cstddef>
#include <string>
#include <vector>

#include "guess/dialect_guess.h"

// Appends to `text` the first `max_rows` readings of `ranking`, made by
// `guess`, under a heading line, in columns, with LF line ends; then, when
// there are more, a line that says how many. For example:
//   dialect       framing  result     fields  passed  failed  failed checks
//   unionpay-pos  none     complete       19      15       2  luhn:2
// The result is "complete", the bytes left over ("3 bytes left") or how
// the unpack ended ("too_short"); over several messages, "9998 of 10000
// complete". The counts are summed over the messages read.
void write_guess_table(const DialectGuess& guess, const std::vector<Reading>& ranking,
                       size_t max_rows, std::string* text);

#endif  // GUESS_GUESS_TABLE_H_

// The ranking of a guess as one JSON object, for scripts and the page:
//   {"messages": 1, "complete": true, "options": "--defs unionpay-pos",
//    "readings": [{"dialect": "unionpay-pos", "framing": "none",
//    "framing_bytes": 0, "messages": 1, "complete": 1, "fields": 19,
//    "passed": 15, "failed": 2, "checks": {"mti": {"passed": 1,
//    "failed": 0}, …}}, …]}
// A reading that did not read every message completely also has
// "first_incomplete": {"result": "too_short"}, or for a message that
// unpacked with bytes left over {"result": "unpacked", "trailing": 3}.
#ifndef GUESS_GUESS_JSON_H_
#define GUESS_GUESS_JSON_H_

#include <cstddef>
#include <string>
#include <vector>

#include "guess/dialect_guess.h"

// Appends the object of `ranking`, made by `guess`, to `text`, without a
// line end. "complete" says whether the first reading reads every message
// completely; then "options" are those that decode as it does, for
// messages of which --skip drops `skip` bytes already.
void write_guess_json(const DialectGuess& guess, const std::vector<Reading>& ranking, size_t skip,
                      std::string* text);

#endif  // GUESS_GUESS_JSON_H_

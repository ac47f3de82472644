// Naming the options that decode as a reading.
#include "guess/decode_options.h"

std::string decode_options(const DialectGuess& guess, const Reading& reading, size_t skip) {
  const Candidate& candidate = guess.candidates()[static_cast<size_t>(reading.candidate)];
  std::string options = "--defs " + candidate.defs;
  const size_t skipped = skip + static_cast<size_t>(reading.overhead);
  if (skipped > 0) options += " --skip " + std::to_string(skipped);
  if (candidate.flagged_variant) {
    options += ", after adding the line secondary=flagged before its fields";
  }
  return options;
}

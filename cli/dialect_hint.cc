// Looking for a hint after a message that did not unpack completely.
#include "cli/dialect_hint.h"

#include <vector>

std::string DialectHint::after(const MessageDecoder& decoder, DecodeOutcome outcome) {
  const bool incomplete = outcome == DecodeOutcome::kUnpackFailed ||
                          (outcome == DecodeOutcome::kUnpacked &&
                           trailing_bytes(decoder.byte_count(), decoder.decoded()) > 0);
  if (!incomplete || given_ || tries_ == kHintTries) return std::string();
  if (tries_++ == 0) candidates_.add_to(options_, &guess_);
  guess_.clear_counts();
  guess_.read(decoder.bytes(), decoder.byte_count());
  const std::vector<Reading> ranking = guess_.ranking();
  if (ranking.empty() || !reads_completely(ranking.front(), 1)) return std::string();
  given_ = true;
  return candidates_.hint_for(guess_, ranking.front());
}

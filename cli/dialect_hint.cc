// Looking for a hint after a message that did not unpack completely.
#include "cli/dialect_hint.h"

#include <vector>

#include "cli/dialect_candidates.h"
#include "guess/decode_options.h"
#include "guess/framing.h"

std::string DialectHint::after(const MessageDecoder& decoder, DecodeOutcome outcome) {
  const bool incomplete = outcome == DecodeOutcome::kUnpackFailed ||
                          (outcome == DecodeOutcome::kUnpacked &&
                           trailing_bytes(decoder.byte_count(), decoder.decoded()) > 0);
  if (!incomplete || given_ || tries_ == kHintTries) return std::string();
  if (tries_++ == 0) add_dialect_candidates(options_, &guess_);
  guess_.clear_counts();
  guess_.read(decoder.bytes(), decoder.byte_count());
  const std::vector<Reading> ranking = guess_.ranking();
  if (ranking.empty() || !reads_completely(ranking.front(), 1)) return std::string();
  given_ = true;
  const Reading& best = ranking.front();
  std::string hint = "read as " + guess_.candidates()[static_cast<size_t>(best.candidate)].name;
  const Framing& framing = kFramings[best.framing];
  if (*framing.description != '\0') hint += std::string(" ") + framing.description;
  return hint + ", this message unpacks completely; decode it with " +
         decode_options(guess_, best, skip_);
}

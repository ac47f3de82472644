// Reading messages with every candidate and ranking the readings.
#include "guess/dialect_guess.h"

#include <algorithm>

#include "decode/decoder.h"
#include "decode/definition_file.h"
#include "decode/dialect_text.h"
#include "guess/framing.h"

// One candidate's decoder, with the message it decoded last.
struct DialectGuess::Reader {
  explicit Reader(const Dialect& dialect) : decoder(dialect) {}

  Decoder decoder;
  DecodedMessage message;
};

namespace {

// What the name of a variant adds to its candidate's.
constexpr char kFlaggedSuffix[] = "+secondary=flagged";

// Whether reading `a` ranks before reading `b`.
bool ranks_before(const Reading& a, const Reading& b, const std::vector<Candidate>& candidates) {
  if (a.complete != b.complete) return a.complete > b.complete;
  const long a_failed = a.checks.total_failed();
  const long b_failed = b.checks.total_failed();
  if (a_failed != b_failed) return a_failed < b_failed;
  const long a_passed = a.checks.total_passed();
  const long b_passed = b.checks.total_passed();
  if (a_passed != b_passed) return a_passed > b_passed;
  const Candidate& a_candidate = candidates[a.candidate];
  const Candidate& b_candidate = candidates[b.candidate];
  if (a_candidate.preferred != b_candidate.preferred) return a_candidate.preferred;
  if (a_candidate.name != b_candidate.name) return a_candidate.name < b_candidate.name;
  return a.framing < b.framing;
}

}  // namespace

DialectGuess::DialectGuess() = default;
DialectGuess::~DialectGuess() = default;

bool DialectGuess::add_candidate(const std::string& name, std::string_view definitions,
                                 bool preferred) {
  // Large: every field's definition and name.
  auto read = std::make_unique<Definitions>(parse_definitions(definitions));
  if (!read->complete || !read->trusted()) return false;
  Dialect& dialect = read->dialect;
  add_dialect(name, name, dialect, preferred, false);
  if (!dialect.message.secondary_when_flagged) {
    dialect.message.secondary_when_flagged = true;
    add_dialect(name + kFlaggedSuffix, name, dialect, preferred, true);
  }
  return true;
}

void DialectGuess::add_dialect(const std::string& name, const std::string& defs,
                               const Dialect& dialect, bool preferred, bool flagged_variant) {
  std::string text;
  write_dialect(dialect, &text);
  if (std::find(dialects_.begin(), dialects_.end(), text) != dialects_.end()) return;
  auto reader = std::make_unique<Reader>(dialect);
  Candidate candidate;
  candidate.name = name;
  candidate.defs = defs;
  candidate.preferred = preferred;
  candidate.flagged_variant = flagged_variant;
  candidate.header_length = dialect.message.header_length;
  candidates_.push_back(candidate);
  readers_.push_back(std::move(reader));
  dialects_.push_back(std::move(text));
  for (int framing = 0; framing < kFramingCount; ++framing) {
    Reading reading;
    reading.candidate = static_cast<int>(candidates_.size()) - 1;
    reading.framing = framing;
    readings_.push_back(reading);
  }
}

void DialectGuess::read(const unsigned char* bytes, size_t count) {
  ++messages_;
  int overheads[kFramingCount];
  for (int framing = 0; framing < kFramingCount; ++framing) {
    const int overhead = framing_overhead(kFramings[framing], bytes, count);
    const bool leaves_message = overhead >= 0 && count - static_cast<size_t>(overhead) >=
                                                     static_cast<size_t>(kMinMessageBytes);
    overheads[framing] = leaves_message ? overhead : -1;
  }
  for (size_t index = 0; index < candidates_.size(); ++index) {
    Reader& reader = *readers_[index];
    for (int framing = 0; framing < kFramingCount; ++framing) {
      const int overhead = overheads[framing];
      if (overhead < 0) continue;
      if (kFramings[framing].tpdu && candidates_[index].header_length > 0) continue;
      const size_t message_bytes = count - static_cast<size_t>(overhead);
      reader.decoder.decode(bytes + overhead, message_bytes, &reader.message);
      const UnpackVerdict& verdict = reader.message.verdict;
      const int byte_count = static_cast<int>(std::min(message_bytes, kMaxMessageBytes));
      Reading& reading = readings_[index * kFramingCount + static_cast<size_t>(framing)];
      ++reading.messages;
      reading.overhead = overhead;
      reading.fields += static_cast<long>(reader.message.fields.size());
      if (verdict.result == UnpackResult::kUnpacked && verdict.end_offset == byte_count) {
        ++reading.complete;
      } else if (!reading.has_incomplete) {
        reading.has_incomplete = true;
        reading.first_incomplete = verdict;
        reading.first_byte_count = static_cast<size_t>(byte_count);
      }
      check_message(reader.message, &room_, &reading.checks);
    }
  }
}

void DialectGuess::clear_counts() {
  messages_ = 0;
  for (Reading& reading : readings_) {
    Reading cleared;
    cleared.candidate = reading.candidate;
    cleared.framing = reading.framing;
    reading = cleared;
  }
}

std::vector<Reading> DialectGuess::ranking() const {
  std::vector<Reading> ranked;
  for (const Reading& reading : readings_) {
    if (reading.messages > 0) ranked.push_back(reading);
  }
  std::stable_sort(ranked.begin(), ranked.end(), [this](const Reading& a, const Reading& b) {
    return ranks_before(a, b, candidates_);
  });
  return ranked;
}

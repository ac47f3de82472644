// Finding the candidates of a guess and naming the options that choose
// them.
#include "cli/dialect_candidates.h"

#include "decode/definition_file.h"
#include "guess/framing.h"

namespace {

// The name of the sample definition file among the candidates, as the
// page names it.
constexpr char kSampleName[] = "bitmap";

}  // namespace

void DialectCandidates::add_file(const std::string& name, const std::string& path,
                                 const std::string& defs_argument, bool preferred,
                                 DialectGuess* guess) {
  std::string definitions;
  if (!read_definition_file(path.c_str(), &definitions)) return;
  guess->add_candidate(name, definitions, preferred);
  defs_arguments_.resize(guess->candidates().size(), defs_argument);
}

void DialectCandidates::add_to(const CommonOptions& options, DialectGuess* guess) {
  add_file(options.defs_path, definitions_file(options.defs_path), options.defs_path, true, guess);
  const std::string sample = sample_definitions();
  if (!sample.empty()) add_file(kSampleName, sample, sample, false, guess);
  for (const std::string& name : shipped_dialects()) {
    add_file(name, shipped_dialect_path(name), name, false, guess);
  }
}

std::string DialectCandidates::options_for(const DialectGuess& guess,
                                           const Reading& reading) const {
  const std::string& defs = defs_arguments_[static_cast<size_t>(reading.candidate)];
  std::string options = "--defs " + defs;
  const size_t skip = skip_ + static_cast<size_t>(reading.overhead);
  if (skip > 0) options += " --skip " + std::to_string(skip);
  if (guess.candidates()[static_cast<size_t>(reading.candidate)].flagged_variant) {
    options += ", after adding the line secondary=flagged before its fields";
  }
  return options;
}

std::string DialectCandidates::hint_for(const DialectGuess& guess, const Reading& reading) const {
  std::string hint = "read as " + guess.candidates()[static_cast<size_t>(reading.candidate)].name;
  const Framing& framing = kFramings[reading.framing];
  if (*framing.description != '\0') hint += std::string(" ") + framing.description;
  return hint + ", this message unpacks completely; decode it with " + options_for(guess, reading);
}

// Finding the candidates of a guess.
#include "cli/dialect_candidates.h"

#include <string>

#include "decode/definition_file.h"

namespace {

// Adds the definition file at `path` to `guess` as the candidate `name`,
// when it can be read.
void add_file(const std::string& name, const std::string& path, bool preferred,
              DialectGuess* guess) {
  std::string definitions;
  if (read_definition_file(path.c_str(), &definitions)) {
    guess->add_candidate(name, definitions, preferred);
  }
}

}  // namespace

void add_dialect_candidates(const CommonOptions& options, DialectGuess* guess) {
  add_file(options.defs_path, definitions_file(options.defs_path), true, guess);
  const std::string sample = sample_definitions();
  if (!sample.empty()) add_file(kSampleName, sample, false, guess);
  for (const std::string& name : shipped_dialects()) {
    add_file(name, shipped_dialect_path(name), false, guess);
  }
}

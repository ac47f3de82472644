// The dialects iso8583dump tries when it guesses: the file --defs names,
// the shipped dialects and the sample definition file, each read once a
// run; and the options that decode a message as one of their readings.
#ifndef CLI_DIALECT_CANDIDATES_H_
#define CLI_DIALECT_CANDIDATES_H_

#include <string>
#include <vector>

#include "cli/command_line.h"
#include "guess/dialect_guess.h"

class DialectCandidates {
 public:
  // `skip`: the bytes --skip drops in front of every message, which the
  // options of a reading add to.
  explicit DialectCandidates(size_t skip) : skip_(skip) {}

  // Adds the candidates to `guess`: the file --defs names (or bitmap.ini
  // in the current directory, when --defs was not given), when it can be
  // read, first and preferred; then the sample definition file and the
  // shipped dialects. Files that cannot be read or trusted are left out:
  // the file --defs names has been read and its problems told before.
  void add_to(const CommonOptions& options, DialectGuess* guess);

  // The options that decode as `reading` of `guess` does:
  // "--defs unionpay-pos --skip 2". For a variant that reads the secondary
  // bitmap only when flagged, the file and what to add to it.
  std::string options_for(const DialectGuess& guess, const Reading& reading) const;

  // The hint for a message that `reading` of `guess` reads completely:
  // "read as iso87-binary behind a TPDU, this message unpacks
  // completely; decode it with --defs iso87-binary --skip 5".
  std::string hint_for(const DialectGuess& guess, const Reading& reading) const;

 private:
  // Adds the definitions at `path` to `guess` as the candidate `name`
  // that --defs `defs_argument` chooses, when they can be read.
  void add_file(const std::string& name, const std::string& path, const std::string& defs_argument,
                bool preferred, DialectGuess* guess);

  size_t skip_;
  // The argument of --defs that chooses each candidate of the guess.
  std::vector<std::string> defs_arguments_;
};

#endif  // CLI_DIALECT_CANDIDATES_H_

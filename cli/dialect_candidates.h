// The dialects iso8583dump tries when it guesses: the file --defs names,
// the sample definition file and the shipped dialects, each read once a
// run.
#ifndef CLI_DIALECT_CANDIDATES_H_
#define CLI_DIALECT_CANDIDATES_H_

#include "cli/command_line.h"
#include "guess/dialect_guess.h"

// Adds the candidates to `guess`, each named as --defs takes it: the file
// --defs names (or bitmap.ini in the current directory, when --defs was
// not given), when it can be read, first and preferred; then the sample
// definition file (kSampleName) and the shipped dialects. Files that
// cannot be read or trusted are left out: the file --defs names has been
// read and its problems told before.
void add_dialect_candidates(const CommonOptions& options, DialectGuess* guess);

#endif  // CLI_DIALECT_CANDIDATES_H_

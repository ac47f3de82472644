// Running the command-line programs as a user runs them, from the source
// directory: their output, their messages on standard error and their exit
// status.
#ifndef TESTS_PROCESS_SUPPORT_H_
#define TESTS_PROCESS_SUPPORT_H_

#include <string>

// What one run of a program gave.
struct ProcessRun {
  int status;       // the exit status, or -1 when it did not exit
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs `program` with `arguments` (shell words) in the source directory,
// with `input` as its standard input.
ProcessRun run_program(const std::string& program, const std::string& arguments,
                       const std::string& input = "");

// Writes `contents` to a scratch file of the running test named `name`,
// apart from those of tests running beside it; returns its path.
std::string write_scratch(const char* name, const std::string& contents);

// The path of that scratch file.
std::string scratch_path(const char* name);

// Reads a whole file; empty when it cannot be read.
std::string slurp(const std::string& path);

#endif  // TESTS_PROCESS_SUPPORT_H_

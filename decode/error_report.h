// Where the decoding library sends the few errors of its environment
// ("fopen error", "malloc() error"): each program installs its own way of
// showing them to the user.
#ifndef DECODE_ERROR_REPORT_H_
#define DECODE_ERROR_REPORT_H_

// Shows one error message to the user.
using ErrorReporter = void (*)(const char* message);

// Installs `reporter` for every later error; nullptr restores the default,
// which writes the message and a line feed to standard error.
void set_error_reporter(ErrorReporter reporter);

// Hands `message` to the installed reporter.
void report_error(const char* message);

#endif  // DECODE_ERROR_REPORT_H_

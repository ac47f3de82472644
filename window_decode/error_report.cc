// The installable error reporter and its standard-error default.
#include "window_decode/error_report.h"

#include <cstdio>

namespace {

void write_to_stderr(const char* message) { std::fprintf(stderr, "%s\n", message); }

ErrorReporter installed_reporter = write_to_stderr;

}  // namespace

void set_error_reporter(ErrorReporter reporter) {
  installed_reporter = reporter != nullptr ? reporter : write_to_stderr;
}

void report_error(const char* message) { installed_reporter(message); }

// Where the window's decoding layer sends the errors of reading its
// definition file ("fopen error", "PATH:LINE: reason"): the window program
// shows them in message boxes, the tests record them.
#ifndef WINDOW_DECODE_ERROR_REPORT_H_
#define WINDOW_DECODE_ERROR_REPORT_H_

// Shows one error message to the user.
using ErrorReporter = void (*)(const char* message);

// Installs `reporter` for every later error; nullptr restores the default,
// which writes the message and a line feed to standard error.
void set_error_reporter(ErrorReporter reporter);

// Hands `message` to the installed reporter.
void report_error(const char* message);

#endif  // WINDOW_DECODE_ERROR_REPORT_H_

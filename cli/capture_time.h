// Capture times as iso8583dump shows them: UTC with microseconds,
// "2026-12-07T09:30:15.123456Z".
#ifndef CLI_CAPTURE_TIME_H_
#define CLI_CAPTURE_TIME_H_

#include <cstdint>
#include <string>
#include <string_view>

// Writes `micros` (µs since 1970) as its text into `text`.
void format_capture_time(int64_t micros, std::string* text);

// Reads a text that format_capture_time wrote; false for any other.
bool parse_capture_time(std::string_view text, int64_t* micros);

#endif  // CLI_CAPTURE_TIME_H_

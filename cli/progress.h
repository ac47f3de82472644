// The progress of a long run, on one line of standard error when that is a
// terminal and standard output is not (output on the terminal shows the run
// moving itself): the bytes read out of the input's size, the messages so
// far and messages a second. Counting a message costs an increment and a
// compare; the clock is read every kMessagesPerCheck messages and the line
// drawn at most 10 times a second.
#ifndef CLI_PROGRESS_H_
#define CLI_PROGRESS_H_

#include <chrono>
#include <cstdint>
#include <string>

#include "cli/message_source.h"

class Progress {
 public:
  // Shows the progress of reading `source`, whose input holds `input_size`
  // bytes (0 when not known), when `wanted` and the terminals allow;
  // otherwise counting costs nothing and nothing is shown.
  Progress(const MessageSource* source, uint64_t input_size, bool wanted);
  // Erases the line.
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // Counts one message.
  void count_message() {
    if (++messages_ == next_check_) check();
  }

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr uint64_t kMessagesPerCheck = 256;

  // Draws the line when a tenth of a second has passed since the last.
  void check();
  void draw(Clock::time_point now);

  const MessageSource* source_;
  uint64_t input_size_;
  uint64_t messages_ = 0;
  uint64_t next_check_;  // never reached when nothing is shown
  Clock::time_point start_;
  Clock::time_point drawn_;  // when the line was last drawn
  std::string text_;
};

// The size of the file at `path` ("-": standard input) when it is a
// regular file; 0 otherwise.
uint64_t input_file_size(const std::string& path);

#endif  // CLI_PROGRESS_H_

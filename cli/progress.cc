// The progress line of a long run.
#include "cli/progress.h"

#include <sys/stat.h>

#include <cstdio>
#include <limits>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "cli/status_line.h"

namespace {

constexpr std::chrono::milliseconds kRedrawInterval(100);

// Appends `count` with a comma between groups of three digits.
void append_grouped(uint64_t count, std::string* text) {
  const std::string digits = std::to_string(count);
  for (size_t at = 0; at < digits.size(); ++at) {
    if (at > 0 && (digits.size() - at) % 3 == 0) text->push_back(',');
    text->push_back(digits[at]);
  }
}

void append_megabytes(uint64_t bytes, std::string* text) {
  char number[32];
  std::snprintf(number, sizeof number, "%.1f", static_cast<double>(bytes) / 1e6);
  text->append(number);
}

bool is_terminal(std::FILE* file) { return isatty(fileno(file)) != 0; }

}  // namespace

Progress::Progress(const MessageSource* source, uint64_t input_size, bool wanted)
    : source_(source),
      input_size_(input_size),
      next_check_(wanted && is_terminal(stderr) && !is_terminal(stdout)
                      ? kMessagesPerCheck
                      : std::numeric_limits<uint64_t>::max()),
      start_(Clock::now()) {}

Progress::~Progress() { erase_status_line(); }

void Progress::check() {
  next_check_ += kMessagesPerCheck;
  const Clock::time_point now = Clock::now();
  if (text_.empty() || now - drawn_ >= kRedrawInterval) draw(now);
}

// "51% 312.4 of 607.0 MB, 523,812 messages, 381,204 messages/s"; without
// the percentage and the size when the size is not known, and without
// the megabytes when the bytes read are not known.
void Progress::draw(Clock::time_point now) {
  drawn_ = now;
  text_.clear();
  const int64_t bytes_read = source_->bytes_read();
  if (bytes_read >= 0) {
    const uint64_t bytes = static_cast<uint64_t>(bytes_read);
    if (input_size_ > 0 && bytes <= input_size_) {
      text_.append(std::to_string(bytes * 100 / input_size_));
      text_.append("% ");
      append_megabytes(bytes, &text_);
      text_.append(" of ");
      append_megabytes(input_size_, &text_);
    } else {
      append_megabytes(bytes, &text_);
    }
    text_.append(" MB, ");
  }
  append_grouped(messages_, &text_);
  text_.append(" messages");
  const double seconds = std::chrono::duration<double>(now - start_).count();
  if (seconds > 0) {
    text_.append(", ");
    append_grouped(static_cast<uint64_t>(static_cast<double>(messages_) / seconds), &text_);
    text_.append(" messages/s");
  }
  show_status_line(text_);
}

uint64_t input_file_size(const std::string& path) {
  struct stat status;
  const int result = path == "-" ? fstat(fileno(stdin), &status) : stat(path.c_str(), &status);
  return result == 0 && S_ISREG(status.st_mode) ? static_cast<uint64_t>(status.st_size) : 0;
}

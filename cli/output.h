// The standard output of the command-line programs: gathered into large
// writes, with write failures noticed.
#ifndef CLI_OUTPUT_H_
#define CLI_OUTPUT_H_

#include <cstdio>
#include <string>
#include <string_view>

// How the bytes written are encoded; a Windows console shows them as text
// of that encoding.
enum class OutputEncoding { kUtf8, kCp936, kBinary };

class Output {
 public:
  Output(std::FILE* file, OutputEncoding encoding);
  ~Output();
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // Appends `text`; the bytes go out in large pieces.
  void write(std::string_view text) {
    pending_.append(text.data(), text.size());
    if (pending_.size() >= kFlushSize) flush();
  }

  // The text not yet written, for writers that build it in place.
  std::string* pending() { return &pending_; }

  // Writes what is pending when there is enough of it.
  void maybe_flush() {
    if (pending_.size() >= kFlushSize) flush();
  }

  // Writes everything pending. Returns false once a write has failed.
  bool flush();

  // Whether every write so far succeeded.
  bool ok() const { return ok_; }

  // Why the first failed write failed: an errno value; 0 while none has.
  int error() const { return error_; }

 private:
  static constexpr size_t kFlushSize = 1 << 16;

  // Notes the failure of a write, with errno telling why.
  void fail();

  std::FILE* file_;
  [[maybe_unused]] OutputEncoding encoding_;  // used by consoles, on Windows
  std::string pending_;
  bool ok_ = true;
  int error_ = 0;
};

#endif  // CLI_OUTPUT_H_

// Standard output in large writes; on a Windows console, as UTF-16 text.
#include "cli/output.h"

#include <cerrno>

#ifdef _WIN32
#include "ui/console.h"
#endif

Output::Output(std::FILE* file, OutputEncoding encoding) : file_(file), encoding_(encoding) {
  pending_.reserve(2 * kFlushSize);
}

Output::~Output() { flush(); }

void Output::fail() {
  ok_ = false;
  error_ = errno != 0 ? errno : EIO;
}

bool Output::flush() {
  if (!ok_) {
    pending_.clear();
    return false;
  }
#ifdef _WIN32
  // A console shows bytes through its own code page; text given to it as
  // UTF-16 shows right whatever that is.
  if (encoding_ != OutputEncoding::kBinary && is_console(file_)) {
    errno = 0;
    if (!write_to_console(file_, pending_, encoding_ == OutputEncoding::kUtf8 ? kUtf8CodePage
                                                                             : kCp936CodePage)) {
      fail();
    }
    pending_.clear();
    return ok_;
  }
#endif
  errno = 0;
  if (!pending_.empty() && std::fwrite(pending_.data(), 1, pending_.size(), file_) != pending_.size()) {
    fail();
  }
  pending_.clear();
  if (ok_ && std::fflush(file_) != 0) fail();
  return ok_;
}

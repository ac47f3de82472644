// The constant-memory input reader of iso8583dump.
#include "cli/line_reader.h"

#include <cerrno>
#include <cstring>

namespace {

// Makes unread bytes available; returns false at the end of the input.
bool fill(LineReader* reader) {
  if (reader->begin < reader->end) return true;
  reader->begin = 0;
  reader->end = std::fread(reader->buffer, 1, sizeof reader->buffer, reader->file);
  reader->bytes_read += reader->end;
  if (reader->end < sizeof reader->buffer && reader->error == 0 && std::ferror(reader->file)) {
    reader->error = errno;
  }
  return reader->end > 0;
}

// Moves `count` unread bytes into `kept` up to `limit` characters in all.
void take(LineReader* reader, size_t count, size_t limit, std::string* kept) {
  if (kept->size() < limit) {
    const size_t room = limit - kept->size();
    kept->append(reader->buffer + reader->begin, count < room ? count : room);
  }
  reader->begin += count;
}

}  // namespace

bool is_blank_line(const std::string& line) {
  return line.find_first_not_of(" \t\r") == std::string::npos;
}

int read_line(LineReader* reader, size_t limit, std::string* line, size_t* full_length) {
  line->clear();
  *full_length = 0;
  bool read_any = false;
  while (fill(reader)) {
    read_any = true;
    const char* start = reader->buffer + reader->begin;
    const size_t available = reader->end - reader->begin;
    const void* line_feed = std::memchr(start, '\n', available);
    const size_t count =
        line_feed != nullptr ? static_cast<size_t>(static_cast<const char*>(line_feed) - start)
                             : available;
    take(reader, count, limit, line);
    *full_length += count;
    if (line_feed != nullptr) {
      ++reader->begin;
      return 0;
    }
  }
  return read_any ? 0 : -1;
}

int read_all(LineReader* reader, size_t limit, std::string* head, size_t* full_length) {
  head->clear();
  *full_length = 0;
  while (fill(reader)) {
    const size_t available = reader->end - reader->begin;
    take(reader, available, limit, head);
    *full_length += available;
  }
  return 0;
}

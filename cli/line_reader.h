// Reading input text in constant memory: whole lines, or the head of the
// whole text, each kept up to a limit however long it really is.
#ifndef CLI_LINE_READER_H_
#define CLI_LINE_READER_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// A file read through a fixed buffer.
struct LineReader {
  std::FILE* file = nullptr;
  char buffer[1 << 16];
  size_t begin = 0;  // the unread bytes are buffer[begin, end)
  size_t end = 0;
  uint64_t bytes_read = 0;  // from the file so far
  int error = 0;            // errno of a read that failed, which ends the input
};

// Reads the next line of `reader`, without its line feed, keeping its first
// `limit` characters in `line`; `*full_length` receives the length of the
// whole line. Returns 0, or -1 when the input is used up.
int read_line(LineReader* reader, size_t limit, std::string* line, size_t* full_length);

// Whether `line` holds nothing but spaces, tabs and carriage returns: a
// blank line, which line-by-line inputs skip.
bool is_blank_line(const std::string& line);

// Reads all the rest of `reader`, keeping its first `limit` characters in
// `head`; `*full_length` receives the length of the whole rest. Returns 0.
int read_all(LineReader* reader, size_t limit, std::string* head, size_t* full_length);

#endif  // CLI_LINE_READER_H_

// Messages as logs and tools hold them: hex dumps (xxd, xxd -g1, xxd -p,
// hexdump -C, od -A x -t x1z, tcpdump -X and -xx, Wireshark's "copy as hex
// dump", and logs' "0000: 30 32 ...  02...", also behind a log prefix),
// read in constant memory. Which lines are dump lines is told in
// cli/dump_line.h.
//
// Consecutive lines of bare digits (xxd -p) make one message, which any
// other line, a blank one included, ends; a dump line with an offset
// does not follow on from them.
//
// Consecutive dump lines make one message. A message ends at a line that is
// not a dump line (also one longer than kDumpLineLimit), at a dump line with
// offset 0, at the closing length line of hexdump and od, and at a dump line
// whose offset does not follow on from the bytes before it (a gap, or an
// overlap); that line then starts the next message. A "*" line repeats the
// line before it up to the next line's offset. A message whose first line
// has an offset other than 0 is noted on the notes stream ("line 12: dump
// starts at offset 0x40, not 0") and holds the bytes from there.
#ifndef CLI_HEXDUMP_SOURCE_H_
#define CLI_HEXDUMP_SOURCE_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "cli/dump_line.h"
#include "cli/line_reader.h"
#include "cli/message_source.h"

// The longest line read as a dump line; xxd's widest lines (-c 256) fit.
constexpr size_t kDumpLineLimit = 4096;

// The messages of the dumps in a file.
class HexdumpSource : public MessageSource {
 public:
  // Reads `file`, which the caller opens and closes, keeping at most
  // `byte_limit` bytes of each message; notes go to `notes`, or by default
  // to standard error as cli/status_line.h writes them.
  HexdumpSource(std::FILE* file, size_t byte_limit, std::FILE* notes = nullptr);

  // Gives the next message as its bytes: `origin.line` is its first dump
  // line, `full_length` counts all its bytes, kept or not.
  bool next(SourceMessage* message) override;

  // Whether more lines may follow the end of the file, as it grows while
  // it is read: then next() gives no message that could go on there, but
  // returns false and keeps it in `message`, to be called again with the
  // same `message` once there is more.
  void set_more_to_come(bool more_to_come) { more_to_come_ = more_to_come; }

  int64_t bytes_read() const override { return static_cast<int64_t>(reader_.bytes_read); }

 private:
  // Reads and parses the next line into line_; false at the end of input.
  bool read_dump_line();
  // Ends the open message, if there is one; returns whether there was.
  bool end_message();
  // Starts `message` with the bytes line in line_, of bare digits when `bare`.
  void start_message(bool bare, SourceMessage* message);
  // Brings the message open in `message` up to `offset`, repeating the
  // last bytes line after a "*"; false when `offset` does not follow on.
  bool reach(uint64_t offset, SourceMessage* message);
  // Appends the bytes line in line_ to `message`.
  void append_line(SourceMessage* message);
  // Appends the first `count` bytes of `bytes` to `message`, or what fits.
  void keep(const char* bytes, size_t count, SourceMessage* message);

  LineReader reader_;
  size_t byte_limit_;
  std::FILE* notes_;
  std::string text_;       // the line read
  DumpLine line_;          // the line parsed
  bool line_held_ = false;  // line_ ended a message and starts the next
  bool open_ = false;       // a message has started and not ended
  bool more_to_come_ = false;
  bool bare_ = false;       // the open message is of bare digits (xxd -p)
  long line_number_ = 0;
  uint64_t start_offset_ = 0;  // of the open message's first byte
  uint64_t position_ = 0;      // the offset that follows the open message's bytes
  bool repeat_pending_ = false;
  std::string last_bytes_;  // the open message's last bytes line, for "*"
};

#endif  // CLI_HEXDUMP_SOURCE_H_

// Where iso8583dump's messages come from: a text, lines of text, dumps in
// a log, raw bytes or a packet capture. Every source gives its messages
// one at a time, each with what is known of where it was found.
#ifndef CLI_MESSAGE_SOURCE_H_
#define CLI_MESSAGE_SOURCE_H_

#include <cstddef>
#include <cstdint>
#include <string>

// Where a message was found, for notes, headings and keys of the output.
struct MessageOrigin {
  long line = 0;  // its input line, or a dump's first line; 0 for a whole input
  // A captured message: `time` is empty for every other source.
  std::string time;         // of the packet that completed it: "2026-12-07T09:30:15.123456Z"
  std::string source;       // "10.0.0.1:40000", "[2001:db8::1]:8583"
  std::string destination;  // likewise
  long connection = 0;      // the connection's number, from 1 in order of appearance
  long sequence = 0;        // the message's number within its connection, from 1
};

// One message as its source gives it.
struct SourceMessage {
  bool is_text = false;    // hexadecimal text as pasted, or else the bytes
  std::string content;     // the text or the bytes, cut to the source's limit
  size_t full_length = 0;  // the length before the cut
  MessageOrigin origin;
};

// What a source could not make into messages, for the exit status and the
// closing summary.
struct SourceLosses {
  uint64_t bytes_lost = 0;              // missing from the input
  uint64_t bytes_dropped = 0;           // in the input, but in no whole message
  uint64_t bytes_dropped_expected = 0;  // of the dropped ones, those that are expected
  bool faulty = false;  // what was missing makes the run fail; the source named it
};

// A source of messages.
class MessageSource {
 public:
  virtual ~MessageSource() = default;

  // Reads the next message into `message`. Returns false when the input is
  // used up. Problems of the input that do not end it are noted on
  // standard error by the source itself.
  virtual bool next(SourceMessage* message) = 0;

  // How many bytes of the input have been read so far; -1 when that is
  // not known.
  virtual int64_t bytes_read() const = 0;

  // What the source lost of its input so far; nothing unless it says so.
  virtual SourceLosses losses() const { return SourceLosses(); }
};

#endif  // CLI_MESSAGE_SOURCE_H_

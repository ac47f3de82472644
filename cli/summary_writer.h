// The --summary output: one line a message with its time, where it was
// found, its direction, type, processing code, amount, STAN, response code
// and the unpack's result. A response names the milliseconds since its
// request. Columns keep fixed widths, wide enough for any value the input
// form can give (from a capture, any line number and two IPv6 addresses
// with their ports), and are separated by blanks; an empty one shows "-".
//
//   time                        where    direction                       mti  proc   …  result   ms
//   2026-12-07T09:30:15.123456Z 1#1      10.0.0.1:40000->10.0.0.2:8583   0200 000000 …  unpacked -
#ifndef CLI_SUMMARY_WRITER_H_
#define CLI_SUMMARY_WRITER_H_

#include <array>
#include <cstdint>
#include <map>
#include <memory>

#include "cli/dump_options.h"
#include "cli/message_writer.h"

// Requests waiting for their responses.
class PendingRequests {
 public:
  // Remembers a request of `connection` with type `mti` (4 digits, the
  // function digit even) and `stan`, sent at `time` (µs; -1 unknown). Per
  // connection only the latest kPerConnection requests are kept, and only
  // the kConnections connections with the highest numbers.
  void add(long connection, const char* mti, const std::string& stan, int64_t time);

  // Finds and forgets the oldest request of `connection` that the response
  // with type `mti` (function digit odd) and `stan` answers; returns its
  // time, or false when there is none.
  bool take_request(long connection, const char* mti, const std::string& stan, int64_t* time);

  static constexpr size_t kPerConnection = 64;
  static constexpr size_t kConnections = 4096;

 private:
  static constexpr size_t kStanBytes = 12;
  struct Request {
    bool waiting = false;
    char answer_mti[4];  // the type of its response
    char stan[kStanBytes];
    size_t stan_length;
    int64_t time;
  };
  struct Ring {
    std::array<Request, kPerConnection> requests;
    size_t next = 0;  // the oldest, and the one written next
  };
  std::map<long, Ring> rings_;
};

class SummaryWriter : public MessageWriter {
 public:
  // A writer of the messages of `form`, whose columns are as wide as that
  // form can need.
  explicit SummaryWriter(InputForm form);

  // time, where, direction, mti, proc, amount, stan, rc, result and ms.
  static constexpr size_t kColumnCount = 10;

  void write_decoded(const MessageOrigin& origin, size_t byte_count, DecodeOutcome outcome,
                     const DecodedMessage& message, Output* output) override;
  void write_rejected(const MessageOrigin& origin, const Refusal& refusal,
                      Output* output) override;

 private:
  // Writes the columns before the MTI's, after the heading line when it is the first.
  void start_line(const MessageOrigin& origin, std::string* text);
  // Appends `value` (or "-" when it is empty) as the column `column`, cut
  // or padded to its width, and what separates it from the next.
  void append_column(int column, std::string_view value, std::string* text) const;
  // Ends the column `column` whose text started at `start`.
  void end_column(int column, size_t start, std::string* text) const;

  std::array<size_t, kColumnCount> widths_;  // of every column

  bool heading_written_ = false;
  PendingRequests pending_;
  // The texts of the message at hand, kept for their storage.
  std::string mti_;
  std::string value_;
  std::string stan_;
};

// The summary writer of the messages of `form`.
std::unique_ptr<MessageWriter> make_summary_writer(InputForm form);

#endif  // CLI_SUMMARY_WRITER_H_

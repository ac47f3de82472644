// Helpers of the capture tests: TCP conversations written into capture
// files, messages framed as senders frame them, and a capture read back
// through the capture source with its notes kept.
#ifndef TESTS_CAPTURE_TEST_SUPPORT_H_
#define TESTS_CAPTURE_TEST_SUPPORT_H_

#include <cstdint>
#include <string>
#include <vector>

#include "capture/capture_writer.h"
#include "cli/capture_source.h"

// 2026-12-07T09:30:15Z in µs since 1970.
constexpr int64_t kCaptureStart = int64_t{1796635815} * 1000000;

// An IPv4 or IPv6 endpoint from its text: "10.0.0.1" or "2001:db8::1".
Endpoint endpoint(const std::string& address, uint16_t port);

// `message` after the length a framing puts in front of it: "len2",
// "len2le" or "ascii4".
std::string framed(const std::string& message, const std::string& frame = "len2");

// The bytes of a sample message under examples/ ("purchase").
std::string sample_bytes(const std::string& name);

// One TCP connection being written, each side's next sequence number kept.
class TestConnection {
 public:
  TestConnection(CaptureWriter* writer, Endpoint client, Endpoint server);

  // SYN, SYN-ACK and ACK, captured at `time`.
  void handshake(int64_t time);

  // Sends `payload` as one segment (PSH unless `push` is false) from the
  // client or the server, and returns the sequence number it used.
  uint32_t send(bool from_client, const std::string& payload, int64_t time, bool push = true);

  // Writes a segment at `sequence` without moving the next sequence number:
  // for segments out of order, retransmitted, or lost (not written at all).
  void send_at(bool from_client, uint32_t sequence, const std::string& payload, int64_t time,
               uint8_t flags = kTcpAck | kTcpPush);

  uint32_t next_sequence(bool from_client) const { return next_[from_client ? 0 : 1]; }
  void skip(bool from_client, size_t bytes) { next_[from_client ? 0 : 1] += bytes; }

  // FIN from each side, acknowledged, captured at `time`.
  void close(int64_t time);

 private:
  CaptureWriter* writer_;
  Endpoint ends_[2];  // client, server
  uint32_t next_[2] = {1000, 70000};
};

// A capture read back: its messages and notes.
struct CaptureRead {
  std::vector<SourceMessage> messages;
  std::vector<std::string> notes;
  std::string error;  // why it could not be opened
};

CaptureRead read_capture(const CaptureOptions& options, size_t byte_limit = 1999);

// A scratch file of the running test.
std::string capture_path(const std::string& name);

// One line of --summary: the ten columns padded to their fixed widths
// (time 27, where 24, direction 96, mti 4, proc 6, amount 12, stan 6, rc 2,
// result 19), each followed by a blank, the last by a line feed.
std::string summary_line(const std::vector<std::string>& columns);

// The heading line of --summary.
std::string summary_heading();

#endif  // TESTS_CAPTURE_TEST_SUPPORT_H_

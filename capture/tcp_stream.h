// One direction of a TCP connection rebuilt from its segments: bytes are
// passed on in sequence order, each once, with the holes the capture left.
#ifndef CAPTURE_TCP_STREAM_H_
#define CAPTURE_TCP_STREAM_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "capture/stream_consumer.h"
#include "capture/tcp_segment.h"

class TcpStream {
 public:
  // Passes the stream on to `consumer`; holds at most `buffer_limit` bytes
  // of segments that arrive ahead of a hole.
  TcpStream(StreamConsumer* consumer, size_t buffer_limit)
      : consumer_(consumer), buffer_limit_(buffer_limit) {}

  // Takes a segment of this direction captured at `time` (µs since 1970).
  // The stream starts after a SYN, or, without one, at the first payload
  // (mid-stream). Bytes before the next expected one are used once only;
  // bytes after it wait for the hole to fill. When the held bytes pass the
  // limit, the first hole is given up as lost. A FIN ends the stream once
  // every byte before it has come.
  void add(const TcpSegment& segment, int64_t time);

  // Ends the stream now: held bytes are passed on after their holes.
  void close();

  bool started() const { return started_; }
  bool ended() const { return ended_; }
  // The sequence number of the next byte expected.
  uint32_t next_sequence() const { return next_; }
  // The bytes held ahead of a hole.
  size_t held_bytes() const { return held_bytes_; }

 private:
  // A segment that came ahead of a hole.
  struct HeldSegment {
    uint32_t sequence;
    int64_t time;
    bool push;
    std::string bytes;
  };

  void start(uint32_t sequence, bool mid_stream);
  void receive(uint32_t sequence, const uint8_t* data, size_t size, bool push, int64_t time);
  // Passes on what of the bytes at `sequence` (not after next_) is new.
  void deliver(uint32_t sequence, const uint8_t* data, size_t size, bool push, int64_t time);
  void hold(uint32_t sequence, const uint8_t* data, size_t size, bool push, int64_t time);
  // Passes on the held segments that the stream has reached, as completed
  // at `time`, or at their own capture times when `time` is negative.
  void deliver_held(int64_t time);
  // Gives up the first hole: its bytes are lost.
  void skip_first_hole(GapCause cause);
  void finish();

  StreamConsumer* consumer_;
  size_t buffer_limit_;
  bool started_ = false;
  bool ended_ = false;
  uint32_t next_ = 0;
  bool fin_seen_ = false;
  uint32_t fin_sequence_ = 0;
  std::vector<HeldSegment> held_;  // in sequence order
  size_t held_bytes_ = 0;
};

#endif  // CAPTURE_TCP_STREAM_H_

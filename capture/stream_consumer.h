// What a rebuilt TCP byte stream tells its reader: its bytes in order, the
// places where bytes are missing, and its end.
#ifndef CAPTURE_STREAM_CONSUMER_H_
#define CAPTURE_STREAM_CONSUMER_H_

#include <cstddef>
#include <cstdint>

// Bytes that follow the stream's previous bytes.
struct StreamChunk {
  const uint8_t* data = nullptr;
  size_t size = 0;
  int64_t time = 0;            // capture time, in µs since 1970, of the packet that completed them
  bool segment_start = false;  // they begin a segment's payload
  bool push = false;           // they end a segment that carried PSH
};

// Why bytes are missing.
enum class GapCause {
  kStartedBeforeCapture,  // the stream was already running: its first bytes may be inside a message
  kMissing,               // the capture lost packets
  kBufferFull,            // a hole stayed open until the out-of-order buffer was full
};

class StreamConsumer {
 public:
  virtual ~StreamConsumer() = default;

  virtual void on_bytes(const StreamChunk& chunk) = 0;

  // `lost` bytes are missing before the next bytes (0 when unknown).
  virtual void on_gap(GapCause cause, uint64_t lost) = 0;

  // Nothing follows.
  virtual void on_end() = 0;
};

#endif  // CAPTURE_STREAM_CONSUMER_H_

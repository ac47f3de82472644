// Fuzz target: one TCP direction rebuilt from an arbitrary sequence of
// segments (any order, overlaps, holes, SYN, FIN) and cut into messages by
// any framing. After every segment the bytes held ahead of a hole stay
// under the buffer limit and the framer's buffers within their bound; every
// message keeps no more bytes than asked and has a length that can be
// right.
//
// Input: a framing byte (kind, and a skip of 0 to 7 bytes), then records
// of a flags byte (SYN, FIN, PSH; 0x80 ends the stream with close()), a
// 2-byte big-endian sequence offset, a size byte and that many bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "capture/message_framer.h"
#include "capture/tcp_stream.h"

namespace {

constexpr size_t kBufferLimit = 4096;
constexpr size_t kLongest = 1999;
constexpr uint32_t kInitialSequence = 0xFFFFF000;  // wraps within the input

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "capture check failed: %s\n", what);
    std::abort();
  }
}

class CheckingSink : public MessageSink {
 public:
  explicit CheckingSink(const FramingRules& rules) : rules_(rules) {}

  void on_message(const FramedMessage& message) override {
    check(message.kept <= rules_.keep && message.kept <= message.full_length, "message kept");
    if (rules_.kind != FrameKind::kNone) {
      check(message.full_length > rules_.skip && message.full_length <= rules_.skip + kLongest,
            "message length");
    }
    // Every byte passed on must be readable.
    volatile uint8_t sum = 0;
    for (size_t k = 0; k < message.kept; ++k) sum = static_cast<uint8_t>(sum + message.data[k]);
  }

 private:
  FramingRules rules_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const FrameKind kKinds[] = {FrameKind::kLen2, FrameKind::kLen2Le, FrameKind::kAscii4,
                                     FrameKind::kNone};
  FramingRules rules;
  rules.kind = kKinds[data[0] & 3];
  rules.skip = (data[0] >> 2) & 7;
  rules.shortest = 1 + (data[0] >> 5);
  rules.longest = kLongest;
  rules.longest_when_seeking = kLongest / 2;
  rules.keep = kLongest + rules.skip;
  CheckingSink sink(rules);
  const NoteSink notes = [](const std::string& note) { check(!note.empty(), "note"); };
  MessageFramer framer(rules, &sink, &notes, "connection 1");
  TcpStream stream(&framer, kBufferLimit);

  size_t at = 1;
  int64_t time = 0;
  while (at + 4 <= size) {
    const uint8_t flags = data[at];
    TcpSegment segment;
    segment.sequence = kInitialSequence + (static_cast<uint32_t>(data[at + 1]) << 8 | data[at + 2]);
    segment.flags = flags & (kTcpSyn | kTcpFin | kTcpPush);
    const size_t payload = data[at + 3];
    at += 4;
    segment.payload = data + at;
    segment.payload_size = payload < size - at ? payload : size - at;
    at += segment.payload_size;
    if ((flags & 0x80) != 0) {
      stream.close();
    } else {
      stream.add(segment, ++time);
    }
    check(stream.held_bytes() <= kBufferLimit, "held bytes under the limit");
    check(framer.buffered_bytes() <= framer.buffer_bound() + 255, "framer buffers bounded");
  }
  stream.close();
  check(framer.buffered_bytes() == 0, "nothing buffered after the end");
  return 0;
}

// Cutting one direction's byte stream into messages: by a length in front
// of each message, or by pushed runs of segments. After a gap, or when a
// length cannot be right, the framer drops bytes until it finds a message
// boundary it can trust, and notes what it lost.
#ifndef CAPTURE_MESSAGE_FRAMER_H_
#define CAPTURE_MESSAGE_FRAMER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "capture/notes.h"
#include "capture/stream_consumer.h"

// How a stream is cut into messages.
enum class FrameKind {
  kLen2,    // a 2-byte big-endian length that does not count itself
  kLen2Le,  // the same, little-endian
  kAscii4,  // 4 ASCII digits
  kNone,    // no length: each run of segments up to one with PSH
};

// The framing called `name` (len2, len2le, ascii4, none); false for none such.
bool frame_kind_named(const std::string& name, FrameKind* kind);

struct FramingRules {
  FrameKind kind = FrameKind::kLen2;
  size_t skip = 0;       // bytes after the length that it counts but that are no message (a TPDU)
  size_t shortest = 0;   // the fewest message bytes after the skipped ones (20 for the decoder)
  size_t longest = 0;    // the most message bytes after the skipped ones (65,535 for the decoder)
  // The most a length may claim while a boundary is sought after a gap: a
  // message that long right after a gap is rare, and stray bytes read as
  // a length mostly claim more (two ASCII digits read as 2 bytes, 12,336
  // or more), so the seeking neither trusts them nor waits for their bytes.
  size_t longest_when_seeking = 0;
  size_t keep = 0;       // the most bytes of a message passed on; the rest is only counted
};

// A message cut from the stream: its length, and the first bytes of it.
struct FramedMessage {
  const uint8_t* data = nullptr;
  size_t kept = 0;
  size_t full_length = 0;
  int64_t time = 0;  // of the packet that completed it
};

// What streams lost and dropped, added up over all of them.
struct StreamLosses {
  uint64_t lost = 0;     // bytes the capture lacks
  uint64_t dropped = 0;  // bytes that were captured but belong to no whole message
  // Of the dropped ones, those before the first message boundary of a
  // stream that started before the capture: expected, as it started
  // inside a message.
  uint64_t dropped_expected = 0;
};

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void on_message(const FramedMessage& message) = 0;
};

class MessageFramer : public StreamConsumer {
 public:
  // Passes messages to `sink` and notes to `notes`, each note after `label`
  // ("connection 3 10.0.0.1:40000 -> 10.0.0.2:8583"), and adds what it
  // loses to `losses` when that is given.
  MessageFramer(const FramingRules& rules, MessageSink* sink, const NoteSink* notes,
                std::string label, StreamLosses* losses = nullptr);

  void on_bytes(const StreamChunk& chunk) override;
  void on_gap(GapCause cause, uint64_t lost) override;
  void on_end() override;

  // The bytes it holds: a message being put together, or those held while
  // a boundary is sought. Never more than buffer_bound() plus one chunk.
  size_t buffered_bytes() const { return message_.size() + held_.size(); }
  size_t buffer_bound() const;

 private:
  // A chunk among the bytes held while seeking a boundary.
  struct HeldChunk {
    size_t end;  // its end within the held bytes
    int64_t time;
    bool segment_start;
    bool push;
  };
  enum class Judgement { kTrusted, kRejected, kUndecided };

  void take_framed(const StreamChunk& chunk);
  void take_run(const StreamChunk& chunk);
  void seek(const StreamChunk& chunk);
  // Tries the held bytes for a boundary until one is trusted, none is
  // left, or more bytes are needed.
  void resynchronise();
  Judgement judge_held() const;
  void drop_held_to_next_segment();
  void replay_held();
  // Whether `header` holds a length a message can have, of at most
  // `longest` bytes after the skipped ones; stores it.
  bool read_length(const uint8_t* header, size_t longest, size_t* length) const;
  // The bytes of the length and message being read, in step.
  size_t unfinished_bytes() const;
  void lose_step();
  void regain_step();
  // Notes what happened since the stream was last in step, then `ending`.
  void note_trouble(const char* ending);
  void keep_bytes(const uint8_t* data, size_t size);
  void emit(const uint8_t* data, size_t kept, size_t full_length, int64_t time);

  FramingRules rules_;
  size_t header_size_;
  bool (*read_header_)(const uint8_t* bytes, size_t* length);
  MessageSink* sink_;
  const NoteSink* notes_;
  std::string label_;
  StreamLosses* losses_;

  bool in_step_ = true;
  int64_t last_time_ = 0;  // of the latest bytes
  // In step: a length being read, or a message being put together.
  uint8_t header_[4] = {};
  size_t header_have_ = 0;
  bool in_message_ = false;
  size_t message_length_ = 0;
  size_t message_have_ = 0;
  std::string message_;  // its kept bytes
  // Out of step: the bytes from a segment start on, until a boundary there
  // is trusted or rejected.
  std::string held_;
  std::vector<HeldChunk> held_chunks_;
  std::string replay_;
  std::vector<HeldChunk> replay_chunks_;
  bool replaying_ = false;
  // What happened since the stream was last in step.
  bool started_mid_stream_ = false;
  bool before_first_boundary_ = false;  // started mid-stream, and no boundary found yet
  bool buffer_full_ = false;
  uint64_t lost_ = 0;
  uint64_t dropped_ = 0;
  std::string cause_;  // a length that cannot be right, or an unfinished message
};

#endif  // CAPTURE_MESSAGE_FRAMER_H_

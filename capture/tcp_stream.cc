// TCP stream reassembly. Sequence numbers wrap at 2^32: one is before
// another when their difference, read as signed, is negative.
#include "capture/tcp_stream.h"

#include <algorithm>

namespace {

int32_t sequence_difference(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b); }

}  // namespace

void TcpStream::add(const TcpSegment& segment, int64_t time) {
  if (ended_) return;
  uint32_t data_sequence = segment.sequence;
  if ((segment.flags & kTcpSyn) != 0) {
    ++data_sequence;
    if (!started_) start(data_sequence, false);
  }
  if (!started_) {
    // A bare ACK or FIN does not show where the data starts.
    if (segment.payload_size == 0) {
      if ((segment.flags & kTcpFin) != 0) finish();
      return;
    }
    start(data_sequence, true);
  }
  if (segment.payload_size > 0) {
    receive(data_sequence, segment.payload, segment.payload_size,
            (segment.flags & kTcpPush) != 0, time);
  }
  if ((segment.flags & kTcpFin) != 0 && !fin_seen_) {
    fin_seen_ = true;
    fin_sequence_ = data_sequence + static_cast<uint32_t>(segment.payload_size);
  }
  if (fin_seen_ && sequence_difference(next_, fin_sequence_) >= 0) finish();
}

void TcpStream::close() {
  if (ended_) return;
  while (!held_.empty()) skip_first_hole(GapCause::kMissing);
  finish();
}

void TcpStream::start(uint32_t sequence, bool mid_stream) {
  started_ = true;
  next_ = sequence;
  if (mid_stream) consumer_->on_gap(GapCause::kStartedBeforeCapture, 0);
}

void TcpStream::receive(uint32_t sequence, const uint8_t* data, size_t size, bool push,
                        int64_t time) {
  if (sequence_difference(sequence, next_) > 0) {
    hold(sequence, data, size, push, time);
    while (held_bytes_ > buffer_limit_) skip_first_hole(GapCause::kBufferFull);
    return;
  }
  deliver(sequence, data, size, push, time);
  deliver_held(time);
}

void TcpStream::deliver(uint32_t sequence, const uint8_t* data, size_t size, bool push,
                        int64_t time) {
  const size_t behind = static_cast<uint32_t>(next_ - sequence);
  if (behind >= size) return;
  StreamChunk chunk;
  chunk.data = data + behind;
  chunk.size = size - behind;
  chunk.time = time;
  chunk.segment_start = behind == 0;
  chunk.push = push;
  next_ += static_cast<uint32_t>(chunk.size);
  consumer_->on_bytes(chunk);
}

void TcpStream::hold(uint32_t sequence, const uint8_t* data, size_t size, bool push,
                     int64_t time) {
  const auto later = [](uint32_t a, const HeldSegment& b) {
    return sequence_difference(a, b.sequence) < 0;
  };
  auto position = std::upper_bound(held_.begin(), held_.end(), sequence, later);
  // A retransmission of a segment already held.
  if (position != held_.begin() && std::prev(position)->sequence == sequence &&
      std::prev(position)->bytes.size() >= size) {
    return;
  }
  held_.insert(position, HeldSegment{sequence, time, push,
                                     std::string(reinterpret_cast<const char*>(data), size)});
  held_bytes_ += size;
}

void TcpStream::deliver_held(int64_t time) {
  size_t used = 0;
  for (; used < held_.size() && sequence_difference(held_[used].sequence, next_) <= 0; ++used) {
    const HeldSegment& segment = held_[used];
    deliver(segment.sequence, reinterpret_cast<const uint8_t*>(segment.bytes.data()),
            segment.bytes.size(), segment.push, time < 0 ? segment.time : time);
    held_bytes_ -= segment.bytes.size();
  }
  held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(used));
}

void TcpStream::skip_first_hole(GapCause cause) {
  const uint32_t resume = held_.front().sequence;
  consumer_->on_gap(cause, static_cast<uint32_t>(resume - next_));
  next_ = resume;
  deliver_held(-1);
}

void TcpStream::finish() {
  ended_ = true;
  held_.clear();
  held_bytes_ = 0;
  consumer_->on_end();
}

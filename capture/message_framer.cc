// Message framing and resynchronisation.
//
// A boundary is looked for only where a TCP segment starts, since senders
// mostly write a message with one call. From such a start the lengths are
// followed: the boundary is trusted when a message framed from it ends
// exactly where a segment ends, or when three lengths in a row can be
// right. Otherwise the search moves to the next segment start. With no
// length (`none`), a run after a gap is trusted once a segment with PSH has
// ended it.
#include "capture/message_framer.h"

#include <algorithm>
#include <cstring>

namespace {

// How many lengths in a row that can be right make a boundary trusted.
constexpr int kLengthsToTrust = 3;

bool read_big_endian(const uint8_t* bytes, size_t* length) {
  *length = static_cast<size_t>(bytes[0]) << 8 | bytes[1];
  return true;
}

bool read_little_endian(const uint8_t* bytes, size_t* length) {
  *length = static_cast<size_t>(bytes[1]) << 8 | bytes[0];
  return true;
}

bool read_ascii_digits(const uint8_t* bytes, size_t* length) {
  *length = 0;
  for (int k = 0; k < 4; ++k) {
    if (bytes[k] < '0' || bytes[k] > '9') return false;
    *length = *length * 10 + (bytes[k] - '0');
  }
  return true;
}

// Each framing: its name, the size of its length and how to read it.
struct Framing {
  FrameKind kind;
  const char* name;
  size_t header_size;  // 0: no length
  bool (*read_header)(const uint8_t* bytes, size_t* length);
};

const Framing kFramings[] = {
    {FrameKind::kLen2, "len2", 2, read_big_endian},
    {FrameKind::kLen2Le, "len2le", 2, read_little_endian},
    {FrameKind::kAscii4, "ascii4", 4, read_ascii_digits},
    {FrameKind::kNone, "none", 0, nullptr},
};

const Framing& framing_of(FrameKind kind) {
  for (const Framing& framing : kFramings) {
    if (framing.kind == kind) return framing;
  }
  return kFramings[0];
}

}  // namespace

bool frame_kind_named(const std::string& name, FrameKind* kind) {
  for (const Framing& framing : kFramings) {
    if (name == framing.name) {
      *kind = framing.kind;
      return true;
    }
  }
  return false;
}

MessageFramer::MessageFramer(const FramingRules& rules, MessageSink* sink, const NoteSink* notes,
                             std::string label, StreamLosses* losses)
    : rules_(rules),
      header_size_(framing_of(rules.kind).header_size),
      read_header_(framing_of(rules.kind).read_header),
      sink_(sink),
      notes_(notes),
      label_(std::move(label)),
      losses_(losses) {}

size_t MessageFramer::buffer_bound() const {
  return kLengthsToTrust * (header_size_ + rules_.skip + rules_.longest_when_seeking) + rules_.keep;
}

void MessageFramer::on_bytes(const StreamChunk& chunk) {
  last_time_ = chunk.time;
  if (!in_step_) {
    seek(chunk);
  } else if (header_size_ == 0) {
    take_run(chunk);
  } else {
    take_framed(chunk);
  }
}

void MessageFramer::on_gap(GapCause cause, uint64_t lost) {
  if (cause == GapCause::kStartedBeforeCapture) started_mid_stream_ = before_first_boundary_ = true;
  if (cause == GapCause::kBufferFull) buffer_full_ = true;
  lost_ += lost;
  if (in_step_) {
    lose_step();
  } else {
    dropped_ += held_.size();
    held_.clear();
    held_chunks_.clear();
  }
}

void MessageFramer::on_end() {
  if (in_step_) {
    const size_t unfinished = unfinished_bytes();
    if (header_size_ == 0 && message_have_ > 0) {
      emit(reinterpret_cast<const uint8_t*>(message_.data()), message_.size(), message_have_,
           last_time_);
    } else if (unfinished > 0) {
      cause_ = "ends inside a message";
      dropped_ += unfinished;
      note_trouble(nullptr);
    }
  } else {
    dropped_ += held_.size();
    note_trouble("not resynchronised before its end");
  }
  in_step_ = true;
  header_have_ = message_have_ = 0;
  in_message_ = false;
  message_.clear();
  held_.clear();
  held_chunks_.clear();
}

bool MessageFramer::read_length(const uint8_t* header, size_t longest, size_t* length) const {
  return read_header_(header, length) && *length >= rules_.skip + rules_.shortest &&
         *length > rules_.skip && *length - rules_.skip <= longest;
}

void MessageFramer::take_framed(const StreamChunk& chunk) {
  const uint8_t* data = chunk.data;
  size_t size = chunk.size;
  while (size > 0) {
    if (!in_message_) {
      const uint8_t* header = data;
      if (header_have_ == 0 && size >= header_size_) {
        data += header_size_;
        size -= header_size_;
      } else {
        const size_t count = std::min(header_size_ - header_have_, size);
        std::memcpy(header_ + header_have_, data, count);
        header_have_ += count;
        data += count;
        size -= count;
        if (header_have_ < header_size_) return;
        header = header_;
      }
      header_have_ = 0;
      size_t length;
      if (!read_length(header, rules_.longest, &length)) {
        size_t value;
        if (read_header_(header, &value)) {
          cause_ = "length " + std::to_string(value) + " cannot be right";
          if (value > 0 && value <= rules_.skip) {
            cause_ += ": no longer than the " + std::to_string(rules_.skip) + " bytes of --skip";
          }
        } else {
          cause_ = "length field is not " + std::to_string(header_size_) + " digits";
        }
        lose_step();
        // The rest of this segment cannot start a message.
        dropped_ += header_size_ + size;
        return;
      }
      if (size >= length) {
        emit(data, std::min(length, rules_.keep), length, chunk.time);
        data += length;
        size -= length;
        continue;
      }
      in_message_ = true;
      message_length_ = length;
      message_have_ = 0;
      message_.clear();
    }
    const size_t count = std::min(message_length_ - message_have_, size);
    keep_bytes(data, count);
    message_have_ += count;
    data += count;
    size -= count;
    if (message_have_ == message_length_) {
      emit(reinterpret_cast<const uint8_t*>(message_.data()), message_.size(), message_length_,
           chunk.time);
      in_message_ = false;
      message_have_ = 0;
      message_.clear();
    }
  }
}

void MessageFramer::take_run(const StreamChunk& chunk) {
  if (message_have_ == 0 && chunk.push) {
    emit(chunk.data, std::min(chunk.size, rules_.keep), chunk.size, chunk.time);
    return;
  }
  keep_bytes(chunk.data, chunk.size);
  message_have_ += chunk.size;
  if (chunk.push) {
    emit(reinterpret_cast<const uint8_t*>(message_.data()), message_.size(), message_have_,
         chunk.time);
    message_have_ = 0;
    message_.clear();
  }
}

void MessageFramer::seek(const StreamChunk& chunk) {
  if (header_size_ == 0) {
    dropped_ += chunk.size;
    if (chunk.push) regain_step();
    return;
  }
  if (held_.empty() && !chunk.segment_start) {
    dropped_ += chunk.size;
    return;
  }
  held_.append(reinterpret_cast<const char*>(chunk.data), chunk.size);
  held_chunks_.push_back(HeldChunk{held_.size(), chunk.time, chunk.segment_start, chunk.push});
  if (!replaying_) resynchronise();
}

void MessageFramer::resynchronise() {
  while (!in_step_ && !held_.empty()) {
    switch (judge_held()) {
      case Judgement::kUndecided:
        return;
      case Judgement::kRejected:
        drop_held_to_next_segment();
        break;
      case Judgement::kTrusted:
        regain_step();
        replay_held();
        break;
    }
  }
}

MessageFramer::Judgement MessageFramer::judge_held() const {
  const auto ends_segment = [this](size_t at) {
    return std::any_of(held_chunks_.begin(), held_chunks_.end(),
                       [at](const HeldChunk& chunk) { return chunk.end == at; });
  };
  size_t at = 0;
  for (int lengths = 0;;) {
    if (lengths > 0 && ends_segment(at)) return Judgement::kTrusted;
    if (at + header_size_ > held_.size()) return Judgement::kUndecided;
    size_t length;
    if (!read_length(reinterpret_cast<const uint8_t*>(held_.data()) + at,
                     rules_.longest_when_seeking, &length)) {
      return Judgement::kRejected;
    }
    if (++lengths >= kLengthsToTrust) return Judgement::kTrusted;
    at += header_size_ + length;
    if (at > held_.size()) return Judgement::kUndecided;
  }
}

void MessageFramer::drop_held_to_next_segment() {
  size_t start = 0;
  size_t first = 0;
  for (; first < held_chunks_.size(); ++first) {
    if (start > 0 && held_chunks_[first].segment_start) break;
    start = held_chunks_[first].end;
  }
  if (first == held_chunks_.size()) start = held_.size();
  dropped_ += start;
  held_.erase(0, start);
  held_chunks_.erase(held_chunks_.begin(), held_chunks_.begin() + static_cast<std::ptrdiff_t>(first));
  for (HeldChunk& chunk : held_chunks_) chunk.end -= start;
}

void MessageFramer::replay_held() {
  replay_.swap(held_);
  replay_chunks_.swap(held_chunks_);
  held_.clear();
  held_chunks_.clear();
  replaying_ = true;
  size_t start = 0;
  for (const HeldChunk& held : replay_chunks_) {
    StreamChunk chunk;
    chunk.data = reinterpret_cast<const uint8_t*>(replay_.data()) + start;
    chunk.size = held.end - start;
    chunk.time = held.time;
    chunk.segment_start = held.segment_start;
    chunk.push = held.push;
    on_bytes(chunk);
    start = held.end;
  }
  replaying_ = false;
  replay_.clear();
  replay_chunks_.clear();
}

size_t MessageFramer::unfinished_bytes() const {
  return header_have_ + (in_message_ ? header_size_ : 0) + message_have_;
}

void MessageFramer::lose_step() {
  dropped_ += unfinished_bytes();
  in_step_ = false;
  header_have_ = message_have_ = 0;
  in_message_ = false;
  message_.clear();
}

void MessageFramer::regain_step() {
  note_trouble("resynchronised");
  before_first_boundary_ = false;
  in_step_ = true;
}

void MessageFramer::note_trouble(const char* ending) {
  std::string note = label_ + ":";
  const auto add = [&note](const std::string& part) {
    note += note.back() == ':' ? " " : ", ";
    note += part;
  };
  if (started_mid_stream_) add("started before the capture");
  if (buffer_full_) add("out-of-order buffer full");
  if (lost_ > 0) add(std::to_string(lost_) + " bytes lost");
  if (!cause_.empty()) add(cause_);
  if (dropped_ > 0) add(std::to_string(dropped_) + " bytes dropped");
  if (ending != nullptr) add(ending);
  if (notes_ != nullptr && *notes_) (*notes_)(note);
  if (losses_ != nullptr) {
    losses_->lost += lost_;
    losses_->dropped += dropped_;
    if (before_first_boundary_) losses_->dropped_expected += dropped_;
  }
  started_mid_stream_ = buffer_full_ = false;
  lost_ = dropped_ = 0;
  cause_.clear();
}

void MessageFramer::keep_bytes(const uint8_t* data, size_t size) {
  if (message_.size() >= rules_.keep) return;
  message_.append(reinterpret_cast<const char*>(data), std::min(size, rules_.keep - message_.size()));
}

void MessageFramer::emit(const uint8_t* data, size_t kept, size_t full_length, int64_t time) {
  FramedMessage message;
  message.data = data;
  message.kept = kept;
  message.full_length = full_length;
  message.time = time;
  sink_->on_message(message);
}

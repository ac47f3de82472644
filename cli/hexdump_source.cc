// Hex dumps in a file, gathered line by line into messages.
#include "cli/hexdump_source.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <utility>

#include "cli/status_line.h"

namespace {

// `count` as a size_t; a 32-bit size_t cannot hold every dump length.
size_t size_clamped(uint64_t count) {
  return static_cast<size_t>(std::min<uint64_t>(count, std::numeric_limits<size_t>::max()));
}

}  // namespace

HexdumpSource::HexdumpSource(std::FILE* file, size_t byte_limit, std::FILE* notes)
    : byte_limit_(byte_limit), notes_(notes) {
  reader_.file = file;
}

bool HexdumpSource::next(SourceMessage* message) {
  if (!open_) {
    message->is_text = false;
    message->content.clear();
    message->full_length = 0;
    message->origin = MessageOrigin();
  }
  while (line_held_ || read_dump_line()) {
    line_held_ = false;
    switch (line_.kind) {
      case DumpLineKind::kBytes:
        if (!open_) {
          start_message(false, message);
          open_ = true;
        } else if (!bare_ && line_.offset != 0 && reach(line_.offset, message)) {
          append_line(message);
        } else {
          line_held_ = true;
          return end_message();
        }
        continue;
      case DumpLineKind::kDigits:
        if (open_ && bare_) {
          append_line(message);
          continue;
        }
        if (open_ && line_.may_be_length) {
          reach(line_.offset, message);  // the closing length
          break;
        }
        if (open_) {
          line_held_ = true;
          return end_message();
        }
        // A short number alone is no dump; xxd -p's lines are longer.
        if (line_.may_be_length) break;
        start_message(true, message);
        open_ = true;
        continue;
      case DumpLineKind::kRepeat:
        if (open_ && !bare_ && !repeat_pending_) {
          repeat_pending_ = true;
          continue;
        }
        break;
      case DumpLineKind::kEnd:
        // The closing length: the dump is complete, whether or not it fits.
        if (open_ && !bare_) reach(line_.offset, message);
        break;
      case DumpLineKind::kNone:
        break;
    }
    if (open_) return end_message();
  }
  return !more_to_come_ && end_message();
}

bool HexdumpSource::end_message() {
  const bool ended = open_;
  open_ = false;
  return ended;
}

bool HexdumpSource::read_dump_line() {
  size_t full_length = 0;
  if (read_line(&reader_, kDumpLineLimit, &text_, &full_length) != 0) return false;
  ++line_number_;
  if (full_length > text_.size()) {
    line_.kind = DumpLineKind::kNone;
  } else {
    parse_dump_line(text_, &line_);
  }
  return true;
}

void HexdumpSource::start_message(bool bare, SourceMessage* message) {
  bare_ = bare;
  if (bare) line_.offset = 0;
  if (line_.offset != 0) {
    char note[80];
    std::snprintf(note, sizeof note, "line %ld: dump starts at offset 0x%lx, not 0", line_number_,
                  static_cast<unsigned long>(line_.offset));
    if (notes_ != nullptr) {
      std::fprintf(notes_, "%s\n", note);
    } else {
      write_note(note);
    }
  }
  message->origin.line = line_number_;
  start_offset_ = line_.offset;
  position_ = line_.offset;
  repeat_pending_ = false;
  append_line(message);
}

bool HexdumpSource::reach(uint64_t offset, SourceMessage* message) {
  if (offset != position_ && (!repeat_pending_ || offset < position_)) return false;
  repeat_pending_ = false;
  // Only what can still be kept is copied; the rest is only counted.
  uint64_t missing = offset - position_;
  while (missing > 0 && message->content.size() < byte_limit_) {
    const size_t count = static_cast<size_t>(std::min<uint64_t>(missing, last_bytes_.size()));
    keep(last_bytes_.data(), count, message);
    missing -= count;
  }
  position_ = offset;
  message->full_length = size_clamped(position_ - start_offset_);
  return true;
}

void HexdumpSource::append_line(SourceMessage* message) {
  keep(line_.bytes.data(), line_.bytes.size(), message);
  position_ += line_.bytes.size();
  message->full_length = size_clamped(position_ - start_offset_);
  std::swap(last_bytes_, line_.bytes);
}

void HexdumpSource::keep(const char* bytes, size_t count, SourceMessage* message) {
  const size_t room = byte_limit_ - std::min(byte_limit_, message->content.size());
  message->content.append(bytes, std::min(count, room));
}

// The whole-input and line-by-line sources.
#include "cli/text_sources.h"

#include "decode/message_text.h"

bool WholeInputSource::next(SourceMessage* message) {
  if (done_) return false;
  done_ = true;
  message->is_text = is_text_;
  message->origin = MessageOrigin();
  read_all(reader_, limit_, &message->content, &message->full_length);
  return true;
}

bool EachLineSource::next(SourceMessage* message) {
  message->is_text = true;
  message->origin = MessageOrigin();
  while (read_line(reader_, kMaxMessageTextLength, &message->content, &message->full_length) == 0) {
    ++line_number_;
    if (is_blank_line(message->content)) continue;
    message->origin.line = line_number_;
    return true;
  }
  return false;
}

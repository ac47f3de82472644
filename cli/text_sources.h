// The simplest sources of messages: the whole input as one message (text
// as pasted, or the message's bytes), and every non-blank line as one
// message of text.
#ifndef CLI_TEXT_SOURCES_H_
#define CLI_TEXT_SOURCES_H_

#include "cli/line_reader.h"
#include "cli/message_source.h"

// The whole input as one message, cut to `limit` bytes.
class WholeInputSource : public MessageSource {
 public:
  WholeInputSource(LineReader* reader, bool is_text, size_t limit)
      : reader_(reader), is_text_(is_text), limit_(limit) {}

  bool next(SourceMessage* message) override;
  int64_t bytes_read() const override { return static_cast<int64_t>(reader_->bytes_read); }

 private:
  LineReader* reader_;
  bool is_text_;
  size_t limit_;
  bool done_ = false;
};

// Every line that holds more than spaces, tabs and carriage returns as one
// message of text, cut to the characters a decode looks at.
class EachLineSource : public MessageSource {
 public:
  explicit EachLineSource(LineReader* reader) : reader_(reader) {}

  bool next(SourceMessage* message) override;
  int64_t bytes_read() const override { return static_cast<int64_t>(reader_->bytes_read); }

 private:
  LineReader* reader_;
  long line_number_ = 0;
};

#endif  // CLI_TEXT_SOURCES_H_

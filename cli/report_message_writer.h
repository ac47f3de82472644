// The report output: the window's report of each message, in UTF-8 with
// LF line ends or, raw, in code page 936 with CR LF line ends.
#ifndef CLI_REPORT_MESSAGE_WRITER_H_
#define CLI_REPORT_MESSAGE_WRITER_H_

#include "cli/message_writer.h"
#include "decode/report.h"

class ReportMessageWriter : public MessageWriter {
 public:
  // `raw`: the report bytes unchanged. `separate`: an empty line after each
  // report, for inputs of many messages.
  ReportMessageWriter(bool raw, bool separate) : raw_(raw), separate_(separate) {}

  void write_decoded(const MessageOrigin& origin, size_t byte_count, DecodeOutcome outcome,
                     const DecodedMessage& message, Output* output) override;
  void write_rejected(const MessageOrigin& origin, const Refusal& refusal,
                      Output* output) override;

 private:
  bool raw_;
  bool separate_;
  WriterRoom room_;       // where reports are written
  Report report_;         // the report to convert to UTF-8
  WriterRoom utf8_room_;  // where it is converted
};

#endif  // CLI_REPORT_MESSAGE_WRITER_H_

// Opening the source of iso8583dump's messages.
#include "cli/dump_source.h"

#include "cli/capture_source.h"
#include "cli/hexdump_source.h"
#include "cli/status_line.h"
#include "cli/text_sources.h"
#include "decode/limits.h"

bool has_many_messages(InputForm form) {
  return form != InputForm::kText && form != InputForm::kBinary;
}

std::unique_ptr<MessageSource> open_source(const DumpOptions& options, LineReader* reader,
                                           std::string* error) {
  // Bytes are kept beyond a decode's reach by the skipped header.
  const size_t byte_limit = kMaxMessageBytes + options.skip;
  switch (options.input_form) {
    case InputForm::kText:
      return std::make_unique<WholeInputSource>(reader, true, kMaxMessageTextLength);
    case InputForm::kEachLine:
      return std::make_unique<EachLineSource>(reader);
    case InputForm::kHexdump:
      return std::make_unique<HexdumpSource>(reader->file, byte_limit);
    case InputForm::kBinary:
      return std::make_unique<WholeInputSource>(reader, false, byte_limit);
    case InputForm::kCapture: {
      CaptureOptions capture;
      capture.path = options.common.input_path;
      capture.port = options.port;
      capture.frame = options.frame;
      capture.skip = options.skip;
      return open_capture_source(capture, byte_limit, error);
    }
  }
  return nullptr;
}

bool tell_no_dump_found(const DumpOptions& options, long messages) {
  if (messages != 0 || options.input_form != InputForm::kHexdump) return false;
  write_note(
      "iso8583dump: no hex dump found; hint: hexadecimal text needs no --hexdump, and text of "
      "one message a line is read with --each-line");
  return true;
}

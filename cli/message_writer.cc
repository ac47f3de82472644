// What the output forms share: the heading of a captured message, and the
// bytes left after the last field.
#include "cli/message_writer.h"

size_t trailing_bytes(size_t byte_count, const DecodedMessage& message) {
  const size_t end = static_cast<size_t>(message.verdict.end_offset);
  return message.verdict.result == UnpackResult::kUnpacked && byte_count > end ? byte_count - end
                                                                                 : 0;
}

std::string trailing_text(size_t trailing) {
  return std::to_string(trailing) + (trailing == 1 ? " byte" : " bytes") + " after the last field";
}

void append_capture_heading(const MessageOrigin& origin, size_t byte_count,
                            std::string_view line_end, std::string* text) {
  if (origin.time.empty()) return;
  *text += "# ";
  *text += origin.time;
  *text += ' ';
  *text += origin.source;
  *text += " -> ";
  *text += origin.destination;
  *text += " #";
  *text += std::to_string(origin.sequence);
  *text += ' ';
  *text += std::to_string(byte_count);
  *text += " bytes";
  text->append(line_end.data(), line_end.size());
}

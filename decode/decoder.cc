// A decoder and the process-wide one.
#include "decode/decoder.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "decode/error_report.h"

Decoder::Decoder() {
  parse_definitions(std::string_view(), &dialect_, nullptr);
  alloc_field_storage(dialect_, values_);
}

int Decoder::load(const char* path, DefinitionProblems* problems) {
  std::string contents;
  if (!read_definition_file(path, &contents)) {
    const int reason = errno;
    parse_definitions(std::string_view(), &dialect_, nullptr);
    alloc_field_storage(dialect_, values_);
    frame_ = MessageFrame{};
    errno = reason;  // for a reporter that tells why
    report_error("fopen error");
    return -1;
  }
  return parse(contents, problems);
}

int Decoder::parse(std::string_view contents, DefinitionProblems* problems) {
  const int result = parse_definitions(contents, &dialect_, problems);
  alloc_field_storage(dialect_, values_);
  frame_ = MessageFrame{};
  return result;
}

DecodeOutcome Decoder::decode(const unsigned char* bytes, size_t count, DecodedMessage* message) {
  if (count < static_cast<size_t>(kMinMessageBytes)) return DecodeOutcome::kTooShort;
  const int byte_count = static_cast<int>(count < kMaxMessageBytes ? count : kMaxMessageBytes);
  // Only the bytes that the previous message wrote beyond this one need
  // clearing to leave zeros after it.
  std::memcpy(buffer_.data(), bytes, static_cast<size_t>(byte_count));
  if (previous_byte_count_ > byte_count) {
    std::memset(buffer_.data() + byte_count, 0,
                static_cast<size_t>(previous_byte_count_ - byte_count));
  }
  previous_byte_count_ = byte_count;
  message->verdict = unpack_fields(dialect_, values_, buffer_, byte_count, &frame_);
  collect_stored_fields(dialect_, values_, buffer_, frame_, message);
  return message->verdict.result == UnpackResult::kUnpacked ? DecodeOutcome::kUnpacked
                                                            : DecodeOutcome::kUnpackFailed;
}

Decoder& default_decoder() {
  static Decoder* const decoder = new Decoder();  // never destroyed, like the window's tables
  return *decoder;
}

FieldDef (&field_defs)[kFieldRows] = default_decoder().dialect().defs;
std::string (&field_names)[kFieldRows] = default_decoder().dialect().names;
FieldValue (&field_values)[kFieldRows] = default_decoder().value_table();

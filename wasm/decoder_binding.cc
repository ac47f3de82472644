// The C interface over the library: each decoder of the interface is a
// decoder of the library, with its own dialect and storage, and the
// programs' own steps and writers around it.
#include "wasm/decoder_binding.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/hexdump_source.h"
#include "cli/json_message_writer.h"
#include "cli/message_decoder.h"
#include "cli/output.h"
#include "cli/report_message_writer.h"
#include "decode/decoder.h"
#include "decode/definition_file.h"
#include "json/pack_request_json.h"
#include "pack/message_packer.h"

struct Iso8583Decoder {
  Decoder decoder;
  MessageDecoder plain{DecodeSteps{0, false}, &decoder};
  MessageDecoder masking{DecodeSteps{0, true}, &decoder};
};

namespace {

std::string result;

// The writers' output, kept from call to call as iso8583dump keeps its
// own: a stream in memory, emptied after every call.
class MemoryOutput {
 public:
  MemoryOutput() : file_(open_memstream(&text_, &size_)), output_(file_, OutputEncoding::kUtf8) {}

  Output* output() { return &output_; }

  // Moves what was written since the last call into `text`.
  void take(std::string* text) {
    output_.flush();
    text->assign(text_, static_cast<size_t>(std::ftell(file_)));
    std::rewind(file_);
  }

 private:
  char* text_ = nullptr;
  size_t size_ = 0;
  std::FILE* file_;
  Output output_;
};

// Decodes `input` as iso8583dump does with INPUT (text) or --binary
// (bytes), and leaves what `writer` writes of it in `result`.
int decode_and_write(Iso8583Decoder* decoder, const char* input, size_t length, int flags,
                     MessageWriter* writer) {
  static SourceMessage message;
  message.is_text = (flags & ISO8583_INPUT_BYTES) == 0;
  const size_t limit = message.is_text ? kInputTextLimit : kMaxMessageBytes;
  message.content.assign(input, length < limit ? length : limit);
  message.full_length = length;
  MessageDecoder& message_decoder = (flags & ISO8583_MASK) != 0 ? decoder->masking : decoder->plain;
  const DecodeOutcome outcome = message_decoder.decode(message);

  static MemoryOutput memory;
  if (outcome == DecodeOutcome::kOddDigitCount || outcome == DecodeOutcome::kTooShort ||
      outcome == DecodeOutcome::kNotHex) {
    writer->write_rejected(message.origin, message_decoder.refusal(), memory.output());
  } else {
    writer->write_decoded(message.origin, message_decoder.byte_count(), outcome,
                          message_decoder.decoded(), memory.output());
  }
  memory.take(&result);
  switch (outcome) {
    case DecodeOutcome::kUnpacked:
      return ISO8583_UNPACKED;
    case DecodeOutcome::kUnpackFailed:
      return ISO8583_UNPACK_FAILED;
    default:
      return ISO8583_REJECTED;
  }
}

void append_le32(size_t value, std::string* text) {
  for (int shift = 0; shift < 32; shift += 8) text->push_back(static_cast<char>(value >> shift));
}

}  // namespace

extern "C" {

Iso8583Decoder* iso8583_decoder_create(const char* definitions, size_t length) {
  auto* decoder = new Iso8583Decoder;
  DefinitionProblems problems;
  if (decoder->decoder.parse(std::string_view(definitions, length), &problems) == 0) return decoder;
  // The reading ended at its last problem.
  result = "line " + std::to_string(problems.back().line) + ": " + problems.back().reason;
  iso8583_decoder_destroy(decoder);
  return nullptr;
}

void iso8583_decoder_destroy(Iso8583Decoder* decoder) { delete decoder; }

int iso8583_decode(Iso8583Decoder* decoder, const char* input, size_t length, int flags) {
  // One writer for each combination of explained and masked.
  static JsonMessageWriter writers[] = {{false, false}, {true, false}, {false, true}, {true, true}};
  const bool explain = (flags & ISO8583_EXPLAIN) != 0;
  const bool mask = (flags & ISO8583_MASK) != 0;
  JsonMessageWriter& writer = writers[explain + 2 * mask];
  const int status = decode_and_write(decoder, input, length, flags, &writer);
  if (!result.empty() && result.back() == '\n') result.pop_back();
  return status;
}

int iso8583_report(Iso8583Decoder* decoder, const char* input, size_t length, int flags) {
  static ReportMessageWriter writer(false, false);
  return decode_and_write(decoder, input, length, flags, &writer);
}

int iso8583_pack(Iso8583Decoder* decoder, const char* json, size_t length) {
  std::string line(json, length);
  PackRequest request;
  std::string error;
  if (read_pack_request(&line, &request, &error) &&
      pack_message(decoder->decoder.dialect(), request, &result, &error)) {
    return 0;
  }
  result = error;
  return ISO8583_REJECTED;
}

int iso8583_read_hexdump(const char* text, size_t length) {
  result.clear();
  if (length == 0) return 0;
  std::FILE* file = fmemopen(const_cast<char*>(text), length, "rb");
  if (file == nullptr) return 0;
  int count = 0;
  {
    HexdumpSource source(file, kMaxMessageBytes);
    SourceMessage message;
    while (source.next(&message)) {
      append_le32(static_cast<size_t>(message.origin.line), &result);
      append_le32(message.content.size(), &result);
      result += message.content;
      ++count;
    }
  }
  std::fclose(file);
  return count;
}

const char* iso8583_result(void) { return result.data(); }

size_t iso8583_result_length(void) { return result.size(); }

void* iso8583_alloc(size_t size) { return std::malloc(size == 0 ? 1 : size); }

void iso8583_free(void* memory) { std::free(memory); }

}  // extern "C"

// The C interface over the library: each decoder of the interface is a
// decoder of the library, with its own dialect and storage, and the
// programs' own steps and writers around it.
#include "wasm/decoder_binding.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "cli/hexdump_source.h"
#include "cli/json_message_writer.h"
#include "cli/message_decoder.h"
#include "cli/output.h"
#include "cli/report_message_writer.h"
#include "decode/decoder.h"
#include "decode/definition_file.h"
#include "decode/message_text.h"
#include "json/pack_request_json.h"
#include "pack/message_packer.h"

namespace {

// The text or bytes the latest call left for iso8583_result(): the one
// channel back to JavaScript, which copies it out before its next call.
std::string result;

// The writers' output: a stream in memory, emptied after every call.
class MemoryOutput {
 public:
  MemoryOutput()
      : stream_(open_memstream(&text_, &size_), StreamCloser{&text_}),
        output_(stream_.get(), OutputEncoding::kUtf8) {}
  MemoryOutput(const MemoryOutput&) = delete;
  MemoryOutput& operator=(const MemoryOutput&) = delete;

  Output* output() { return &output_; }

  // Moves what was written since the last call into `text`.
  void take(std::string* text) {
    output_.flush();
    text->assign(text_, static_cast<size_t>(std::ftell(stream_.get())));
    std::rewind(stream_.get());
  }

 private:
  // Closes the stream, then frees its text, which closing sets last.
  struct StreamCloser {
    char** text;
    void operator()(std::FILE* stream) const {
      std::fclose(stream);
      std::free(*text);
    }
  };
  char* text_ = nullptr;
  size_t size_ = 0;
  // Declared before output_, so that output_ is gone, its last bytes
  // written, before the stream closes.
  std::unique_ptr<std::FILE, StreamCloser> stream_;
  Output output_;
};

}  // namespace

// A decoder of the interface: a library decoder with the programs' steps
// and writers around it, all its own, so decoders never share state.
struct Iso8583Decoder {
  explicit Iso8583Decoder(Dialect dialect) : decoder(std::move(dialect)) {}

  Decoder decoder;
  MessageDecoder plain{DecodeSteps{0, false}, decoder};
  MessageDecoder masking{DecodeSteps{0, true}, decoder};
  SourceMessage message;
  MemoryOutput memory;
  // One JSON writer for each combination of explained and masked.
  JsonMessageWriter json_writers[4] = {{false, false}, {true, false}, {false, true}, {true, true}};
  ReportMessageWriter report_writer{false, false};
};

namespace {

// Decodes `input` as iso8583dump does with INPUT (text) or --binary
// (bytes), and leaves what `writer` writes of it in `result`.
int decode_and_write(Iso8583Decoder* decoder, const char* input, size_t length, int flags,
                     MessageWriter* writer) {
  SourceMessage& message = decoder->message;
  message.is_text = (flags & ISO8583_INPUT_BYTES) == 0;
  const size_t limit = message.is_text ? kMaxMessageTextLength : kMaxMessageBytes;
  message.content.assign(input, length < limit ? length : limit);
  message.full_length = length;
  MessageDecoder& message_decoder = (flags & ISO8583_MASK) != 0 ? decoder->masking : decoder->plain;
  const DecodeOutcome outcome = message_decoder.decode(message);

  Output* output = decoder->memory.output();
  if (outcome == DecodeOutcome::kOddDigitCount || outcome == DecodeOutcome::kTooShort ||
      outcome == DecodeOutcome::kNotHex) {
    writer->write_rejected(message.origin, message_decoder.refusal(), output);
  } else {
    writer->write_decoded(message.origin, message_decoder.byte_count(), outcome,
                          message_decoder.decoded(), output);
  }
  decoder->memory.take(&result);
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
  Definitions read = parse_definitions(std::string_view(definitions, length));
  if (read.complete) return new Iso8583Decoder(std::move(read.dialect));
  // The reading ended at its last problem.
  result = "line " + std::to_string(read.problems.back().line) + ": " + read.problems.back().reason;
  return nullptr;
}

void iso8583_decoder_destroy(Iso8583Decoder* decoder) { delete decoder; }

int iso8583_decode(Iso8583Decoder* decoder, const char* input, size_t length, int flags) {
  const bool explain = (flags & ISO8583_EXPLAIN) != 0;
  const bool mask = (flags & ISO8583_MASK) != 0;
  JsonMessageWriter& writer = decoder->json_writers[explain + 2 * mask];
  const int status = decode_and_write(decoder, input, length, flags, &writer);
  if (!result.empty() && result.back() == '\n') result.pop_back();
  return status;
}

int iso8583_report(Iso8583Decoder* decoder, const char* input, size_t length, int flags) {
  return decode_and_write(decoder, input, length, flags, &decoder->report_writer);
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

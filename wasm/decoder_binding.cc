// The C interface over the library: each decoder of the interface is a
// decoder of the library, with its own dialect and storage, and the
// programs' own steps and writers around it; a guess is the library's
// guess with its candidates, and a comparison that of iso8583dump --diff.
#include "wasm/decoder_binding.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/hexdump_source.h"
#include "cli/json_message_writer.h"
#include "cli/message_decoder.h"
#include "cli/output.h"
#include "cli/report_message_writer.h"
#include "decode/decoder.h"
#include "decode/definition_file.h"
#include "decode/message_text.h"
#include "diff/diff_json.h"
#include "diff/message_diff.h"
#include "guess/dialect_guess.h"
#include "guess/guess_json.h"
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

// Makes `input` the message that iso8583dump reads as INPUT (text) or with
// --binary (bytes).
void take_input(const char* input, size_t length, int flags, SourceMessage* message) {
  message->is_text = (flags & ISO8583_INPUT_BYTES) == 0;
  const size_t limit = message->is_text ? kMaxMessageTextLength : kMaxMessageBytes;
  message->content.assign(input, length < limit ? length : limit);
  message->full_length = length;
}

// Decodes `input` as iso8583dump does with INPUT (text) or --binary
// (bytes), and leaves what `writer` writes of it in `result`.
int decode_and_write(Iso8583Decoder* decoder, const char* input, size_t length, int flags,
                     MessageWriter* writer) {
  SourceMessage& message = decoder->message;
  take_input(input, length, flags, &message);
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

// A guess, with what takes its messages through the steps before a decode.
struct Iso8583Guess {
  DialectGuess guess;
  Decoder no_dialect;  // the candidates decode, not the steps
  MessageDecoder steps{DecodeSteps{}, no_dialect};
  SourceMessage message;
};

extern "C" {

Iso8583Guess* iso8583_guess_create(void) { return new Iso8583Guess; }

void iso8583_guess_destroy(Iso8583Guess* guess) { delete guess; }

int iso8583_guess_add(Iso8583Guess* guess, const char* text, size_t length, int preferred) {
  const std::string_view parts(text, length);
  const size_t end = parts.find('\0');
  if (end == std::string_view::npos) return ISO8583_REJECTED;
  const bool added = guess->guess.add_candidate(std::string(parts.substr(0, end)),
                                                parts.substr(end + 1), preferred != 0);
  return added ? 0 : ISO8583_REJECTED;
}

int iso8583_guess_read(Iso8583Guess* guess, const char* input, size_t length, int flags) {
  take_input(input, length, flags, &guess->message);
  if (!guess->steps.prepare(guess->message)) return ISO8583_REJECTED;
  guess->guess.read(guess->steps.bytes(), guess->steps.byte_count());
  return 0;
}

int iso8583_guess_result(Iso8583Guess* guess) {
  const std::vector<Reading> ranking = guess->guess.ranking();
  result.clear();
  write_guess_json(guess->guess, ranking, 0, &result);
  const bool complete =
      !ranking.empty() && reads_completely(ranking.front(), guess->guess.messages());
  guess->guess.clear_counts();
  return complete ? ISO8583_UNPACKED : ISO8583_UNPACK_FAILED;
}

int iso8583_diff(Iso8583Decoder* decoder_a, Iso8583Decoder* decoder_b, const char* parts,
                 size_t length_a, size_t length_b, size_t ignore_length, int flags) {
  IgnoredPlaces ignored;
  const std::string_view list(parts + length_a + length_b, ignore_length);
  if (!list.empty() && !parse_ignored_places(list, &ignored)) {
    result = "bad value for --ignore: " + std::string(list);
    return ISO8583_REJECTED;
  }
  DecodeSteps steps;
  steps.mask = (flags & ISO8583_MASK) != 0;
  MessageDecoder a(steps, decoder_a->decoder);
  MessageDecoder b(steps, decoder_b->decoder);
  SourceMessage message;
  // Decodes one message; false when it is refused.
  const auto decode = [&message, flags](MessageDecoder* decoder, const char* input, size_t length) {
    take_input(input, length, flags, &message);
    const DecodeOutcome outcome = decoder->decode(message);
    return outcome == DecodeOutcome::kUnpacked || outcome == DecodeOutcome::kUnpackFailed;
  };
  if (!decode(&a, parts, length_a)) {
    result = "message A: refused, not compared";
    return ISO8583_REJECTED;
  }
  if (!decode(&b, parts + length_a, length_b)) {
    result = "message B: refused, not compared";
    return ISO8583_REJECTED;
  }
  MessageDiff diff;
  diff.compare(a.decoded(), b.decoded(), ignored);
  MessageJson json(true);
  result.clear();
  json.begin(&result);
  add_diff_json(diff, &json);
  if (steps.mask) json.add_flag("masked");
  json.end();
  return diff.differences().empty() ? ISO8583_UNPACKED : ISO8583_UNPACK_FAILED;
}

}  // extern "C"

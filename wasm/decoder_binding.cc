// The C interface over the library: each decoder of the interface is a
// decoder of the library, with its own dialect and storage, and the
// programs' own steps and writers around it; a guess is the library's
// guess with its candidates, and a comparison that of iso8583dump --diff.
#include "wasm/decoder_binding.h"

#include <sys/types.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/hexdump_source.h"
#include "cli/json_message_writer.h"
#include "cli/line_reader.h"
#include "cli/message_decoder.h"
#include "cli/output.h"
#include "cli/report_message_writer.h"
#include "cli/text_sources.h"
#include "decode/decoder.h"
#include "decode/definition_file.h"
#include "decode/message_text.h"
#include "diff/diff_json.h"
#include "diff/message_diff.h"
#include "encoding/utf8_to_utf16.h"
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

  // Moves what was written since the last call into `text`. What is still
  // pending, all of it but for a very long report, changes places with
  // `text`, so that neither is copied nor made anew.
  void take(std::string* text) {
    if (std::ftell(stream_.get()) == 0) {
      text->swap(*output_.pending());
      output_.pending()->clear();
      return;
    }
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
  // One JSON writer, and one writer of records, for each combination of
  // explained and masked, in the order of the flags' bits.
  JsonMessageWriter json_writers[4] = {{false, false}, {true, false}, {false, true}, {true, true}};
  RecordMessageWriter record_writers[4] = {{false, false}, {true, false}, {false, true}, {true, true}};
  ReportMessageWriter report_writer{false, false};
  std::string utf16;  // the room of a report in UTF-16
};

// A stream of messages: the text pushed and not yet read, which a file
// opened on it gives to the library's readers up to the end of its last
// whole line, and the reader of lines or of hex dumps over that file.
struct Iso8583Lines {
  Iso8583Lines(Iso8583Decoder* decoder_of_stream, int stream_flags)
      : decoder(decoder_of_stream), flags(stream_flags) {}

  Iso8583Decoder* decoder;
  int flags;
  std::string text;         // pushed and not yet given to the file
  size_t given = 0;         // how much of `text` the file has given
  size_t whole_lines = 0;   // how much of `text` ends with a line feed
  bool ended = false;       // no more text comes
  bool cutting = false;     // the bytes pushed belong to a line cut short
  std::FILE* file = nullptr;
  LineReader reader;
  std::unique_ptr<EachLineSource> each_line;
  std::unique_ptr<HexdumpSource> hexdump;
  SourceMessage message;  // kept while a dump waits for its next lines
  std::string batch;      // the room of the messages of one call
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

// The part of a line that has no line feed yet which a stream keeps: more
// than the readers keep of any line, so that they still see it as too long.
constexpr size_t kKeptLinePart = std::max(kMaxMessageTextLength, kDumpLineLimit) + 1;

// A call of iso8583_lines_next() gives no more messages once it holds this
// many bytes of them, whatever the count asked for.
constexpr size_t kBatchBytes = 1 << 18;

// The file of a stream reads its text up to the end of its last whole
// line, or up to its end once it has ended.
ssize_t read_stream_text(void* cookie, char* buffer, size_t size) {
  Iso8583Lines* lines = static_cast<Iso8583Lines*>(cookie);
  const size_t end = lines->ended ? lines->text.size() : lines->whole_lines;
  const size_t count = std::min(size, end - lines->given);
  std::memcpy(buffer, lines->text.data() + lines->given, count);
  lines->given += count;
  return static_cast<ssize_t>(count);
}

// The status of a decode for JavaScript.
int status_of(DecodeOutcome outcome) {
  switch (outcome) {
    case DecodeOutcome::kUnpacked:
      return ISO8583_UNPACKED;
    case DecodeOutcome::kUnpackFailed:
      return ISO8583_UNPACK_FAILED;
    default:
      return ISO8583_REJECTED;
  }
}

// Decodes `message` as iso8583dump does, and writes it with `writer` after
// what the decoder's output holds.
int write_message(Iso8583Decoder* decoder, const SourceMessage& message, int flags,
                  MessageWriter* writer) {
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
  return status_of(outcome);
}

// Decodes `input` as iso8583dump does with INPUT (text) or --binary
// (bytes), and leaves what `writer` writes of it in `result`.
int decode_and_write(Iso8583Decoder* decoder, const char* input, size_t length, int flags,
                     MessageWriter* writer) {
  SourceMessage& message = decoder->message;
  take_input(input, length, flags, &message);
  const int status = write_message(decoder, message, flags, writer);
  decoder->memory.take(&result);
  return status;
}

// The JSON writer for `flags`.
MessageWriter& json_writer(Iso8583Decoder* decoder, int flags) {
  const int variant = (flags & (ISO8583_EXPLAIN | ISO8583_MASK)) >> 1;
  if ((flags & ISO8583_RECORD) != 0) return decoder->record_writers[variant];
  return decoder->json_writers[variant];
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
  const int status = decode_and_write(decoder, input, length, flags, &json_writer(decoder, flags));
  if (!result.empty() && result.back() == '\n') result.pop_back();  // JSON Lines' line end
  return status;
}

int iso8583_report(Iso8583Decoder* decoder, const char* input, size_t length, int flags) {
  const int status = decode_and_write(decoder, input, length, flags, &decoder->report_writer);
  if ((flags & ISO8583_UTF16) != 0) {
    decoder->utf16.clear();
    append_utf8_as_utf16le(result, &decoder->utf16);
    result.swap(decoder->utf16);
  }
  return status;
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

Iso8583Lines* iso8583_lines_open(Iso8583Decoder* decoder, int flags) {
  auto lines = std::make_unique<Iso8583Lines>(decoder, flags);
  lines->file = fopencookie(lines.get(), "r",
                            cookie_io_functions_t{read_stream_text, nullptr, nullptr, nullptr});
  if (lines->file == nullptr) return nullptr;
  if ((flags & ISO8583_HEXDUMP) != 0) {
    lines->hexdump = std::make_unique<HexdumpSource>(lines->file, kMaxMessageBytes);
    lines->hexdump->set_more_to_come(true);
  } else {
    lines->reader.file = lines->file;
    lines->each_line = std::make_unique<EachLineSource>(&lines->reader);
  }
  return lines.release();
}

void iso8583_lines_push(Iso8583Lines* lines, const char* text, size_t length) {
  std::string& kept = lines->text;
  kept.erase(0, lines->given);
  lines->whole_lines -= lines->given;
  lines->given = 0;
  std::string_view pushed(text, length);
  if (lines->cutting) {
    // The rest of a line cut short is dropped up to its line feed.
    const size_t line_feed = pushed.find('\n');
    if (line_feed == std::string_view::npos) return;
    pushed.remove_prefix(line_feed);
    lines->cutting = false;
  }
  const size_t line_feed = pushed.rfind('\n');
  if (line_feed != std::string_view::npos) lines->whole_lines = kept.size() + line_feed + 1;
  kept.append(pushed.data(), pushed.size());
  if (kept.size() - lines->whole_lines > kKeptLinePart) {
    kept.resize(lines->whole_lines + kKeptLinePart);
    lines->cutting = true;
  }
}

void iso8583_lines_end(Iso8583Lines* lines) {
  lines->ended = true;
  if (lines->hexdump) lines->hexdump->set_more_to_come(false);
}

int iso8583_lines_next(Iso8583Lines* lines, int count) {
  // The file's end was only the end of the text pushed so far.
  std::clearerr(lines->file);
  MessageSource* source = lines->hexdump ? static_cast<MessageSource*>(lines->hexdump.get())
                                         : lines->each_line.get();
  std::string& batch = lines->batch;
  batch.clear();
  int given = 0;
  while (given < count && batch.size() < kBatchBytes && source->next(&lines->message)) {
    const int status = write_message(lines->decoder, lines->message, lines->flags,
                                     &json_writer(lines->decoder, lines->flags));
    lines->decoder->memory.take(&result);
    const uint32_t heading[2] = {static_cast<uint32_t>(status), static_cast<uint32_t>(result.size())};
    batch.append(reinterpret_cast<const char*>(heading), sizeof heading);
    batch += result;
    batch.append((4 - batch.size() % 4) % 4, '\0');
    ++given;
  }
  result.swap(batch);
  return given == 0 && lines->ended ? ISO8583_END : given;
}

void iso8583_lines_close(Iso8583Lines* lines) {
  if (lines == nullptr) return;
  std::fclose(lines->file);
  delete lines;
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

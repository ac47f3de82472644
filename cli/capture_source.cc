// The packet-capture input: libpcap packets through the connection table
// and a message framer per stream, into messages with their origins in
// capture order of their last byte.
#include "cli/capture_source.h"

#include <vector>

#include "capture/capture_reader.h"
#include "capture/message_framer.h"
#include "cli/capture_time.h"
#include "cli/status_line.h"
#include "decode/limits.h"

namespace {

// The longest message a boundary sought after a gap may start; see
// FramingRules::longest_when_seeking.
constexpr size_t kLongestWhenSeeking = 8192;

// What both streams of a connection share.
struct ConnectionState {
  long number = 0;
  long messages = 0;  // cut from either stream so far
  std::string client;
  std::string server;
};

class CaptureSource : public MessageSource, public StreamConsumerFactory {
 public:
  CaptureSource(const FramingRules& rules, NoteSink notes)
      : rules_(rules), notes_(std::move(notes)) {}

  bool open(const CaptureOptions& options, std::string* error) {
    port_ = options.port;
    reader_ = CaptureReader::open(options.path, options.port, this, ConnectionLimits(), error);
    return reader_ != nullptr;
  }

  bool next(SourceMessage* message) override;
  int64_t bytes_read() const override { return reader_->bytes_read(); }
  SourceLosses losses() const override;
  StreamConsumers make_consumers(const ConnectionInfo& connection) override;
  // What the streams lost, for their framers to add to.
  StreamLosses* stream_losses() { return &stream_losses_; }

  // Queues a message of `connection`, sent by its client or its server.
  void add_message(const FramedMessage& framed, ConnectionState* connection, bool from_client);

 private:
  // A message cut but not yet handed out; the entries are reused.
  struct Ready {
    std::string bytes;
    size_t full_length = 0;
    int64_t time = 0;
    long connection = 0;
    long sequence = 0;
    std::string source;
    std::string destination;
  };

  void note_end();
  void set_time_text(int64_t micros, std::string* text);

  FramingRules rules_;
  NoteSink notes_;
  int port_ = 0;
  long connections_ = 0;
  StreamLosses stream_losses_;
  std::unique_ptr<CaptureReader> reader_;
  std::vector<Ready> ready_;
  size_t ready_count_ = 0;
  size_t ready_next_ = 0;
  bool ended_ = false;
  int64_t cached_second_ = -1;
  std::string cached_time_;
};

// One stream's framer, handing its messages to the source.
class StreamReader : public StreamConsumer, public MessageSink {
 public:
  StreamReader(CaptureSource* source, std::shared_ptr<ConnectionState> connection,
               bool from_client, const FramingRules& rules, const NoteSink* notes)
      : source_(source),
        connection_(std::move(connection)),
        from_client_(from_client),
        framer_(rules, this, notes, label(), source->stream_losses()) {}

  void on_bytes(const StreamChunk& chunk) override { framer_.on_bytes(chunk); }
  void on_gap(GapCause cause, uint64_t lost) override { framer_.on_gap(cause, lost); }
  void on_end() override { framer_.on_end(); }
  void on_message(const FramedMessage& message) override {
    source_->add_message(message, connection_.get(), from_client_);
  }

 private:
  // "connection 3 10.0.0.1:40000 -> 10.0.0.2:8583"
  std::string label() const {
    const std::string& from = from_client_ ? connection_->client : connection_->server;
    const std::string& to = from_client_ ? connection_->server : connection_->client;
    return "connection " + std::to_string(connection_->number) + " " + from + " -> " + to;
  }

  CaptureSource* source_;
  std::shared_ptr<ConnectionState> connection_;
  bool from_client_;
  MessageFramer framer_;
};

StreamConsumers CaptureSource::make_consumers(const ConnectionInfo& connection) {
  ++connections_;
  auto state = std::make_shared<ConnectionState>();
  state->number = connection.number;
  state->client = endpoint_text(connection.client);
  state->server = endpoint_text(connection.server);
  StreamConsumers consumers;
  consumers.from_client = std::make_unique<StreamReader>(this, state, true, rules_, &notes_);
  consumers.from_server = std::make_unique<StreamReader>(this, state, false, rules_, &notes_);
  return consumers;
}

void CaptureSource::add_message(const FramedMessage& framed, ConnectionState* connection,
                                bool from_client) {
  if (ready_count_ == ready_.size()) ready_.emplace_back();
  Ready& ready = ready_[ready_count_++];
  ready.bytes.assign(reinterpret_cast<const char*>(framed.data), framed.kept);
  ready.full_length = framed.full_length;
  ready.time = framed.time;
  ready.connection = connection->number;
  ready.sequence = ++connection->messages;
  ready.source = from_client ? connection->client : connection->server;
  ready.destination = from_client ? connection->server : connection->client;
}

bool CaptureSource::next(SourceMessage* message) {
  while (ready_next_ == ready_count_) {
    if (ended_) return false;
    ready_next_ = ready_count_ = 0;
    if (!reader_->read_packet()) {
      ended_ = true;
      note_end();
    }
  }
  Ready& ready = ready_[ready_next_++];
  message->is_text = false;
  message->content.swap(ready.bytes);
  message->full_length = ready.full_length;
  MessageOrigin& origin = message->origin;
  origin.line = 0;
  set_time_text(ready.time, &origin.time);
  origin.source.swap(ready.source);
  origin.destination.swap(ready.destination);
  origin.connection = ready.connection;
  origin.sequence = ready.sequence;
  return true;
}

void CaptureSource::note_end() {
  if (!reader_->read_error().empty()) {
    notes_("capture read up to an error: " + reader_->read_error());
  }
  if (reader_->fragments() > 0) {
    notes_("IP fragments skipped, not reassembled: " + std::to_string(reader_->fragments()));
  }
  if (connections_ == 0) {
    notes_(port_ == 0 ? std::string("no TCP connection in the capture")
                      : "no TCP connection with port " + std::to_string(port_) + " in the capture");
  }
}

SourceLosses CaptureSource::losses() const {
  SourceLosses losses;
  losses.bytes_lost = stream_losses_.lost;
  losses.bytes_dropped = stream_losses_.dropped;
  losses.bytes_dropped_expected = stream_losses_.dropped_expected;
  losses.faulty = !reader_->read_error().empty() || connections_ == 0 || stream_losses_.lost > 0 ||
                  stream_losses_.dropped > stream_losses_.dropped_expected;
  return losses;
}

void CaptureSource::set_time_text(int64_t micros, std::string* text) {
  // Many messages share a second: only its six digits of microseconds,
  // before the closing "Z", are written anew.
  const int64_t second = micros / 1000000;
  if (micros < 0 || second != cached_second_) {
    format_capture_time(micros, &cached_time_);
    cached_second_ = micros < 0 ? -1 : second;
  }
  *text = cached_time_;
  if (micros < 0) return;
  int64_t fraction = micros % 1000000;
  const size_t last_digit = text->size() - 2;
  for (size_t at = last_digit; at > last_digit - 6; --at, fraction /= 10) {
    (*text)[at] = static_cast<char>('0' + fraction % 10);
  }
}

}  // namespace

std::unique_ptr<MessageSource> open_capture_source(const CaptureOptions& options,
                                                   size_t byte_limit, std::string* error,
                                                   NoteSink notes) {
  FramingRules rules;
  if (!frame_kind_named(options.frame, &rules.kind)) {
    *error = "unknown framing " + options.frame + " (len2, len2le, ascii4 or none)";
    return nullptr;
  }
  rules.skip = options.skip;
  rules.shortest = kMinMessageBytes;
  rules.longest = kMaxMessageBytes;
  rules.longest_when_seeking = kLongestWhenSeeking;
  rules.keep = byte_limit;
  if (!notes) notes = [](const std::string& note) { write_note(note); };
  auto source = std::make_unique<CaptureSource>(rules, std::move(notes));
  if (!source->open(options, error)) return nullptr;
  return source;
}

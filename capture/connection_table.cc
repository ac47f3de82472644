// The connection table.
#include "capture/connection_table.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// How often, in capture time, quiet connections are looked for.
constexpr int64_t kSweepInterval = 10 * int64_t{1000000};

bool endpoint_less(const Endpoint& a, const Endpoint& b) {
  const int order = std::memcmp(a.address, b.address, sizeof a.address);
  return order < 0 || (order == 0 && a.port < b.port);
}

}  // namespace

struct ConnectionTable::Connection {
  Connection(const ConnectionInfo& connection_info, StreamConsumerFactory* factory,
             size_t buffer_limit)
      : info(connection_info),
        consumers(factory->make_consumers(info)),
        streams{TcpStream(consumers.from_client.get(), buffer_limit),
                TcpStream(consumers.from_server.get(), buffer_limit)} {}

  ConnectionInfo info;
  StreamConsumers consumers;
  TcpStream streams[2];  // [0] from the client, [1] from the server
  int64_t last_seen = 0;
};

bool ConnectionTable::Key::operator==(const Key& other) const {
  return family == other.family && low_port == other.low_port && high_port == other.high_port &&
         std::memcmp(low_address, other.low_address, sizeof low_address) == 0 &&
         std::memcmp(high_address, other.high_address, sizeof high_address) == 0;
}

size_t ConnectionTable::KeyHash::operator()(const Key& key) const {
  uint64_t words[4];
  std::memcpy(words, key.low_address, 16);
  std::memcpy(words + 2, key.high_address, 16);
  uint64_t hash = (uint64_t{key.low_port} << 16 | key.high_port) ^ key.family;
  for (uint64_t word : words) hash = (hash ^ word) * 0x9E3779B97F4A7C15u;
  return static_cast<size_t>(hash ^ (hash >> 29));
}

ConnectionTable::ConnectionTable(StreamConsumerFactory* factory, const ConnectionLimits& limits)
    : factory_(factory), limits_(limits) {}

ConnectionTable::~ConnectionTable() = default;

ConnectionTable::Key ConnectionTable::key_of(const TcpSegment& segment) {
  const bool source_low = endpoint_less(segment.source, segment.destination);
  const Endpoint& low = source_low ? segment.source : segment.destination;
  const Endpoint& high = source_low ? segment.destination : segment.source;
  Key key;
  key.family = low.family;
  std::memcpy(key.low_address, low.address, sizeof key.low_address);
  std::memcpy(key.high_address, high.address, sizeof key.high_address);
  key.low_port = low.port;
  key.high_port = high.port;
  return key;
}

void ConnectionTable::add(const TcpSegment& segment, int64_t time) {
  if (time - last_sweep_ >= kSweepInterval) {
    last_sweep_ = time;
    close_where([this, time](const Connection& connection) {
      return time - connection.last_seen > limits_.idle_limit;
    });
  }
  const Key key = key_of(segment);
  auto found = connections_.find(key);
  const bool syn = (segment.flags & kTcpSyn) != 0;
  if (found != connections_.end() && syn && (segment.flags & kTcpAck) == 0) {
    const Connection& connection = *found->second;
    const TcpStream& stream = connection.streams[segment.source == connection.info.client ? 0 : 1];
    if (stream.started() && stream.next_sequence() != segment.sequence + 1) {
      close(found);
      found = connections_.end();
    }
  }
  if (found == connections_.end()) {
    if ((segment.flags & kTcpRst) != 0 || (!syn && segment.payload_size == 0)) return;
    found = open(key, segment);
  }
  Connection& connection = *found->second;
  connection.last_seen = time;
  if ((segment.flags & kTcpRst) != 0) {
    close(found);
    return;
  }
  connection.streams[segment.source == connection.info.client ? 0 : 1].add(segment, time);
  if (connection.streams[0].ended() && connection.streams[1].ended()) close(found);
}

ConnectionTable::Map::iterator ConnectionTable::open(const Key& key, const TcpSegment& segment) {
  // The answer to a SYN comes from the server.
  const bool from_server = (segment.flags & (kTcpSyn | kTcpAck)) == (kTcpSyn | kTcpAck);
  ConnectionInfo info;
  info.number = ++last_number_;
  info.client = from_server ? segment.destination : segment.source;
  info.server = from_server ? segment.source : segment.destination;
  return connections_
      .emplace(key, std::make_unique<Connection>(info, factory_, limits_.buffer_limit))
      .first;
}

void ConnectionTable::close(Map::iterator connection) {
  connection->second->streams[0].close();
  connection->second->streams[1].close();
  connections_.erase(connection);
}

template <typename Select>
void ConnectionTable::close_where(Select select) {
  std::vector<std::pair<long, Map::iterator>> chosen;
  for (auto it = connections_.begin(); it != connections_.end(); ++it) {
    if (select(*it->second)) chosen.emplace_back(it->second->info.number, it);
  }
  std::sort(chosen.begin(), chosen.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& entry : chosen) close(entry.second);
}

void ConnectionTable::close_all() {
  close_where([](const Connection&) { return true; });
}

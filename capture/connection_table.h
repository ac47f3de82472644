// The TCP connections of a capture: each found by its two ends, numbered
// from 1 in order of appearance, with its two rebuilt byte streams. A
// connection is forgotten once both its streams have ended (FIN), at a
// RST, or after a long quiet time in capture time.
#ifndef CAPTURE_CONNECTION_TABLE_H_
#define CAPTURE_CONNECTION_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "capture/endpoint.h"
#include "capture/stream_consumer.h"
#include "capture/tcp_segment.h"
#include "capture/tcp_stream.h"

struct ConnectionInfo {
  long number = 0;
  Endpoint client;  // the SYN's sender, or else the sender of the first segment seen
  Endpoint server;
};

// The readers of a connection's two streams.
struct StreamConsumers {
  std::unique_ptr<StreamConsumer> from_client;
  std::unique_ptr<StreamConsumer> from_server;
};

// Makes the readers of each new connection's streams.
class StreamConsumerFactory {
 public:
  virtual ~StreamConsumerFactory() = default;
  virtual StreamConsumers make_consumers(const ConnectionInfo& connection) = 0;
};

struct ConnectionLimits {
  size_t buffer_limit = 256 * 1024;            // bytes held ahead of a hole, per stream
  int64_t idle_limit = 600 * int64_t{1000000};  // µs of capture time without a packet
};

class ConnectionTable {
 public:
  ConnectionTable(StreamConsumerFactory* factory, const ConnectionLimits& limits);
  ~ConnectionTable();

  // Takes a segment captured at `time` (µs since 1970). A segment with
  // neither SYN nor payload does not open a connection; a SYN for a pair of
  // ends in use with another initial sequence number closes the old one.
  void add(const TcpSegment& segment, int64_t time);

  // Ends every connection still open, in the order of their numbers.
  void close_all();

  size_t open_connections() const { return connections_.size(); }

 private:
  // The two ends in an order that does not depend on the direction.
  struct Key {
    uint8_t family;
    uint8_t low_address[16];
    uint8_t high_address[16];
    uint16_t low_port;
    uint16_t high_port;
    bool operator==(const Key& other) const;
  };
  struct KeyHash {
    size_t operator()(const Key& key) const;
  };
  struct Connection;
  using Map = std::unordered_map<Key, std::unique_ptr<Connection>, KeyHash>;

  static Key key_of(const TcpSegment& segment);
  Map::iterator open(const Key& key, const TcpSegment& segment);
  void close(Map::iterator connection);
  // Closes, in the order of their numbers, the connections `select` picks.
  template <typename Select>
  void close_where(Select select);

  StreamConsumerFactory* factory_;
  ConnectionLimits limits_;
  Map connections_;
  long last_number_ = 0;
  int64_t last_sweep_ = 0;
};

#endif  // CAPTURE_CONNECTION_TABLE_H_

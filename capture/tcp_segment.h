// The TCP segment inside an IPv4 or IPv6 packet.
#ifndef CAPTURE_TCP_SEGMENT_H_
#define CAPTURE_TCP_SEGMENT_H_

#include <cstddef>
#include <cstdint>

#include "capture/byte_span.h"
#include "capture/endpoint.h"

// TCP header flags.
constexpr uint8_t kTcpFin = 0x01;
constexpr uint8_t kTcpSyn = 0x02;
constexpr uint8_t kTcpRst = 0x04;
constexpr uint8_t kTcpPush = 0x08;
constexpr uint8_t kTcpAck = 0x10;

// A segment as one packet carries it; the payload points into the packet.
struct TcpSegment {
  Endpoint source;
  Endpoint destination;
  uint32_t sequence = 0;
  uint8_t flags = 0;
  const uint8_t* payload = nullptr;
  size_t payload_size = 0;
};

// What an IP packet holds.
enum class IpContent {
  kTcp,       // a TCP segment
  kFragment,  // a piece of a fragmented packet; fragments are not reassembled
  kOther,     // another protocol, or a packet too short or malformed to read
};

// Reads the TCP segment of `packet`. IPv4 options and the IPv6 extension
// headers that carry their length are skipped. The payload ends where the IP
// header says, or where the capture does when it holds less (a snapshot
// length) or the header gives no length (segmentation offload).
IpContent read_tcp_segment(ByteSpan packet, TcpSegment* segment);

#endif  // CAPTURE_TCP_SEGMENT_H_

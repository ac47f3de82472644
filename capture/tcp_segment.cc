// IPv4, IPv6 and TCP headers.
#include "capture/tcp_segment.h"

#include <cstring>

namespace {

constexpr uint8_t kProtocolTcp = 6;
constexpr uint8_t kIpv6Fragment = 44;

// The IPv6 extension headers that can be stepped over, and the length of
// each from its first bytes.
struct ExtensionHeader {
  uint8_t number;
  size_t (*length)(const uint8_t* header);
};

size_t length_in_8_byte_units(const uint8_t* header) { return (header[1] + 1u) * 8; }
size_t authentication_length(const uint8_t* header) { return (header[1] + 2u) * 4; }
size_t fragment_length(const uint8_t*) { return 8; }

const ExtensionHeader kExtensionHeaders[] = {
    {0, length_in_8_byte_units},    // hop-by-hop options
    {43, length_in_8_byte_units},   // routing
    {60, length_in_8_byte_units},   // destination options
    {135, length_in_8_byte_units},  // mobility
    {51, authentication_length},    // authentication header
    {kIpv6Fragment, fragment_length},
};

const ExtensionHeader* find_extension(uint8_t number) {
  for (const ExtensionHeader& header : kExtensionHeaders) {
    if (header.number == number) return &header;
  }
  return nullptr;
}

IpContent read_tcp(ByteSpan tcp, TcpSegment* segment) {
  if (tcp.size < 20) return IpContent::kOther;
  const size_t header_size = (tcp.data[12] >> 4) * 4u;
  if (header_size < 20 || header_size > tcp.size) return IpContent::kOther;
  segment->source.port = read_be16(tcp.data);
  segment->destination.port = read_be16(tcp.data + 2);
  segment->sequence = read_be32(tcp.data + 4);
  segment->flags = tcp.data[13];
  segment->payload = tcp.data + header_size;
  segment->payload_size = tcp.size - header_size;
  return IpContent::kTcp;
}

void set_address(Endpoint* endpoint, uint8_t family, const uint8_t* address, size_t size) {
  endpoint->family = family;
  std::memset(endpoint->address, 0, sizeof endpoint->address);
  std::memcpy(endpoint->address, address, size);
}

IpContent read_ipv4(ByteSpan packet, TcpSegment* segment) {
  if (packet.size < 20) return IpContent::kOther;
  const size_t header_size = (packet.data[0] & 0x0F) * 4u;
  const size_t total = read_be16(packet.data + 2);
  if (header_size < 20 || header_size > packet.size) return IpContent::kOther;
  if (total != 0 && total < header_size) return IpContent::kOther;
  // More-fragments flag or a fragment offset.
  if ((read_be16(packet.data + 6) & 0x3FFF) != 0) return IpContent::kFragment;
  if (packet.data[9] != kProtocolTcp) return IpContent::kOther;
  set_address(&segment->source, 4, packet.data + 12, 4);
  set_address(&segment->destination, 4, packet.data + 16, 4);
  const size_t end = total != 0 && total < packet.size ? total : packet.size;
  return read_tcp(ByteSpan{packet.data + header_size, end - header_size}, segment);
}

IpContent read_ipv6(ByteSpan packet, TcpSegment* segment) {
  if (packet.size < 40) return IpContent::kOther;
  const size_t payload = read_be16(packet.data + 4);
  const size_t end = payload != 0 && 40 + payload < packet.size ? 40 + payload : packet.size;
  uint8_t next = packet.data[6];
  size_t offset = 40;
  while (next != kProtocolTcp) {
    const ExtensionHeader* extension = find_extension(next);
    if (extension == nullptr || offset + 8 > end) return IpContent::kOther;
    const uint8_t* header = packet.data + offset;
    // A fragment other than an atomic one (offset 0, no more fragments).
    if (next == kIpv6Fragment && (read_be16(header + 2) & 0xFFF9) != 0) {
      return IpContent::kFragment;
    }
    next = header[0];
    offset += extension->length(header);
  }
  if (offset > end) return IpContent::kOther;
  set_address(&segment->source, 6, packet.data + 8, 16);
  set_address(&segment->destination, 6, packet.data + 24, 16);
  return read_tcp(ByteSpan{packet.data + offset, end - offset}, segment);
}

}  // namespace

IpContent read_tcp_segment(ByteSpan packet, TcpSegment* segment) {
  if (packet.size == 0) return IpContent::kOther;
  switch (packet.data[0] >> 4) {
    case 4:
      return read_ipv4(packet, segment);
    case 6:
      return read_ipv6(packet, segment);
    default:
      return IpContent::kOther;
  }
}

// Link-layer headers: Ethernet with its VLAN tags, Linux cooked captures,
// raw IP and BSD loopback.
#include "capture/link_layer.h"

#include <pcap/dlt.h>

namespace {

constexpr uint16_t kEtherTypeIpv4 = 0x0800;
constexpr uint16_t kEtherTypeIpv6 = 0x86DD;

// Tags that may come before the EtherType, each 4 bytes: 802.1Q, 802.1ad
// (QinQ) and the older QinQ type.
bool is_vlan_tag(uint16_t ether_type) {
  return ether_type == 0x8100 || ether_type == 0x88A8 || ether_type == 0x9100;
}

// The IP packet of a frame whose EtherType is `ether_type` and whose
// payload starts at `offset`; each VLAN tag there holds the next EtherType
// in its last two bytes.
ByteSpan ip_after_ether_type(ByteSpan frame, uint16_t ether_type, size_t offset) {
  while (is_vlan_tag(ether_type)) {
    if (offset + 4 > frame.size) return {};
    ether_type = read_be16(frame.data + offset + 2);
    offset += 4;
  }
  if (ether_type != kEtherTypeIpv4 && ether_type != kEtherTypeIpv6) return {};
  return span_after(frame, offset);
}

ByteSpan ethernet(ByteSpan frame) {
  if (frame.size < 14) return {};
  return ip_after_ether_type(frame, read_be16(frame.data + 12), 14);
}

// Linux cooked capture v1: 16 bytes, the protocol last.
ByteSpan linux_sll(ByteSpan frame) {
  if (frame.size < 16) return {};
  return ip_after_ether_type(frame, read_be16(frame.data + 14), 16);
}

// Linux cooked capture v2: 20 bytes, the protocol first.
ByteSpan linux_sll2(ByteSpan frame) {
  if (frame.size < 20) return {};
  return ip_after_ether_type(frame, read_be16(frame.data), 20);
}

// The IP version is in the packet's first byte.
ByteSpan raw_ip(ByteSpan frame) { return frame; }

// BSD loopback: a 4-byte address family in the byte order of the machine
// that captured (big-endian for DLT_LOOP). AF_INET is 2 everywhere; AF_INET6
// is 24, 28 or 30 depending on the BSD.
ByteSpan bsd_loopback(ByteSpan frame) {
  if (frame.size < 4) return {};
  uint32_t family = read_le32(frame.data);
  if (family > 0xFFFF) family = read_be32(frame.data);
  const bool ip = family == 2 || family == 24 || family == 28 || family == 30;
  return ip ? span_after(frame, 4) : ByteSpan{};
}

const LinkLayer kLinkLayers[] = {
    {DLT_EN10MB, "Ethernet", ethernet},
    {DLT_LINUX_SLL, "Linux cooked (SLL)", linux_sll},
    {DLT_LINUX_SLL2, "Linux cooked (SLL2)", linux_sll2},
    {DLT_RAW, "raw IP", raw_ip},
    {DLT_IPV4, "raw IPv4", raw_ip},
    {DLT_IPV6, "raw IPv6", raw_ip},
    {DLT_NULL, "BSD loopback", bsd_loopback},
    {DLT_LOOP, "OpenBSD loopback", bsd_loopback},
};

}  // namespace

const LinkLayer* find_link_layer(int link_type) {
  for (const LinkLayer& layer : kLinkLayers) {
    if (layer.link_type == link_type) return &layer;
  }
  return nullptr;
}

const char* supported_link_layers() {
  return "Ethernet (with VLAN tags), Linux cooked (SLL, SLL2), raw IP, BSD loopback";
}

// Writing captures. The pcapng form is one section with one interface and
// an enhanced packet block a frame, timestamps in microseconds.
#include "capture/capture_writer.h"

#include <pcap/pcap.h>

namespace {

constexpr uint32_t kSnapshotLength = 262144;

void put16(std::string* bytes, uint16_t value) {
  *bytes += static_cast<char>(value >> 8);
  *bytes += static_cast<char>(value);
}

void put32(std::string* bytes, uint32_t value) {
  put16(bytes, static_cast<uint16_t>(value >> 16));
  put16(bytes, static_cast<uint16_t>(value));
}

// Little-endian, for pcapng blocks and the BSD loopback family.
void put_le32(std::string* bytes, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) *bytes += static_cast<char>(value >> shift);
}

uint16_t internet_checksum(const std::string& bytes, size_t start, size_t size) {
  uint32_t sum = 0;
  for (size_t k = start; k + 1 < start + size; k += 2) {
    sum += static_cast<uint32_t>(static_cast<uint8_t>(bytes[k]) << 8 | static_cast<uint8_t>(bytes[k + 1]));
  }
  while (sum > 0xFFFF) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint16_t>(~sum);
}

void write_pcapng_block(std::FILE* file, uint32_t type, const std::string& body) {
  std::string block;
  const uint32_t padded = static_cast<uint32_t>((body.size() + 3) / 4 * 4);
  put_le32(&block, type);
  put_le32(&block, padded + 12);
  block += body;
  block.append(padded - body.size(), '\0');
  put_le32(&block, padded + 12);
  std::fwrite(block.data(), 1, block.size(), file);
}

}  // namespace

CaptureWriter::CaptureWriter(const std::string& path, int link_type, CaptureFormat format)
    : link_type_(link_type) {
  if (format == CaptureFormat::kPcap) {
    dead_ = pcap_open_dead(link_type, kSnapshotLength);
    if (dead_ != nullptr) dumper_ = pcap_dump_open(dead_, path.c_str());
    return;
  }
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) return;
  std::string section;
  put_le32(&section, 0x1A2B3C4D);  // byte-order magic
  put_le32(&section, 1);           // version 1.0
  put_le32(&section, 0xFFFFFFFF);  // section length unknown
  put_le32(&section, 0xFFFFFFFF);
  write_pcapng_block(file_, 0x0A0D0D0A, section);
  std::string interface;
  put_le32(&interface, static_cast<uint32_t>(link_type));  // link type, then 2 reserved bytes
  put_le32(&interface, kSnapshotLength);
  write_pcapng_block(file_, 1, interface);
}

CaptureWriter::~CaptureWriter() {
  if (dumper_ != nullptr) pcap_dump_close(dumper_);
  if (dead_ != nullptr) pcap_close(dead_);
  if (file_ != nullptr) std::fclose(file_);
}

void CaptureWriter::write(const OutgoingSegment& segment) {
  write_frame(segment.time, frame_of(segment));
}

void CaptureWriter::write_frame(int64_t time, std::string_view frame) {
  if (dumper_ != nullptr) {
    pcap_pkthdr header = {};
    header.ts.tv_sec = time / 1000000;
    header.ts.tv_usec = time % 1000000;
    header.caplen = header.len = static_cast<bpf_u_int32>(frame.size());
    pcap_dump(reinterpret_cast<u_char*>(dumper_), &header,
              reinterpret_cast<const u_char*>(frame.data()));
  } else if (file_ != nullptr) {
    std::string packet;
    put_le32(&packet, 0);  // interface
    put_le32(&packet, static_cast<uint32_t>(static_cast<uint64_t>(time) >> 32));
    put_le32(&packet, static_cast<uint32_t>(time));
    put_le32(&packet, static_cast<uint32_t>(frame.size()));
    put_le32(&packet, static_cast<uint32_t>(frame.size()));
    packet.append(frame.data(), frame.size());
    write_pcapng_block(file_, 6, packet);
  }
}

void CaptureWriter::append_link_header(uint8_t ip_version, std::string* frame) const {
  const uint16_t ether_type = ip_version == 4 ? 0x0800 : 0x86DD;
  static const char kMac[] = "\x02\x00\x00\x00\x00\x01\x02\x00\x00\x00\x00\x02";
  switch (link_type_) {
    case DLT_EN10MB:
      frame->append(kMac, 12);
      for (uint16_t tag : vlan_tags_) {
        put16(frame, tag);
        put16(frame, 100);  // VLAN id
      }
      put16(frame, ether_type);
      break;
    case DLT_LINUX_SLL:
      put16(frame, 0);  // sent to this host
      put16(frame, 1);  // ARPHRD_ETHER
      put16(frame, 6);
      frame->append(kMac, 6);
      frame->append(2, '\0');
      put16(frame, ether_type);
      break;
    case DLT_LINUX_SLL2:
      put16(frame, ether_type);
      put16(frame, 0);
      put32(frame, 2);  // interface index
      put16(frame, 1);  // ARPHRD_ETHER
      *frame += '\0';   // sent to this host
      *frame += '\6';
      frame->append(kMac, 6);
      frame->append(2, '\0');
      break;
    case DLT_NULL:
      put_le32(frame, ip_version == 4 ? 2 : 24);
      break;
    default:  // raw IP
      break;
  }
}

std::string CaptureWriter::frame_of(const OutgoingSegment& segment) const {
  std::string frame;
  const uint8_t version = segment.source.family;
  append_link_header(version, &frame);
  const size_t ip_start = frame.size();
  const size_t tcp_size = 20 + segment.payload.size();
  if (version == 4) {
    put16(&frame, 0x4500);
    put16(&frame, static_cast<uint16_t>(20 + tcp_size));
    put16(&frame, 0);       // identification
    put16(&frame, 0x4000);  // don't fragment
    put16(&frame, 0x4006);  // TTL 64, TCP
    put16(&frame, 0);       // checksum, below
    frame.append(reinterpret_cast<const char*>(segment.source.address), 4);
    frame.append(reinterpret_cast<const char*>(segment.destination.address), 4);
    const uint16_t checksum = internet_checksum(frame, ip_start, 20);
    frame[ip_start + 10] = static_cast<char>(checksum >> 8);
    frame[ip_start + 11] = static_cast<char>(checksum);
  } else {
    put32(&frame, 0x60000000);
    put16(&frame, static_cast<uint16_t>(tcp_size));
    put16(&frame, 0x0640);  // TCP, hop limit 64
    frame.append(reinterpret_cast<const char*>(segment.source.address), 16);
    frame.append(reinterpret_cast<const char*>(segment.destination.address), 16);
  }
  put16(&frame, segment.source.port);
  put16(&frame, segment.destination.port);
  put32(&frame, segment.sequence);
  put32(&frame, segment.acknowledgement);
  frame += static_cast<char>(0x50);  // 20-byte header
  frame += static_cast<char>(segment.flags);
  put16(&frame, 65535);  // window
  put32(&frame, 0);      // checksum (not checked by readers), urgent pointer
  frame.append(segment.payload.data(), segment.payload.size());
  return frame;
}

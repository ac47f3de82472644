// Captures of TCP traffic written for the tests and the benchmark: each
// segment framed for a chosen link layer, in a pcap file (through libpcap's
// dump API) or a pcapng file. Not part of iso8583dump.
#ifndef CAPTURE_CAPTURE_WRITER_H_
#define CAPTURE_CAPTURE_WRITER_H_

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "capture/endpoint.h"
#include "capture/tcp_segment.h"

struct pcap;
struct pcap_dumper;

enum class CaptureFormat { kPcap, kPcapng };

// A segment to write.
struct OutgoingSegment {
  int64_t time = 0;  // µs since 1970
  Endpoint source;
  Endpoint destination;
  uint32_t sequence = 0;
  uint32_t acknowledgement = 0;
  uint8_t flags = kTcpAck;
  std::string_view payload;
};

class CaptureWriter {
 public:
  // Creates `path` for frames of `link_type`: DLT_EN10MB, DLT_LINUX_SLL,
  // DLT_LINUX_SLL2, DLT_RAW or DLT_NULL.
  CaptureWriter(const std::string& path, int link_type, CaptureFormat format = CaptureFormat::kPcap);
  ~CaptureWriter();
  CaptureWriter(const CaptureWriter&) = delete;
  CaptureWriter& operator=(const CaptureWriter&) = delete;

  // Whether the file could be created.
  bool ok() const { return dumper_ != nullptr || file_ != nullptr; }

  // Ethernet only: the VLAN tag types (0x8100, 0x88A8) put before the
  // EtherType, the outermost first.
  void set_vlan_tags(std::vector<uint16_t> tags) { vlan_tags_ = std::move(tags); }

  // Writes the frame of `segment` (IPv4 or IPv6 after the endpoints' family).
  void write(const OutgoingSegment& segment);

  // Writes `frame` as it stands.
  void write_frame(int64_t time, std::string_view frame);

  // The frame of `segment`.
  std::string frame_of(const OutgoingSegment& segment) const;

 private:
  void append_link_header(uint8_t ip_version, std::string* frame) const;

  int link_type_;
  std::vector<uint16_t> vlan_tags_;
  pcap* dead_ = nullptr;
  pcap_dumper* dumper_ = nullptr;
  std::FILE* file_ = nullptr;  // pcapng
};

#endif  // CAPTURE_CAPTURE_WRITER_H_

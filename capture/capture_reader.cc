// Reading the capture file.
#include "capture/capture_reader.h"

#include <pcap/pcap.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "capture/tcp_segment.h"

namespace {

constexpr size_t kReadBufferSize = 1 << 20;

}  // namespace

std::unique_ptr<CaptureReader> CaptureReader::open(const std::string& path, int port,
                                                   StreamConsumerFactory* factory,
                                                   const ConnectionLimits& limits,
                                                   std::string* error) {
  std::FILE* file = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *error = path + ": " + std::strerror(errno);
    return nullptr;
  }
  // Large reads: the file is read once from start to end.
  std::setvbuf(file, nullptr, _IOFBF, kReadBufferSize);
  char pcap_error[PCAP_ERRBUF_SIZE] = {};
  pcap_t* handle = pcap_fopen_offline(file, pcap_error);
  if (handle == nullptr) {
    if (file != stdin) std::fclose(file);
    *error = path + ": " + pcap_error;
    return nullptr;
  }
  const int link_type = pcap_datalink(handle);
  const LinkLayer* link_layer = find_link_layer(link_type);
  if (link_layer == nullptr) {
    const char* name = pcap_datalink_val_to_name(link_type);
    *error = path + ": link type " + (name != nullptr ? name : std::to_string(link_type)) +
             " is not supported; supported: " + supported_link_layers();
    pcap_close(handle);
    return nullptr;
  }
  return std::unique_ptr<CaptureReader>(
      new CaptureReader(handle, link_layer, port, factory, limits));
}

CaptureReader::CaptureReader(pcap* handle, const LinkLayer* link_layer, int port,
                             StreamConsumerFactory* factory, const ConnectionLimits& limits)
    : handle_(handle), link_layer_(link_layer), port_(port), connections_(factory, limits) {}

CaptureReader::~CaptureReader() { pcap_close(handle_); }

int64_t CaptureReader::bytes_read() const { return std::ftell(pcap_file(handle_)); }

bool CaptureReader::read_packet() {
  if (ended_) return false;
  pcap_pkthdr* header;
  const u_char* data;
  const int status = pcap_next_ex(handle_, &header, &data);
  if (status != 1) {
    if (status == PCAP_ERROR) read_error_ = pcap_geterr(handle_);
    ended_ = true;
    connections_.close_all();
    return false;
  }
  TcpSegment segment;
  const ByteSpan ip = link_layer_->ip_packet(ByteSpan{data, header->caplen});
  switch (read_tcp_segment(ip, &segment)) {
    case IpContent::kTcp:
      break;
    case IpContent::kFragment:
      ++fragments_;
      return true;
    case IpContent::kOther:
      return true;
  }
  if (port_ != 0 && segment.source.port != port_ && segment.destination.port != port_) return true;
  const int64_t time = int64_t{header->ts.tv_sec} * 1000000 + header->ts.tv_usec;
  connections_.add(segment, time);
  return true;
}

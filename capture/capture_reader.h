// A pcap or pcapng file read through libpcap as TCP connections: each
// packet's link-layer, IP and TCP headers are read and its segment goes to
// the connection table, whose stream readers do the rest.
#ifndef CAPTURE_CAPTURE_READER_H_
#define CAPTURE_CAPTURE_READER_H_

#include <cstdint>
#include <memory>
#include <string>

#include "capture/connection_table.h"
#include "capture/link_layer.h"

struct pcap;

class CaptureReader {
 public:
  // Opens the capture at `path` ("-": standard input). `port`: only
  // segments with this port at either end are followed; 0 for all.
  // Returns nullptr after writing why into `error`: the file cannot be
  // read, or its link layer is not supported.
  static std::unique_ptr<CaptureReader> open(const std::string& path, int port,
                                             StreamConsumerFactory* factory,
                                             const ConnectionLimits& limits, std::string* error);
  ~CaptureReader();
  CaptureReader(const CaptureReader&) = delete;
  CaptureReader& operator=(const CaptureReader&) = delete;

  // Reads one packet and passes its segment on. At the end of the capture
  // it closes every connection and returns false.
  bool read_packet();

  // The bytes of the capture file read so far; -1 when that is not known
  // (standard input from a pipe).
  int64_t bytes_read() const;

  // Why reading ended early (a truncated or damaged file), or empty.
  const std::string& read_error() const { return read_error_; }
  // IP fragments seen: they are not reassembled.
  uint64_t fragments() const { return fragments_; }

 private:
  CaptureReader(pcap* handle, const LinkLayer* link_layer, int port,
                StreamConsumerFactory* factory, const ConnectionLimits& limits);

  pcap* handle_;
  const LinkLayer* link_layer_;
  int port_;
  ConnectionTable connections_;
  bool ended_ = false;
  std::string read_error_;
  uint64_t fragments_ = 0;
};

#endif  // CAPTURE_CAPTURE_READER_H_

// iso8583dump's packet-capture input (--pcap): the messages that the TCP
// connections of a pcap or pcapng file carry, cut from each direction's
// rebuilt byte stream. Builds without libpcap (Windows) refuse to open one.
#ifndef CLI_CAPTURE_SOURCE_H_
#define CLI_CAPTURE_SOURCE_H_

#include <cstddef>
#include <memory>
#include <string>

#include "capture/notes.h"
#include "cli/message_source.h"

struct CaptureOptions {
  std::string path;            // the capture file; "-" for standard input
  int port = 0;                // only connections with this port at either end; 0 for all
  std::string frame = "len2";  // how a stream is cut into messages: len2, len2le, ascii4, none
  size_t skip = 0;             // bytes after each length that it counts and that precede the message
};

// Opens the capture for reading. Each message's bytes (after its length,
// the skipped ones included) are kept up to `byte_limit`. Problems of the
// capture that do not end it are noted to `notes`, or on standard error
// when it is empty. Returns nullptr after writing why into `error`.
std::unique_ptr<MessageSource> open_capture_source(const CaptureOptions& options,
                                                   size_t byte_limit, std::string* error,
                                                   NoteSink notes = NoteSink());

#endif  // CLI_CAPTURE_SOURCE_H_

// The packet-capture input of builds without libpcap.
#include "cli/capture_source.h"

std::unique_ptr<MessageSource> open_capture_source(const CaptureOptions&, size_t,
                                                   std::string* error, NoteSink) {
  *error = "packet captures cannot be read by this build (it has no libpcap)";
  return nullptr;
}

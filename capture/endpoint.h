// One end of a TCP connection: an IPv4 or IPv6 address and a port, and
// the text that names it in headings and notes.
#ifndef CAPTURE_ENDPOINT_H_
#define CAPTURE_ENDPOINT_H_

#include <cstdint>
#include <cstring>
#include <string>

struct Endpoint {
  uint8_t family = 4;         // 4 or 6
  uint8_t address[16] = {};   // IPv4 uses the first 4 bytes; the rest stay zero
  uint16_t port = 0;

  bool operator==(const Endpoint& other) const {
    return family == other.family && port == other.port &&
           std::memcmp(address, other.address, sizeof address) == 0;
  }
};

// "10.0.0.1:40000", or "[2001:db8::1]:8583" for IPv6.
std::string endpoint_text(const Endpoint& endpoint);

#endif  // CAPTURE_ENDPOINT_H_

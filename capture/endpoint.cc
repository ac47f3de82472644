// Endpoint names.
#include "capture/endpoint.h"

#include <arpa/inet.h>

std::string endpoint_text(const Endpoint& endpoint) {
  char address[INET6_ADDRSTRLEN] = {};
  const bool v6 = endpoint.family == 6;
  inet_ntop(v6 ? AF_INET6 : AF_INET, endpoint.address, address, sizeof address);
  std::string text;
  if (v6) text += '[';
  text += address;
  if (v6) text += ']';
  text += ':';
  text += std::to_string(endpoint.port);
  return text;
}

// The link layers a capture may use, and where each puts the IP packet in
// a captured frame.
#ifndef CAPTURE_LINK_LAYER_H_
#define CAPTURE_LINK_LAYER_H_

#include "capture/byte_span.h"

// One supported link layer.
struct LinkLayer {
  int link_type;     // libpcap's DLT_ value
  const char* name;  // for messages: "Ethernet"
  // The IP packet inside a frame; empty when the frame carries none.
  ByteSpan (*ip_packet)(ByteSpan frame);
};

// The link layer of link type `link_type`, or nullptr when it is not supported.
const LinkLayer* find_link_layer(int link_type);

// The names of the supported link layers, for a message.
const char* supported_link_layers();

#endif  // CAPTURE_LINK_LAYER_H_

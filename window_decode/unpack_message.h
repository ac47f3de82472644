// The window's unpack and field 55 listing: the report of one message in
// two steps, the field report from the unpack and then the field 55
// lines, with the fields stored in field_values between them.
#ifndef WINDOW_DECODE_UNPACK_MESSAGE_H_
#define WINDOW_DECODE_UNPACK_MESSAGE_H_

#include <vector>

#include "decode/report.h"
#include "window_decode/window_limits.h"

// Unpacks the first `byte_count` bytes of `message` with the window
// decoder, stores the fields it finds in field_values and replaces the
// content of `report` with the field report: a heading with the message
// type indicator, one line per element and a closing verdict. Returns 0
// when every flagged element was read and the message was long enough,
// -1 when the report ends with a failure line.
int unpack_message(const MessageBytes& message, Report* report, int byte_count);

// When the latest unpack stored field 55, appends to `report` one line per
// BER-TLV element of the first `length` bytes of `data` between an opening
// and a closing banner; otherwise appends nothing. Bytes past `data` read
// as zero. Returns 0.
int decode_field55(const std::vector<unsigned char>& data, int length, Report* report);

// Appends the line of one element: its sequence number, tag, value length,
// value in hexadecimal and the tag's name from tag_names (empty when the
// tag is not there).
void append_tag_line(const unsigned char* tag_bytes, int tag_length, const unsigned char* value,
                     int value_length, int sequence, Report* report);

#endif  // WINDOW_DECODE_UNPACK_MESSAGE_H_

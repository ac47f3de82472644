// One decode request of the window: the text pasted into the input box
// goes in, the report for the output box (or an early ending) comes out.
#ifndef WINDOW_DECODE_DECODE_REQUEST_H_
#define WINDOW_DECODE_DECODE_REQUEST_H_

#include <string_view>

#include "decode/decoder.h"
#include "decode/report.h"

// Decodes `input_text`, cut to kInputTextLimit characters, with the window
// decoder: reads it as message text, unpacks the bytes and decodes field
// 55. The early endings come in this order: an odd count of characters
// other than blanks, too few bytes, a character that is not a hexadecimal
// digit. The report is written only when the outcome is kUnpacked or
// kUnpackFailed.
DecodeOutcome decode_request(std::string_view input_text, Report* report);

// Turns two hexadecimal digits into one byte. Other characters are not
// rejected: each gives the low four bits of its code less '0'.
unsigned char hex_pair_to_byte(const char* chars);

#endif  // WINDOW_DECODE_DECODE_REQUEST_H_

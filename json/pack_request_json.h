// Reading a message to pack from one line of JSON, as iso8583dump --json
// writes it: "header", "mti_hex" or "mti", "bitmap" for its bit 1, and
// "fields", each with "field", "hex" or "text", and "length" where the
// bytes alone cannot say it (an odd count of packed digits). Hexadecimal
// values may hold blanks (spaces, tabs, line breaks) between their digits.
// Other keys are ignored.
#ifndef JSON_PACK_REQUEST_JSON_H_
#define JSON_PACK_REQUEST_JSON_H_

#include <string>

#include "pack/message_packer.h"

// Reads the JSON object in `line` into `request`, parsing the text in place
// (`line` is changed). Returns false, after writing into `error` why, for
// malformed JSON, a record that holds no message (an "error" record, or a
// masked one), and a field without its number, or whose number is not a
// whole number, or with a bad "hex" or "text"; the reason names the field.
bool read_pack_request(std::string* line, PackRequest* request, std::string* error);

#endif  // JSON_PACK_REQUEST_JSON_H_

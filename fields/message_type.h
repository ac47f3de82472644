// The message type indicator in words: its version, class, function and
// origin digits.
#ifndef FIELDS_MESSAGE_TYPE_H_
#define FIELDS_MESSAGE_TYPE_H_

#include <string>

// Appends the meaning of the 4 ASCII digits at `digits` to `out`:
// "ISO 8583:1987, financial, request, from acquirer" for 0200.
bool describe_message_type(const unsigned char* digits, std::string* out);

#endif  // FIELDS_MESSAGE_TYPE_H_

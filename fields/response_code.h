// The response code (field 39) in words.
#ifndef FIELDS_RESPONSE_CODE_H_
#define FIELDS_RESPONSE_CODE_H_

#include <string>

// Appends the meaning of the 2 ASCII digits at `digits` to `out`:
// "approved or completed successfully" for 00. Returns false, appending
// nothing, for a code that ISO 8583:1987 does not define.
bool describe_response_code(const unsigned char* digits, std::string* out);

#endif  // FIELDS_RESPONSE_CODE_H_

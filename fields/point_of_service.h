// The point of service codes in words: the entry mode (field 22) and the
// condition code (field 25).
#ifndef FIELDS_POINT_OF_SERVICE_H_
#define FIELDS_POINT_OF_SERVICE_H_

#include <string>

// Appends the meaning of the 3 ASCII digits of an entry mode at `digits`
// to `out`: how the card number was entered (digits 1-2) and whether the
// terminal accepts PINs (digit 3). Returns false, appending nothing, when
// neither code is known.
bool describe_entry_mode(const unsigned char* digits, std::string* out);

// Appends the meaning of the 2 ASCII digits of a condition code at
// `digits` to `out`. Returns false, appending nothing, for an unknown code.
bool describe_condition_code(const unsigned char* digits, std::string* out);

#endif  // FIELDS_POINT_OF_SERVICE_H_

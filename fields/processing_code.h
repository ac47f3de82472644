// The processing code (field 3) in words: the transaction type and the
// accounts it takes from and gives to; the transaction types alone.
#ifndef FIELDS_PROCESSING_CODE_H_
#define FIELDS_PROCESSING_CODE_H_

#include <string>
#include <string_view>

// Appends the meaning of the 6 ASCII digits at `digits` to `out`: "goods
// and services, from default account, to default account" for 000000.
// Returns false, appending nothing, when none of the three codes is known.
bool describe_processing_code(const unsigned char* digits, std::string* out);

// The meaning of the transaction type `code`, the number of a processing
// code's first two digits (also the chip data's transaction type, 9C), or
// an empty text for a code without one.
std::string_view transaction_type_meaning(int code);

#endif  // FIELDS_PROCESSING_CODE_H_

// The processing code (field 3) in words: the transaction type and the
// accounts it takes from and gives to.
#ifndef FIELDS_PROCESSING_CODE_H_
#define FIELDS_PROCESSING_CODE_H_

#include <string>

// Appends the meaning of the 6 ASCII digits at `digits` to `out`: "goods
// and services, from default account, to default account" for 000000.
// Returns false, appending nothing, when none of the three codes is known.
bool describe_processing_code(const unsigned char* digits, std::string* out);

#endif  // FIELDS_PROCESSING_CODE_H_

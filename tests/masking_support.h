// What the masking tests and the masking fuzz target share: every output
// form of a decoded message, and the check that outputs keep no more of a
// card number than masking allows.
#ifndef TESTS_MASKING_SUPPORT_H_
#define TESTS_MASKING_SUPPORT_H_

#include <string>

#include "decode/decoded_message.h"

// Every output form of `message`, one after the other: the report in UTF-8
// and raw, the JSON, the explained JSON and the explanation.
std::string every_output(const DecodedMessage& message);

// Whether `outputs` hold more of the card number `pan` (13 digits or more)
// than its first 6 and last 4 digits: its head with a hidden digit, its
// tail with three, or its hidden middle, as digits or as the hexadecimal
// of ASCII digits. Seven digits and more do not turn up elsewhere by chance.
bool reveals_pan(const std::string& outputs, const std::string& pan);

#endif  // TESTS_MASKING_SUPPORT_H_

// Coded chip-data values in words: cryptogram information data, transaction
// type, terminal type, and currency and country codes. Each fills
// meaning->meaning and returns true, or returns false, appending nothing,
// when the value has the wrong length, is not BCD where digits are due, or
// holds a code the tables lack.
#ifndef EMV_CODE_MEANINGS_H_
#define EMV_CODE_MEANINGS_H_

#include "emv/emv_meaning.h"

// 9F27, 1 byte: the cryptogram type, whether advice is required, and the
// reason/advice code.
bool explain_cryptogram_information(const unsigned char* value, int length, EmvMeaning* meaning);

// 9C, 1 byte BCD: the first two digits of an ISO 8583:1987 processing code.
bool explain_transaction_type(const unsigned char* value, int length, EmvMeaning* meaning);

// 9F35, 1 byte BCD: the environment and who operates the terminal.
bool explain_terminal_type(const unsigned char* value, int length, EmvMeaning* meaning);

// 5F2A and 9F42, 2 bytes BCD: the currency's alphabetic code and name.
bool explain_currency_code(const unsigned char* value, int length, EmvMeaning* meaning);

// 9F1A and 5F28, 2 bytes BCD: the country's alpha-2 code and name.
bool explain_country_code(const unsigned char* value, int length, EmvMeaning* meaning);

#endif  // EMV_CODE_MEANINGS_H_

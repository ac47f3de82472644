// The currency and country tables that tools/gen_iso_codes.py writes when
// the program is built, each sorted by numeric code.
#ifndef ISO_CODES_ISO_CODE_TABLES_H_
#define ISO_CODES_ISO_CODE_TABLES_H_

#include "iso_codes/iso_codes.h"

// Every currency of ISO 4217, and how many there are.
extern const Currency kCurrencies[];
extern const int kCurrencyCount;

// Every country of ISO 3166-1, and how many there are.
extern const Country kCountries[];
extern const int kCountryCount;

#endif  // ISO_CODES_ISO_CODE_TABLES_H_

// Currency codes (fields 49, 50, 51) and country codes (fields 19, 20, 21)
// in words, from the ISO 4217 and ISO 3166-1 tables.
#ifndef FIELDS_CURRENCY_COUNTRY_H_
#define FIELDS_CURRENCY_COUNTRY_H_

#include <string>

// Appends the meaning of the 3 ASCII digits of a currency code at
// `digits` to `out`: "Yuan Renminbi (CNY)" for 156. Returns false,
// appending nothing, for an unknown code.
bool describe_currency(const unsigned char* digits, std::string* out);

// Appends the meaning of the 3 ASCII digits of a country code at `digits`
// to `out`: "China (CN)" for 156. Returns false, appending nothing, for an
// unknown code.
bool describe_country(const unsigned char* digits, std::string* out);

#endif  // FIELDS_CURRENCY_COUNTRY_H_

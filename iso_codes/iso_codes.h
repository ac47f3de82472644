// Currencies (ISO 4217) and countries (ISO 3166-1) by their numeric codes,
// from Debian's iso-codes data, turned into tables when the program is
// built.
#ifndef ISO_CODES_ISO_CODES_H_
#define ISO_CODES_ISO_CODES_H_

// One currency.
struct Currency {
  int numeric;         // the numeric code, 156 for "156"
  const char* alpha3;  // "CNY"
  const char* name;    // "Yuan Renminbi", UTF-8
  int minor_units;     // digits after the decimal point: 2 for CNY, 0 for JPY
                       // and for the funds and metals that have none
};

// One country.
struct Country {
  int numeric;         // the numeric code, 156 for "156"
  const char* alpha2;  // "CN"
  const char* alpha3;  // "CHN"
  const char* name;    // "China", UTF-8
};

// The currency with numeric code `numeric`, or nullptr.
const Currency* find_currency(int numeric);

// The country with numeric code `numeric`, or nullptr.
const Country* find_country(int numeric);

#endif  // ISO_CODES_ISO_CODES_H_

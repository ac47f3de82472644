// Currency and country codes, looked up by their numeric codes.
#include "fields/currency_country.h"

#include "fields/digits.h"
#include "iso_codes/iso_codes.h"

namespace {

// Appends "name (code)".
void append_named_code(const char* name, const char* code, std::string* out) {
  out->append(name).append(" (").append(code).push_back(')');
}

}  // namespace

bool describe_currency(const unsigned char* digits, std::string* out) {
  const Currency* currency = find_currency(digits_value(digits, 3));
  if (currency == nullptr) return false;
  append_named_code(currency->name, currency->alpha3, out);
  return true;
}

bool describe_country(const unsigned char* digits, std::string* out) {
  const Country* country = find_country(digits_value(digits, 3));
  if (country == nullptr) return false;
  append_named_code(country->name, country->alpha2, out);
  return true;
}

// Currencies and countries by numeric code: binary searches of the
// generated tables.
#include "iso_codes/iso_codes.h"

#include <algorithm>

#include "iso_codes/iso_code_tables.h"

namespace {

template <typename Entry>
const Entry* find_by_numeric(const Entry* entries, int count, int numeric) {
  const Entry* end = entries + count;
  const Entry* found = std::lower_bound(
      entries, end, numeric, [](const Entry& entry, int code) { return entry.numeric < code; });
  return found != end && found->numeric == numeric ? found : nullptr;
}

}  // namespace

const Currency* find_currency(int numeric) {
  return find_by_numeric(kCurrencies, kCurrencyCount, numeric);
}

const Country* find_country(int numeric) {
  return find_by_numeric(kCountries, kCountryCount, numeric);
}

// Amounts: the digits with the currency's decimal point put in.
#include "fields/amount.h"

#include "fields/digits.h"
#include "iso_codes/iso_codes.h"

namespace {

// Appends the digits at `digits` without their leading zeros, keeping at
// least `kept` digits, with a decimal point before the last `decimals`.
void append_decimal(const unsigned char* digits, int kept, int decimals, std::string* out) {
  int start = 0;
  while (start < kAmountDigits - kept && digits[start] == '0') ++start;
  const char* text = reinterpret_cast<const char*>(digits);
  const int point = kAmountDigits - decimals;
  out->append(text + start, static_cast<size_t>(point - start));
  if (decimals > 0) out->append(1, '.').append(text + point, static_cast<size_t>(decimals));
}

}  // namespace

void describe_amount(const unsigned char* digits, const unsigned char* currency_digits,
                     FieldMeaning* meaning) {
  const Currency* currency =
      currency_digits != nullptr ? find_currency(digits_value(currency_digits, 3)) : nullptr;
  if (currency == nullptr) {
    append_decimal(digits, 1, 0, &meaning->meaning);
    meaning->meaning.append(" minor units, currency ");
    if (currency_digits != nullptr) {
      meaning->meaning.append(reinterpret_cast<const char*>(currency_digits), 3).append(1, ' ');
    }
    meaning->meaning.append("unknown");
    return;
  }
  // The tables give no currency more than 4 minor units, so the point
  // falls within the digits.
  const int decimals = currency->minor_units;
  append_decimal(digits, decimals + 1, decimals, &meaning->amount);
  meaning->currency.append(currency->alpha3);
  meaning->meaning.append(meaning->amount).append(1, ' ').append(meaning->currency);
}

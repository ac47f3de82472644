// Amounts (fields 4, 5, 6) in words, with the currency that gives them
// their decimal point.
#ifndef FIELDS_AMOUNT_H_
#define FIELDS_AMOUNT_H_

#include "fields/field_meaning.h"

// The number of ASCII digits of an amount.
constexpr int kAmountDigits = 12;

// Fills `meaning`, which must be empty, with the amount of the
// kAmountDigits ASCII digits at `digits`, in the currency whose 3 ASCII
// digits are at `currency_digits`: meaning "128.50 CNY", amount "128.50"
// and currency "CNY" for 000000012850 in 156. Without a known currency
// the decimal point is unknown: the meaning is the count of minor units,
// "12850 minor units, currency unknown" when `currency_digits` is nullptr,
// "12850 minor units, currency 000 unknown" for a code not in ISO 4217,
// and amount and currency stay empty.
void describe_amount(const unsigned char* digits, const unsigned char* currency_digits,
                     FieldMeaning* meaning);

#endif  // FIELDS_AMOUNT_H_

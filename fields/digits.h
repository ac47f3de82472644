// Reading runs of ASCII digits, as the numeric data elements
// hold them.
#ifndef FIELDS_DIGITS_H_
#define FIELDS_DIGITS_H_

#include <string>

// Whether the `count` bytes at `text` are all ASCII digits.
inline bool all_digits(const unsigned char* text, int count) {
  for (int k = 0; k < count; ++k) {
    if (text[k] < '0' || text[k] > '9') return false;
  }
  return true;
}

// The value of the `count` ASCII digits at `digits` (at most 9 of them).
inline int digits_value(const unsigned char* digits, int count) {
  int value = 0;
  for (int k = 0; k < count; ++k) value = value * 10 + (digits[k] - '0');
  return value;
}

#endif  // FIELDS_DIGITS_H_

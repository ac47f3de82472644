// Dates and times: checked against the calendar and the clock, then
// written out.
#include "fields/date_time.h"

#include "fields/digits.h"

namespace {

// One month of the year.
struct Month {
  const char* name;
  int days;  // at most; a date carries no year, so February has 29
};

constexpr Month kMonths[12] = {
    {"January", 31},   {"February", 29}, {"March", 31},    {"April", 30},
    {"May", 31},       {"June", 30},     {"July", 31},     {"August", 31},
    {"September", 30}, {"October", 31},  {"November", 30}, {"December", 31},
};

// The month of the two digits MM at `digits`, or nullptr.
const Month* month_of(const unsigned char* digits) {
  const int number = digits_value(digits, 2);
  return number >= 1 && number <= 12 ? &kMonths[number - 1] : nullptr;
}

// Whether the 4 digits MMDD at `digits` are a date.
bool is_month_day(const unsigned char* digits) {
  const Month* month = month_of(digits);
  const int day = digits_value(digits + 2, 2);
  return month != nullptr && day >= 1 && day <= month->days;
}

// Whether the 6 digits hhmmss at `digits` are a time of day.
bool is_time(const unsigned char* digits) {
  return digits_value(digits, 2) <= 23 && digits_value(digits + 2, 2) <= 59 &&
         digits_value(digits + 4, 2) <= 59;
}

// Appends the checked date MMDD at `digits`: "7 December".
void append_month_day(const unsigned char* digits, std::string* out) {
  const int day = digits_value(digits + 2, 2);
  if (day >= 10) out->push_back(static_cast<char>('0' + day / 10));
  out->push_back(static_cast<char>('0' + day % 10));
  out->push_back(' ');
  out->append(month_of(digits)->name);
}

// Appends the checked time hhmmss at `digits`: "09:30:15".
void append_time(const unsigned char* digits, std::string* out) {
  for (int k = 0; k < 6; k += 2) {
    if (k > 0) out->push_back(':');
    out->append(reinterpret_cast<const char*>(digits + k), 2);
  }
}

}  // namespace

bool describe_transmission_time(const unsigned char* digits, std::string* out) {
  if (!is_month_day(digits) || !is_time(digits + 4)) return false;
  append_month_day(digits, out);
  out->append(", ");
  append_time(digits + 4, out);
  out->append(" UTC");
  return true;
}

bool describe_time(const unsigned char* digits, std::string* out) {
  if (!is_time(digits)) return false;
  append_time(digits, out);
  return true;
}

bool describe_month_day(const unsigned char* digits, std::string* out) {
  if (!is_month_day(digits)) return false;
  append_month_day(digits, out);
  return true;
}

bool describe_expiration_date(const unsigned char* digits, std::string* out) {
  const Month* month = month_of(digits + 2);
  if (month == nullptr) return false;
  out->append(month->name).append(" 20");
  out->append(reinterpret_cast<const char*>(digits), 2);
  return true;
}

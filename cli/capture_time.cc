// Capture times to text and back, by the proleptic Gregorian calendar
// (the day arithmetic of Howard Hinnant's date algorithms).
#include "cli/capture_time.h"

#include <cstdio>

namespace {

constexpr int64_t kMicrosPerSecond = 1000000;
constexpr int64_t kSecondsPerDay = 86400;
constexpr size_t kTextLength = sizeof "2026-12-07T09:30:15.123456Z" - 1;

struct CivilDate {
  int64_t year;
  int month;  // 1 to 12
  int day;    // 1 to 31
};

CivilDate civil_from_days(int64_t days) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t day_of_era = days - era * 146097;
  const int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int64_t month_index = (5 * day_of_year + 2) / 153;
  const int day = static_cast<int>(day_of_year - (153 * month_index + 2) / 5 + 1);
  const int month = static_cast<int>(month_index < 10 ? month_index + 3 : month_index - 9);
  return CivilDate{year_of_era + era * 400 + (month <= 2), month, day};
}

int64_t days_from_civil(const CivilDate& date) {
  const int64_t year = date.year - (date.month <= 2);
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t year_of_era = year - era * 400;
  const int64_t day_of_year = (153 * (date.month > 2 ? date.month - 3 : date.month + 9) + 2) / 5 + date.day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

// The number in the `count` digits at `text`, or -1.
int64_t read_digits(std::string_view text, size_t at, size_t count) {
  int64_t value = 0;
  for (size_t k = at; k < at + count; ++k) {
    if (text[k] < '0' || text[k] > '9') return -1;
    value = value * 10 + (text[k] - '0');
  }
  return value;
}

}  // namespace

void format_capture_time(int64_t micros, std::string* text) {
  int64_t seconds = micros / kMicrosPerSecond;
  int64_t fraction = micros % kMicrosPerSecond;
  if (fraction < 0) {
    fraction += kMicrosPerSecond;
    --seconds;
  }
  int64_t days = seconds / kSecondsPerDay;
  int64_t second_of_day = seconds % kSecondsPerDay;
  if (second_of_day < 0) {
    second_of_day += kSecondsPerDay;
    --days;
  }
  const CivilDate date = civil_from_days(days);
  char buffer[64];
  const int length = std::snprintf(
      buffer, sizeof buffer, "%04lld-%02d-%02dT%02d:%02d:%02d.%06dZ",
      static_cast<long long>(date.year), date.month, date.day,
      static_cast<int>(second_of_day / 3600), static_cast<int>(second_of_day / 60 % 60),
      static_cast<int>(second_of_day % 60), static_cast<int>(fraction));
  text->assign(buffer, static_cast<size_t>(length));
}

bool parse_capture_time(std::string_view text, int64_t* micros) {
  if (text.size() != kTextLength || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
      text[13] != ':' || text[16] != ':' || text[19] != '.' || text[26] != 'Z') {
    return false;
  }
  const int64_t fields[] = {read_digits(text, 0, 4),  read_digits(text, 5, 2),
                            read_digits(text, 8, 2),  read_digits(text, 11, 2),
                            read_digits(text, 14, 2), read_digits(text, 17, 2),
                            read_digits(text, 20, 6)};
  for (int64_t field : fields) {
    if (field < 0) return false;
  }
  const CivilDate date{fields[0], static_cast<int>(fields[1]), static_cast<int>(fields[2])};
  const int64_t seconds = days_from_civil(date) * kSecondsPerDay + fields[3] * 3600 +
                          fields[4] * 60 + fields[5];
  *micros = seconds * kMicrosPerSecond + fields[6];
  return true;
}

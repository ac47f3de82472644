// Dates and times of the data elements in words, with the month named so
// that day and month cannot be mistaken for each other. A value that is no
// date or time (month 13, minute 61) has no meaning.
#ifndef FIELDS_DATE_TIME_H_
#define FIELDS_DATE_TIME_H_

#include <string>

// Appends the meaning of 10 ASCII digits MMDDhhmmss (field 7, in UTC) at
// `digits` to `out`: "7 December, 09:30:15 UTC" for 1207093015.
bool describe_transmission_time(const unsigned char* digits, std::string* out);

// Appends the meaning of 6 ASCII digits hhmmss (field 12) at `digits` to
// `out`: "09:30:15".
bool describe_time(const unsigned char* digits, std::string* out);

// Appends the meaning of 4 ASCII digits MMDD (fields 13, 15, 16, 17) at
// `digits` to `out`: "7 December" for 1207. 29 February is a date.
bool describe_month_day(const unsigned char* digits, std::string* out);

// Appends the meaning of 4 ASCII digits YYMM (field 14, the expiration
// date) at `digits` to `out`: "December 2029" for 2912.
bool describe_expiration_date(const unsigned char* digits, std::string* out);

#endif  // FIELDS_DATE_TIME_H_

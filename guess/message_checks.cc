// The checks of a reading, each from a table of the ISO 8583 data
// elements it concerns.
#include "guess/message_checks.h"

#include <string>
#include <string_view>

#include "fields/date_time.h"
#include "fields/digits.h"

const char* const kCheckNames[kCheckCount] = {"mti", "digits", "dates", "field55", "luhn"};

namespace {

// The data elements that ISO 8583 (1987, and 1993 where it agrees) makes
// numeric: digits only, whatever their length.
constexpr int kNumericFields[] = {2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                                  17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 32, 33, 49, 50,
                                  51, 53, 67, 68, 69, 70, 71, 73, 74, 75, 76, 77, 78, 79, 80,
                                  81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 99, 100};

// The digits that each digit of a message type indicator may be: the
// version (1987, 1993, 2003, national, private), the class, the function
// and the origin that ISO 8583 defines.
constexpr std::string_view kTypeIndicatorDigits[4] = {"01289", "12345678", "01234567", "012345"};

// Appends the meaning of digits to `out`; false when they mean nothing.
using Describer = bool (*)(const unsigned char* digits, std::string* out);

// One date or time in a field's digits, from `offset`.
struct DatePart {
  int offset;
  Describer valid;
};

// How a date field is written, told by its number of digits.
struct DateFormat {
  int field;
  int digits;
  DatePart parts[2];  // the second one's `valid` is nullptr when there is one part
};

// The date and time fields, in the forms of ISO 8583:1987 and :1993.
constexpr DateFormat kDateFormats[] = {
    {7, 10, {{0, describe_transmission_time}, {0, nullptr}}},  // MMDDhhmmss
    {12, 6, {{0, describe_time}, {0, nullptr}}},               // hhmmss
    {12, 12, {{2, describe_month_day}, {6, describe_time}}},   // YYMMDDhhmmss
    {13, 4, {{0, describe_month_day}, {0, nullptr}}},          // MMDD
    {14, 4, {{0, describe_expiration_date}, {0, nullptr}}},    // YYMM
    {15, 4, {{0, describe_month_day}, {0, nullptr}}},          // MMDD
    {15, 6, {{2, describe_month_day}, {0, nullptr}}},          // YYMMDD
    {16, 4, {{0, describe_month_day}, {0, nullptr}}},          // MMDD
    {17, 4, {{0, describe_month_day}, {0, nullptr}}},          // MMDD
};

// The fields whose value holds a card number, ending where track data
// puts its separator.
constexpr int kCardNumberFields[] = {2, 35};

// The lengths a card number may have.
constexpr size_t kShortestCardNumber = 12;
constexpr size_t kLongestCardNumber = 19;

// The highest data element number.
constexpr int kLastField = 128;

// What is checked of each data element, by its number.
struct FieldChecks {
  bool numeric[kLastField + 1];
  bool date[kLastField + 1];
  bool card_number[kLastField + 1];
};

constexpr FieldChecks make_field_checks() {
  FieldChecks checks{};
  for (int number : kNumericFields) checks.numeric[number] = true;
  for (const DateFormat& format : kDateFormats) checks.date[format.field] = true;
  for (int number : kCardNumberFields) checks.card_number[number] = true;
  return checks;
}

constexpr FieldChecks kFieldChecks = make_field_checks();

// Whether `field` is text whose digits can be checked: not binary data,
// not an amount with its sign.
bool is_checkable_text(const DecodedField& field) {
  return field.format == nullptr ||
         (field.format->data != DataEncoding::kBinary && !is_amount(field.format->data));
}

bool is_digits(std::string_view text) {
  return all_digits(reinterpret_cast<const unsigned char*>(text.data()),
                    static_cast<int>(text.size()));
}

bool is_valid_type_indicator(std::string_view text) {
  if (text.size() != 4) return false;
  for (size_t k = 0; k < 4; ++k) {
    if (kTypeIndicatorDigits[k].find(text[k]) == std::string_view::npos) return false;
  }
  return true;
}

bool is_valid_date(int number, std::string_view text, std::string* scratch) {
  if (!is_digits(text)) return false;
  scratch->clear();
  const auto* digits = reinterpret_cast<const unsigned char*>(text.data());
  for (const DateFormat& format : kDateFormats) {
    if (format.field != number || static_cast<size_t>(format.digits) != text.size()) continue;
    for (const DatePart& part : format.parts) {
      if (part.valid != nullptr && !part.valid(digits + part.offset, scratch)) return false;
    }
    return true;
  }
  return false;
}

// The card number at the start of `text`: its digits up to the end or to
// a track separator ('=' or 'D'); false when there is none of a card
// number's length.
bool is_valid_card_number(std::string_view text) {
  const size_t end = text.find_first_of("=D");
  const std::string_view number = text.substr(0, end);
  return number.size() >= kShortestCardNumber && number.size() <= kLongestCardNumber &&
         is_digits(number) && passes_luhn(number);
}

// Whether the elements of field 55 run from its first byte to its last:
// each walked element starts where the one before it ends, so the walk
// ends cleanly when the last one ends with the field.
bool walks_cleanly(const DecodedField& field55, const std::vector<TlvElement>& elements) {
  if (elements.empty()) return field55.length == 0;
  const TlvElement& last = elements.back();
  return last.value_offset + last.value_length == field55.length;
}

void count(Check check, bool passed, CheckTally* tally) {
  const int kind = static_cast<int>(check);
  ++(passed ? tally->passed : tally->failed)[kind];
}

}  // namespace

long CheckTally::total_passed() const {
  long total = 0;
  for (long count : passed) total += count;
  return total;
}

long CheckTally::total_failed() const {
  long total = 0;
  for (long count : failed) total += count;
  return total;
}

void CheckTally::add(const CheckTally& other) {
  for (int kind = 0; kind < kCheckCount; ++kind) {
    passed[kind] += other.passed[kind];
    failed[kind] += other.failed[kind];
  }
}

bool passes_luhn(std::string_view digits) {
  int sum = 0;
  bool doubled = false;
  for (size_t k = digits.size(); k-- > 0;) {
    int digit = digits[k] - '0';
    if (doubled) digit = digit * 2 > 9 ? digit * 2 - 9 : digit * 2;
    sum += digit;
    doubled = !doubled;
  }
  return sum % 10 == 0;
}

void check_message(const DecodedMessage& message, CheckRoom* room, CheckTally* tally) {
  if (message.type_indicator.number != 0) {
    count(Check::kTypeIndicator,
          is_valid_type_indicator(shown_value(message.type_indicator, &room->shown)), tally);
  }
  for (const DecodedField& field : message.fields) {
    const int number = field.number;
    if (number == 55) {
      count(Check::kChipData, walks_cleanly(field, message.field55), tally);
      continue;
    }
    if (number > kLastField || !is_checkable_text(field)) continue;
    const std::string_view text = shown_value(field, &room->shown);
    if (kFieldChecks.card_number[number]) {
      count(Check::kLuhn, is_valid_card_number(text), tally);
    }
    if (kFieldChecks.date[number]) {
      count(Check::kDates, is_valid_date(number, text, &room->meaning), tally);
    } else if (kFieldChecks.numeric[number]) {
      count(Check::kDigits, is_digits(text), tally);
    }
  }
}

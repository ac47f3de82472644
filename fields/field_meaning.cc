// The meanings of data elements: which elements have one, how long they
// are, and which of the describers explains each.
#include "fields/field_meaning.h"

#include "fields/amount.h"
#include "fields/currency_country.h"
#include "fields/date_time.h"
#include "fields/digits.h"
#include "fields/message_type.h"
#include "fields/point_of_service.h"
#include "fields/processing_code.h"
#include "fields/response_code.h"

namespace {

// Appends the meaning of a value's digits to `out`; returns false,
// appending nothing, when it has none.
using Describer = bool (*)(const unsigned char* digits, std::string* out);

// One element that has a meaning.
struct ElementRow {
  int number;
  int length;          // its ASCII digits, as ISO 8583:1987 fixes them
  Describer describe;  // nullptr for an amount
  int currency_field;  // an amount's currency code; 0 for other elements
};

constexpr ElementRow kElements[] = {
    {3, 6, describe_processing_code, 0},
    {4, kAmountDigits, nullptr, 49},
    {5, kAmountDigits, nullptr, 50},
    {6, kAmountDigits, nullptr, 51},
    {7, 10, describe_transmission_time, 0},
    {12, 6, describe_time, 0},
    {13, 4, describe_month_day, 0},
    {14, 4, describe_expiration_date, 0},
    {15, 4, describe_month_day, 0},
    {16, 4, describe_month_day, 0},
    {17, 4, describe_month_day, 0},
    {19, 3, describe_country, 0},
    {20, 3, describe_country, 0},
    {21, 3, describe_country, 0},
    {22, 3, describe_entry_mode, 0},
    {25, 2, describe_condition_code, 0},
    {39, 2, describe_response_code, 0},
    {49, 3, describe_currency, 0},
    {50, 3, describe_currency, 0},
    {51, 3, describe_currency, 0},
};

// The highest data element number.
constexpr int kLastField = 128;

// kElements by field number: one more than the row's index, 0 for none.
struct ElementIndex {
  unsigned char row_of[kLastField + 1];
};

constexpr ElementIndex make_element_index() {
  ElementIndex index{};
  for (int k = 0; k < static_cast<int>(sizeof kElements / sizeof kElements[0]); ++k) {
    index.row_of[kElements[k].number] = static_cast<unsigned char>(k + 1);
  }
  return index;
}

constexpr ElementIndex kElementIndex = make_element_index();

// The row of field `number`, or nullptr.
const ElementRow* element_row(int number) {
  if (number < 0 || number > kLastField || kElementIndex.row_of[number] == 0) return nullptr;
  return &kElements[kElementIndex.row_of[number] - 1];
}

// The text of `field` when it is `length` digits, unmasked; otherwise
// nullptr. Packed and EBCDIC digits count as well as ASCII ones.
const unsigned char* digits_of(const DecodedField& field, int length) {
  if (field.hidden != nullptr || field.value_hidden != nullptr) return nullptr;
  const bool plain = is_plain(field);
  const unsigned char* text =
      plain ? field.data : reinterpret_cast<const unsigned char*>(field.value);
  const int text_length = plain ? field.length : field.value_length;
  if (text == nullptr || text_length != length || (plain && field.readable < length)) return nullptr;
  return all_digits(text, length) ? text : nullptr;
}

}  // namespace

void FieldMeaning::clear() {
  meaning.clear();
  amount.clear();
  currency.clear();
}

bool explain_type_indicator(const DecodedMessage& message, FieldMeaning* meaning) {
  meaning->clear();
  const unsigned char* digits = digits_of(message.type_indicator, 4);
  return digits != nullptr && describe_message_type(digits, &meaning->meaning);
}

bool explain_field(const DecodedMessage& message, const DecodedField& field,
                   FieldMeaning* meaning) {
  meaning->clear();
  const ElementRow* row = element_row(field.number);
  const unsigned char* digits = row != nullptr ? digits_of(field, row->length) : nullptr;
  if (digits == nullptr) return false;
  if (row->describe != nullptr) return row->describe(digits, &meaning->meaning);
  const DecodedField* currency = message.find(row->currency_field);
  describe_amount(digits, currency != nullptr ? digits_of(*currency, 3) : nullptr, meaning);
  return true;
}

// The meanings of the data elements whose values ISO 8583:1987 fixes, in
// words, read from the fields' texts in any dialect (ASCII, EBCDIC or
// packed digits): the message type indicator, the processing code, amounts
// with their currencies, dates and times, the point of service codes, the
// response code, and country and currency codes.
#ifndef FIELDS_FIELD_MEANING_H_
#define FIELDS_FIELD_MEANING_H_

#include <string>

#include "decode/decoded_message.h"

// What one element's value means. Reuse one across calls: its strings keep
// their storage.
struct FieldMeaning {
  std::string meaning;   // the value in words, English; empty when there is none
  std::string amount;    // amounts with a known currency only: "128.50"
  std::string currency;  // amounts with a known currency only: "CNY"

  // Empties the three strings.
  void clear();
};

// Fills `meaning` with the meaning of the message type indicator of
// `message`: "ISO 8583:1987, financial, request, from acquirer" for 0200.
// Returns false, leaving `meaning` empty, when it has none.
bool explain_type_indicator(const DecodedMessage& message, FieldMeaning* meaning);

// Fills `meaning` with the meaning of `field` of `message`. An amount
// (field 4, 5 or 6) takes its currency from field 49, 50 or 51 of
// `message`. Returns false, leaving `meaning` empty, when the field has
// none: a field whose text is not of its ISO 8583:1987 length or not all
// digits, a field with masked data, or a value that no
// table explains (a month 13, an unknown response code).
bool explain_field(const DecodedMessage& message, const DecodedField& field,
                   FieldMeaning* meaning);

#endif  // FIELDS_FIELD_MEANING_H_

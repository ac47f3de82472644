// The checks that tell a plausible reading of a message from a wrong one:
// a valid message type, digits in the fields that ISO 8583 makes numeric,
// valid dates, chip data that walks cleanly as BER-TLV, and card numbers
// that pass the Luhn check. A wrong dialect or framing unpacks some
// messages to the end all the same; its fields then fail these checks.
#ifndef GUESS_MESSAGE_CHECKS_H_
#define GUESS_MESSAGE_CHECKS_H_

#include <string>
#include <string_view>

#include "decode/decoded_message.h"

// The kinds of check.
enum class Check : unsigned char {
  kTypeIndicator,  // 4 digits that ISO 8583 gives a meaning
  kDigits,         // a numeric field holds digits only
  kDates,          // a date or time field holds a valid one
  kChipData,       // field 55 is BER-TLV elements up to its last byte
  kLuhn,           // the card number of field 2 or of track 2 passes the Luhn check
};
constexpr int kCheckCount = 5;

// The names of the checks in the outputs, indexed by Check: "mti",
// "digits", "dates", "field55", "luhn".
extern const char* const kCheckNames[kCheckCount];

// How many checks of each kind passed and failed.
struct CheckTally {
  long passed[kCheckCount] = {};
  long failed[kCheckCount] = {};

  long total_passed() const;
  long total_failed() const;
  // Adds the counts of `other`.
  void add(const CheckTally& other);
};

// The room the checks work in, kept from one message to the next.
struct CheckRoom {
  std::string shown;    // a value as shown
  std::string meaning;  // what a date means
};

// Checks the type indicator and the stored fields of `message`, and adds
// the results to `tally`. Each numeric field, date field and card number
// is one check; fields that are not text (binary data, amounts with a
// sign) are not checked for digits.
void check_message(const DecodedMessage& message, CheckRoom* room, CheckTally* tally);

// Whether the digits of `digits` (ASCII, 1 or more) end in the check digit
// that the Luhn formula asks for.
bool passes_luhn(std::string_view digits);

#endif  // GUESS_MESSAGE_CHECKS_H_

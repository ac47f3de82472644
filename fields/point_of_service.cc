// The point of service codes of ISO 8583:1987.
#include "fields/point_of_service.h"

#include "fields/code_table.h"

namespace {

// Entry mode digits 1-2: how the card number (PAN) was entered. 00-04 are
// ISO 8583:1987's; the others are the chip-era codes that the card schemes
// added and that every network now shares.
constexpr CodeMeaning kPanEntryModes[] = {
    {0, 0, "PAN entry mode unknown"},
    {1, 1, "PAN entered manually"},
    {2, 2, "PAN read from magnetic stripe"},
    {3, 3, "PAN read from bar code"},
    {4, 4, "PAN read by optical character reader"},
    {5, 5, "PAN read from integrated circuit card"},
    {7, 7, "PAN read from contactless chip"},
    {80, 80, "PAN read from magnetic stripe after the chip failed"},
    {90, 90, "PAN and full track read from magnetic stripe"},
    {91, 91, "PAN read from contactless magnetic stripe"},
};
static_assert(is_code_table(kPanEntryModes), "PAN entry modes out of order");

// Entry mode digit 3: whether the terminal accepts PINs.
constexpr CodeMeaning kPinEntryCapabilities[] = {
    {0, 0, "PIN entry capability unknown"},
    {1, 1, "terminal accepts PINs"},
    {2, 2, "terminal cannot accept PINs"},
};
static_assert(is_code_table(kPinEntryCapabilities), "PIN entry capabilities out of order");

constexpr CodePart kEntryModeParts[] = {
    {0, 2, code_table(kPanEntryModes), "", "PAN entry mode "},
    {2, 1, code_table(kPinEntryCapabilities), "", "PIN entry capability "},
};

// The condition under which the transaction took place.
constexpr CodeMeaning kConditionCodes[] = {
    {0, 0, "normal presentment"},
    {1, 1, "customer not present"},
    {2, 2, "unattended terminal able to retain card"},
    {3, 3, "merchant suspicious"},
    {4, 4, "electronic cash register interface"},
    {5, 5, "customer present, card not present"},
    {6, 6, "pre-authorized request"},
    {7, 7, "telephone device request"},
    {8, 8, "mail or telephone order"},
    {9, 9, "security alert"},
    {10, 10, "customer identity verified"},
    {11, 11, "suspected fraud"},
    {12, 12, "security reasons"},
    {13, 13, "representment of item"},
    {14, 14, "public utility terminal"},
    {15, 15, "customer terminal (home terminal)"},
    {16, 16, "administrative terminal"},
    {17, 17, "returned item"},
    {18, 18, "no cheque in envelope, returned"},
    {19, 19, "deposit out of balance, returned"},
    {20, 20, "payment out of balance, returned"},
    {21, 21, "manual reversal"},
    {22, 22, "terminal error, counted"},
    {23, 23, "terminal error, not counted"},
    {24, 24, "deposit out of balance, contents applied"},
    {25, 25, "payment out of balance, contents applied"},
    {26, 26, "withdrawal had error, reversed"},
    {27, 27, "unattended terminal unable to retain card"},
};
static_assert(is_code_table(kConditionCodes), "condition codes out of order");

}  // namespace

bool describe_entry_mode(const unsigned char* digits, std::string* out) {
  return describe_parts(digits, kEntryModeParts, out);
}

bool describe_condition_code(const unsigned char* digits, std::string* out) {
  return describe_code(code_table(kConditionCodes), digits, 2, out);
}

// The message type indicator's four digits, as ISO 8583 numbers them; the
// versions after 1987 give meanings to digits that 1987 reserves.
#include "fields/message_type.h"

#include "fields/code_table.h"

namespace {

// Digit 1: the version of ISO 8583.
constexpr CodeMeaning kVersions[] = {
    {0, 0, "ISO 8583:1987"},
    {1, 1, "ISO 8583:1993"},
    {2, 2, "ISO 8583:2003"},
    {3, 7, "version reserved for ISO use"},
    {8, 8, "version reserved for national use"},
    {9, 9, "version reserved for private use"},
};
static_assert(is_code_table(kVersions), "versions out of order");

// Digit 2: the message class.
constexpr CodeMeaning kClasses[] = {
    {0, 0, "class reserved for ISO use"},
    {1, 1, "authorization"},
    {2, 2, "financial"},
    {3, 3, "file action"},
    {4, 4, "reversal or chargeback"},
    {5, 5, "reconciliation"},
    {6, 6, "administrative"},
    {7, 7, "fee collection"},
    {8, 8, "network management"},
    {9, 9, "class reserved for ISO use"},
};
static_assert(is_code_table(kClasses), "classes out of order");

// Digit 3: the message function.
constexpr CodeMeaning kFunctions[] = {
    {0, 0, "request"},
    {1, 1, "request response"},
    {2, 2, "advice"},
    {3, 3, "advice response"},
    {4, 4, "notification"},
    {5, 5, "notification acknowledgement"},
    {6, 6, "instruction"},
    {7, 7, "instruction acknowledgement"},
    {8, 9, "function reserved for ISO use"},
};
static_assert(is_code_table(kFunctions), "functions out of order");

// Digit 4: where the message comes from.
constexpr CodeMeaning kOrigins[] = {
    {0, 0, "from acquirer"},
    {1, 1, "from acquirer, repeat"},
    {2, 2, "from issuer"},
    {3, 3, "from issuer, repeat"},
    {4, 4, "from other"},
    {5, 5, "from other, repeat"},
    {6, 9, "origin reserved for ISO use"},
};
static_assert(is_code_table(kOrigins), "origins out of order");

// Every digit has a meaning, so `unknown` is never written.
constexpr CodePart kParts[] = {
    {0, 1, code_table(kVersions), "", ""},
    {1, 1, code_table(kClasses), "", ""},
    {2, 1, code_table(kFunctions), "", ""},
    {3, 1, code_table(kOrigins), "", ""},
};

}  // namespace

bool describe_message_type(const unsigned char* digits, std::string* out) {
  return describe_parts(digits, kParts, out);
}

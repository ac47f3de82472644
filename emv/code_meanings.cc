// The code tables of cryptogram information data and terminal types, and
// the transaction type, currency and country look-ups.
#include "emv/code_meanings.h"

#include "fields/code_table.h"
#include "fields/processing_code.h"
#include "iso_codes/iso_codes.h"

namespace {

// Cryptogram information data, bits 8-7: the type of cryptogram returned.
// EMV 4.3 Book 3, section 6.5.5.4, table 14, as the next table.
// This table and the next have a row for every value of their bits.
constexpr CodeMeaning kCryptogramTypes[] = {
    {0x00, 0x00, "AAC (Application Authentication Cryptogram)"},
    {0x40, 0x40, "TC (Transaction Certificate)"},
    {0x80, 0x80, "ARQC (Authorisation Request Cryptogram)"},
    {0xC0, 0xC0, "RFU cryptogram type"},
};
static_assert(is_code_table(kCryptogramTypes), "cryptogram types out of order");

// Cryptogram information data, bits 3-1: the reason/advice code.
constexpr CodeMeaning kCryptogramReasons[] = {
    {0, 0, "no information given"},
    {1, 1, "service not allowed"},
    {2, 2, "PIN Try Limit exceeded"},
    {3, 3, "issuer authentication failed"},
    {4, 7, "RFU"},
};
static_assert(is_code_table(kCryptogramReasons), "cryptogram reasons out of order");

constexpr unsigned char kCryptogramTypeBits = 0xC0;
constexpr unsigned char kSchemeCryptogramBits = 0x30;
constexpr unsigned char kAdviceRequired = 0x08;
constexpr unsigned char kReasonBits = 0x07;

// Terminal type, second digit: the environment and the terminal's
// online capability. EMV 4.3 Book 4, Annex A1, as the next table.
constexpr CodeMeaning kTerminalEnvironments[] = {
    {1, 1, "Attended, online only"},
    {2, 2, "Attended, offline with online capability"},
    {3, 3, "Attended, offline only"},
    {4, 4, "Unattended, online only"},
    {5, 5, "Unattended, offline with online capability"},
    {6, 6, "Unattended, offline only"},
};
static_assert(is_code_table(kTerminalEnvironments), "terminal environments out of order");

// Terminal type, first digit: who provides the operational control.
constexpr CodeMeaning kTerminalOperators[] = {
    {1, 1, "operated by financial institution"},
    {2, 2, "operated by merchant"},
    {3, 3, "operated by cardholder"},
};
static_assert(is_code_table(kTerminalOperators), "terminal operators out of order");

// A cardholder operates only unattended terminals.
constexpr int kCardholderOperated = 3;
constexpr int kLastAttendedEnvironment = 3;

// The number the `length` bytes of BCD digits of `value` hold, or -1 when
// a digit is not 0-9.
int bcd_number(const unsigned char* value, int length) {
  int number = 0;
  for (int k = 0; k < length; ++k) {
    const int high = value[k] >> 4;
    const int low = value[k] & 0x0F;
    if (high > 9 || low > 9) return -1;
    number = number * 100 + high * 10 + low;
  }
  return number;
}

// Appends "<code> (<name>)".
void append_code_and_name(const char* code, const char* name, std::string* text) {
  text->append(code);
  text->append(" (");
  text->append(name);
  text->append(")");
}

}  // namespace

bool explain_cryptogram_information(const unsigned char* value, int length, EmvMeaning* meaning) {
  if (length != 1) return false;
  std::string& text = meaning->meaning;
  text.append(find_meaning(code_table(kCryptogramTypes), value[0] & kCryptogramTypeBits));
  if ((value[0] & kSchemeCryptogramBits) != 0) {
    text.append("; payment system-specific cryptogram bits ");
    text.push_back((value[0] & 0x20) != 0 ? '1' : '0');
    text.push_back((value[0] & 0x10) != 0 ? '1' : '0');
  }
  text.append((value[0] & kAdviceRequired) != 0 ? "; advice required" : "; no advice required");
  text.append("; reason: ");
  text.append(find_meaning(code_table(kCryptogramReasons), value[0] & kReasonBits));
  return true;
}

bool explain_transaction_type(const unsigned char* value, int length, EmvMeaning* meaning) {
  if (length != 1) return false;
  const std::string_view type = transaction_type_meaning(bcd_number(value, length));
  if (type.empty()) return false;
  meaning->meaning.append(type);
  return true;
}

bool explain_terminal_type(const unsigned char* value, int length, EmvMeaning* meaning) {
  if (length != 1) return false;
  const int number = bcd_number(value, length);
  if (number < 0) return false;
  const int operated_by = number / 10;
  const int environment = number % 10;
  const std::string_view environment_text =
      find_meaning(code_table(kTerminalEnvironments), environment);
  const std::string_view operator_text = find_meaning(code_table(kTerminalOperators), operated_by);
  if (environment_text.empty() || operator_text.empty()) return false;
  if (operated_by == kCardholderOperated && environment <= kLastAttendedEnvironment) return false;
  meaning->meaning.append(environment_text);
  meaning->meaning.append(", ");
  meaning->meaning.append(operator_text);
  return true;
}

bool explain_currency_code(const unsigned char* value, int length, EmvMeaning* meaning) {
  if (length != 2) return false;
  const int number = bcd_number(value, length);
  const Currency* currency = number < 0 ? nullptr : find_currency(number);
  if (currency == nullptr) return false;
  append_code_and_name(currency->alpha3, currency->name, &meaning->meaning);
  return true;
}

bool explain_country_code(const unsigned char* value, int length, EmvMeaning* meaning) {
  if (length != 2) return false;
  const int number = bcd_number(value, length);
  const Country* country = number < 0 ? nullptr : find_country(number);
  if (country == nullptr) return false;
  append_code_and_name(country->alpha2, country->name, &meaning->meaning);
  return true;
}

// The CV rule tables (method codes, condition codes, results) and the
// explanations of CVM results and CVM lists built from them.
#include "emv/cvm.h"

#include <cstdio>

#include "fields/code_table.h"

namespace {

// CVM codes, bits 6-1 of a CV rule's first byte; every code has a row.
// EMV 4.3 Book 3, Annex C3.
constexpr CodeMeaning kCvmMethods[] = {
    {0x00, 0x00, "Fail CVM processing"},
    {0x01, 0x01, "Plaintext PIN verification performed by ICC"},
    {0x02, 0x02, "Enciphered PIN verified online"},
    {0x03, 0x03, "Plaintext PIN verification performed by ICC and signature (paper)"},
    {0x04, 0x04, "Enciphered PIN verification performed by ICC"},
    {0x05, 0x05, "Enciphered PIN verification performed by ICC and signature (paper)"},
    {0x06, 0x1D, "RFU"},
    {0x1E, 0x1E, "Signature (paper)"},
    {0x1F, 0x1F, "No CVM required"},
    {0x20, 0x20, "Cardholder ID presentation (PBOC)"},
    {0x21, 0x2F, "Reserved for use by the individual payment systems"},
    {0x30, 0x3E, "Reserved for use by the issuer"},
    {0x3F, 0x3F, "Not available for use"},
};
static_assert(is_code_table(kCvmMethods), "CVM methods out of order");

// CVM condition codes, a CV rule's second byte; every code has a row,
// written to follow the method in one line. EMV 4.3 Book 3, Annex C3.
constexpr CodeMeaning kCvmConditions[] = {
    {0x00, 0x00, "always"},
    {0x01, 0x01, "if unattended cash"},
    {0x02, 0x02, "if not unattended cash and not manual cash and not purchase with cashback"},
    {0x03, 0x03, "if terminal supports the CVM"},
    {0x04, 0x04, "if manual cash"},
    {0x05, 0x05, "if purchase with cashback"},
    {0x06, 0x06, "if transaction is in the application currency and is under X value"},
    {0x07, 0x07, "if transaction is in the application currency and is over X value"},
    {0x08, 0x08, "if transaction is in the application currency and is under Y value"},
    {0x09, 0x09, "if transaction is in the application currency and is over Y value"},
    {0x0A, 0x7F, "RFU condition"},
    {0x80, 0xFF, "condition reserved for use by individual payment systems"},
};
static_assert(is_code_table(kCvmConditions), "CVM conditions out of order");

// CVM results, byte 3. EMV 4.3 Book 4, Annex A4.
constexpr CodeMeaning kCvmResults[] = {
    {0x00, 0x00, "unknown"},
    {0x01, 0x01, "failed"},
    {0x02, 0x02, "successful"},
};
static_assert(is_code_table(kCvmResults), "CVM results out of order");

// Bit 7 of a CV rule's first byte: what a failed CVM leads to.
constexpr unsigned char kApplySucceedingRule = 0x40;
constexpr unsigned char kMethodBits = 0x3F;

// CVM results' first byte when the terminal performed no CVM.
constexpr unsigned char kNoCvmPerformed = 0x3F;

constexpr int kAmountLength = 4;
constexpr int kRuleLength = 2;
constexpr int kMaxCvmListLength = 252;

// Appends the words of the CV rule (method code, condition code).
void append_rule(unsigned char method, unsigned char condition, std::string* text) {
  text->append(find_meaning(code_table(kCvmMethods), method & kMethodBits));
  text->append(", ");
  text->append(find_meaning(code_table(kCvmConditions), condition));
  text->append((method & kApplySucceedingRule) != 0
                   ? "; apply succeeding CV Rule if this CVM is unsuccessful"
                   : "; fail cardholder verification if this CVM is unsuccessful");
}

unsigned long amount_at(const unsigned char* bytes) {
  unsigned long amount = 0;
  for (int k = 0; k < kAmountLength; ++k) amount = amount << 8 | bytes[k];
  return amount;
}

}  // namespace

bool explain_cvm_results(const unsigned char* value, int length, EmvMeaning* meaning) {
  if (length != 3) return false;
  const std::string_view result = find_meaning(code_table(kCvmResults), value[2]);
  if (result.empty()) return false;
  if ((value[0] & kMethodBits) == kNoCvmPerformed) {
    meaning->meaning.append("No CVM performed");
  } else {
    append_rule(value[0], value[1], &meaning->meaning);
  }
  meaning->meaning.append("; result: ");
  meaning->meaning.append(result);
  return true;
}

bool explain_cvm_list(const unsigned char* value, int length, EmvMeaning* meaning) {
  if (length < 2 * kAmountLength || length > kMaxCvmListLength ||
      (length - 2 * kAmountLength) % kRuleLength != 0) {
    return false;
  }
  char amounts[64];
  std::snprintf(amounts, sizeof amounts, "Amount X %lu, amount Y %lu", amount_at(value),
                amount_at(value + kAmountLength));
  meaning->meaning.append(amounts);
  for (int at = 2 * kAmountLength; at < length; at += kRuleLength) {
    char code[8];
    std::snprintf(code, sizeof code, "%02X%02X: ", value[at], value[at + 1]);
    meaning->details.emplace_back(code);
    append_rule(value[at], value[at + 1], &meaning->details.back());
  }
  return true;
}

// The processing code's codes, as ISO 8583:1987 gives them.
#include "fields/processing_code.h"

#include "fields/code_table.h"

namespace {

// Digits 1-2: the transaction type; 00-19 debit the cardholder, 20-29
// credit, 30-39 are inquiries, 40-49 transfers.
constexpr CodeMeaning kTransactionTypes[] = {
    {0, 0, "goods and services"},
    {1, 1, "cash"},
    {2, 2, "debit adjustment"},
    {3, 3, "cheque guarantee (funds guaranteed)"},
    {4, 4, "cheque verification (funds available but not guaranteed)"},
    {5, 5, "Eurocheque"},
    {6, 6, "traveller cheque"},
    {7, 7, "letter of credit"},
    {8, 8, "giro (postal banking)"},
    {9, 9, "goods and services with cash disbursement"},
    {20, 20, "returns"},
    {21, 21, "deposits"},
    {22, 22, "credit adjustment"},
    {23, 23, "cheque deposit guarantee"},
    {24, 24, "cheque deposit"},
    {30, 30, "available funds inquiry"},
    {31, 31, "balance inquiry"},
    {40, 40, "cardholder accounts transfer"},
};
static_assert(is_code_table(kTransactionTypes), "transaction types out of order");

// Digits 3-4 and 5-6: the account types.
constexpr CodeMeaning kAccountTypes[] = {
    {0, 0, "default account"},
    {10, 10, "savings account"},
    {20, 20, "cheque account"},
    {30, 30, "credit facility"},
    {40, 40, "universal account"},
    {50, 50, "investment account"},
};
static_assert(is_code_table(kAccountTypes), "account types out of order");

constexpr CodePart kParts[] = {
    {0, 2, code_table(kTransactionTypes), "", "transaction type "},
    {2, 2, code_table(kAccountTypes), "from ", "account type "},
    {4, 2, code_table(kAccountTypes), "to ", "account type "},
};

}  // namespace

bool describe_processing_code(const unsigned char* digits, std::string* out) {
  return describe_parts(digits, kParts, out);
}

std::string_view transaction_type_meaning(int code) {
  return find_meaning(code_table(kTransactionTypes), code);
}

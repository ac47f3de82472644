// The bit tables of the bit-level chip-data objects, in EMV's words, and
// the walk over a value's set bits.
#include "emv/bit_meanings.h"

namespace {

// Terminal verification results: what the terminal found while it
// processed the card. EMV 4.3 Book 3, Annex C5.
constexpr BitMeaning kTvrBits[] = {
    {1, 8, "Offline data authentication was not performed"},
    {1, 7, "SDA failed"},
    {1, 6, "ICC data missing"},
    {1, 5, "Card appears on terminal exception file"},
    {1, 4, "DDA failed"},
    {1, 3, "CDA failed"},
    {1, 2, "SDA selected"},
    {2, 8, "ICC and terminal have different application versions"},
    {2, 7, "Expired application"},
    {2, 6, "Application not yet effective"},
    {2, 5, "Requested service not allowed for card product"},
    {2, 4, "New card"},
    {3, 8, "Cardholder verification was not successful"},
    {3, 7, "Unrecognised CVM"},
    {3, 6, "PIN Try Limit exceeded"},
    {3, 5, "PIN entry required and PIN pad not present or not working"},
    {3, 4, "PIN entry required, PIN pad present, but PIN was not entered"},
    {3, 3, "Online PIN entered"},
    {4, 8, "Transaction exceeds floor limit"},
    {4, 7, "Lower consecutive offline limit exceeded"},
    {4, 6, "Upper consecutive offline limit exceeded"},
    {4, 5, "Transaction selected randomly for online processing"},
    {4, 4, "Merchant forced transaction online"},
    {5, 8, "Default TDOL used"},
    {5, 7, "Issuer authentication failed"},
    {5, 6, "Script processing failed before final GENERATE AC"},
    {5, 5, "Script processing failed after final GENERATE AC"},
};

// Transaction status information: the functions the terminal performed.
// EMV 4.3 Book 3, Annex C6.
constexpr BitMeaning kTsiBits[] = {
    {1, 8, "Offline data authentication was performed"},
    {1, 7, "Cardholder verification was performed"},
    {1, 6, "Card risk management was performed"},
    {1, 5, "Issuer authentication was performed"},
    {1, 4, "Terminal risk management was performed"},
    {1, 3, "Script processing was performed"},
};

// Application interchange profile: the functions the card supports.
// EMV 4.3 Book 3, Annex C1.
constexpr BitMeaning kAipBits[] = {
    {1, 7, "SDA supported"},
    {1, 6, "DDA supported"},
    {1, 5, "Cardholder verification is supported"},
    {1, 4, "Terminal risk management is to be performed"},
    {1, 3, "Issuer authentication is supported"},
    {1, 2, "Reserved for use by the EMV Contactless Specifications"},
    {1, 1, "CDA supported"},
    {2, 8, "Reserved for use by the EMV Contactless Specifications"},
};

// Terminal capabilities: card data input, CVM and security capabilities.
// EMV 4.3 Book 4, Annex A2.
// Byte 2 bit 1 is the PBOC's addition for its cardholder ID CVM.
constexpr BitMeaning kTerminalCapabilityBits[] = {
    {1, 8, "Manual key entry"},
    {1, 7, "Magnetic stripe"},
    {1, 6, "IC with contacts"},
    {2, 8, "Plaintext PIN for ICC verification"},
    {2, 7, "Enciphered PIN for online verification"},
    {2, 6, "Signature (paper)"},
    {2, 5, "Enciphered PIN for offline verification"},
    {2, 4, "No CVM required"},
    {2, 1, "Cardholder ID presentation (PBOC)"},
    {3, 8, "SDA"},
    {3, 7, "DDA"},
    {3, 6, "Card capture"},
    {3, 4, "CDA"},
};

// Additional terminal capabilities: transaction types, data input and
// output, and the code tables the terminal supports. EMV 4.3 Book 4,
// Annex A3.
constexpr BitMeaning kAdditionalTerminalCapabilityBits[] = {
    {1, 8, "Cash"},
    {1, 7, "Goods"},
    {1, 6, "Services"},
    {1, 5, "Cashback"},
    {1, 4, "Inquiry"},
    {1, 3, "Transfer"},
    {1, 2, "Payment"},
    {1, 1, "Administrative"},
    {2, 8, "Cash deposit"},
    {3, 8, "Numeric keys"},
    {3, 7, "Alphabetic and special characters keys"},
    {3, 6, "Command keys"},
    {3, 5, "Function keys"},
    {4, 8, "Print, attendant"},
    {4, 7, "Print, cardholder"},
    {4, 6, "Display, attendant"},
    {4, 5, "Display, cardholder"},
    {4, 2, "Code table 10"},
    {4, 1, "Code table 9"},
    {5, 8, "Code table 8"},
    {5, 7, "Code table 7"},
    {5, 6, "Code table 6"},
    {5, 5, "Code table 5"},
    {5, 4, "Code table 4"},
    {5, 3, "Code table 3"},
    {5, 2, "Code table 2"},
    {5, 1, "Code table 1"},
};

template <int kRows>
constexpr BitTable table_of(int length, const BitMeaning (&rows)[kRows]) {
  return BitTable{length, rows, kRows};
}

// Whether `row` comes before bit (byte, bit) in EMV's order.
bool precedes(const BitMeaning& row, int byte, int bit) {
  return row.byte < byte || (row.byte == byte && row.bit > bit);
}

}  // namespace

const BitTable kTerminalVerificationResults = table_of(5, kTvrBits);
const BitTable kTransactionStatusInformation = table_of(2, kTsiBits);
const BitTable kApplicationInterchangeProfile = table_of(2, kAipBits);
const BitTable kTerminalCapabilities = table_of(3, kTerminalCapabilityBits);
const BitTable kAdditionalTerminalCapabilities = table_of(5, kAdditionalTerminalCapabilityBits);

bool list_set_bits(const BitTable& table, const unsigned char* value, int length,
                   std::vector<BitMeaning>* bits) {
  if (length != table.length) return false;
  int row = 0;  // both the rows and the walk go in EMV's order
  for (int byte = 1; byte <= length; ++byte) {
    if (value[byte - 1] == 0) continue;
    for (int bit = 8; bit >= 1; --bit) {
      if ((value[byte - 1] & (1 << (bit - 1))) == 0) continue;
      while (row < table.row_count && precedes(table.rows[row], byte, bit)) ++row;
      const bool named =
          row < table.row_count && table.rows[row].byte == byte && table.rows[row].bit == bit;
      bits->push_back(named ? table.rows[row] : BitMeaning(byte, bit, "RFU"));
    }
  }
  return true;
}

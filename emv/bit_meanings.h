// The bit-level chip-data objects: terminal verification results (95),
// transaction status information (9B), application interchange profile
// (82), terminal capabilities (9F33) and additional terminal capabilities
// (9F40), one table each, and which of their bits a value sets.
#ifndef EMV_BIT_MEANINGS_H_
#define EMV_BIT_MEANINGS_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One bit of a data object, numbered as EMV numbers them: byte 1 first,
// bit 8 the most significant bit of its byte.
struct BitMeaning {
  constexpr BitMeaning(int byte_number, int bit_number, const char* words)
      : byte(byte_number),
        bit(bit_number),
        meaning(words),
        meaning_length(std::char_traits<char>::length(words)) {}

  // The meaning with its length, for outputs that copy it.
  std::string_view words() const { return std::string_view(meaning, meaning_length); }

  int byte;             // 1 to the object's length
  int bit;              // 8 to 1
  const char* meaning;  // what the bit means when it is set; "RFU" for a reserved bit
  size_t meaning_length;
};

// The named bits of one data object, ordered byte 1 bit 8 first; the bits
// it leaves out are reserved for future use.
struct BitTable {
  int length;  // the object's length in bytes
  const BitMeaning* rows;
  int row_count;
};

extern const BitTable kTerminalVerificationResults;     // 95, 5 bytes
extern const BitTable kTransactionStatusInformation;    // 9B, 2 bytes
extern const BitTable kApplicationInterchangeProfile;   // 82, 2 bytes
extern const BitTable kTerminalCapabilities;            // 9F33, 3 bytes
extern const BitTable kAdditionalTerminalCapabilities;  // 9F40, 5 bytes

// Appends to `bits` every bit set in the `length` bytes of `value`, in
// order, with its meaning from `table` ("RFU" for a reserved bit). Returns
// false, appending nothing, when `length` is not the table's length.
bool list_set_bits(const BitTable& table, const unsigned char* value, int length,
                   std::vector<BitMeaning>* bits);

#endif  // EMV_BIT_MEANINGS_H_

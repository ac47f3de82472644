// What the value of a chip-data (EMV) element means: the bits set in a
// bit-level object, a coded value in words, and a CVM list rule by rule.
#ifndef EMV_EMV_MEANING_H_
#define EMV_EMV_MEANING_H_

#include <string>
#include <vector>

#include "emv/bit_meanings.h"

// The meaning of one element's value. Reuse one across elements: clear()
// keeps the storage, so explaining costs no allocation once it has grown.
struct EmvMeaning {
  // Bit-level objects (95, 9B, 82, 9F33, 9F40): the bits set, in order.
  std::vector<BitMeaning> bits;
  // Coded values: the value in words on one line (UTF-8); empty when none.
  // For a CVM list (8E), its amounts X and Y.
  std::string meaning;
  // Further lines: for a CVM list, one line per CV rule.
  std::vector<std::string> details;

  void clear();
};

// Explains `value`, `length` bytes (at most kMaxTagValueLength, 300), of the
// element with the tag of `tag_length` bytes (tag[1] is 0 for one byte).
// Objects with meanings: 95, 9B, 82, 9F33, 9F40 (bits); 9F34 CVM results,
// 8E CVM list, 9F27 cryptogram information data, 9C transaction type,
// 9F35 terminal type, 5F2A and 9F42 currency codes, 9F1A and 5F28 country
// codes. Returns false, leaving `meaning` empty, when the tag has no
// meaning tables or the value does not fit them (wrong length, digits
// that are not BCD, codes the tables lack). Only the `length` bytes are
// read.
bool explain_emv_value(const unsigned char tag[2], int tag_length, const unsigned char* value,
                       int length, EmvMeaning* meaning);

#endif  // EMV_EMV_MEANING_H_

// The chip-data dictionary: the English and Chinese names of common EMV
// data objects (EMV, the card schemes' and the PBOC/UnionPay tags), looked
// up by their tag bytes.
#ifndef EMV_TAG_DICTIONARY_H_
#define EMV_TAG_DICTIONARY_H_

#include <cstddef>
#include <string>
#include <string_view>

// One data object of the dictionary.
struct EmvTag {
  constexpr EmvTag(int tag_code, const char* english, const char* chinese)
      : code(tag_code),
        name(english),
        chinese_name(chinese),
        name_length(std::char_traits<char>::length(english)),
        chinese_name_length(std::char_traits<char>::length(chinese)) {}

  // The names with their lengths, for outputs that copy them.
  std::string_view english() const { return std::string_view(name, name_length); }
  std::string_view chinese() const { return std::string_view(chinese_name, chinese_name_length); }

  int code;                  // the tag bytes as one number: 0x9F26, or 0x95 for a one-byte tag
  const char* name;          // the English name, as EMV names it
  const char* chinese_name;  // the Chinese name, UTF-8
  size_t name_length;
  size_t chinese_name_length;
};

// The dictionary, sorted by code, and its number of rows.
extern const EmvTag emv_tags[];
extern const int emv_tag_count;

// The code of a tag of `tag_length` bytes, or 0 when the bytes are not a
// one-byte tag or the first two bytes of a longer one as BER-TLV frames
// them (a first byte ending in bits 11111 announces more bytes). tag[1] is
// not read for one byte.
int emv_tag_code(const unsigned char tag[2], int tag_length);

// The dictionary row of the tag, or nullptr when the dictionary has none;
// found through an index made when compiling.
const EmvTag* find_emv_tag(const unsigned char tag[2], int tag_length);

#endif  // EMV_TAG_DICTIONARY_H_

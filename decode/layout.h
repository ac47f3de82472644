// Composite fields: how the data of a field, or of a part of one, is cut
// into named parts (sub-fields), as a definition file describes it. Five
// kinds of layout cover the private and structured data elements of real
// dialects: parts in fixed positions, tagged parts, a bitmap of its own,
// BER-TLV as in field 55, and parts between separators.
#ifndef DECODE_LAYOUT_H_
#define DECODE_LAYOUT_H_

#include <string>
#include <vector>

#include "decode/field_format.h"
#include "decode/limits.h"

// How a layout cuts its data.
enum class LayoutKind : unsigned char {
  kPositional,  // parts of fixed length one after the other, a group of them maybe repeated
  kTagged,      // tag, length, value, in any order, after an optional prefix
  kBitmap,      // a bitmap of its own, then the parts it flags
  kTlv,         // BER-TLV elements, as field 55 holds them
  kDelimited,   // parts ended by a separator, then parts of fixed length
};

// How a tag, or a tag's length, is written in a tagged layout.
enum class CodingKind : unsigned char { kBinary, kAscii, kEbcdic, kBcd };
struct Coding {
  CodingKind kind = CodingKind::kAscii;
  int count = 0;  // characters or digits; bytes for binary
};

// The bytes that `coding` takes.
inline int coding_bytes(const Coding& coding) {
  return coding.kind == CodingKind::kBcd ? (coding.count + 1) / 2 : coding.count;
}

// A part's length that says it takes the rest of the data.
constexpr int kRestOfData = -1;

// One part (sub-field) as a definition line gives it.
struct PartDef {
  std::string key;  // as written after its parent's id: "1", "26", "9F26", "prefix"
  int number = 0;   // numbered layouts (positional, bitmap, delimited): its number
  int length = 0;   // fixed length, or the largest, in its unit; or kRestOfData
  int length_digits = 0;  // bitmap layouts: digits (or bytes) of its length indicator
  FieldFormat format;
  std::string name;  // the comment of its line
  int layout = -1;   // its own layout in Dialect::layouts, or -1
  int line = 0;      // its line in the definition file
};

// The key of the prefix of a tagged layout.
constexpr char kPrefixKey[] = "prefix";

// One layout.
struct Layout {
  LayoutKind kind = LayoutKind::kPositional;
  // Numbered layouts: by number; tagged and BER-TLV: as the file lists them.
  std::vector<PartDef> parts;
  std::string id;  // of what it cuts: "60", "127.25"
  int line = 0;    // the line that declares it
  int depth = 1;   // 1 for a field's layout, 2 for a layout of a field's part, ...
  // Whether it cuts the digits of packed data (lengths count digits of its
  // text) rather than bytes.
  bool in_digits = false;
  // How parts that the file does not name are shown: as what it cuts.
  FieldFormat parts_format;
  // The length of what it cuts when that is fixed, in digits or bytes; -1
  // when it varies.
  int fixed_length = -1;
  // Positional: the number of the first part of a group that repeats
  // until the data ends; 0 when none does.
  int repeat_from = 0;
  // Tagged: how tags and their lengths are written, and the bytes before
  // the first tag.
  Coding tag;
  Coding tag_length;
  int prefix = 0;
  // Bitmap: how the bitmap is written, its bytes of bits, and whether bit
  // 1 flags a second bitmap of as many bytes.
  BitmapEncoding map = BitmapEncoding::kBinary;
  int map_bytes = 8;
  bool map_secondary = false;
  // BER-TLV: values shown as text where printable, rather than hexadecimal.
  bool text_values = false;
  // Delimited: the separator, and how many of the first parts end with it
  // (the rest are of fixed length); -1 for all of them.
  unsigned char separator = 0;
  int delimited = -1;

  // The part with number `number`, or nullptr.
  const PartDef* numbered(int number) const;
  // The part with key `key`, or nullptr.
  const PartDef* keyed(const std::string& key) const;
};

#endif  // DECODE_LAYOUT_H_

// How a dialect encodes a message: the bytes in front of the message type
// indicator, the bitmap, and for every field its length indicator, what
// that length counts and how its data is written. The default of every
// choice is the plain form: ASCII length digits, data as it stands, and a
// 16-byte binary bitmap.
#ifndef DECODE_FIELD_FORMAT_H_
#define DECODE_FIELD_FORMAT_H_

// How a length indicator is written.
enum class LengthEncoding : unsigned char {
  kAscii,   // decimal digits as ASCII characters, read as atoi reads them
  kEbcdic,  // decimal digits as EBCDIC characters F0 to F9
  kBcd,     // packed decimal digits: 1 byte up to 2 digits, 2 bytes up to 4
  kBinary,  // an unsigned big-endian number of 1 or 2 bytes
};

// How a field's data is written.
enum class DataEncoding : unsigned char {
  kRaw,           // the bytes as they stand, shown as they are
  kBcd,           // packed decimal digits, two to a byte
  kTrack,         // packed track data: digits and D for the separator
  kEbcdic,        // EBCDIC characters
  kBinary,        // bytes shown as hexadecimal
  kAmount,        // ASCII sign C or D, then ASCII digits
  kAmountEbcdic,  // EBCDIC sign C or D, then EBCDIC digits
  kAmountBcd,     // ASCII sign C or D, then packed digits
};

// What a field's length counts.
enum class LengthUnit : unsigned char {
  kBytes,   // bytes of data
  kDigits,  // packed digits (nibbles), the pad nibble aside
};

// Which card data a field holds, for masking.
enum class CardData : unsigned char {
  kNone,    // nothing to hide
  kPan,     // a card number or track data: first 6 and last 4 digits shown
  kSecret,  // hidden whole, like PIN data
};

// How one field is encoded.
struct FieldFormat {
  LengthEncoding length = LengthEncoding::kAscii;
  DataEncoding data = DataEncoding::kRaw;
  LengthUnit unit = LengthUnit::kBytes;
  bool left_aligned = false;  // packed digits: the pad nibble comes last
  unsigned char pad = 0;      // packed digits: the pad nibble written
  CardData card_data = CardData::kNone;
};

// Whether `data` packs digits two to a byte.
inline bool is_packed(DataEncoding data) {
  return data == DataEncoding::kBcd || data == DataEncoding::kTrack ||
         data == DataEncoding::kAmountBcd;
}

// Whether `data` leads with a sign character.
inline bool is_amount(DataEncoding data) {
  return data == DataEncoding::kAmount || data == DataEncoding::kAmountEbcdic ||
         data == DataEncoding::kAmountBcd;
}

// How the bitmap is written.
enum class BitmapEncoding : unsigned char {
  kBinary,     // 8 bytes for 64 fields
  kHex,        // 16 hexadecimal ASCII characters for 64 fields
  kHexEbcdic,  // 16 hexadecimal EBCDIC characters for 64 fields
};

// The EBCDIC code page of a dialect's EBCDIC texts.
enum class EbcdicCodePage : unsigned char { k037, k1047 };

// How a whole message is laid out, besides its fields.
struct MessageFormat {
  int header_length = 0;  // bytes before the message type indicator
  BitmapEncoding bitmap = BitmapEncoding::kBinary;
  // Whether the secondary bitmap is there only when bit 1 says so; when
  // false, both bitmaps are always read.
  bool secondary_when_flagged = false;
  EbcdicCodePage code_page = EbcdicCodePage::k037;
};

// Whether `format` is the plain form, whose data is shown as it stands and
// counted in bytes.
inline bool is_plain(const FieldFormat& format) { return format.data == DataEncoding::kRaw; }

// The bytes that `length` units of data take in the message.
inline int data_bytes(const FieldFormat& format, int length) {
  if (format.unit == LengthUnit::kBytes) return length;
  const int packed = (length + 1) / 2;
  return format.data == DataEncoding::kAmountBcd ? 1 + packed : packed;
}

// The bytes a length indicator of `digits` takes (its digit count for
// text, or its byte count for binary).
inline int indicator_bytes(LengthEncoding encoding, int digits) {
  return encoding == LengthEncoding::kBcd ? (digits + 1) / 2 : digits;
}

// The bytes of one bitmap of 64 fields.
inline int bitmap_bytes(BitmapEncoding encoding) {
  return encoding == BitmapEncoding::kBinary ? 8 : 16;
}

#endif  // DECODE_FIELD_FORMAT_H_

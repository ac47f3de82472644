// A field's encodings both ways: its length indicator, and its data as the
// text that outputs show (digits for packed numbers, characters for EBCDIC
// text, hexadecimal for binary data), read from the message and written
// back into it.
#ifndef DECODE_FIELD_CODEC_H_
#define DECODE_FIELD_CODEC_H_

#include <string>
#include <string_view>

#include "decode/field_format.h"

// How reading a length indicator went.
enum class IndicatorRead {
  kRead,       // the length is read (an ASCII one may be negative)
  kNotDigits,  // an EBCDIC or packed digit of it is not a digit
};

// Reads the length indicator of `digits` digits (or binary bytes) in
// `encoding` from the indicator_bytes(encoding, digits) bytes at `bytes`
// (EBCDIC digits are the same in every code page). ASCII digits are read
// as atoi reads them: leading white space, a sign, digits up to the first
// other byte or the indicator's end.
IndicatorRead read_length_indicator(LengthEncoding encoding, int digits, const unsigned char* bytes,
                                    int* length);

// The largest length that an indicator of `digits` digits (or bytes) in
// `encoding` can say.
int largest_indicated_length(LengthEncoding encoding, int digits);

// Appends the indicator of `length` in `encoding`, `digits` digits (or
// bytes) wide, to `message`. `length` must fit.
void append_length_indicator(LengthEncoding encoding, int digits, int length,
                             std::string* message);

// The most characters the text of a field of `max_length` units can have.
inline int value_capacity(const FieldFormat& format, int max_length) {
  const int bytes = data_bytes(format, max_length);
  return is_packed(format.data) || format.data == DataEncoding::kBinary ? 2 * bytes : bytes;
}

// The characters of the text of `length` units of data, as decode_value
// writes it.
int text_length(const FieldFormat& format, int length);

// Writes the text of `length` units of data held in `data` (data_bytes of
// them) into `text`, which has room for value_capacity characters; returns
// how many it wrote. A nibble that is not a digit shows as its hexadecimal
// digit, an EBCDIC character outside ASCII as '?'.
int decode_value(const FieldFormat& format, EbcdicCodePage code_page, int length,
                 const unsigned char* data, char* text);

// Where the character at `position` of a field's text lies in its data:
// the byte, and the nibbles of it (0xF0, 0x0F or 0xFF for the whole byte).
struct CharacterPlace {
  int byte;
  unsigned char nibbles;
};
CharacterPlace character_place(const FieldFormat& format, int length, int position);

// Encodes `text` as the data of a field: the bytes into `data`, and its
// length in the field's unit into `length`. Returns false, after writing
// into `error` why, when `text` holds a character the encoding cannot
// hold: packed digits hold only decimal digits (and a track's separator,
// = or D).
bool encode_value(const FieldFormat& format, EbcdicCodePage code_page, std::string_view text,
                  std::string* data, int* length, std::string* error);

// Packs `text`, the nibbles of packed data written as hexadecimal digits
// (the digits of packed digits, a pad or a track's D among them), as
// `format` aligns and pads them, into `data`, and its length into
// `length`. Returns false, after writing why into `error`, for a
// character that is no hexadecimal digit.
bool encode_nibbles(const FieldFormat& format, std::string_view text, std::string* data, int* length,
                    std::string* error);

// The length in the field's unit of `byte_count` bytes of data, when
// nothing else says it: every nibble counted for packed digits.
int length_of_bytes(const FieldFormat& format, int byte_count);

#endif  // DECODE_FIELD_CODEC_H_

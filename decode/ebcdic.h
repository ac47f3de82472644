// EBCDIC characters, for dialects whose texts and digits are EBCDIC: code
// page 037 (US and Canada), and code page 1047 (Latin-1 open systems),
// which moves six of its characters. Both hold exactly the Latin-1
// characters, one for every byte.
#ifndef DECODE_EBCDIC_H_
#define DECODE_EBCDIC_H_

#include "decode/field_format.h"

// The Latin-1 character of the EBCDIC byte `byte`.
unsigned char ebcdic_to_latin1(EbcdicCodePage code_page, unsigned char byte);

// The EBCDIC byte of the Latin-1 character `ch`.
unsigned char latin1_to_ebcdic(EbcdicCodePage code_page, unsigned char ch);

// The character of the EBCDIC byte `byte` as texts in code page 936 show
// it: its ASCII character, or '?' for a character outside ASCII.
inline char ebcdic_to_ascii(EbcdicCodePage code_page, unsigned char byte) {
  const unsigned char ch = ebcdic_to_latin1(code_page, byte);
  return ch < 0x80 ? static_cast<char>(ch) : '?';
}

#endif  // DECODE_EBCDIC_H_

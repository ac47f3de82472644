// The EBCDIC tables, both ways.
#include "decode/ebcdic.h"

namespace {

#include "decode/ebcdic_table.inc"

// Where code page 1047 differs from 037: the byte and its character.
struct Difference {
  unsigned char byte;
  unsigned char latin1;
};
constexpr Difference kCodePage1047Differences[] = {
    {0x5F, 0x5E},  // ^
    {0xAD, 0x5B},  // [
    {0xB0, 0xAC},  // not sign
    {0xBA, 0xDD},  // Y acute
    {0xBB, 0xA8},  // diaeresis
    {0xBD, 0x5D},  // ]
};

struct Tables {
  unsigned char to_latin1[2][256];
  unsigned char from_latin1[2][256];
  constexpr Tables() : to_latin1(), from_latin1() {
    for (int byte = 0; byte < 256; ++byte) {
      to_latin1[0][byte] = kCodePage037[byte];
      to_latin1[1][byte] = kCodePage037[byte];
    }
    for (const Difference& difference : kCodePage1047Differences) {
      to_latin1[1][difference.byte] = difference.latin1;
    }
    for (int page = 0; page < 2; ++page) {
      for (int byte = 0; byte < 256; ++byte) {
        from_latin1[page][to_latin1[page][byte]] = static_cast<unsigned char>(byte);
      }
    }
  }
};
constexpr Tables kTables;

int page_index(EbcdicCodePage code_page) { return code_page == EbcdicCodePage::k1047 ? 1 : 0; }

}  // namespace

unsigned char ebcdic_to_latin1(EbcdicCodePage code_page, unsigned char byte) {
  return kTables.to_latin1[page_index(code_page)][byte];
}

unsigned char latin1_to_ebcdic(EbcdicCodePage code_page, unsigned char ch) {
  return kTables.from_latin1[page_index(code_page)][ch];
}

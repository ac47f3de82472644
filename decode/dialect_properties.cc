// The property tables.
#include "decode/dialect_properties.h"

#include "decode/field_format.h"

const PropertyName kPropertyNames[] = {
    {"len", Setting::kLength, kFieldLine | kMessageLine, "ascii, ebcdic, bcd or binary"},
    {"data", Setting::kData, kFieldLine | kMessageLine,
     "raw, bcd, track, ebcdic, binary, amount, amount-ebcdic or amount-bcd"},
    {"unit", Setting::kUnit, kFieldLine, "bytes or digits"},
    {"align", Setting::kAlign, kFieldLine, "right or left"},
    {"pad", Setting::kPad, kFieldLine, "0 or f"},
    {"mask", Setting::kMask, kFieldLine, "none, card or secret"},
    {"header", Setting::kHeader, kMessageLine, "a byte count, 0 to 1999"},
    {"bitmap", Setting::kBitmap, kMessageLine, "binary, hex or ebcdic-hex"},
    {"secondary", Setting::kSecondary, kMessageLine, "always or flagged"},
    {"ebcdic", Setting::kEbcdic, kMessageLine, "037 or 1047"},
};
const int kPropertyNameCount = sizeof kPropertyNames / sizeof kPropertyNames[0];

const PropertyValue kPropertyValues[] = {
    {Setting::kLength, "ascii", static_cast<int>(LengthEncoding::kAscii)},
    {Setting::kLength, "ebcdic", static_cast<int>(LengthEncoding::kEbcdic)},
    {Setting::kLength, "bcd", static_cast<int>(LengthEncoding::kBcd)},
    {Setting::kLength, "binary", static_cast<int>(LengthEncoding::kBinary)},
    {Setting::kData, "raw", static_cast<int>(DataEncoding::kRaw)},
    {Setting::kData, "bcd", static_cast<int>(DataEncoding::kBcd)},
    {Setting::kData, "track", static_cast<int>(DataEncoding::kTrack)},
    {Setting::kData, "ebcdic", static_cast<int>(DataEncoding::kEbcdic)},
    {Setting::kData, "binary", static_cast<int>(DataEncoding::kBinary)},
    {Setting::kData, "amount", static_cast<int>(DataEncoding::kAmount)},
    {Setting::kData, "amount-ebcdic", static_cast<int>(DataEncoding::kAmountEbcdic)},
    {Setting::kData, "amount-bcd", static_cast<int>(DataEncoding::kAmountBcd)},
    {Setting::kUnit, "bytes", static_cast<int>(LengthUnit::kBytes)},
    {Setting::kUnit, "digits", static_cast<int>(LengthUnit::kDigits)},
    {Setting::kAlign, "right", 0},
    {Setting::kAlign, "left", 1},
    {Setting::kPad, "0", 0x0},
    {Setting::kPad, "f", 0xF},
    {Setting::kMask, "none", static_cast<int>(CardData::kNone)},
    {Setting::kMask, "card", static_cast<int>(CardData::kPan)},
    {Setting::kMask, "secret", static_cast<int>(CardData::kSecret)},
    {Setting::kBitmap, "binary", static_cast<int>(BitmapEncoding::kBinary)},
    {Setting::kBitmap, "hex", static_cast<int>(BitmapEncoding::kHex)},
    {Setting::kBitmap, "ebcdic-hex", static_cast<int>(BitmapEncoding::kHexEbcdic)},
    {Setting::kSecondary, "always", 0},
    {Setting::kSecondary, "flagged", 1},
    {Setting::kEbcdic, "037", static_cast<int>(EbcdicCodePage::k037)},
    {Setting::kEbcdic, "1047", static_cast<int>(EbcdicCodePage::k1047)},
};
const int kPropertyValueCount = sizeof kPropertyValues / sizeof kPropertyValues[0];

const char* setting_name(Setting setting) {
  for (int k = 0; k < kPropertyNameCount; ++k) {
    if (kPropertyNames[k].setting == setting) return kPropertyNames[k].name;
  }
  return "";
}

const char* value_word(Setting setting, int code) {
  for (int k = 0; k < kPropertyValueCount; ++k) {
    if (kPropertyValues[k].setting == setting && kPropertyValues[k].code == code) {
      return kPropertyValues[k].value;
    }
  }
  return nullptr;
}

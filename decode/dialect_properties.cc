// The property tables.
#include "decode/dialect_properties.h"

#include "decode/field_format.h"
#include "decode/hex_text.h"
#include "decode/layout.h"

namespace {

std::string lower_case(std::string_view text) {
  std::string lower(text);
  for (char& ch : lower) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  return lower;
}

// Reads `value` as a property of `kind`; returns false when it is none.
bool read_value(const PropertyName& property, std::string_view word, const std::string& value,
                int* code) {
  switch (property.kind) {
    case ValueKind::kWord:
      for (int row = 0; row < kPropertyValueCount; ++row) {
        const PropertyValue& known = kPropertyValues[row];
        if (known.setting == property.setting && value == known.value) {
          *code = known.code;
          return true;
        }
      }
      return false;
    case ValueKind::kNumber: {
      if (value.empty() || value.size() > 4 || value.find_first_not_of("0123456789") != std::string::npos) {
        return false;
      }
      *code = std::stoi(value);
      return *code >= property.min && *code <= property.max;
    }
    case ValueKind::kCharacter: {
      // As written: a separator may be an upper-case letter.
      const std::string_view written = word.substr(word.find('=') + 1);
      if (written.size() == 1) {
        *code = static_cast<unsigned char>(written[0]);
        return true;
      }
      if (written.size() == 4 && written[0] == '0' && (written[1] == 'x' || written[1] == 'X') &&
          hex_digit_value(written[2]) >= 0 && hex_digit_value(written[3]) >= 0) {
        *code = hex_digit_value(written[2]) * 16 + hex_digit_value(written[3]);
        return true;
      }
      return false;
    }
  }
  return false;
}

// Where a property that may not stand on a line of `scope` belongs.
const char* misplaced(Scope scope, unsigned scopes) {
  if ((scopes & kMessageLine) != 0 && (scopes & (kFieldLine | kPartLine)) == 0) {
    return ": describes the whole message; give it a line of its own";
  }
  if (scope == kMessageLine) return ": describes one field; give it on that field's line";
  return ": describes a field, not a part";
}

constexpr unsigned kEncodingLines = kFieldLine | kPartLine;
constexpr unsigned kLayoutLines = kFieldLine | kPartLine;

constexpr int kBinary = static_cast<int>(CodingKind::kBinary);
constexpr int kAscii = static_cast<int>(CodingKind::kAscii);
constexpr int kEbcdic = static_cast<int>(CodingKind::kEbcdic);
constexpr int kBcd = static_cast<int>(CodingKind::kBcd);

}  // namespace

const PropertyName kPropertyNames[] = {
    {"len", Setting::kLength, kEncodingLines | kMessageLine, ValueKind::kWord, 0, 0,
     "ascii, ebcdic, bcd or binary"},
    {"data", Setting::kData, kEncodingLines | kMessageLine, ValueKind::kWord, 0, 0,
     "raw, bcd, track, ebcdic, binary, amount, amount-ebcdic or amount-bcd"},
    {"unit", Setting::kUnit, kEncodingLines, ValueKind::kWord, 0, 0, "bytes or digits"},
    {"align", Setting::kAlign, kEncodingLines, ValueKind::kWord, 0, 0, "right or left"},
    {"pad", Setting::kPad, kEncodingLines, ValueKind::kWord, 0, 0, "0 or f"},
    {"mask", Setting::kMask, kEncodingLines, ValueKind::kWord, 0, 0, "none, card or secret"},
    {"header", Setting::kHeader, kMessageLine, ValueKind::kNumber, 0, 1999, "a byte count, 0 to 1999"},
    {"bitmap", Setting::kBitmap, kMessageLine, ValueKind::kWord, 0, 0, "binary, hex or ebcdic-hex"},
    {"secondary", Setting::kSecondary, kMessageLine, ValueKind::kWord, 0, 0, "always or flagged"},
    {"ebcdic", Setting::kEbcdic, kMessageLine, ValueKind::kWord, 0, 0, "037 or 1047"},
    {"layout", Setting::kLayout, kLayoutLines, ValueKind::kWord, 0, 0,
     "positional, tagged, bitmap, tlv or delimited"},
    {"repeat", Setting::kRepeat, kLayoutLines, ValueKind::kNumber, 1, 999,
     "the number of the first part that repeats, 1 to 999"},
    {"tag", Setting::kTag, kLayoutLines, ValueKind::kWord, 0, 0,
     "binary1, binary2, ascii2 to ascii4, ebcdic2 to ebcdic4 or bcd2 to bcd4"},
    {"tag-len", Setting::kTagLength, kLayoutLines, ValueKind::kWord, 0, 0,
     "ascii1 to ascii3, ebcdic1 to ebcdic3, binary1, binary2 or bcd1 to bcd4"},
    {"prefix", Setting::kPrefix, kLayoutLines, ValueKind::kNumber, 0, 999,
     "a byte count, 0 to 999"},
    {"map", Setting::kMap, kLayoutLines, ValueKind::kWord, 0, 0, "binary, hex or ebcdic-hex"},
    {"map-bytes", Setting::kMapBytes, kLayoutLines, ValueKind::kNumber, 1, 16,
     "the bytes of bits of the bitmap, 1 to 16"},
    {"map-bit1", Setting::kMapBit1, kLayoutLines, ValueKind::kWord, 0, 0, "part or secondary"},
    {"values", Setting::kValues, kLayoutLines, ValueKind::kWord, 0, 0, "hex or text"},
    {"separator", Setting::kSeparator, kLayoutLines, ValueKind::kCharacter, 0, 0,
     "one character, or 0x and two hexadecimal digits"},
    {"delimited", Setting::kDelimited, kLayoutLines, ValueKind::kNumber, 1, 99,
     "how many of the first parts end with the separator, 1 to 99"},
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
    {Setting::kLayout, "positional", static_cast<int>(LayoutKind::kPositional)},
    {Setting::kLayout, "tagged", static_cast<int>(LayoutKind::kTagged)},
    {Setting::kLayout, "bitmap", static_cast<int>(LayoutKind::kBitmap)},
    {Setting::kLayout, "tlv", static_cast<int>(LayoutKind::kTlv)},
    {Setting::kLayout, "delimited", static_cast<int>(LayoutKind::kDelimited)},
    {Setting::kTag, "binary1", coding_code(kBinary, 1)},
    {Setting::kTag, "binary2", coding_code(kBinary, 2)},
    {Setting::kTag, "ascii2", coding_code(kAscii, 2)},
    {Setting::kTag, "ascii3", coding_code(kAscii, 3)},
    {Setting::kTag, "ascii4", coding_code(kAscii, 4)},
    {Setting::kTag, "ebcdic2", coding_code(kEbcdic, 2)},
    {Setting::kTag, "ebcdic3", coding_code(kEbcdic, 3)},
    {Setting::kTag, "ebcdic4", coding_code(kEbcdic, 4)},
    {Setting::kTag, "bcd2", coding_code(kBcd, 2)},
    {Setting::kTag, "bcd3", coding_code(kBcd, 3)},
    {Setting::kTag, "bcd4", coding_code(kBcd, 4)},
    {Setting::kTagLength, "ascii1", coding_code(kAscii, 1)},
    {Setting::kTagLength, "ascii2", coding_code(kAscii, 2)},
    {Setting::kTagLength, "ascii3", coding_code(kAscii, 3)},
    {Setting::kTagLength, "ebcdic1", coding_code(kEbcdic, 1)},
    {Setting::kTagLength, "ebcdic2", coding_code(kEbcdic, 2)},
    {Setting::kTagLength, "ebcdic3", coding_code(kEbcdic, 3)},
    {Setting::kTagLength, "binary1", coding_code(kBinary, 1)},
    {Setting::kTagLength, "binary2", coding_code(kBinary, 2)},
    {Setting::kTagLength, "bcd1", coding_code(kBcd, 1)},
    {Setting::kTagLength, "bcd2", coding_code(kBcd, 2)},
    {Setting::kTagLength, "bcd3", coding_code(kBcd, 3)},
    {Setting::kTagLength, "bcd4", coding_code(kBcd, 4)},
    {Setting::kMap, "binary", static_cast<int>(BitmapEncoding::kBinary)},
    {Setting::kMap, "hex", static_cast<int>(BitmapEncoding::kHex)},
    {Setting::kMap, "ebcdic-hex", static_cast<int>(BitmapEncoding::kHexEbcdic)},
    {Setting::kMapBit1, "part", 0},
    {Setting::kMapBit1, "secondary", 1},
    {Setting::kValues, "hex", 0},
    {Setting::kValues, "text", 1},
};
const int kPropertyValueCount = sizeof kPropertyValues / sizeof kPropertyValues[0];

const PropertyName& property_of(Setting setting) {
  for (int k = 0; k < kPropertyNameCount; ++k) {
    if (kPropertyNames[k].setting == setting) return kPropertyNames[k];
  }
  return kPropertyNames[0];
}

const char* setting_name(Setting setting) { return property_of(setting).name; }

const char* value_word(Setting setting, int code) {
  for (int k = 0; k < kPropertyValueCount; ++k) {
    if (kPropertyValues[k].setting == setting && kPropertyValues[k].code == code) {
      return kPropertyValues[k].value;
    }
  }
  return nullptr;
}

bool is_property(std::string_view word) {
  const size_t equals = word.find('=');
  if (equals == std::string_view::npos || equals == 0) return false;
  const char first = word[0];
  if (!((first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z'))) return false;
  for (char ch : word.substr(0, equals)) {
    const bool letter = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
    if (!letter && ch != '-' && ch != '_' && !(ch >= '0' && ch <= '9')) return false;
  }
  return true;
}

bool is_property_name(std::string_view name) {
  const std::string lower = lower_case(name);
  for (int row = 0; row < kPropertyNameCount; ++row) {
    if (lower == kPropertyNames[row].name) return true;
  }
  return false;
}

bool read_property(std::string_view word, Scope scope, LineSettings* settings, std::string* reason) {
  const size_t equals = word.find('=');
  const std::string name = lower_case(word.substr(0, equals));
  const std::string value = lower_case(word.substr(equals + 1));
  const std::string quoted = "'" + std::string(word) + "'";
  for (int row = 0; row < kPropertyNameCount; ++row) {
    const PropertyName& property = kPropertyNames[row];
    if (name != property.name) continue;
    if ((property.scopes & scope) == 0) {
      *reason = quoted + misplaced(scope, property.scopes);
      return false;
    }
    int code = 0;
    if (!read_value(property, word, value, &code)) {
      *reason = quoted + ": " + property.name + " is " + property.values;
      return false;
    }
    const int index = static_cast<int>(property.setting);
    settings->value[index] = code;
    settings->word[index] = word;
    return true;
  }
  *reason = "unknown property " + quoted;
  return false;
}

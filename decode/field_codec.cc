// Length indicators and field data, read and written in every encoding.
#include "decode/field_codec.h"

#include <cstring>

#include "decode/ebcdic.h"
#include "decode/hex_text.h"

namespace {

// Past this, what an indicator can say no longer matters: no field is
// longer.
constexpr long kMaxIndicatedLength = 999999;

// The separator of packed track data, a D nibble, as text shows it.
constexpr char kTrackSeparator = '=';
constexpr int kTrackSeparatorNibble = 0xD;

// EBCDIC digits are F0 to F9 in both code pages.
constexpr unsigned char kEbcdicZero = 0xF0;

// Reads the `count` characters at `digits` as atoi reads them up to a zero
// byte after them.
int read_ascii_indicator(const unsigned char* digits, int count) {
  const unsigned char* end = digits + count;
  while (digits < end && (*digits == ' ' || (*digits >= '\t' && *digits <= '\r'))) ++digits;
  const bool negative = digits < end && *digits == '-';
  if (digits < end && (*digits == '-' || *digits == '+')) ++digits;
  int value = 0;
  for (; digits < end && *digits >= '0' && *digits <= '9'; ++digits) value = value * 10 + (*digits - '0');
  return negative ? -value : value;
}

int nibble_at(const unsigned char* bytes, int index) {
  return index % 2 == 0 ? bytes[index / 2] >> 4 : bytes[index / 2] & 0x0F;
}

// The number of packed digits of `length` units: the sign byte of an
// amount aside.
int packed_digit_count(const FieldFormat& format, int length) {
  if (format.unit == LengthUnit::kDigits) return length;
  const int packed_bytes = format.data == DataEncoding::kAmountBcd ? length - 1 : length;
  return packed_bytes > 0 ? 2 * packed_bytes : 0;
}

// Nibbles before the first digit: the pad nibble of right-aligned digits.
int leading_pad(const FieldFormat& format, int digit_count) {
  return format.left_aligned ? 0 : digit_count % 2;
}

// The nibble of a packed text character: a decimal digit, or a track's
// separator, written = as outputs show it or D as the nibble is; -1 for
// any other character, which the digits cannot hold.
int nibble_of(DataEncoding data, char ch) {
  if (data == DataEncoding::kTrack && (ch == kTrackSeparator || ch == 'D')) return kTrackSeparatorNibble;
  return ch >= '0' && ch <= '9' ? ch - '0' : -1;
}

// Why the character `ch` at `position` (from 0) of a packed text cannot be
// packed: "'A', character 12, is not a digit". Only visible ASCII is shown
// as it is.
std::string not_a_digit(DataEncoding data, char ch, size_t position) {
  const unsigned char byte = static_cast<unsigned char>(ch);
  std::string why = byte > ' ' && byte < 0x7F ? std::string("'") + ch + "', character "
                                              : std::string("character ");
  why += std::to_string(position + 1) + ", is not a digit";
  return why + (data == DataEncoding::kTrack ? " or the separator, = or D" : "");
}

// Packs the digits of `text` (after the sign of a packed amount) as
// `format` aligns and pads them; `any_nibble` takes every hexadecimal
// digit as its nibble, not only the digits and a track's separator.
bool pack_text(const FieldFormat& format, std::string_view text, bool any_nibble, std::string* data,
               int* length, std::string* error);

}  // namespace

IndicatorRead read_length_indicator(LengthEncoding encoding, int digits, const unsigned char* bytes,
                                    int* length) {
  int value = 0;
  switch (encoding) {
    case LengthEncoding::kAscii:
      *length = read_ascii_indicator(bytes, digits);
      return IndicatorRead::kRead;
    case LengthEncoding::kEbcdic:
      for (int k = 0; k < digits; ++k) {
        const int digit = bytes[k] - kEbcdicZero;
        if (digit < 0 || digit > 9) return IndicatorRead::kNotDigits;
        value = value * 10 + digit;
      }
      break;
    case LengthEncoding::kBcd:
      for (int k = 0; k < 2 * indicator_bytes(encoding, digits); ++k) {
        const int digit = nibble_at(bytes, k);
        if (digit > 9) return IndicatorRead::kNotDigits;
        value = value * 10 + digit;
      }
      break;
    case LengthEncoding::kBinary:
      for (int k = 0; k < digits; ++k) value = value * 256 + bytes[k];
      break;
  }
  *length = value;
  return IndicatorRead::kRead;
}

int largest_indicated_length(LengthEncoding encoding, int digits) {
  const int base = encoding == LengthEncoding::kBinary ? 256 : 10;
  long largest = 1;
  for (int k = 0; k < digits && largest <= kMaxIndicatedLength; ++k) largest *= base;
  return static_cast<int>(largest - 1 > kMaxIndicatedLength ? kMaxIndicatedLength : largest - 1);
}

void append_length_indicator(LengthEncoding encoding, int digits, int length,
                             std::string* message) {
  const size_t start = message->size();
  message->append(static_cast<size_t>(indicator_bytes(encoding, digits)), '\0');
  char* end = &(*message)[0] + message->size();
  switch (encoding) {
    case LengthEncoding::kAscii:
    case LengthEncoding::kEbcdic: {
      const int zero = encoding == LengthEncoding::kAscii ? '0' : kEbcdicZero;
      for (int k = 1; k <= digits; ++k, length /= 10) end[-k] = static_cast<char>(zero + length % 10);
      break;
    }
    case LengthEncoding::kBcd:
      for (int k = 0; k < 2 * (end - (&(*message)[0] + start)); ++k, length /= 10) {
        unsigned char& byte = reinterpret_cast<unsigned char&>(end[-1 - k / 2]);
        byte = static_cast<unsigned char>(byte | (length % 10) << (k % 2 == 0 ? 0 : 4));
      }
      break;
    case LengthEncoding::kBinary:
      for (int k = 1; k <= digits; ++k, length /= 256) end[-k] = static_cast<char>(length % 256);
      break;
  }
}

int text_length(const FieldFormat& format, int length) {
  if (!is_packed(format.data)) return value_capacity(format, length);
  const int sign = format.data == DataEncoding::kAmountBcd ? 1 : 0;
  return sign + packed_digit_count(format, length);
}

int decode_value(const FieldFormat& format, EbcdicCodePage code_page, int length,
                 const unsigned char* data, char* text) {
  const int bytes = data_bytes(format, length);
  switch (format.data) {
    case DataEncoding::kRaw:
    case DataEncoding::kAmount:
      for (int k = 0; k < bytes; ++k) text[k] = static_cast<char>(data[k]);
      return bytes;
    case DataEncoding::kEbcdic:
    case DataEncoding::kAmountEbcdic:
      for (int k = 0; k < bytes; ++k) text[k] = ebcdic_to_ascii(code_page, data[k]);
      return bytes;
    case DataEncoding::kBinary:
      render_hex(data, static_cast<size_t>(bytes), text);
      return 2 * bytes;
    case DataEncoding::kBcd:
    case DataEncoding::kTrack:
    case DataEncoding::kAmountBcd:
      break;
  }
  char* written = text;
  if (format.data == DataEncoding::kAmountBcd && bytes > 0) {
    *written++ = static_cast<char>(*data++);
  }
  // Every nibble of the packed bytes as its hexadecimal digit, then the
  // pad nibble of right-aligned digits dropped from the front.
  const int digit_count = packed_digit_count(format, length);
  const int first = leading_pad(format, digit_count);
  render_hex(data, static_cast<size_t>((first + digit_count + 1) / 2), written);
  if (first > 0) std::memmove(written, written + first, static_cast<size_t>(digit_count));
  if (format.data == DataEncoding::kTrack) {
    for (int k = 0; k < digit_count; ++k) {
      if (written[k] == kHexDigits[kTrackSeparatorNibble]) written[k] = kTrackSeparator;
    }
  }
  return static_cast<int>(written - text) + digit_count;
}

CharacterPlace character_place(const FieldFormat& format, int length, int position) {
  switch (format.data) {
    case DataEncoding::kBinary:
      return {position / 2, static_cast<unsigned char>(position % 2 == 0 ? 0xF0 : 0x0F)};
    case DataEncoding::kBcd:
    case DataEncoding::kTrack:
    case DataEncoding::kAmountBcd:
      break;
    default:
      return {position, 0xFF};
  }
  int base = 0;
  if (format.data == DataEncoding::kAmountBcd) {
    if (position == 0) return {0, 0xFF};
    base = 1;
    --position;
  }
  const int nibble = position + leading_pad(format, packed_digit_count(format, length));
  return {base + nibble / 2, static_cast<unsigned char>(nibble % 2 == 0 ? 0xF0 : 0x0F)};
}

bool encode_value(const FieldFormat& format, EbcdicCodePage code_page, std::string_view text,
                  std::string* data, int* length, std::string* error) {
  data->clear();
  switch (format.data) {
    case DataEncoding::kRaw:
    case DataEncoding::kAmount:
      data->assign(text);
      *length = static_cast<int>(text.size());
      return true;
    case DataEncoding::kEbcdic:
    case DataEncoding::kAmountEbcdic:
      for (char ch : text) {
        if (static_cast<unsigned char>(ch) >= 0x80) {
          *error = "a character outside ASCII has no EBCDIC byte here";
          return false;
        }
        data->push_back(static_cast<char>(latin1_to_ebcdic(code_page, static_cast<unsigned char>(ch))));
      }
      *length = static_cast<int>(data->size());
      return true;
    case DataEncoding::kBinary:
      if (text.size() % 2 != 0) {
        *error = "hexadecimal text with an odd digit count";
        return false;
      }
      for (size_t k = 0; k < text.size(); k += 2) {
        const int high = hex_digit_value(text[k]);
        const int low = hex_digit_value(text[k + 1]);
        if (high < 0 || low < 0) {
          *error = "a character that is not a hexadecimal digit";
          return false;
        }
        data->push_back(static_cast<char>(high << 4 | low));
      }
      *length = static_cast<int>(data->size());
      return true;
    case DataEncoding::kBcd:
    case DataEncoding::kTrack:
    case DataEncoding::kAmountBcd:
      break;
  }
  return pack_text(format, text, false, data, length, error);
}

bool encode_nibbles(const FieldFormat& format, std::string_view text, std::string* data, int* length,
                    std::string* error) {
  data->clear();
  return pack_text(format, text, true, data, length, error);
}

namespace {

bool pack_text(const FieldFormat& format, std::string_view text, bool any_nibble, std::string* data,
               int* length, std::string* error) {
  std::string_view digits = text;
  if (format.data == DataEncoding::kAmountBcd) {
    if (digits.empty()) {
      *error = "an amount without its sign";
      return false;
    }
    data->push_back(digits[0]);
    digits.remove_prefix(1);
  }
  const int digit_count = static_cast<int>(digits.size());
  const int first = leading_pad(format, digit_count);
  const size_t packed_start = data->size();
  data->append(static_cast<size_t>((digit_count + 1) / 2), '\0');
  unsigned char* packed = reinterpret_cast<unsigned char*>(&(*data)[packed_start]);
  const int nibble_count = 2 * static_cast<int>(data->size() - packed_start);
  for (int k = 0; k < nibble_count; ++k) {
    int nibble = format.pad;
    if (k >= first && k < first + digit_count) {
      const size_t position = static_cast<size_t>(k - first);
      nibble = any_nibble && hex_digit_value(digits[position]) >= 0 ? hex_digit_value(digits[position])
                                                                     : nibble_of(format.data, digits[position]);
      if (nibble < 0) {
        const size_t sign = text.size() - digits.size();
        *error = not_a_digit(format.data, digits[position], sign + position);
        return false;
      }
    }
    packed[k / 2] = static_cast<unsigned char>(packed[k / 2] | nibble << (k % 2 == 0 ? 4 : 0));
  }
  *length = format.unit == LengthUnit::kDigits ? digit_count : static_cast<int>(data->size());
  return true;
}

}  // namespace

int length_of_bytes(const FieldFormat& format, int byte_count) {
  if (format.unit == LengthUnit::kBytes) return byte_count;
  const int packed_bytes = format.data == DataEncoding::kAmountBcd ? byte_count - 1 : byte_count;
  return packed_bytes > 0 ? 2 * packed_bytes : 0;
}

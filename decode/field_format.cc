// Sizes that follow from a dialect's encodings.
#include "decode/field_format.h"

int data_bytes(const FieldFormat& format, int length) {
  if (format.unit == LengthUnit::kBytes) return length;
  const int packed = (length + 1) / 2;
  return format.data == DataEncoding::kAmountBcd ? 1 + packed : packed;
}

int indicator_bytes(LengthEncoding encoding, int digits) {
  return encoding == LengthEncoding::kBcd ? (digits + 1) / 2 : digits;
}

int bitmap_bytes(BitmapEncoding encoding) { return encoding == BitmapEncoding::kBinary ? 8 : 16; }

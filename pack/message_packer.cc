// Packing fields into a message.
#include "pack/message_packer.h"

#include <algorithm>

#include "decode/field_table.h"
#include "decode/unpack.h"

namespace {

constexpr int kFirstSecondaryField = 65;

// The largest length that `digits` ASCII digits can say.
int largest_indicated_length(int digits) {
  int largest = 1;
  for (int k = 0; k < digits; ++k) largest *= 10;
  return largest - 1;
}

// Checks that `bytes` fit the definition of field `number`; writes why not.
bool fits_definition(int number, size_t length, std::string* error) {
  const std::string name = "field " + std::to_string(number);
  if (!field_is_usable(number)) {
    *error = name + ": not defined";
    return false;
  }
  const FieldDef& def = field_defs[number];
  const size_t max_length = static_cast<size_t>(def.max_length);
  if (def.length_digits == 0 && length != max_length) {
    *error = name + ": " + std::to_string(length) + " bytes, but it is fixed at " +
             std::to_string(max_length);
    return false;
  }
  const size_t largest = std::min(max_length,
                                  static_cast<size_t>(largest_indicated_length(def.length_digits)));
  if (def.length_digits > 0 && length > largest) {
    *error = name + ": " + std::to_string(length) + " bytes, more than its maximum of " +
             std::to_string(largest);
    return false;
  }
  return true;
}

void append_indicator(size_t length, int digits, std::string* message) {
  std::string indicator(static_cast<size_t>(digits), '0');
  for (int k = digits - 1; k >= 0; --k, length /= 10) indicator[k] = static_cast<char>('0' + length % 10);
  *message += indicator;
}

}  // namespace

bool pack_message(const PackRequest& request, std::string* message, std::string* error) {
  message->clear();
  // The message type indicator is read as row 1's length, fixed whatever
  // its length digits say, and without a definition as nothing.
  const size_t indicator_length = field_is_usable(1) ? static_cast<size_t>(field_defs[1].max_length) : 0;
  if (request.type_indicator.size() != indicator_length) {
    *error = "mti: " + std::to_string(request.type_indicator.size()) + " bytes, but it is read as " +
             std::to_string(indicator_length);
    return false;
  }
  std::vector<const PackField*> ordered;
  for (const PackField& field : request.fields) ordered.push_back(&field);
  std::sort(ordered.begin(), ordered.end(),
            [](const PackField* a, const PackField* b) { return a->number < b->number; });

  unsigned char bitmap[kBitmapLength] = {};
  bool secondary = false;
  for (size_t k = 0; k < ordered.size(); ++k) {
    const int number = ordered[k]->number;
    if (number < 2 || number > 128) {
      *error = "field " + std::to_string(number) + ": not a data element (2 to 128)";
      return false;
    }
    if (k > 0 && ordered[k - 1]->number == number) {
      *error = "field " + std::to_string(number) + ": given twice";
      return false;
    }
    if (!fits_definition(number, ordered[k]->bytes.size(), error)) return false;
    bitmap[(number - 1) / 8] |= static_cast<unsigned char>(0x80 >> ((number - 1) % 8));
    secondary |= number >= kFirstSecondaryField;
  }
  if (request.has_bit1 ? request.bit1 : secondary) bitmap[0] |= 0x80;

  *message += request.type_indicator;
  message->append(reinterpret_cast<const char*>(bitmap), kBitmapLength);
  for (const PackField* field : ordered) {
    const int digits = field_defs[field->number].length_digits;
    if (digits > 0) append_indicator(field->bytes.size(), digits, message);
    *message += field->bytes;
  }
  return true;
}

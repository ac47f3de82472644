// Packing fields into a message.
#include "pack/message_packer.h"

#include <algorithm>

#include "decode/dialect_properties.h"
#include "decode/ebcdic.h"
#include "decode/field_codec.h"
#include "decode/hex_text.h"
#include "pack/part_packer.h"

namespace {

constexpr int kFirstSecondaryField = 65;

// How the text of a fixed field that is too short is made whole, for the
// kinds of data where padding cannot change what the value says.
struct TextPadding {
  DataEncoding data;
  bool after_sign;      // whether the text starts with a sign, C or D, kept in front
  char fill;            // the character put in, encoded as the field encodes text
  bool at_end;          // whether it goes after the text rather than before it
  const char* counted;  // what the note counts, in the singular
  const char* how;      // how the note and the hint say it is padded
};

const TextPadding kTextPaddings[] = {
    {DataEncoding::kBcd, false, '0', false, "digit", "zeros on the left"},
    {DataEncoding::kAmount, true, '0', false, "digit", "zeros after its sign C or D"},
    {DataEncoding::kAmountEbcdic, true, '0', false, "digit", "zeros after its sign C or D"},
    {DataEncoding::kAmountBcd, true, '0', false, "digit", "zeros after its sign C or D"},
    {DataEncoding::kEbcdic, false, ' ', true, "character", "spaces on the right"},
};

// `count` of `thing`: "1 digit", "19 digits".
std::string count_of(size_t count, const char* thing) {
  return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

// `length` in the unit of `format`: "19 bytes", "19 digits".
std::string in_unit(const FieldFormat& format, int length) {
  return count_of(static_cast<size_t>(length), format.unit == LengthUnit::kDigits ? "digit" : "byte");
}

// Whether `text` starts with an amount's sign.
bool has_sign(const std::string& text) {
  return !text.empty() && (text[0] == 'C' || text[0] == 'D');
}

// The padding of fields of `data`, or nullptr when they are not padded.
const TextPadding* padding_of(DataEncoding data) {
  for (const TextPadding& padding : kTextPaddings) {
    if (padding.data == data) return &padding;
  }
  return nullptr;
}

// Pads the text of `value` for the fixed field `def` into `padded` when
// it is shorter than the field and the field's kind of data says how;
// writes what was done into `note`. Returns false, leaving `padded` as it
// was, when nothing is padded.
bool pad_fixed_text(const FieldDef& def, const PackValue& value, PackValue* padded,
                    std::string* note) {
  const TextPadding* padding = padding_of(def.format.data);
  if (padding == nullptr || !value.is_text || def.length_digits > 0 ||
      (value.length >= 0 && value.length != def.max_length)) {
    return false;
  }
  const size_t whole = static_cast<size_t>(text_length(def.format, def.max_length));
  const std::string& text = value.bytes;
  if (text.size() >= whole || (padding->after_sign && !has_sign(text))) return false;
  const size_t sign = padding->after_sign ? 1 : 0;
  *padded = value;
  padded->bytes.insert(padding->at_end ? text.size() : sign, whole - text.size(), padding->fill);
  *note = count_of(text.size() - sign, padding->counted) + " padded to " +
          std::to_string(whole - sign) + " with " + padding->how;
  return true;
}

// The data bytes of `value` for the field `def`, and its length in the
// field's unit: as given, or else that of a fixed field the bytes fit, or
// else every digit or byte they hold. Returns false after writing why into `error`.
bool encode(const Dialect& dialect, const FieldDef& def, const PackValue& value, std::string* data,
            int* length, std::string* error) {
  const FieldFormat& format = def.format;
  if (value.is_text) {
    if (!encode_value(format, dialect.message.code_page, value.bytes, data, length, error)) return false;
  } else {
    *data = value.bytes;
    const int size = static_cast<int>(data->size());
    const bool fixed_fits = def.length_digits == 0 && data_bytes(format, def.max_length) == size;
    *length = fixed_fits ? def.max_length : length_of_bytes(format, size);
  }
  if (value.length >= 0) *length = value.length;
  const int needed = data_bytes(format, *length);
  if (needed != static_cast<int>(data->size())) {
    *error = "length " + std::to_string(*length) + " takes " + std::to_string(needed) +
             " bytes, not " + std::to_string(data->size());
    return false;
  }
  return true;
}


// The hint for a fixed field `def` given shorter than its length: what to
// give instead.
std::string short_field_hint(const FieldDef& def) {
  std::string hint = "; hint: give all " + in_unit(def.format, def.max_length);
  const TextPadding* padding = padding_of(def.format.data);
  if (padding == nullptr) {
    return hint + ": a field of data=" +
           value_word(Setting::kData, static_cast<int>(def.format.data)) + " is not padded";
  }
  return hint + ", or a \"text\" to be padded with " + padding->how;
}

// Checks that a length fits the definition `def`; writes why not.
bool fits_definition(const FieldDef& def, int length, std::string* error) {
  if (def.length_digits == 0 && length != def.max_length) {
    *error = in_unit(def.format, length) + ", but it is fixed at " + std::to_string(def.max_length);
    if (length < def.max_length) *error += short_field_hint(def);
    return false;
  }
  const int largest =
      std::min(def.max_length, largest_indicated_length(def.format.length, def.length_digits));
  if (def.length_digits > 0 && length > largest) {
    *error = in_unit(def.format, length) + ", more than its maximum of " + std::to_string(largest);
    return false;
  }
  return true;
}

// Appends one bitmap of 64 fields, `bits`, as `format` writes it.
void append_bitmap(const MessageFormat& format, const unsigned char* bits, std::string* message) {
  if (format.bitmap == BitmapEncoding::kBinary) {
    message->append(reinterpret_cast<const char*>(bits), 8);
    return;
  }
  char text[16];
  render_hex(bits, 8, text);
  if (format.bitmap == BitmapEncoding::kHexEbcdic) {
    for (char& ch : text) {
      ch = static_cast<char>(latin1_to_ebcdic(format.code_page, static_cast<unsigned char>(ch)));
    }
  }
  message->append(text, sizeof text);
}

}  // namespace

bool pack_message(const Dialect& dialect, const PackRequest& request, std::string* message,
                  std::string* error, std::vector<std::string>* notes) {
  message->clear();
  const MessageFormat& format = dialect.message;
  if (static_cast<int>(request.header.size()) != format.header_length) {
    *error = "header: " + std::to_string(request.header.size()) + " bytes, but the dialect has " +
             std::to_string(format.header_length);
    return false;
  }
  // The message type indicator is read as row 1's length, fixed whatever
  // its length digits say, and without a definition as nothing.
  const FieldDef& indicator_def = dialect.defs[1];
  std::string indicator;
  if (indicator_def.number == 1) {
    int length = 0;
    std::string reason;
    const FieldDef fixed_indicator{1, indicator_def.max_length, 0, indicator_def.format};
    if (!encode(dialect, fixed_indicator, request.type_indicator, &indicator, &length, &reason)) {
      *error = "mti: " + reason;
      return false;
    }
    if (length != indicator_def.max_length) {
      *error = "mti: " + in_unit(indicator_def.format, length) + ", but it is read as " +
               std::to_string(indicator_def.max_length);
      return false;
    }
  } else if (!request.type_indicator.bytes.empty()) {
    *error = "mti: " + std::to_string(request.type_indicator.bytes.size()) +
             " bytes, but it is read as 0";
    return false;
  }

  std::vector<const PackField*> ordered;
  for (const PackField& field : request.fields) ordered.push_back(&field);
  std::sort(ordered.begin(), ordered.end(),
            [](const PackField* a, const PackField* b) { return a->number < b->number; });
  unsigned char bitmap[16] = {};
  bool secondary = false;
  std::string body;
  std::string data;
  std::vector<std::string> padding_notes;
  for (size_t k = 0; k < ordered.size(); ++k) {
    const int number = ordered[k]->number;
    const std::string name = "field " + std::to_string(number) + ": ";
    if (number < 2 || number > 128) {
      *error = name + "not a data element (2 to 128)";
      return false;
    }
    if (k > 0 && ordered[k - 1]->number == number) {
      *error = name + "given twice";
      return false;
    }
    const FieldDef& def = dialect.defs[number];
    if (def.number != number) {
      *error = name + "not defined";
      return false;
    }
    const PackValue* value = &ordered[k]->value;
    PackValue built;
    if (value->from_parts) {
      if (def.layout < 0) {
        *error = name + "sub-fields are given, but its definition has no layout=";
        return false;
      }
      std::string reason;
      if (!pack_parts(dialect, dialect.layouts[static_cast<size_t>(def.layout)], std::to_string(number),
                      value->parts, &built, &reason)) {
        *error = name + reason;
        return false;
      }
      value = &built;
    }
    PackValue padded;
    std::string note;
    if (pad_fixed_text(def, *value, &padded, &note)) {
      value = &padded;
      padding_notes.push_back(name + note);
    }
    int length = 0;
    std::string reason;
    if (!encode(dialect, def, *value, &data, &length, &reason) ||
        !fits_definition(def, length, &reason)) {
      *error = name + reason;
      return false;
    }
    if (def.length_digits > 0) {
      append_length_indicator(def.format.length, def.length_digits, length, &body);
    }
    body += data;
    bitmap[(number - 1) / 8] |= static_cast<unsigned char>(0x80 >> ((number - 1) % 8));
    secondary |= number >= kFirstSecondaryField;
  }
  const bool bit1 = request.has_bit1 ? request.bit1 : secondary;
  if (secondary && !bit1 && format.secondary_when_flagged) {
    *error = "bitmap: fields above 64 need bit 1, which is given clear";
    return false;
  }
  if (bit1) bitmap[0] |= 0x80;

  *message += request.header;
  *message += indicator;
  append_bitmap(format, bitmap, message);
  if (bit1 || !format.secondary_when_flagged) append_bitmap(format, bitmap + 8, message);
  *message += body;
  if (notes != nullptr) *notes = std::move(padding_notes);
  return true;
}

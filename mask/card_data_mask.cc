// Finding card data in a decoded message and marking its nibbles hidden.
#include "mask/card_data_mask.h"

#include <algorithm>
#include <vector>

#include "decode/field_codec.h"

namespace {

constexpr int kKeptLeadingDigits = 6;
constexpr int kKeptTrailingDigits = 4;

// How bytes hold card data.
enum class CardBytes {
  kPanText,    // a PAN or track data as text: ASCII digits and separators
  kPanPacked,  // a PAN or track data as packed digits, two to a byte
  kHidden,     // hidden completely
};

// The card data of the field 55 elements that hold it. Which fields hold
// card data, the dialect says.
struct TagRule {
  unsigned char tag[2];
  int tag_length;
  CardBytes kind;
};
constexpr TagRule kTagRules[] = {
    {{0x5A, 0x00}, 1, CardBytes::kPanPacked},  // application PAN
    {{0x57, 0x00}, 1, CardBytes::kPanPacked},  // track 2 equivalent data
    {{0x9F, 0x6B}, 2, CardBytes::kPanPacked},  // track 2 data
    {{0x56, 0x00}, 1, CardBytes::kPanText},    // track 1 data
    {{0x9F, 0x1F}, 2, CardBytes::kHidden},     // track 1 discretionary data
    {{0x9F, 0x20}, 2, CardBytes::kHidden},     // track 2 discretionary data
    {{0x5F, 0x20}, 2, CardBytes::kHidden},     // cardholder name
};

bool is_separator(unsigned char ch) { return ch == '=' || ch == 'D' || ch == '^'; }

// The place of one digit of a PAN: a byte, and which of its nibbles.
struct DigitPlace {
  int byte;
  unsigned char nibbles;
};

// Marks hidden all digits of `digits` but the first and last few.
void hide_middle_digits(const std::vector<DigitPlace>& digits, unsigned char* hidden) {
  const int count = static_cast<int>(digits.size());
  for (int k = kKeptLeadingDigits; k < count - kKeptTrailingDigits; ++k) {
    hidden[digits[k].byte] |= digits[k].nibbles;
  }
}

// Masks text card data in bytes [begin, end) of `data`: the digits before
// the first separator are the PAN, and everything after the separator is
// hidden.
void mask_pan_text(const unsigned char* data, int begin, int end, unsigned char* hidden) {
  std::vector<DigitPlace> digits;
  int position = begin;
  for (; position < end && !is_separator(data[position]); ++position) {
    if (data[position] >= '0' && data[position] <= '9') digits.push_back({position, 0xFF});
  }
  hide_middle_digits(digits, hidden);
  for (++position; position < end; ++position) hidden[position] = 0xFF;
}

// The same for packed digits: nibbles 0-9 are digits, a D nibble is the
// separator, and an F nibble pads.
void mask_pan_packed(const unsigned char* data, int begin, int end, unsigned char* hidden) {
  std::vector<DigitPlace> digits;
  bool after_separator = false;
  for (int position = begin; position < end; ++position) {
    for (unsigned char nibbles : {0xF0, 0x0F}) {
      const int digit = nibbles == 0xF0 ? data[position] >> 4 : data[position] & 0x0F;
      if (after_separator) {
        hidden[position] |= nibbles;
      } else if (digit <= 9) {
        digits.push_back({position, nibbles});
      } else if (digit == 0xD) {
        after_separator = true;
      }
    }
  }
  hide_middle_digits(digits, hidden);
}

void mask_range(CardBytes kind, const unsigned char* data, int begin, int end,
                unsigned char* hidden) {
  switch (kind) {
    case CardBytes::kPanText:
      mask_pan_text(data, begin, end, hidden);
      break;
    case CardBytes::kPanPacked:
      mask_pan_packed(data, begin, end, hidden);
      break;
    case CardBytes::kHidden:
      std::fill(hidden + begin, hidden + end, 0xFF);
      break;
  }
}

// Whether `data` is all printable ASCII, as text track data is.
bool is_text(const unsigned char* data, int length) {
  return std::all_of(data, data + length, [](unsigned char ch) { return ch >= 0x20 && ch < 0x7F; });
}

const TagRule* rule_for(const TlvElement& element) {
  for (const TagRule& rule : kTagRules) {
    if (rule.tag_length == element.tag_length && rule.tag[0] == element.tag[0] &&
        rule.tag[1] == element.tag[1]) {
      return &rule;
    }
  }
  return nullptr;
}

// Masks the elements of field 55 that hold card data, within the templates
// of constructed elements too, walked as the report walks field 55. Values
// are at most a few hundred bytes, so the nesting is bounded.
void mask_field55(const DecodedField& field55, unsigned char* hidden) {
  // Elements still to look at, each with the end of the walk that found it.
  struct Pending {
    TlvElement element;
    int walk_end;
  };
  std::vector<Pending> pending;
  std::vector<TlvElement> found;
  walk_tlv(field55.data, field55.readable, 0, field55.length, &found);
  for (const TlvElement& element : found) pending.push_back({element, field55.length});
  while (!pending.empty()) {
    const Pending next = pending.back();
    pending.pop_back();
    const TlvElement& element = next.element;
    // An element's card data ends where the walk that found it ends: a value
    // running past it covers other elements' bytes, masked by their own
    // rules, and past the stored bytes there are only zeros.
    const int begin = std::min(element.value_offset, next.walk_end);
    const int end = std::min(element.value_offset + element.value_length, next.walk_end);
    if (const TagRule* rule = rule_for(element)) {
      mask_range(rule->kind, field55.data, begin, end, hidden);
    } else if (is_constructed(element)) {
      const int inner_end = inner_walk_end(element, next.walk_end);
      found.clear();
      walk_tlv(field55.data, field55.readable, element.value_offset, inner_end, &found);
      for (const TlvElement& child : found) pending.push_back({child, inner_end});
    }
  }
}

bool any_marked(const unsigned char* marks, int count) {
  return std::any_of(marks, marks + count, [](unsigned char m) { return m != 0; });
}

// Masks `length` bytes shown as they stand, byte by byte.
void mask_plain_bytes(CardData card_data, const unsigned char* data, int length, unsigned char* hidden) {
  if (card_data == CardData::kSecret) {
    mask_range(CardBytes::kHidden, data, 0, length, hidden);
  } else {
    const bool text = is_text(data, length);
    mask_range(text ? CardBytes::kPanText : CardBytes::kPanPacked, data, 0, length, hidden);
  }
}

// Masks data shown as text (`count` characters of `text`, from data of
// `format` and `unit_length`), by its characters: they decide what is a
// digit and where the separator is; then hides the nibbles under them.
void mask_by_characters(CardData card_data, const FieldFormat& format, int unit_length,
                        const char* text, int count, int byte_count, unsigned char* byte_marks,
                        unsigned char* character_marks) {
  const CardBytes kind = card_data == CardData::kSecret ? CardBytes::kHidden : CardBytes::kPanText;
  mask_range(kind, reinterpret_cast<const unsigned char*>(text), 0, count, character_marks);
  if (card_data == CardData::kSecret) std::fill(byte_marks, byte_marks + byte_count, 0xFF);
  for (int k = 0; k < count; ++k) {
    if (character_marks[k] == 0) continue;
    const CharacterPlace place = character_place(format, unit_length, k);
    if (place.byte >= 0 && place.byte < byte_count) byte_marks[place.byte] |= place.nibbles;
  }
}

// Marks the characters of a text whose nibbles are hidden: the text of
// data of `format` and `unit_length`, `count` characters long.
void mark_hidden_characters(const FieldFormat& format, int unit_length, int count, int byte_count,
                            const unsigned char* byte_marks, unsigned char* character_marks) {
  for (int k = 0; k < count; ++k) {
    const CharacterPlace place = character_place(format, unit_length, k);
    if (place.byte >= 0 && place.byte < byte_count && (byte_marks[place.byte] & place.nibbles) != 0) {
      character_marks[k] = 1;
    }
  }
}

// The card data that `part` holds, as its definition says.
CardData card_data_of(const DecodedPart& part) {
  return part.def != nullptr ? part.def->format.card_data : CardData::kNone;
}

// Masks the parts of `field` that their definitions say hold card data.
void mask_parts(const DecodedField& field, DecodedMessage* message) {
  unsigned char* field_characters =
      is_plain(field) ? nullptr : message->text_marks.data() + (field.value - message->text.data());
  for (int k = 0; k < field.part_count; ++k) {
    const DecodedPart& part = message->parts[static_cast<size_t>(field.first_part + k)];
    const CardData card_data = card_data_of(part);
    if (card_data == CardData::kNone) continue;
    if (part.in_digits) {
      // Characters of the field's own digits, and the nibbles under them.
      unsigned char* characters = field_characters + part.offset;
      const CardBytes kind = card_data == CardData::kSecret ? CardBytes::kHidden : CardBytes::kPanText;
      mask_range(kind, reinterpret_cast<const unsigned char*>(part.value), 0, part.length, characters);
      for (int c = part.offset; c < part.offset + part.length; ++c) {
        if (field_characters[c] == 0) continue;
        const CharacterPlace place = character_place(*field.format, field.unit_length, c);
        if (place.byte >= 0 && place.byte < field.length) {
          message->byte_marks[static_cast<size_t>(field.data_offset + place.byte)] |= place.nibbles;
        }
      }
    } else if (is_plain(part)) {
      mask_plain_bytes(card_data, part.data, part.length, message->byte_marks.data() + part.offset);
    } else {
      std::vector<unsigned char> characters(static_cast<size_t>(part.value_length), 0);
      mask_by_characters(card_data, *part.format, part.unit_length, part.value, part.value_length,
                         part.length, message->byte_marks.data() + part.offset, characters.data());
    }
  }
}

// Points `field` and its parts at the marks that hide any of them.
void point_at_marks(DecodedField* field, DecodedMessage* message) {
  unsigned char* byte_marks = message->byte_marks.data() + field->data_offset;
  if (!is_plain(*field)) {
    unsigned char* characters = message->text_marks.data() + (field->value - message->text.data());
    mark_hidden_characters(*field->format, field->unit_length, field->value_length, field->length,
                           byte_marks, characters);
    if (any_marked(characters, field->value_length)) field->value_hidden = characters;
  }
  if (any_marked(byte_marks, field->length)) field->hidden = byte_marks;
  for (int k = 0; k < field->part_count; ++k) {
    DecodedPart& part = message->parts[static_cast<size_t>(field->first_part + k)];
    part.hidden = nullptr;
    part.value_hidden = nullptr;
    if (part.in_digits) {
      if (field->value_hidden != nullptr && any_marked(field->value_hidden + part.offset, part.length)) {
        part.value_hidden = field->value_hidden + part.offset;
      }
      continue;
    }
    const unsigned char* part_bytes = message->byte_marks.data() + part.offset;
    if (!any_marked(part_bytes, part.length)) continue;
    part.hidden = part_bytes;
    if (part.value_offset >= 0) {
      unsigned char* characters = message->part_text_marks.data() + part.value_offset;
      mark_hidden_characters(*part.format, part.unit_length, part.value_length, part.length,
                             part_bytes, characters);
      part.value_hidden = characters;
    }
  }
}

}  // namespace

void mask_card_data(DecodedMessage* message) {
  // Marks for every byte and every text character of the message; the
  // type indicator never holds card data.
  message->byte_marks.assign(message->bytes.size(), 0);
  message->text_marks.assign(message->text.size(), 0);
  message->part_text_marks.assign(message->part_text.size(), 0);
  for (DecodedField& field : message->fields) {
    field.hidden = nullptr;
    field.value_hidden = nullptr;
    const CardData card_data = field.format != nullptr ? field.format->card_data : CardData::kNone;
    unsigned char* byte_marks = message->byte_marks.data() + field.data_offset;
    if (card_data == CardData::kNone) {
      if (field.number == 55) mask_field55(field, byte_marks);
    } else if (is_plain(field)) {
      mask_plain_bytes(card_data, field.data, field.length, byte_marks);
    } else {
      mask_by_characters(card_data, *field.format, field.unit_length, field.value, field.value_length,
                         field.length, byte_marks,
                         message->text_marks.data() + (field.value - message->text.data()));
    }
    if (field.part_count > 0) mask_parts(field, message);
    point_at_marks(&field, message);
  }
}

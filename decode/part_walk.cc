// The walk of composite fields, layout by layout.
#include "decode/part_walk.h"

#include <cstring>
#include <string>

#include "decode/ebcdic.h"
#include "decode/field_codec.h"
#include "decode/hex_text.h"
#include "decode/joined_text.h"

namespace {

// How BER-TLV values that the file does not name are shown.
const FieldFormat kBinaryFormat{LengthEncoding::kAscii, DataEncoding::kBinary};
const FieldFormat kRawFormat{};

// What a layout cuts: bytes of the message, or characters of its field's
// packed digits.
struct Span {
  bool digits = false;
  int start = 0;   // in the message's bytes, or in the field's text
  int length = 0;  // bytes, or digits
};

// Whether `text` is letters and digits only, as tags are: ids and notes
// that hold them then hold nothing that a report line could mistake.
bool is_alphanumeric(const std::string& text) {
  for (char ch : text) {
    const bool letter = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
    if (!letter && !(ch >= '0' && ch <= '9')) return false;
  }
  return true;
}

// Cuts one field into its parts.
class PartWalker {
 public:
  PartWalker(const Dialect& dialect, DecodedMessage* message, const DecodedField& field)
      : dialect_(dialect), message_(message), field_(field), id_(std::to_string(field.number)) {}

  // Cuts `span` with `layout`, its parts at `depth`, the id so far in id_.
  // Returns false after noting the misfit.
  bool cut(const Layout& layout, const Span& span, int depth) {
    switch (layout.kind) {
      case LayoutKind::kPositional:
        return positional(layout, span, depth);
      case LayoutKind::kTagged:
        return tagged(layout, span, depth);
      case LayoutKind::kBitmap:
        return bitmap(layout, span, depth);
      case LayoutKind::kTlv:
        return tlv(layout, span, 0, span.length, depth);
      case LayoutKind::kDelimited:
        return delimited(layout, span, depth);
    }
    return true;
  }

 private:
  const unsigned char* bytes(const Span& span, int position) const {
    return message_->bytes.data() + span.start + position;
  }

  // Where `position` of `span` lies in the field's data, for notes.
  int field_offset(const Span& span, int position) const {
    return span.digits ? span.start + position : span.start - field_.data_offset + position;
  }

  static const char* unit(const Span& span) { return span.digits ? " digit " : " byte "; }
  // The unit that follows a count of `value` in `span`.
  static const char* units(const Span& span, int value) {
    if (value == 1) return span.digits ? " digit" : " byte";
    return span.digits ? " digits" : " bytes";
  }

  // The id of `key` inside what is being cut.
  std::string id_of(std::string_view key) const { return joined_text({id_, ".", key}); }

  // Notes that the data does not fit at `position` of `span`, naming `sub`;
  // returns false.
  bool misfit(std::string sub, const Span& span, int position, std::initializer_list<TextPiece> reason) {
    message_->misfits.push_back({field_.number, std::move(sub), field_offset(span, position), joined_text(reason)});
    return false;
  }

  // Appends the part of `size` bytes or digits at `position` of `span`,
  // whose key follows id_ after `separator`; walks its own layout, if
  // any. Returns false after noting a misfit inside it.
  bool emit(const PartDef* def, const FieldFormat* format, const std::string& key, const Span& span,
            int position, int size, int unit_length, int depth) {
    const size_t id_end = id_.size();
    id_ += '.';
    id_ += key;
    // Filled in place: the walk of its own layout below may move it.
    const size_t index = message_->parts.size();
    DecodedPart& part = message_->parts.emplace_back();
    part.depth = depth;
    part.def = def;
    part.format = format;
    part.in_digits = span.digits;
    part.offset = span.start + position;
    part.length = size;
    part.unit_length = unit_length;
    part.id_offset = static_cast<int>(message_->part_ids.size());
    part.id_length = static_cast<int>(id_.size());
    message_->part_ids.insert(message_->part_ids.end(), id_.begin(), id_.end());
    if (span.digits) {
      part.value = field_.value + part.offset;
      part.value_length = size;
    } else {
      part.data = message_->bytes.data() + part.offset;
      if (is_plain(*format)) {
        part.value = reinterpret_cast<const char*>(part.data);
        part.value_length = size;
      } else {
        std::vector<char>& text = message_->part_text;
        part.value_offset = static_cast<int>(text.size());
        text.resize(text.size() + static_cast<size_t>(value_capacity(*format, unit_length)));
        part.value_length = decode_value(*format, dialect_.message.code_page, unit_length, part.data,
                                         text.data() + part.value_offset);
        text.resize(static_cast<size_t>(part.value_offset + part.value_length));
      }
    }
    const int part_offset = part.offset;
    bool fits = true;
    if (def != nullptr && def->layout >= 0) {
      fits = cut(dialect_.layouts[static_cast<size_t>(def->layout)],
                 Span{span.digits, part_offset, size}, depth + 1);
    }
    message_->parts[index].descendants = static_cast<int>(message_->parts.size() - index - 1);
    id_.resize(id_end);
    return fits;
  }

  // The digits or bytes that `part` of `layout` takes, for a fixed part.
  static int size_of(const Layout& layout, const PartDef& part) {
    return layout.in_digits ? part.length : data_bytes(part.format, part.length);
  }

  // Cuts parts [first, end) of `layout` at *position of `span`. Past the
  // end of the data, the remaining parts are absent, unless `whole` (a
  // repeated group) says that a started run must be complete.
  bool cut_run(const Layout& layout, size_t first, size_t end, const Span& span, int* position,
               int depth, bool whole) {
    for (size_t k = first; k < end; ++k) {
      const PartDef& part = layout.parts[k];
      if (*position == span.length && (!whole || k == first)) return true;
      const bool rest = part.length == kRestOfData;
      // The rest is what the parts after it leave.
      int needed = rest ? 0 : size_of(layout, part);
      for (size_t after = k + 1; rest && after < end; ++after) needed += size_of(layout, layout.parts[after]);
      const int remain = span.length - *position;
      if (needed > remain) {
        return misfit(id_of(part.key), span, *position,
                      {"part ", id_, ".", part.key, " at", unit(span), field_offset(span, *position),
                       " needs ", needed, units(span, needed), rest ? " after it" : "", ", ", remain,
                       " remain"});
      }
      const int size = rest ? remain - needed : needed;
      const int unit_length = layout.in_digits ? size
                              : rest           ? length_of_bytes(part.format, size)
                                               : part.length;
      if (!emit(&part, &part.format, part.key, span, *position, size, unit_length, depth)) return false;
      *position += size;
    }
    return true;
  }

  bool positional(const Layout& layout, const Span& span, int depth) {
    const size_t count_of_parts = layout.parts.size();
    const size_t group = layout.repeat_from > 0 ? static_cast<size_t>(layout.repeat_from) - 1 : count_of_parts;
    int position = 0;
    if (!cut_run(layout, 0, group, span, &position, depth, false)) return false;
    if (layout.repeat_from > 0) {
      const size_t id_end = id_.size();
      for (int number = 1; position < span.length; ++number) {
        id_ += joined_text({"[", number, "]"});
        const bool fits = cut_run(layout, group, count_of_parts, span, &position, depth, true);
        id_.resize(id_end);
        if (!fits) return false;
      }
    }
    if (position < span.length) {
      return misfit(id_, span, position,
                    {span.length - position, units(span, span.length - position),
                     " after the last part of ", id_, ", at", unit(span), field_offset(span, position)});
    }
    return true;
  }

  // Reads a number written as `coding` at `in`; false when its digits are none.
  static bool read_number(const Coding& coding, const unsigned char* in, int* value) {
    *value = 0;
    switch (coding.kind) {
      case CodingKind::kBinary:
        for (int k = 0; k < coding.count; ++k) *value = *value * 256 + in[k];
        return true;
      case CodingKind::kAscii:
      case CodingKind::kEbcdic: {
        const unsigned char zero = coding.kind == CodingKind::kAscii ? '0' : 0xF0;
        for (int k = 0; k < coding.count; ++k) {
          if (in[k] < zero || in[k] > zero + 9) return false;
          *value = *value * 10 + (in[k] - zero);
        }
        return true;
      }
      case CodingKind::kBcd: {
        const int nibbles = 2 * coding_bytes(coding);
        for (int k = nibbles - coding.count; k < nibbles; ++k) {
          const int digit = k % 2 == 0 ? in[k / 2] >> 4 : in[k / 2] & 0x0F;
          if (digit > 9) return false;
          *value = *value * 10 + digit;
        }
        return true;
      }
    }
    return false;
  }

  // The tag written as `coding` at `in`, as its part's key is written.
  std::string read_tag(const Coding& coding, const unsigned char* in) const {
    std::string tag;
    switch (coding.kind) {
      case CodingKind::kBinary:
        tag.resize(2 * static_cast<size_t>(coding.count));
        render_hex(in, static_cast<size_t>(coding.count), &tag[0]);
        break;
      case CodingKind::kAscii:
        tag.assign(reinterpret_cast<const char*>(in), static_cast<size_t>(coding.count));
        break;
      case CodingKind::kEbcdic:
        for (int k = 0; k < coding.count; ++k) {
          tag += ebcdic_to_ascii(dialect_.message.code_page, in[k]);
        }
        break;
      case CodingKind::kBcd: {
        std::string hex(2 * static_cast<size_t>(coding_bytes(coding)), '\0');
        render_hex(in, static_cast<size_t>(coding_bytes(coding)), &hex[0]);
        tag = hex.substr(hex.size() - static_cast<size_t>(coding.count));
        break;
      }
    }
    return tag;
  }

  bool tagged(const Layout& layout, const Span& span, int depth) {
    int position = 0;
    if (layout.prefix > 0) {
      if (layout.prefix > span.length) {
        return misfit(id_of(kPrefixKey), span, 0,
                      {"the prefix needs ", layout.prefix, units(span, layout.prefix), ", ", span.length,
                       " remain"});
      }
      const PartDef* def = layout.keyed(kPrefixKey);
      const FieldFormat* format = def != nullptr ? &def->format : &layout.parts_format;
      if (!emit(def, format, kPrefixKey, span, 0, layout.prefix,
                length_of_bytes(*format, layout.prefix), depth)) {
        return false;
      }
      position = layout.prefix;
    }
    const int tag_bytes = coding_bytes(layout.tag);
    const int header = tag_bytes + coding_bytes(layout.tag_length);
    while (position < span.length) {
      const int remain = span.length - position;
      const int at = field_offset(span, position);
      if (header > remain) {
        return misfit(id_, span, position,
                      {"at byte ", at, ", ", remain, units(span, remain), " cannot hold a tag and its length"});
      }
      const std::string tag = read_tag(layout.tag, bytes(span, position));
      const bool digits_tag = layout.tag.kind == CodingKind::kBcd;
      if (!is_alphanumeric(tag) || (digits_tag && tag.find_first_not_of("0123456789") != std::string::npos)) {
        std::string hex(2 * static_cast<size_t>(tag_bytes), '\0');
        render_hex(bytes(span, position), static_cast<size_t>(tag_bytes), &hex[0]);
        return misfit(id_, span, position, {"the tag at byte ", at, " (", hex, ") is not one of tag="});
      }
      int length = 0;
      if (!read_number(layout.tag_length, bytes(span, position + tag_bytes), &length)) {
        return misfit(id_of(tag), span, position, {"tag ", tag, " at byte ", at, ": its length is not digits"});
      }
      const PartDef* def = layout.keyed(tag);
      const FieldFormat* format = def != nullptr ? &def->format : &layout.parts_format;
      const int size = data_bytes(*format, length);
      if (def != nullptr && length > def->length) {
        return misfit(id_of(tag), span, position,
                      {"tag ", tag, " at byte ", at, " says ", length, ", more than its ", def->length});
      }
      if (size > remain - header) {
        return misfit(id_of(tag), span, position,
                      {"tag ", tag, " at byte ", at, " says ", size, units(span, size), ", ", remain - header,
                       " remain"});
      }
      if (!emit(def, format, tag, span, position + header, size, length, depth)) return false;
      position += header + size;
    }
    return true;
  }

  // Reads a bitmap of `bytes_of_bits` bytes at `in`, written as `map`, into `bits`.
  bool read_map(BitmapEncoding map, const unsigned char* in, int bytes_of_bits,
                unsigned char* bits) const {
    if (map == BitmapEncoding::kBinary) {
      std::memcpy(bits, in, static_cast<size_t>(bytes_of_bits));
      return true;
    }
    for (int k = 0; k < 2 * bytes_of_bits; ++k) {
      const char ch = map == BitmapEncoding::kHexEbcdic
                          ? ebcdic_to_ascii(dialect_.message.code_page, in[k])
                          : static_cast<char>(in[k]);
      const int digit = hex_digit_value(ch);
      if (digit < 0) return false;
      bits[k / 2] = static_cast<unsigned char>(k % 2 == 0 ? digit << 4 : bits[k / 2] | digit);
    }
    return true;
  }

  bool bitmap(const Layout& layout, const Span& span, int depth) {
    const int map_size = layout.map == BitmapEncoding::kBinary ? layout.map_bytes : 2 * layout.map_bytes;
    unsigned char bits[2 * 16] = {};
    int position = 0;
    int bytes_of_bits = layout.map_bytes;
    for (int map = 0; map < (layout.map_secondary ? 2 : 1); ++map) {
      if (map == 1 && (bits[0] & 0x80) == 0) break;
      if (position + map_size > span.length) {
        return misfit(id_, span, position,
                      {"the bitmap needs ", map_size, units(span, map_size), ", ", span.length - position,
                       " remain"});
      }
      if (!read_map(layout.map, bytes(span, position), layout.map_bytes, bits + map * layout.map_bytes)) {
        return misfit(id_, span, position,
                      {"the bitmap at byte ", field_offset(span, position), " is not hexadecimal"});
      }
      position += map_size;
      bytes_of_bits = (map + 1) * layout.map_bytes;
    }
    for (int number = 1; number <= 8 * bytes_of_bits; ++number) {
      if ((bits[(number - 1) / 8] & (0x80 >> ((number - 1) % 8))) == 0) continue;
      if (number == 1 && layout.map_secondary) continue;
      const PartDef* part = layout.numbered(number);
      if (part == nullptr) {
        const std::string id = joined_text({id_, ".", number});
        return misfit(id, span, position, {"bit ", number, " flags ", id, ", which the definitions lack"});
      }
      const int at = field_offset(span, position);
      int length = part->length;
      int indicator = 0;
      if (part->length_digits > 0) {
        indicator = indicator_bytes(part->format.length, part->length_digits);
        if (position + indicator > span.length) {
          return misfit(id_of(part->key), span, position,
                        {id_, ".", part->key, " at byte ", at, " needs ", indicator, units(span, indicator),
                         " for its length, ", span.length - position, " remain"});
        }
        if (read_length_indicator(part->format.length, part->length_digits, bytes(span, position),
                                  &length) == IndicatorRead::kNotDigits ||
            length < 0) {
          return misfit(id_of(part->key), span, position,
                        {id_, ".", part->key, " at byte ", at, ": its length is not digits"});
        }
        if (length > part->length) {
          return misfit(id_of(part->key), span, position,
                        {id_, ".", part->key, " at byte ", at, " says ", length, ", more than its ",
                         part->length});
        }
      }
      const int size = data_bytes(part->format, length);
      if (size > span.length - position - indicator) {
        return misfit(id_of(part->key), span, position,
                      {id_, ".", part->key, " at byte ", at, " needs ", size, units(span, size), ", ",
                       span.length - position - indicator, " remain"});
      }
      if (!emit(part, &part->format, part->key, span, position + indicator, size, length, depth)) {
        return false;
      }
      position += indicator + size;
    }
    if (position < span.length) {
      return misfit(id_, span, position,
                    {span.length - position, units(span, span.length - position), " after the last part of ",
                     id_, ", at byte ", field_offset(span, position)});
    }
    return true;
  }

  // The BER-TLV elements of [begin, end) of `span`, as field 55's are
  // walked; a template's elements are its parts, while levels remain.
  bool tlv(const Layout& layout, const Span& span, int begin, int end, int depth) {
    int position = begin;
    while (position < end) {
      const int at = field_offset(span, position);
      const unsigned char* in = bytes(span, position);
      const int tag_length = (in[0] & 0x1F) == 0x1F ? 2 : 1;
      if (position + tag_length + 1 > end) {
        return misfit(id_, span, position,
                      {"at byte ", at, ", ", end - position, units(span, end - position),
                       " cannot hold a tag and its length"});
      }
      std::string tag(2 * static_cast<size_t>(tag_length), '\0');
      render_hex(in, static_cast<size_t>(tag_length), &tag[0]);
      int header = tag_length + 1;
      int length = in[tag_length];
      if ((length & 0x80) != 0) {
        const int count_bytes = length & 0x7F;
        if (count_bytes < 1 || count_bytes > 2 || position + tag_length + 1 + count_bytes > end) {
          return misfit(id_of(tag), span, position,
                        {"tag ", tag, " at byte ", at, " has a length of ", count_bytes,
                         " bytes, not 1 or 2 within the data"});
        }
        length = 0;
        for (int k = 0; k < count_bytes; ++k) length = length * 256 + in[tag_length + 1 + k];
        header += count_bytes;
      }
      if (length > end - position - header) {
        return misfit(id_of(tag), span, position,
                      {"tag ", tag, " at byte ", at, " says ", length, units(span, length), ", ",
                       end - position - header, " remain"});
      }
      const PartDef* def = layout.keyed(tag);
      const bool constructed = (in[0] & 0x20) != 0;
      const FieldFormat* format = def != nullptr ? &def->format : value_format(layout, in + header, length);
      if (def == nullptr && constructed && depth < kMaxLayoutDepth) {
        // A template: its elements are its parts, named by the same lines.
        if (!emit(nullptr, &kBinaryFormat, tag, span, position + header, length, length, depth)) {
          return false;
        }
        const size_t index = message_->parts.size() - 1;
        const size_t id_end = id_.size();
        id_ += '.';
        id_ += tag;
        const bool fits = tlv(layout, span, position + header, position + header + length, depth + 1);
        id_.resize(id_end);
        message_->parts[index].descendants = static_cast<int>(message_->parts.size() - index - 1);
        if (!fits) return false;
      } else if (!emit(def, format, tag, span, position + header, length,
                       length_of_bytes(*format, length), depth)) {
        return false;
      }
      position += header + length;
    }
    return true;
  }

  // How a BER-TLV value that the file does not name is shown: as text when
  // the layout asks for it and it is printable, else in hexadecimal.
  static const FieldFormat* value_format(const Layout& layout, const unsigned char* value, int length) {
    if (!layout.text_values) return &kBinaryFormat;
    for (int k = 0; k < length; ++k) {
      if (value[k] < 0x20 || value[k] >= 0x7F) return &kBinaryFormat;
    }
    return &kRawFormat;
  }

  bool delimited(const Layout& layout, const Span& span, int depth) {
    const size_t count_of_parts = layout.parts.size();
    const size_t ended = layout.delimited < 0 ? count_of_parts : static_cast<size_t>(layout.delimited);
    int position = 0;
    for (size_t k = 0; k < ended; ++k) {
      const PartDef& part = layout.parts[k];
      if (position == span.length && k > 0) return true;  // the parts after it are absent
      const void* found = std::memchr(bytes(span, position), layout.separator,
                                      static_cast<size_t>(span.length - position));
      const bool last = k + 1 == count_of_parts;
      if (found == nullptr && !last) {
        return misfit(id_of(part.key), span, position,
                      {"part ", id_, ".", part.key, " at byte ", field_offset(span, position),
                       ": no separator before the end"});
      }
      const int size = found != nullptr
                           ? static_cast<int>(static_cast<const unsigned char*>(found) - bytes(span, position))
                           : span.length - position;
      if (part.length > 0 && size > part.length) {
        return misfit(id_of(part.key), span, position,
                      {"part ", id_, ".", part.key, " at byte ", field_offset(span, position), " has ", size,
                       units(span, size), ", more than its ", part.length});
      }
      if (!emit(&part, &part.format, part.key, span, position, size, length_of_bytes(part.format, size),
                depth)) {
        return false;
      }
      position += size + (found != nullptr ? 1 : 0);
    }
    if (!cut_run(layout, ended, count_of_parts, span, &position, depth, false)) return false;
    if (position < span.length) {
      return misfit(id_, span, position,
                    {span.length - position, units(span, span.length - position), " after the last part of ",
                     id_, ", at byte ", field_offset(span, position)});
    }
    return true;
  }

  const Dialect& dialect_;
  DecodedMessage* message_;
  const DecodedField& field_;
  std::string id_;  // the id of what is being cut
};

}  // namespace

void walk_parts(const Dialect& dialect, const Layout& layout, DecodedField* field,
                DecodedMessage* message) {
  const size_t first = message->parts.size();
  const size_t ids = message->part_ids.size();
  const size_t texts = message->part_text.size();
  field->first_part = static_cast<int>(first);
  Span span;
  span.digits = layout.in_digits;
  span.start = layout.in_digits ? 0 : field->data_offset;
  span.length = layout.in_digits ? field->value_length : field->length;
  if (PartWalker(dialect, message, *field).cut(layout, span, 1)) {
    field->part_count = static_cast<int>(message->parts.size() - first);
    return;
  }
  message->parts.resize(first);
  message->part_ids.resize(ids);
  message->part_text.resize(texts);
  field->part_count = 0;
  field->misfit = static_cast<int>(message->misfits.size()) - 1;
}

void fix_part_views(DecodedMessage* message) {
  for (DecodedPart& part : message->parts) {
    part.id = message->part_ids.data() + part.id_offset;
    if (part.value_offset >= 0) part.value = message->part_text.data() + part.value_offset;
  }
}

// Packing the parts of composite fields.
#include "pack/part_packer.h"

#include <algorithm>

#include "decode/ebcdic.h"
#include "decode/field_codec.h"
#include "decode/hex_text.h"

namespace {

// Where a part stands in its layout, read from its id.
struct PartPlace {
  int group = 0;    // its group, in a layout whose parts repeat; 0 otherwise
  std::string key;  // its key: a number, a tag, "prefix"
};

// Reads the place of the part `id` under `parent`: "parent.key" or
// "parent[group].key". Returns false when `id` is no part of `parent`.
bool place_of(const std::string& parent, const std::string& id, PartPlace* place) {
  if (id.compare(0, parent.size(), parent) != 0) return false;
  size_t at = parent.size();
  if (at < id.size() && id[at] == '[') {
    const size_t close = id.find(']', at);
    if (close == std::string::npos || close == at + 1 || close - at > 5) return false;
    const std::string group = id.substr(at + 1, close - at - 1);
    if (group.find_first_not_of("0123456789") != std::string::npos) return false;
    place->group = std::stoi(group);
    at = close + 1;
  }
  if (at >= id.size() || id[at] != '.') return false;
  place->key = id.substr(at + 1);
  return !place->key.empty() && place->key.find('.') == std::string::npos;
}

// The number of a numbered part's key, or 0.
int number_of(const std::string& key) {
  if (key.empty() || key.size() > 3 || key.find_first_not_of("0123456789") != std::string::npos) {
    return 0;
  }
  return std::stoi(key);
}

// Writes `number` as `coding` writes a tag's length; false when it cannot.
bool append_coded_number(const Coding& coding, int number, std::string* out) {
  std::string digits = std::to_string(number);
  switch (coding.kind) {
    case CodingKind::kBinary: {
      if (number >= 1 << (8 * coding.count)) return false;
      for (int k = coding.count - 1; k >= 0; --k) out->push_back(static_cast<char>(number >> (8 * k)));
      return true;
    }
    case CodingKind::kAscii:
    case CodingKind::kEbcdic:
    case CodingKind::kBcd:
      if (static_cast<int>(digits.size()) > coding.count) return false;
      digits.insert(0, static_cast<size_t>(coding.count) - digits.size(), '0');
      break;
  }
  if (coding.kind == CodingKind::kBcd) {
    if (digits.size() % 2 != 0) digits.insert(0, 1, '0');
    for (size_t k = 0; k < digits.size(); k += 2) {
      out->push_back(static_cast<char>((digits[k] - '0') << 4 | (digits[k + 1] - '0')));
    }
    return true;
  }
  for (char ch : digits) {
    out->push_back(coding.kind == CodingKind::kEbcdic
                       ? static_cast<char>(latin1_to_ebcdic(EbcdicCodePage::k037, static_cast<unsigned char>(ch)))
                       : ch);
  }
  return true;
}

// Writes the tag `key` as `coding` writes tags; false when it cannot.
bool append_tag(const Coding& coding, EbcdicCodePage code_page, const std::string& key, std::string* out) {
  switch (coding.kind) {
    case CodingKind::kBinary:
    case CodingKind::kBcd: {
      std::string hex = key;
      if (coding.kind == CodingKind::kBcd && hex.size() % 2 != 0) hex.insert(0, 1, '0');
      if (static_cast<int>(hex.size()) != 2 * coding_bytes(coding)) return false;
      for (size_t k = 0; k < hex.size(); k += 2) {
        const int high = hex_digit_value(hex[k]);
        const int low = hex_digit_value(hex[k + 1]);
        if (high < 0 || low < 0) return false;
        out->push_back(static_cast<char>(high << 4 | low));
      }
      return true;
    }
    case CodingKind::kAscii:
    case CodingKind::kEbcdic:
      if (static_cast<int>(key.size()) != coding.count) return false;
      for (char ch : key) {
        out->push_back(coding.kind == CodingKind::kEbcdic
                           ? static_cast<char>(latin1_to_ebcdic(code_page, static_cast<unsigned char>(ch)))
                           : ch);
      }
      return true;
  }
  return false;
}

// Packs parts into one layout.
class PartPacker {
 public:
  PartPacker(const Dialect& dialect, std::string* error) : dialect_(dialect), error_(error) {}

  // The data of the parts of `id` under `layout`: bytes, or digits.
  bool pack(const Layout& layout, const std::string& id, const std::vector<PackPart>& parts,
            std::string* data) {
    std::vector<Placed> placed;
    for (const PackPart& part : parts) {
      Placed entry{&part, {}, nullptr, 0};
      if (!place_of(id, part.id, &entry.place)) return fail(part.id, "not a part of " + id);
      entry.number = number_of(entry.place.key);
      entry.def = layout.keyed(entry.place.key);
      placed.push_back(entry);
    }
    data->clear();
    switch (layout.kind) {
      case LayoutKind::kPositional:
        return numbered(layout, &placed, data, true);
      case LayoutKind::kDelimited:
        return numbered(layout, &placed, data, false);
      case LayoutKind::kTagged:
        return tagged(layout, placed, data);
      case LayoutKind::kBitmap:
        return bitmap(layout, &placed, data);
      case LayoutKind::kTlv:
        return tlv(layout, placed, data);
    }
    return true;
  }

 private:
  struct Placed {
    const PackPart* part;
    PartPlace place;
    const PartDef* def;
    int number;
  };

  bool fail(const std::string& id, const std::string& reason) {
    *error_ = id + ": " + reason;
    return false;
  }

  // The data of one part and its length in its unit: its bytes or text, or
  // its own parts put together.
  bool data_of(const Layout& layout, const Placed& entry, std::string* data, int* length) {
    const PackValue& value = entry.part->value;
    const FieldFormat& format = entry.def != nullptr ? entry.def->format : layout.parts_format;
    if (value.from_parts) {
      const Layout* inner = entry.def != nullptr && entry.def->layout >= 0
                                ? &dialect_.layouts[static_cast<size_t>(entry.def->layout)]
                                : layout.kind == LayoutKind::kTlv ? &layout : nullptr;
      if (inner == nullptr) return fail(entry.part->id, "has parts, but no layout to put them in");
      if (!pack(*inner, entry.part->id, value.parts, data)) return false;
      *length = layout.in_digits ? static_cast<int>(data->size()) : length_of_bytes(format, static_cast<int>(data->size()));
      return true;
    }
    if (layout.in_digits) {
      // Packed digits are cut as text: the digits, given as text or as the
      // hexadecimal of their nibbles, which is the same.
      *data = value.bytes;
      *length = static_cast<int>(data->size());
      for (char ch : *data) {
        if (hex_digit_value(ch) < 0) return fail(entry.part->id, "'" + std::string(1, ch) + "' is not a digit");
      }
      return true;
    }
    if (value.is_hex) {
      if (value.bytes.size() % 2 != 0) return fail(entry.part->id, "hex has an odd number of digits");
      data->clear();
      for (size_t k = 0; k < value.bytes.size(); k += 2) {
        const int high = hex_digit_value(value.bytes[k]);
        const int low = hex_digit_value(value.bytes[k + 1]);
        if (high < 0 || low < 0) return fail(entry.part->id, "not a hexadecimal digit in hex");
        data->push_back(static_cast<char>(high << 4 | low));
      }
      *length = length_of_bytes(format, static_cast<int>(data->size()));
    } else if (value.is_text) {
      std::string reason;
      if (!encode_value(format, dialect_.message.code_page, value.bytes, data, length, &reason)) {
        return fail(entry.part->id, reason);
      }
    } else {
      *data = value.bytes;
      *length = length_of_bytes(format, static_cast<int>(data->size()));
    }
    if (value.length >= 0) *length = value.length;
    return true;
  }

  // Positional and delimited layouts: the parts in the order of their groups
  // and numbers.
  bool numbered(const Layout& layout, std::vector<Placed>* placed, std::string* out, bool positional) {
    std::stable_sort(placed->begin(), placed->end(), [](const Placed& a, const Placed& b) {
      return a.place.group != b.place.group ? a.place.group < b.place.group : a.number < b.number;
    });
    const int ended = layout.delimited < 0 ? static_cast<int>(layout.parts.size()) : layout.delimited;
    std::string data;
    for (size_t k = 0; k < placed->size(); ++k) {
      const Placed& entry = (*placed)[k];
      if (entry.def == nullptr) return fail(entry.part->id, "not a part of its layout");
      int length = 0;
      if (!data_of(layout, entry, &data, &length)) return false;
      const bool fixed = positional || entry.number > ended;
      if (fixed && entry.def->length != kRestOfData && length != entry.def->length) {
        return fail(entry.part->id, std::to_string(length) + (layout.in_digits ? " digits" : " units") +
                                        ", but it is fixed at " + std::to_string(entry.def->length));
      }
      *out += data;
      // Every part that ends with the separator has it, but the layout's last.
      if (!positional && entry.number <= ended &&
          entry.number < static_cast<int>(layout.parts.size())) {
        out->push_back(static_cast<char>(layout.separator));
      }
    }
    return true;
  }

  bool tagged(const Layout& layout, const std::vector<Placed>& placed, std::string* out) {
    std::string data;
    for (const Placed& entry : placed) {
      if (entry.place.key != kPrefixKey) continue;
      int length = 0;
      if (!data_of(layout, entry, &data, &length)) return false;
      if (static_cast<int>(data.size()) != layout.prefix) {
        return fail(entry.part->id, std::to_string(data.size()) + " bytes, but the prefix is " +
                                        std::to_string(layout.prefix));
      }
      *out += data;
    }
    for (const Placed& entry : placed) {
      if (entry.place.key == kPrefixKey) continue;
      int length = 0;
      if (!data_of(layout, entry, &data, &length)) return false;
      if (!append_tag(layout.tag, dialect_.message.code_page, entry.place.key, out)) {
        return fail(entry.part->id, "its tag cannot be written as tag= writes tags");
      }
      if (!append_coded_number(layout.tag_length, length, out)) {
        return fail(entry.part->id, "its length " + std::to_string(length) + " does not fit tag-len=");
      }
      *out += data;
    }
    return true;
  }

  bool bitmap(const Layout& layout, std::vector<Placed>* placed, std::string* out) {
    std::stable_sort(placed->begin(), placed->end(),
                     [](const Placed& a, const Placed& b) { return a.number < b.number; });
    unsigned char bits[32] = {};
    std::string body;
    std::string data;
    bool second = false;
    for (const Placed& entry : *placed) {
      if (entry.def == nullptr) return fail(entry.part->id, "not a part of its layout");
      int length = 0;
      if (!data_of(layout, entry, &data, &length)) return false;
      const PartDef& def = *entry.def;
      if (def.length_digits == 0 && length != def.length) {
        return fail(entry.part->id, std::to_string(length) + ", but it is fixed at " + std::to_string(def.length));
      }
      if (def.length_digits > 0) {
        if (length > def.length || length > largest_indicated_length(def.format.length, def.length_digits)) {
          return fail(entry.part->id, std::to_string(length) + ", more than its maximum of " + std::to_string(def.length));
        }
        append_length_indicator(def.format.length, def.length_digits, length, &body);
      }
      body += data;
      bits[(entry.number - 1) / 8] |= static_cast<unsigned char>(0x80 >> ((entry.number - 1) % 8));
      second |= entry.number > 8 * layout.map_bytes;
    }
    if (second) bits[0] |= 0x80;
    const int maps = layout.map_secondary && second ? 2 : 1;
    for (int map = 0; map < maps; ++map) {
      const unsigned char* map_bits = bits + map * layout.map_bytes;
      if (layout.map == BitmapEncoding::kBinary) {
        out->append(reinterpret_cast<const char*>(map_bits), static_cast<size_t>(layout.map_bytes));
        continue;
      }
      std::string hex(2 * static_cast<size_t>(layout.map_bytes), '\0');
      render_hex(map_bits, static_cast<size_t>(layout.map_bytes), &hex[0]);
      for (char& ch : hex) {
        if (layout.map == BitmapEncoding::kHexEbcdic) {
          ch = static_cast<char>(latin1_to_ebcdic(dialect_.message.code_page, static_cast<unsigned char>(ch)));
        }
      }
      *out += hex;
    }
    *out += body;
    return true;
  }

  bool tlv(const Layout& layout, const std::vector<Placed>& placed, std::string* out) {
    std::string data;
    for (const Placed& entry : placed) {
      int length = 0;
      if (!data_of(layout, entry, &data, &length)) return false;
      if (!append_tag(Coding{CodingKind::kBinary, static_cast<int>(entry.place.key.size() / 2)},
                      dialect_.message.code_page, entry.place.key, out) ||
          (entry.place.key.size() != 2 && entry.place.key.size() != 4)) {
        return fail(entry.part->id, "its tag is not 1 or 2 bytes of hexadecimal");
      }
      const size_t size = data.size();
      if (size > 0xFFFF) return fail(entry.part->id, "longer than a length of 2 bytes can say");
      if (size >= 0x100) {
        *out += {'\x82', static_cast<char>(size >> 8), static_cast<char>(size)};
      } else if (size >= 0x80) {
        *out += {'\x81', static_cast<char>(size)};
      } else {
        out->push_back(static_cast<char>(size));
      }
      *out += data;
    }
    return true;
  }

  const Dialect& dialect_;
  std::string* error_;
};

}  // namespace

bool pack_parts(const Dialect& dialect, const Layout& layout, const std::string& id,
                const std::vector<PackPart>& parts, PackValue* value, std::string* error) {
  std::string data;
  if (!PartPacker(dialect, error).pack(layout, id, parts, &data)) return false;
  value->from_parts = false;
  value->parts.clear();
  value->is_text = false;
  if (!layout.in_digits) {
    value->bytes = std::move(data);
    return true;
  }
  // Digits as the decoder shows them: every nibble, a pad or a separator
  // among them, packed as the field aligns and pads them.
  int length = 0;
  if (!encode_nibbles(layout.parts_format, data, &value->bytes, &length, error)) return false;
  value->length = length;
  return true;
}

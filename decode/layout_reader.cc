// Layouts read from their properties, and checked as a whole.
#include "decode/layout_reader.h"

#include <algorithm>

#include "decode/hex_text.h"

namespace {

// The settings that describe a layout, and the kind each belongs to.
struct LayoutSetting {
  Setting setting;
  LayoutKind kind;
};
constexpr LayoutSetting kLayoutSettings[] = {
    {Setting::kRepeat, LayoutKind::kPositional}, {Setting::kTag, LayoutKind::kTagged},
    {Setting::kTagLength, LayoutKind::kTagged},  {Setting::kPrefix, LayoutKind::kTagged},
    {Setting::kMap, LayoutKind::kBitmap},        {Setting::kMapBytes, LayoutKind::kBitmap},
    {Setting::kMapBit1, LayoutKind::kBitmap},    {Setting::kValues, LayoutKind::kTlv},
    {Setting::kSeparator, LayoutKind::kDelimited}, {Setting::kDelimited, LayoutKind::kDelimited},
};

std::string kind_word(LayoutKind kind) {
  return std::string("layout=") + value_word(Setting::kLayout, static_cast<int>(kind));
}

Coding coding_of(int code) { return Coding{static_cast<CodingKind>(code / 16), code % 16}; }

bool is_numbered(LayoutKind kind) {
  return kind == LayoutKind::kPositional || kind == LayoutKind::kBitmap ||
         kind == LayoutKind::kDelimited;
}

bool all_of_chars(const std::string& text, bool (*test)(char)) {
  return !text.empty() && std::all_of(text.begin(), text.end(), test);
}
bool is_digit(char ch) { return ch >= '0' && ch <= '9'; }
bool is_hex_digit(char ch) { return hex_digit_value(ch) >= 0; }
bool is_alphanumeric(char ch) {
  return is_digit(ch) || (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

void upper_case(std::string* text) {
  for (char& ch : *text) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  }
}

// The bits a bitmap layout's bitmaps hold.
int bitmap_bits(const Layout& layout) { return 8 * layout.map_bytes * (layout.map_secondary ? 2 : 1); }

// The digits or bytes a part takes of what its layout cuts.
int part_size(const Layout& layout, const PartDef& part) {
  return layout.in_digits ? part.length : data_bytes(part.format, part.length);
}

bool check_layout(const Layout& layout, std::string* reason) {
  const std::string named = "'" + layout.id + "'";
  if (layout.parts.empty() && is_numbered(layout.kind)) {
    *reason = named + " has " + kind_word(layout.kind) + " but no parts";
    return false;
  }
  if (!is_numbered(layout.kind)) return true;
  int rest_parts = 0;
  int fixed_total = 0;
  for (size_t k = 0; k < layout.parts.size(); ++k) {
    const PartDef& part = layout.parts[k];
    if (layout.kind != LayoutKind::kBitmap && part.number != static_cast<int>(k) + 1) {
      *reason = named + ": part " + layout.id + "." + std::to_string(k + 1) +
                " is missing, so the parts after it have no place";
      return false;
    }
    if (part.length == kRestOfData) {
      ++rest_parts;
      if (layout.repeat_from > 0 && part.number >= layout.repeat_from) {
        *reason = named + ": part " + part.key + " takes the rest, so it cannot repeat";
        return false;
      }
      if (layout.kind == LayoutKind::kDelimited &&
          (layout.delimited < 0 || part.number <= layout.delimited)) {
        *reason = named + ": part " + part.key + " ends with the separator, so it cannot take the rest";
        return false;
      }
    } else {
      fixed_total += part_size(layout, part);
    }
  }
  if (rest_parts > 1) {
    *reason = named + ": only one part can take the rest of the data";
    return false;
  }
  if (layout.repeat_from > static_cast<int>(layout.parts.size())) {
    *reason = named + ": repeat=" + std::to_string(layout.repeat_from) + " names no part";
    return false;
  }
  if (layout.delimited > static_cast<int>(layout.parts.size())) {
    *reason = named + ": delimited=" + std::to_string(layout.delimited) + " is more than its " +
              std::to_string(layout.parts.size()) + " parts";
    return false;
  }
  const bool fills = rest_parts > 0 || layout.repeat_from > 0;
  if (layout.kind == LayoutKind::kPositional && layout.fixed_length >= 0 && !fills &&
      fixed_total != layout.fixed_length) {
    const char* unit = layout.in_digits ? " digits" : " bytes";
    *reason = named + ": its parts take " + std::to_string(fixed_total) + unit + " of its " +
              std::to_string(layout.fixed_length);
    return false;
  }
  return true;
}

}  // namespace

bool has_layout_settings(const LineSettings& settings) {
  if (settings.has(Setting::kLayout)) return true;
  for (const LayoutSetting& row : kLayoutSettings) {
    if (settings.has(row.setting)) return true;
  }
  return false;
}

bool read_layout(const LineSettings& settings, Layout* layout, std::string* reason) {
  const bool declared = settings.has(Setting::kLayout);
  const LayoutKind kind = static_cast<LayoutKind>(settings.get_or(Setting::kLayout, 0));
  for (const LayoutSetting& row : kLayoutSettings) {
    if (!settings.has(row.setting)) continue;
    if (!declared) {
      *reason = settings.quoted(row.setting) + " needs " + kind_word(row.kind);
      return false;
    }
    if (row.kind != kind) {
      *reason = settings.quoted(row.setting) + " belongs to " + kind_word(row.kind) + ", not " +
                kind_word(kind);
      return false;
    }
  }
  layout->kind = kind;
  switch (kind) {
    case LayoutKind::kPositional:
      layout->repeat_from = settings.get_or(Setting::kRepeat, 0);
      break;
    case LayoutKind::kTagged:
      if (!settings.has(Setting::kTag) || !settings.has(Setting::kTagLength)) {
        *reason = "layout=tagged needs tag= and tag-len=, how its tags and their lengths are written";
        return false;
      }
      layout->tag = coding_of(settings[Setting::kTag]);
      layout->tag_length = coding_of(settings[Setting::kTagLength]);
      layout->prefix = settings.get_or(Setting::kPrefix, 0);
      break;
    case LayoutKind::kBitmap:
      layout->map = static_cast<BitmapEncoding>(settings.get_or(Setting::kMap, 0));
      layout->map_bytes = settings.get_or(Setting::kMapBytes, 8);
      layout->map_secondary = settings.get_or(Setting::kMapBit1, 0) == 1;
      break;
    case LayoutKind::kTlv:
      layout->text_values = settings.get_or(Setting::kValues, 0) == 1;
      break;
    case LayoutKind::kDelimited:
      if (!settings.has(Setting::kSeparator)) {
        *reason = "layout=delimited needs separator=, the character that ends its parts";
        return false;
      }
      layout->separator = static_cast<unsigned char>(settings[Setting::kSeparator]);
      layout->delimited = settings.get_or(Setting::kDelimited, -1);
      break;
  }
  return true;
}

bool read_part_key(const Layout& layout, std::string* key, int* number, std::string* reason) {
  const std::string named = "'" + layout.id + "." + *key + "'";
  *number = 0;
  if (is_numbered(layout.kind)) {
    if (!all_of_chars(*key, is_digit) || key->size() > 3 || std::stoi(*key) == 0) {
      *reason = named + ": the parts of " + kind_word(layout.kind) + " are numbered from 1";
      return false;
    }
    *number = std::stoi(*key);
    *key = std::to_string(*number);
    if (layout.kind == LayoutKind::kBitmap && *number > bitmap_bits(layout)) {
      *reason = named + ": its bitmap has only " + std::to_string(bitmap_bits(layout)) + " bits";
      return false;
    }
    if (layout.kind == LayoutKind::kBitmap && *number == 1 && layout.map_secondary) {
      *reason = named + ": bit 1 flags the second bitmap (map-bit1=secondary)";
      return false;
    }
    return true;
  }
  if (layout.kind == LayoutKind::kTlv) {
    if (!all_of_chars(*key, is_hex_digit) || (key->size() != 2 && key->size() != 4)) {
      *reason = named + ": a tag of layout=tlv is written as 1 or 2 bytes of hexadecimal";
      return false;
    }
    upper_case(key);
    return true;
  }
  std::string lower = *key;
  for (char& ch : lower) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
  if (lower == kPrefixKey) {
    if (layout.prefix == 0) {
      *reason = named + ": the layout has no prefix= bytes before its first tag";
      return false;
    }
    *key = kPrefixKey;
    return true;
  }
  const Coding& tag = layout.tag;
  bool fits = false;
  switch (tag.kind) {
    case CodingKind::kBinary:
      fits = all_of_chars(*key, is_hex_digit) && static_cast<int>(key->size()) == 2 * tag.count;
      upper_case(key);
      break;
    case CodingKind::kBcd:
      fits = all_of_chars(*key, is_digit) && static_cast<int>(key->size()) == tag.count;
      break;
    case CodingKind::kAscii:
    case CodingKind::kEbcdic:
      fits = static_cast<int>(key->size()) == tag.count && all_of_chars(*key, is_alphanumeric);
      break;
  }
  if (!fits) {
    *reason = named + ": its tag= takes " + std::to_string(tag.count) +
              (tag.kind == CodingKind::kBinary ? " bytes, written as hexadecimal"
               : tag.kind == CodingKind::kBcd  ? " digits"
                                               : " letters or digits");
    return false;
  }
  return true;
}

bool check_layouts(Dialect* dialect, int* line, std::string* reason) {
  // Only the layouts that a field, or a part of one, still has: a line
  // read again leaves its former layout behind.
  std::vector<bool> in_use(dialect->layouts.size(), false);
  std::vector<int> pending;
  for (const FieldDef& def : dialect->defs) {
    if (def.number > 0 && def.layout >= 0) pending.push_back(def.layout);
  }
  while (!pending.empty()) {
    const int index = pending.back();
    pending.pop_back();
    in_use[static_cast<size_t>(index)] = true;
    for (const PartDef& part : dialect->layouts[static_cast<size_t>(index)].parts) {
      if (part.layout >= 0) pending.push_back(part.layout);
    }
  }
  for (size_t index = 0; index < dialect->layouts.size(); ++index) {
    Layout& layout = dialect->layouts[index];
    if (!in_use[index]) continue;
    if (is_numbered(layout.kind)) {
      std::stable_sort(layout.parts.begin(), layout.parts.end(),
                       [](const PartDef& a, const PartDef& b) { return a.number < b.number; });
    }
    if (!check_layout(layout, reason)) {
      *line = layout.line;
      return false;
    }
  }
  return true;
}

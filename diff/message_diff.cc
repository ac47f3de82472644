// Comparing two decoded messages place by place.
#include "diff/message_diff.h"

#include <charconv>
#include <unordered_map>

#include "decode/hex_text.h"

namespace {

// The highest data element number.
constexpr int kLastField = kFieldRows - 1;

// The words of an ignore list besides field numbers.
struct IgnoredWord {
  const char* word;
  bool IgnoredPlaces::*place;
};
constexpr IgnoredWord kIgnoredWords[] = {
    {"mti", &IgnoredPlaces::type_indicator},
    {"header", &IgnoredPlaces::header},
};

// The `count` bytes at `bytes` of which `readable` can be read, as a view
// of those that can.
std::string_view bytes_view(const unsigned char* bytes, int count, int readable) {
  const int shown = count < readable ? count : readable;
  if (bytes == nullptr || shown <= 0) return std::string_view();
  return std::string_view(reinterpret_cast<const char*>(bytes), static_cast<size_t>(shown));
}

// Whether `a` and `b` write their data alike: the same bytes then say the
// same. The length indicator aside, which is not compared.
bool same_encoding(const DecodedField& a, const DecodedField& b) {
  const FieldFormat plain;
  const FieldFormat& format_a = a.format != nullptr ? *a.format : plain;
  const FieldFormat& format_b = b.format != nullptr ? *b.format : plain;
  return format_a.data == format_b.data && format_a.unit == format_b.unit &&
         format_a.left_aligned == format_b.left_aligned && format_a.pad == format_b.pad;
}

// The value of `field` as it was decoded, whatever masking hides: its
// bytes when shown as they stand, otherwise its text.
std::string_view unmasked_value(const DecodedField& field) {
  if (is_plain(field)) return bytes_view(field.data, field.length, field.readable);
  if (field.value == nullptr || field.value_length <= 0) return std::string_view();
  return std::string_view(field.value, static_cast<size_t>(field.value_length));
}

// Whether two fields hold the same: the same bytes when both are encoded
// alike, otherwise the same value (digits, characters), so that messages
// of two dialects compare by what they say.
bool same_field(const DecodedField& a, const DecodedField& b) {
  if (!same_encoding(a, b)) return unmasked_value(a) == unmasked_value(b);
  return a.length == b.length &&
         bytes_view(a.data, a.length, a.readable) == bytes_view(b.data, b.length, b.readable);
}

// The value of `element` of `field55`; bytes past the storage read as none.
std::string_view element_value(const DecodedField& field55, const TlvElement& element) {
  const int start =
      element.value_offset < field55.readable ? element.value_offset : field55.readable;
  return bytes_view(field55.data + start, element.value_length, field55.readable - start);
}

// The rows of `tree` directly inside row `parent`; for -1, the elements of
// field 55 itself.
std::vector<int> children_of(const std::vector<ExplainedElement>& tree, int parent) {
  std::vector<int> rows;
  const int depth = parent < 0 ? 0 : tree[static_cast<size_t>(parent)].depth + 1;
  for (size_t row = static_cast<size_t>(parent + 1); row < tree.size(); ++row) {
    if (tree[row].depth < depth) break;
    if (tree[row].depth == depth) rows.push_back(static_cast<int>(row));
  }
  return rows;
}

// The indexes of the parts of `message` at `depth` among the `count` parts
// from `first`: those of a field (depth 1), or of a part.
std::vector<int> parts_at(const DecodedMessage& message, int first, int count, int depth) {
  std::vector<int> indexes;
  for (int index = first; index < first + count; ++index) {
    if (message.parts[static_cast<size_t>(index)].depth == depth) indexes.push_back(index);
  }
  return indexes;
}

// Whether `field` is compared part by part: it was cut into parts, and its
// data fitted its layout.
bool has_parts(const DecodedField& field) { return field.part_count > 0 && field.misfit < 0; }

// The value of `part` as it was decoded, whatever masking hides: its bytes
// when shown as they stand, otherwise its text.
std::string_view unmasked_value(const DecodedPart& part) {
  const int length = is_plain(part) ? part.length : part.value_length;
  if (part.value == nullptr || length <= 0) return std::string_view();
  return std::string_view(part.value, static_cast<size_t>(length));
}

// `names` with "#2", "#3", … after the second and later of each name, so
// that every place is named once.
std::vector<std::string> numbered(std::vector<std::string> names) {
  std::unordered_map<std::string, int> seen;
  for (std::string& name : names) {
    const int earlier = seen[name]++;
    if (earlier > 0) name += "#" + std::to_string(earlier + 1);
  }
  return names;
}

// The places of the elements at `rows` of `tree` inside `parent`:
// "55.9F26", "55.9F26#2" for the second element with the tag.
std::vector<std::string> element_places(const std::vector<ExplainedElement>& tree,
                                        const std::vector<int>& rows, const std::string& parent) {
  std::vector<std::string> places;
  places.reserve(rows.size());
  for (const int row : rows) {
    const TlvElement& element = tree[static_cast<size_t>(row)].element;
    char tag[4];
    render_hex(element.tag, static_cast<size_t>(element.tag_length), tag);
    places.push_back(parent + "." + std::string(tag, 2 * static_cast<size_t>(element.tag_length)));
  }
  return numbered(std::move(places));
}

// The places of the parts of `message` at `indexes`: their ids, "60.2".
std::vector<std::string> part_places(const DecodedMessage& message,
                                     const std::vector<int>& indexes) {
  std::vector<std::string> places;
  places.reserve(indexes.size());
  for (const int index : indexes) {
    places.emplace_back(part_id(message.parts[static_cast<size_t>(index)]));
  }
  return numbered(std::move(places));
}

// Pairs each place of `places_a` with the same place of `places_b`:
// calls `pair(k, m)` for place k of A and m of B, in A's order, with m -1
// for a place only in A; then `pair(-1, m)` for each place only in B, in
// B's order. Found in one pass, as a field may hold thousands.
template <typename Pair>
void pair_places(const std::vector<std::string>& places_a,
                 const std::vector<std::string>& places_b, Pair pair) {
  std::unordered_map<std::string_view, int> index_b;
  for (size_t k = 0; k < places_b.size(); ++k) index_b.emplace(places_b[k], static_cast<int>(k));
  std::vector<bool> matched(places_b.size(), false);
  for (size_t k = 0; k < places_a.size(); ++k) {
    const auto match = index_b.find(places_a[k]);
    if (match == index_b.end()) {
      pair(static_cast<int>(k), -1);
      continue;
    }
    matched[static_cast<size_t>(match->second)] = true;
    pair(static_cast<int>(k), match->second);
  }
  for (size_t m = 0; m < places_b.size(); ++m) {
    if (!matched[m]) pair(-1, static_cast<int>(m));
  }
}

// Explains field 55 of `message` into `tree`, or empties it.
void explain_field55(const DecodedMessage& message, std::vector<ExplainedElement>* tree) {
  tree->clear();
  if (const DecodedField* field55 = message.find(55)) {
    explain_chip_data(*field55, message.field55, tree);
  }
}

Difference place_difference(Change change, PlaceKind kind, const std::string& place) {
  Difference difference;
  difference.change = change;
  difference.kind = kind;
  difference.place = place;
  return difference;
}

// Whether the unpacks of `a` and `b` ended alike.
bool same_ending(const UnpackVerdict& a, const UnpackVerdict& b) {
  return a.result == b.result && a.field == b.field;
}

}  // namespace

bool parse_ignored_places(std::string_view list, IgnoredPlaces* ignored) {
  while (true) {
    const size_t comma = list.find(',');
    const std::string_view item = list.substr(0, comma);
    bool known = false;
    for (const IgnoredWord& word : kIgnoredWords) {
      if (item == word.word) {
        ignored->*word.place = true;
        known = true;
      }
    }
    int number = 0;
    const auto read = std::from_chars(item.data(), item.data() + item.size(), number);
    if (!known && read.ec == std::errc() && read.ptr == item.data() + item.size() && number >= 2 &&
        number <= kLastField) {
      ignored->fields[number] = true;
      known = true;
    }
    if (!known) return false;
    if (comma == std::string_view::npos) return true;
    list.remove_prefix(comma + 1);
  }
}

void MessageDiff::compare(const DecodedMessage& a, const DecodedMessage& b,
                          const IgnoredPlaces& ignored) {
  a_ = &a;
  b_ = &b;
  differences_.clear();
  explain_field55(a, &tree_a_);
  explain_field55(b, &tree_b_);
  const std::string_view header_a = bytes_view(a.header, a.header_length, a.header_length);
  const std::string_view header_b = bytes_view(b.header, b.header_length, b.header_length);
  if (!ignored.header && header_a != header_b) {
    const Change change = header_b.empty()   ? Change::kOnlyInA
                          : header_a.empty() ? Change::kOnlyInB
                                             : Change::kChanged;
    differences_.push_back(place_difference(change, PlaceKind::kHeader, "header"));
  }
  const bool has_type_a = a.type_indicator.number != 0;
  const bool has_type_b = b.type_indicator.number != 0;
  if (!ignored.type_indicator && (has_type_a || has_type_b) &&
      !(has_type_a && has_type_b && same_field(a.type_indicator, b.type_indicator))) {
    const Change change = !has_type_b   ? Change::kOnlyInA
                          : !has_type_a ? Change::kOnlyInB
                                        : Change::kChanged;
    differences_.push_back(place_difference(change, PlaceKind::kTypeIndicator, "mti"));
  }
  size_t in_a = 0;
  size_t in_b = 0;
  while (in_a < a.fields.size() || in_b < b.fields.size()) {
    const DecodedField* field_a = in_a < a.fields.size() ? &a.fields[in_a] : nullptr;
    const DecodedField* field_b = in_b < b.fields.size() ? &b.fields[in_b] : nullptr;
    const int number_a = field_a != nullptr ? field_a->number : kFieldRows;
    const int number_b = field_b != nullptr ? field_b->number : kFieldRows;
    const int number = number_a < number_b ? number_a : number_b;
    if (number_a == number) ++in_a;
    if (number_b == number) ++in_b;
    if (ignored.fields[number]) continue;
    Change change = Change::kChanged;
    if (number_b != number) {
      change = Change::kOnlyInA;
    } else if (number_a != number) {
      change = Change::kOnlyInB;
    } else if (same_field(*field_a, *field_b)) {
      continue;
    }
    Difference difference = place_difference(change, PlaceKind::kField, std::to_string(number));
    difference.field = number;
    const size_t at = differences_.size();
    differences_.push_back(difference);
    if (change != Change::kChanged) continue;
    if (number == 55) {
      compare_elements(children_of(tree_a_, -1), children_of(tree_b_, -1), difference.place, 1);
    } else if (has_parts(*field_a) && has_parts(*field_b)) {
      compare_parts(parts_at(a, field_a->first_part, field_a->part_count, 1),
                    parts_at(b, field_b->first_part, field_b->part_count, 1), number, 1);
    }
    differences_[at].inner = differences_.size() > at + 1;
  }
  if (!same_ending(a.verdict, b.verdict)) {
    differences_.push_back(place_difference(Change::kChanged, PlaceKind::kResult, "result"));
  }
}

void MessageDiff::compare_elements(const std::vector<int>& rows_a, const std::vector<int>& rows_b,
                                   const std::string& parent, int depth) {
  const DecodedField& field55_a = *a_->find(55);
  const DecodedField& field55_b = *b_->find(55);
  const std::vector<std::string> places_a = element_places(tree_a_, rows_a, parent);
  const std::vector<std::string> places_b = element_places(tree_b_, rows_b, parent);
  pair_places(places_a, places_b, [&](int k, int m) {
    Difference difference;
    difference.kind = PlaceKind::kChipElement;
    difference.field = 55;
    difference.depth = depth;
    difference.row_a = k >= 0 ? rows_a[static_cast<size_t>(k)] : -1;
    difference.row_b = m >= 0 ? rows_b[static_cast<size_t>(m)] : -1;
    difference.place = k >= 0 ? places_a[static_cast<size_t>(k)] : places_b[static_cast<size_t>(m)];
    difference.change = m < 0 ? Change::kOnlyInA : k < 0 ? Change::kOnlyInB : Change::kChanged;
    if (difference.change == Change::kChanged) {
      const TlvElement& element_a = tree_a_[static_cast<size_t>(difference.row_a)].element;
      const TlvElement& element_b = tree_b_[static_cast<size_t>(difference.row_b)].element;
      if (element_a.value_length == element_b.value_length &&
          element_value(field55_a, element_a) == element_value(field55_b, element_b)) {
        return;
      }
    }
    const size_t at = differences_.size();
    differences_.push_back(difference);
    if (difference.change != Change::kChanged ||
        tree_a_[static_cast<size_t>(difference.row_a)].child_count == 0 ||
        tree_b_[static_cast<size_t>(difference.row_b)].child_count == 0) {
      return;
    }
    compare_elements(children_of(tree_a_, difference.row_a), children_of(tree_b_, difference.row_b),
                     difference.place, depth + 1);
    differences_[at].inner = differences_.size() > at + 1;
  });
}

void MessageDiff::compare_parts(const std::vector<int>& parts_a, const std::vector<int>& parts_b,
                                int field, int depth) {
  const std::vector<std::string> places_a = part_places(*a_, parts_a);
  const std::vector<std::string> places_b = part_places(*b_, parts_b);
  pair_places(places_a, places_b, [&](int k, int m) {
    Difference difference;
    difference.kind = PlaceKind::kPart;
    difference.field = field;
    difference.depth = depth;
    difference.row_a = k >= 0 ? parts_a[static_cast<size_t>(k)] : -1;
    difference.row_b = m >= 0 ? parts_b[static_cast<size_t>(m)] : -1;
    difference.place = k >= 0 ? places_a[static_cast<size_t>(k)] : places_b[static_cast<size_t>(m)];
    difference.change = m < 0 ? Change::kOnlyInA : k < 0 ? Change::kOnlyInB : Change::kChanged;
    if (difference.change != Change::kChanged) {
      differences_.push_back(difference);
      return;
    }
    const DecodedPart& part_a = a_->parts[static_cast<size_t>(difference.row_a)];
    const DecodedPart& part_b = b_->parts[static_cast<size_t>(difference.row_b)];
    if (unmasked_value(part_a) == unmasked_value(part_b)) return;
    const size_t at = differences_.size();
    differences_.push_back(difference);
    if (part_a.descendants == 0 || part_b.descendants == 0) return;
    compare_parts(parts_at(*a_, difference.row_a + 1, part_a.descendants, depth + 1),
                  parts_at(*b_, difference.row_b + 1, part_b.descendants, depth + 1), field,
                  depth + 1);
    differences_[at].inner = differences_.size() > at + 1;
  });
}

// Writing the differences of two messages as JSON.
#include "diff/diff_json.h"

#include <string>

#include "encoding/cp936_to_utf8.h"

namespace {

// The names of the changes, by Change.
constexpr const char* kChangeNames[] = {"only_a", "only_b", "changed"};

// Adds the part at `index` of `message` under `key`.
void add_part(const char* key, const DecodedMessage& message, int index, MessageJson* json) {
  const DecodedPart& part = message.parts[static_cast<size_t>(index)];
  std::string shown;
  std::string utf8;
  json->begin_object(key);
  json->add("id", part_id(part));
  json->add("length", part.unit_length);
  std::string hex(2 * static_cast<size_t>(part.length), '0');
  hex.resize(static_cast<size_t>(render_shown_hex(part, &hex[0])));
  json->add("hex", hex);
  const std::string_view text = shown_value(part, &shown);
  if (!is_plain(part) || is_printable_cp936(text)) {
    append_cp936_as_utf8(text, &utf8);
    json->add("text", utf8);
  }
  if (part.def != nullptr && !part.def->name.empty()) {
    utf8.clear();
    append_text_as_utf8(part.def->name, &utf8);
    json->add("name", utf8);
  }
  json->end_object();
}

// Adds the value of `difference` in `message` under `key`; `tree` is its
// field 55 explained and `row` the element's row there, or the part's
// index.
void add_side(const char* key, const Difference& difference, const DecodedMessage& message,
              const std::vector<ExplainedElement>& tree, int row, MessageJson* json) {
  switch (difference.kind) {
    case PlaceKind::kHeader:
      json->add_hex(key, message.header, static_cast<size_t>(message.header_length));
      break;
    case PlaceKind::kTypeIndicator:
      json->add_field(key, message, message.type_indicator);
      break;
    case PlaceKind::kField:
      json->add_field(key, message, *message.find(difference.field));
      break;
    case PlaceKind::kChipElement:
      json->add_chip_element(key, *message.find(55), tree[static_cast<size_t>(row)]);
      break;
    case PlaceKind::kPart:
      add_part(key, message, row, json);
      break;
    case PlaceKind::kResult:
      json->add(key, unpack_result_name(message.verdict.result));
      break;
  }
}

// The misfit of the field of `difference` in `message`, or nullptr.
const PartMisfit* misfit_of(const Difference& difference, const DecodedMessage& message) {
  const DecodedField* field = message.find(difference.field);
  if (field == nullptr || field->misfit < 0) return nullptr;
  return &message.misfits[static_cast<size_t>(field->misfit)];
}

// Adds "misfit" to the difference of a field whose data did not fit its
// layout on either side.
void add_misfits(const MessageDiff& diff, const Difference& difference, MessageJson* json) {
  const PartMisfit* misfit_a = misfit_of(difference, diff.a());
  const PartMisfit* misfit_b = misfit_of(difference, diff.b());
  if (misfit_a == nullptr && misfit_b == nullptr) return;
  json->begin_object("misfit");
  if (misfit_a != nullptr) json->add("a", misfit_a->reason);
  if (misfit_b != nullptr) json->add("b", misfit_b->reason);
  json->end_object();
}

void add_difference(const MessageDiff& diff, const Difference& difference, MessageJson* json) {
  json->begin_item();
  json->add("place", difference.place);
  json->add("change", kChangeNames[static_cast<int>(difference.change)]);
  if (difference.field != 0) json->add("field", difference.field);
  if (difference.kind == PlaceKind::kChipElement) {
    const ExplainedElement& named =
        difference.row_a >= 0 ? diff.chip_elements_a()[static_cast<size_t>(difference.row_a)]
                              : diff.chip_elements_b()[static_cast<size_t>(difference.row_b)];
    json->add_hex("tag", named.element.tag, static_cast<size_t>(named.element.tag_length));
  }
  if (difference.kind == PlaceKind::kChipElement || difference.kind == PlaceKind::kPart) {
    json->add("depth", difference.depth);
  }
  if (difference.inner) json->add_flag("inner");
  if (difference.kind == PlaceKind::kField) add_misfits(diff, difference, json);
  if (difference.change != Change::kOnlyInB) {
    add_side("a", difference, diff.a(), diff.chip_elements_a(), difference.row_a, json);
  }
  if (difference.change != Change::kOnlyInA) {
    add_side("b", difference, diff.b(), diff.chip_elements_b(), difference.row_b, json);
  }
  json->end_object();
}

}  // namespace

void add_diff_json(const MessageDiff& diff, MessageJson* json) {
  json->add_boolean("equal", diff.differences().empty());
  json->begin_list("differences");
  for (const Difference& difference : diff.differences()) add_difference(diff, difference, json);
  json->end_list();
}

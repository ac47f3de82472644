// Writing the differences of two messages as JSON.
#include "diff/diff_json.h"

namespace {

// The names of the changes, by Change.
constexpr const char* kChangeNames[] = {"only_a", "only_b", "changed"};

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
      json->add_part(key, message.parts[static_cast<size_t>(row)]);
      break;
    case PlaceKind::kResult:
      json->add(key, unpack_result_name(message.verdict.result));
      break;
  }
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

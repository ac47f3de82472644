// Walking field 55 into a tree of explained elements.
#include "explain/chip_data_tree.h"

#include <algorithm>

namespace {

bool is_masked(const DecodedField& field, const TlvElement& element) {
  if (field.hidden == nullptr) return false;
  for (int k = 0; k < element.value_length; ++k) {
    if (hidden_nibbles(field, element.value_offset + k) != 0) return true;
  }
  return false;
}

// Appends `element`, found by a walk that ends at `walk_end`, at `depth`
// with the elements inside it; `used` counts the rows of `tree` in use,
// whose storage is reused.
void add_element(const DecodedField& field55, const TlvElement& element, int walk_end, int depth,
                 std::vector<ExplainedElement>* tree, size_t* used) {
  if (*used == tree->size()) tree->emplace_back();
  const size_t row = (*used)++;
  ExplainedElement& explained = (*tree)[row];
  explained.element = element;
  explained.depth = depth;
  explained.child_count = 0;
  explained.tag = find_emv_tag(element.tag, element.tag_length);
  if (!is_masked(field55, element) && element.value_offset + element.value_length <= field55.readable) {
    explained.has_meaning =
        explain_emv_value(element.tag, element.tag_length, field55.data + element.value_offset,
                          element.value_length, &explained.meaning);
  } else {
    explained.meaning.clear();
    explained.has_meaning = false;
  }
  if (!is_constructed(element) || depth + 1 >= kMaxChipDataDepth) return;
  const int inner_end = inner_walk_end(element, walk_end);
  std::vector<TlvElement> children;
  walk_tlv(field55.data, field55.readable, element.value_offset, inner_end, &children);
  (*tree)[row].child_count = static_cast<int>(children.size());
  for (const TlvElement& child : children) {
    add_element(field55, child, inner_end, depth + 1, tree, used);
  }
}

}  // namespace

void explain_chip_data(const DecodedField& field55, const std::vector<TlvElement>& top,
                       std::vector<ExplainedElement>* tree) {
  size_t used = 0;
  for (const TlvElement& element : top) add_element(field55, element, field55.length, 0, tree, &used);
  tree->resize(std::min(used, tree->size()));
}

// The chip data of field 55 explained element by element: each with its
// dictionary names and the meaning of its value, and the elements inside
// constructed ones as a tree, walked as the report walks field 55.
#ifndef EXPLAIN_CHIP_DATA_TREE_H_
#define EXPLAIN_CHIP_DATA_TREE_H_

#include <vector>

#include "decode/decoded_message.h"
#include "emv/emv_meaning.h"
#include "emv/tag_dictionary.h"

// One element of the tree.
struct ExplainedElement {
  TlvElement element;         // offsets count in field 55
  int depth = 0;              // 0 for the elements of field 55 itself
  int child_count = 0;        // elements directly inside; they follow it
  const EmvTag* tag = nullptr;  // its dictionary row, or nullptr
  bool has_meaning = false;   // whether `meaning` holds one
  EmvMeaning meaning;
};

// Fills `tree` with the elements of `field55`, `top` being its elements as
// the report lists them, in depth-first order: each element followed by
// those inside it. Masked values have no meaning. `tree` keeps its storage
// from one message to the next.
void explain_chip_data(const DecodedField& field55, const std::vector<TlvElement>& top,
                       std::vector<ExplainedElement>* tree);

#endif  // EXPLAIN_CHIP_DATA_TREE_H_

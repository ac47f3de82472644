// The comparison of two decoded messages, A and B, as data: the places
// where they differ, each only in A, only in B or changed. Places are the
// header, the message type indicator, the data elements, the elements of
// field 55 (also inside templates), the parts of the other composite
// fields (also inside parts) and the unpack's ending. Bytes are compared
// as they stand in the messages, whatever masking hides.
#ifndef DIFF_MESSAGE_DIFF_H_
#define DIFF_MESSAGE_DIFF_H_

#include <string>
#include <string_view>
#include <vector>

#include "decode/decoded_message.h"
#include "explain/chip_data_tree.h"

// How a place differs.
enum class Change : unsigned char { kOnlyInA, kOnlyInB, kChanged };

// The kinds of place.
enum class PlaceKind : unsigned char {
  kHeader,         // the bytes before the message type indicator
  kTypeIndicator,  // the message type indicator
  kField,          // a data element
  kChipElement,    // an element of field 55
  kPart,           // a part (sub-field) of a composite field other than 55
  kResult,         // how the unpack ended
};

// One difference.
struct Difference {
  Change change = Change::kChanged;
  PlaceKind kind = PlaceKind::kField;
  int field = 0;  // kField, kChipElement and kPart: the field number
  // The place's name for scripts: "header", "mti", "result", "4", "55.9F26",
  // "55.70.5A" inside a template, "55.9F26#2" for a tag's second element;
  // a part's id, "60.2", "48.26" or "54[2].3", with "#2" after it for the
  // second part with that id.
  std::string place;
  int depth = 0;  // kChipElement and kPart: 1 in its field, 2 inside an element or part there, …
  // kChipElement: the element's rows in chip_elements_a() and
  // chip_elements_b(); kPart: the part's index in the parts of a() and
  // b(); -1 on the side that lacks it.
  int row_a = -1;
  int row_b = -1;
  // Whether the differences of the elements or parts inside it follow:
  // for composite fields, templates and parts of parts that changed.
  bool inner = false;
};

// What a comparison leaves out.
struct IgnoredPlaces {
  bool header = false;
  bool type_indicator = false;
  bool fields[kFieldRows] = {};  // by field number, 2 to 128
};

// Reads a list such as "7,11,37,mti" into `ignored`: field numbers 2 to
// 128, "mti" and "header", separated by commas. Returns false when an item
// is none of these.
bool parse_ignored_places(std::string_view list, IgnoredPlaces* ignored);

class MessageDiff {
 public:
  // Compares `a` with `b`, leaving out what `ignored` names. Both must
  // live, unchanged but for masking, while the differences are read.
  void compare(const DecodedMessage& a, const DecodedMessage& b, const IgnoredPlaces& ignored);

  // The differences, in the order of the messages: header, type
  // indicator, fields by number with the elements or parts of a changed
  // composite field after it (in A's order, then those only in B), then
  // the ending.
  const std::vector<Difference>& differences() const { return differences_; }

  const DecodedMessage& a() const { return *a_; }
  const DecodedMessage& b() const { return *b_; }

  // Field 55 of A and of B, explained element by element, as the rows of
  // the chip element differences count them; empty without field 55.
  const std::vector<ExplainedElement>& chip_elements_a() const { return tree_a_; }
  const std::vector<ExplainedElement>& chip_elements_b() const { return tree_b_; }

 private:
  // Compares the elements of A's rows `rows_a` with those of B's rows
  // `rows_b`, all inside the place `parent` at `depth`.
  void compare_elements(const std::vector<int>& rows_a, const std::vector<int>& rows_b,
                        const std::string& parent, int depth);

  // Compares the parts of A at the indexes `parts_a` with those of B at
  // `parts_b`, all of field `field` at `depth`.
  void compare_parts(const std::vector<int>& parts_a, const std::vector<int>& parts_b, int field,
                     int depth);

  const DecodedMessage* a_ = nullptr;
  const DecodedMessage* b_ = nullptr;
  std::vector<ExplainedElement> tree_a_;
  std::vector<ExplainedElement> tree_b_;
  std::vector<Difference> differences_;
};

#endif  // DIFF_MESSAGE_DIFF_H_

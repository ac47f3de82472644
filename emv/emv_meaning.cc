// The entry point: which tags have meaning tables, and the explainer or
// bit table of each.
#include "emv/emv_meaning.h"

#include "decode/limits.h"
#include "emv/code_meanings.h"
#include "emv/cvm.h"
#include "emv/tag_dictionary.h"

namespace {

using Explainer = bool (*)(const unsigned char* value, int length, EmvMeaning* meaning);

// A tag with meanings: either the bits of `bits`, or what `explain` says.
struct MeaningSource {
  int code;
  const BitTable* bits;
  Explainer explain;
};

constexpr MeaningSource kMeaningSources[] = {
    {0x82, &kApplicationInterchangeProfile, nullptr},
    {0x8E, nullptr, explain_cvm_list},
    {0x95, &kTerminalVerificationResults, nullptr},
    {0x9B, &kTransactionStatusInformation, nullptr},
    {0x9C, nullptr, explain_transaction_type},
    {0x5F28, nullptr, explain_country_code},
    {0x5F2A, nullptr, explain_currency_code},
    {0x9F1A, nullptr, explain_country_code},
    {0x9F27, nullptr, explain_cryptogram_information},
    {0x9F33, &kTerminalCapabilities, nullptr},
    {0x9F34, nullptr, explain_cvm_results},
    {0x9F35, nullptr, explain_terminal_type},
    {0x9F40, &kAdditionalTerminalCapabilities, nullptr},
    {0x9F42, nullptr, explain_currency_code},
};

constexpr int kSourceCount = sizeof kMeaningSources / sizeof kMeaningSources[0];

// kMeaningSources by the last byte of their codes, which no two share, so
// that a tag's source is found in one look: one more than the row, 0 for
// none.
struct SourceIndex {
  unsigned char row_of[256];
  bool unambiguous;  // no two rows share a last byte
};

constexpr SourceIndex make_source_index() {
  SourceIndex index{};
  index.unambiguous = true;
  for (int row = 0; row < kSourceCount; ++row) {
    unsigned char& slot = index.row_of[kMeaningSources[row].code & 0xFF];
    if (slot != 0) index.unambiguous = false;
    slot = static_cast<unsigned char>(row + 1);
  }
  return index;
}

constexpr SourceIndex kSourceIndex = make_source_index();
static_assert(kSourceIndex.unambiguous, "two tags with meanings share their last byte");

const MeaningSource* find_source(int code) {
  const int row = kSourceIndex.row_of[code & 0xFF];
  return row != 0 && kMeaningSources[row - 1].code == code ? &kMeaningSources[row - 1] : nullptr;
}

}  // namespace

void EmvMeaning::clear() {
  bits.clear();
  meaning.clear();
  details.clear();
}

bool explain_emv_value(const unsigned char tag[2], int tag_length, const unsigned char* value,
                       int length, EmvMeaning* meaning) {
  meaning->clear();
  if (value == nullptr || length < 0 || length > kMaxTagValueLength) return false;
  const MeaningSource* source = find_source(emv_tag_code(tag, tag_length));
  if (source == nullptr) return false;
  const bool explained = source->bits != nullptr
                             ? list_set_bits(*source->bits, value, length, &meaning->bits)
                             : source->explain(value, length, meaning);
  if (!explained) meaning->clear();
  return explained;
}

// Keeping the marks of a masked message.
#include "mask/kept_masks.h"

#include "mask/card_data_mask.h"

void KeptMasks::mask(DecodedMessage* message) {
  mask_card_data(message);
  marks_.clear();
  const auto keep = [this](const unsigned char* marks, int count) {
    marks_.emplace_back(marks, marks + count);
    return marks_.back().data();
  };
  for (DecodedField& field : message->fields) {
    if (field.hidden != nullptr) field.hidden = keep(field.hidden, field.length);
    if (field.value_hidden != nullptr) {
      field.value_hidden = keep(field.value_hidden, field.value_length);
    }
  }
}

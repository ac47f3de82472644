// Masking for several messages shown at once: mask_card_data keeps the
// marks of the message it masked last only, so a message masked before
// another keeps its marks here.
#ifndef MASK_KEPT_MASKS_H_
#define MASK_KEPT_MASKS_H_

#include <vector>

#include "decode/decoded_message.h"

class KeptMasks {
 public:
  // Masks `message` as mask_card_data does, and keeps its marks here,
  // where they live until the next call or until this is gone.
  void mask(DecodedMessage* message);

 private:
  std::vector<std::vector<unsigned char>> marks_;
};

#endif  // MASK_KEPT_MASKS_H_

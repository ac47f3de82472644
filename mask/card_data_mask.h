// Masking of card data, as the card industry's data security standard
// allows it to be displayed: a card number (PAN) keeps its first 6 and last
// 4 digits, the rest of track data and PIN data are hidden. Lengths and
// every other byte stay, so a masked output lines up with the unmasked one.
#ifndef MASK_CARD_DATA_MASK_H_
#define MASK_CARD_DATA_MASK_H_

#include "decode/decoded_message.h"

// Marks the card data of `message` hidden, in the fields and in the field 55
// elements (also those inside constructed elements) that hold it:
// - the card numbers and track data of the fields that the dialect says
//   hold them (fields 2, 34, 35, 36 and 45 unless it says otherwise), where
//   everything after the separator ('=', 'D' or '^') is hidden too; a field
//   shown as text (packed digits, EBCDIC) is masked by its characters;
// - the EMV elements 5A, 57, 9F6B (packed digits, nibble by nibble) and 56;
// - all of the fields the dialect calls secret (field 52, PIN data, unless
//   it says otherwise) and of the elements 9F1F, 9F20 and 5F20.
// The marks are kept in `message`, until it is decoded into again.
void mask_card_data(DecodedMessage* message);

#endif  // MASK_CARD_DATA_MASK_H_

// Cardholder verification: the CVM results of a transaction (9F34) and a
// card's CVM list (8E), explained with the CV rule tables.
#ifndef EMV_CVM_H_
#define EMV_CVM_H_

#include "emv/emv_meaning.h"

// CVM results, 3 bytes: the CV rule performed (method code, condition
// code) and its result. Fills meaning->meaning; false when the value does
// not fit.
bool explain_cvm_results(const unsigned char* value, int length, EmvMeaning* meaning);

// CVM list: amount X and amount Y (4 bytes each, binary), then 2-byte CV
// rules. Fills meaning->meaning with the amounts and meaning->details
// with one line per rule; false when the value does not fit.
bool explain_cvm_list(const unsigned char* value, int length, EmvMeaning* meaning);

#endif  // EMV_CVM_H_

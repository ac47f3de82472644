// The differences of two messages for people, in UTF-8: one line a place
// with its name and how it differs, then the value in A after "-" and the
// value in B after "+", each with its meaning:
//   Field 4 | amount, transaction | changed
//     - 000000012850 | 128.50 CNY
//     + 000000099900 | 999.00 CNY
//   Field 55 | ICC data | changed
//     9F26 | Application Cryptogram | 应用密文 | changed
//       - 7A3C1E5B9D20F486
//       + 0F1E2D3C4B5A6978
//   Field 60 | reserved private | changed
//     60.2 | batch number | changed
//       - 000001
//       + 000002
// A composite field, template or part whose inner differences follow
// shows no value of its own. A field whose data did not fit its layout
// has the reason under its value.
#ifndef DIFF_DIFF_TEXT_H_
#define DIFF_DIFF_TEXT_H_

#include <string>

#include "diff/message_diff.h"

// Appends the differences of `diff` to `text`, with LF line ends; nothing
// when there are none. Values show what the messages' masking leaves.
void write_diff_text(const MessageDiff& diff, std::string* text);

#endif  // DIFF_DIFF_TEXT_H_

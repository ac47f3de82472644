// The walk of composite fields: the data of a field cut into the parts its
// layout describes, and those parts into theirs.
//
// Every part has an id, its field's number and, for each level, a dot and
// the part's key there:
// - a numbered part (positional, bitmap, delimited): its number, "60.2",
//   "127.25.3";
// - a tagged part: the tag as written, "48.26" (a binary tag in
//   hexadecimal, "62.DF01"); the bytes before the first tag, "48.prefix";
// - a BER-TLV element: its tag in hexadecimal, "62.9F26", and inside a
//   template "62.70.5A";
// - a part of a group that repeats: the group's number in brackets after
//   the id of what repeats, "54[2].3" for part 3 of the second group.
#ifndef DECODE_PART_WALK_H_
#define DECODE_PART_WALK_H_

#include "decode/decoded_message.h"
#include "decode/dialect.h"

// Cuts `field` of `message`, whose layout in `dialect` is `layout`, into
// its parts and appends them to message->parts, with their ids in
// message->part_ids and their texts in message->part_text (which the
// parts point into only once fix_part_views has run). When the data does
// not fit the layout, no part is kept, and the misfit is appended to
// message->misfits.
void walk_parts(const Dialect& dialect, const Layout& layout, DecodedField* field,
                DecodedMessage* message);

// Points the parts of `message` at their bytes, texts and ids, once the
// walk of every field is done.
void fix_part_views(DecodedMessage* message);

#endif  // DECODE_PART_WALK_H_

// The differences of two messages as one JSON object, for scripts:
//   {"equal": false, "differences": [{"place": "4", "change": "changed",
//   "field": 4, "a": {…}, "b": {…}}, …]}
// "change" is "only_a", "only_b" or "changed"; "a" and "b" are the place's
// value in each message that has it, in the form of iso8583dump --json
// --explain: a field as "fields" lists it (the message type indicator
// too; a field whose data did not fit its layout, compared whole, with its
// "sub_error"), a field 55 element as "field55" lists it and a part of a
// composite field as "sub" lists it, both without what is inside them, the
// header as hexadecimal text, the ending as "result" names it. Elements of
// field 55 also have "tag" and "depth", parts "depth"; a composite field,
// template or part whose inner differences follow has "inner": true.
#ifndef DIFF_DIFF_JSON_H_
#define DIFF_DIFF_JSON_H_

#include "diff/message_diff.h"
#include "json/message_json.h"

// Adds the keys "equal" and "differences" of `diff` to the object that
// `json` is writing.
void add_diff_json(const MessageDiff& diff, MessageJson* json);

#endif  // DIFF_DIFF_JSON_H_

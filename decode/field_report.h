// The report of a decoded message, as the window shows it: code page 936
// text with CR LF line ends. Masked bytes show as '*'.
#ifndef DECODE_FIELD_REPORT_H_
#define DECODE_FIELD_REPORT_H_

#include <vector>

#include "decode/decoded_message.h"
#include "decode/report.h"

// Replaces the content of `report` with the whole report of `message`:
// the field report, then the field 55 listing when field 55 was stored.
void write_report(const DecodedMessage& message, Report* report);

// Appends the whole report of `message` to `text`, written in `room`,
// which the caller keeps from one report to the next.
void append_report(const DecodedMessage& message, WriterRoom* room, Report* text);

// Replaces the content of `report` with the field report: a heading with
// the message type indicator, one line per stored element and the lines of
// the verdict.
void write_field_report(const DecodedMessage& message, Report* report);

// Appends the listing of the `elements` of `field55` between an opening and
// a closing banner.
void write_field55_listing(const DecodedField& field55, const std::vector<TlvElement>& elements,
                           Report* report);

// Appends the line of `element`, whose offsets count in `field55`, as the
// `sequence`th element of the listing.
void write_tag_line(const DecodedField& field55, const TlvElement& element, int sequence,
                    Report* report);

#endif  // DECODE_FIELD_REPORT_H_

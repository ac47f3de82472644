// What the fuzz targets share: files of the source tree, definition files
// and messages split from one input, and the checks that one decode left
// the decoded message and its report sound. A failed check aborts, which
// libFuzzer reports as a crash and saves the input that caused it.
#ifndef FUZZ_FUZZ_SUPPORT_H_
#define FUZZ_FUZZ_SUPPORT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "decode/decoded_message.h"
#include "decode/decoder.h"
#include "decode/report.h"

// Aborts, saying `what` failed, unless `condition` holds.
void fuzz_check(bool condition, const char* what);

// The contents of `relative_path` in the source tree; aborts when it
// cannot be read, since a target without its fixed inputs tests nothing.
std::string read_source_file(const char* relative_path);

// A decoder of the bytes of an input before its first zero byte, read as a
// definition file; `rest` gets the bytes after it (none without a zero
// byte): one input then varies the definitions and what is decoded.
Decoder decoder_from_head(const uint8_t* data, size_t size, std::string_view* rest);

// Upper-case hexadecimal text of `size` bytes, as a user would paste them.
std::string hex_text_of(const uint8_t* bytes, size_t size);

// Decodes `text` as the programs do (text reader, decode, report) with
// `decoder` into `message` and `report`, and checks the result with
// check_decoded.
DecodeOutcome decode_and_check(const Decoder& decoder, std::string_view text,
                               DecodedMessage* message, Report* report);

// Aborts unless the decode that ended with `outcome` and wrote `report`
// (empty when the decode refused its input) left everything sound:
// - every stored field is defined, in ascending order, framed within its
//   definition, and a view of its own bytes of the message's copy;
// - the copy is zero past the message's own bytes;
// - the report starts with the heading, ends with a line end and stays
//   below a size that only a runaway loop could exceed, and converts to
//   well-formed UTF-8, as iso8583dump prints it.
void check_decoded(const Decoder& decoder, DecodeOutcome outcome, const DecodedMessage& message,
                   const Report& report);

// The same checks of the report alone, for the window's report.
void check_report(const Dialect& dialect, DecodeOutcome outcome, const Report& report);

#endif  // FUZZ_FUZZ_SUPPORT_H_

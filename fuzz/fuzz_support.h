// What the fuzz targets share: quiet error reports, files of the source
// tree, and the checks that one decode left the field tables and the
// report sound. A failed check aborts, which libFuzzer reports as a crash
// and saves the input that caused it.
#ifndef FUZZ_FUZZ_SUPPORT_H_
#define FUZZ_FUZZ_SUPPORT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "decode/decode_request.h"

// Drops the decoder's environment errors ("fopen error", "malloc() error"),
// which hostile definition files cause on purpose.
void silence_error_reports();

// Aborts, saying `what` failed, unless `condition` holds.
void fuzz_check(bool condition, const char* what);

// The contents of `relative_path` in the source tree; aborts when it
// cannot be read, since a target without its fixed inputs tests nothing.
std::string read_source_file(const char* relative_path);

// Reads the bytes of an input before its first zero byte as a definition
// file, and returns the bytes after it (none without a zero byte): one
// input then varies the definitions and what is decoded with them.
std::string_view define_from_head(const uint8_t* data, size_t size);

// Upper-case hexadecimal text of `size` bytes, as a user would paste them.
std::string hex_text_of(const uint8_t* bytes, size_t size);

// Aborts unless the decode that ended with `outcome` and wrote `report`
// (empty before the decode) left everything sound:
// - every defined row is framed within the bounds the definition reader
//   enforces, and its storage is max_length + 1 bytes or none;
// - every stored field is defined, has storage and a length from 0 to its
//   max_length, and its storage is zero after its data; rows not stored
//   are all zeros;
// - a rejected request left the report untouched; a decoded one starts
//   with the heading, ends with a line end and stays below a size that
//   only a runaway loop could exceed;
// - the report converts to well-formed UTF-8, as iso8583dump prints it.
void check_decode(DecodeOutcome outcome, const Report& report);

#endif  // FUZZ_FUZZ_SUPPORT_H_

// Helpers shared by the tests: readable expectations written in UTF-8 and
// turned into the report's code page 936 bytes, and decoders and messages
// built from text.
#ifndef TESTS_TEST_SUPPORT_H_
#define TESTS_TEST_SUPPORT_H_

#include <string>
#include <vector>

#include "decode/decoded_message.h"
#include "decode/decoder.h"
#include "decode/report.h"

// `text` converted from the encoding `from` to `to` by the C library's
// iconv, independently of the program's own tables; throws when it cannot.
std::string iconv_convert(const char* to, const char* from, const std::string& text);

// `utf8` converted to code page 936 by the C library, independently of the
// decoder's own byte tables.
std::string cp936(const std::string& utf8);

// The report text for `utf8_lines`: converted to code page 936, and every
// line feed turned into CR LF.
Report report_text(const std::string& utf8_lines);

// Bytes from hexadecimal text; spaces are ignored.
std::string bytes_of(const std::string& hex);

// Upper-case hexadecimal text of `bytes`.
std::string hex_of(const std::string& bytes);

// A decoder of the definition file `contents`; fails the calling test when
// a line ends the reading.
Decoder decoder_of(const std::string& contents);

// Decodes the message of hexadecimal `hex_text` with `decoder` into
// `message`; fails the calling test when the text is refused.
DecodeOutcome decode_text(const Decoder& decoder, const std::string& hex_text,
                          DecodedMessage* message);

// The bytes of hexadecimal `hex_text`, read as iso8583dump reads message
// text; fails the calling test when it is refused.
std::string message_bytes(const std::string& hex_text);

// Reads a whole file; fails the calling test when it cannot.
std::string read_file(const std::string& path);

// The names of the shipped dialects, sorted: every file of dialects/ in
// the folder the tests run in.
std::vector<std::string> shipped_dialects();

#endif  // TESTS_TEST_SUPPORT_H_

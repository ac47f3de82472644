// The decoder's C interface, the one way that the WebAssembly build (the
// page and the npm package) reaches the library: decoders made from the
// text of a definition file, each message decoded as one line of
// iso8583dump --json (as text, or as a record that JavaScript makes
// objects from) or as its report, messages packed from their JSON as
// iso8583pack does, the messages of a file of hex dumps, streams of
// messages read as iso8583dump --each-line and --hexdump read them, the
// guess of their dialect and the comparison of two messages.
//
// Every call leaves its text or bytes in one result buffer, read with
// iso8583_result() and iso8583_result_length() until the next call.
#ifndef WASM_DECODER_BINDING_H_
#define WASM_DECODER_BINDING_H_

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

// One dialect, with its own field storage.
typedef struct Iso8583Decoder Iso8583Decoder;

// Flags of iso8583_decode(), iso8583_report() and iso8583_lines_open().
enum {
  ISO8583_INPUT_BYTES = 1,  // the input is the message's bytes (--binary), not hexadecimal text
  ISO8583_EXPLAIN = 2,      // the JSON says what values mean (--json --explain)
  ISO8583_MASK = 4,         // card data masked (--mask)
  // The JSON object as a record of json/json_record.h rather than text.
  // The names and shapes a record defines are used by the later records of
  // the same decoder with the same ISO8583_EXPLAIN and ISO8583_MASK, so
  // their reader must read every one of them, in order.
  ISO8583_RECORD = 8,
  ISO8583_HEXDUMP = 16,  // a stream holds hex dumps (--hexdump), not one message a line
  // The report in UTF-16, low byte first, the form of JavaScript's strings,
  // rather than UTF-8.
  ISO8583_UTF16 = 32,
};

// What iso8583_decode() and iso8583_report() return: iso8583dump's exit
// status for the message.
enum {
  ISO8583_UNPACKED = 0,       // every flagged field read
  ISO8583_UNPACK_FAILED = 1,  // the report ends with a failure line
  ISO8583_REJECTED = 2,       // odd digit count, or too short to decode
};

// What iso8583_lines_next() returns after the last message of a stream.
enum { ISO8583_END = -1 };

// Reads the text of a definition file. Returns a new decoder, or NULL when
// a line ends the reading as invalid or holds a property not understood;
// the result is then where and why: "line 7: unknown property 'lenn=bcd'".
Iso8583Decoder* iso8583_decoder_create(const char* definitions, size_t length);

// Frees a decoder made by iso8583_decoder_create().
void iso8583_decoder_destroy(Iso8583Decoder* decoder);

// Decodes one message as iso8583dump --json does; the result is its JSON
// object without a line end. The input is hexadecimal text, blanks and the
// cut at kMaxMessageTextLength characters, or with ISO8583_INPUT_BYTES the
// bytes.
int iso8583_decode(Iso8583Decoder* decoder, const char* input, size_t length, int flags);

// The same, with the result the UTF-8 report of iso8583dump (empty for
// rejected input), or with ISO8583_UTF16 that report in UTF-16.
int iso8583_report(Iso8583Decoder* decoder, const char* input, size_t length, int flags);

// Packs the JSON object of one message as iso8583pack does. Returns 0 with
// the result the message's bytes, or 2 with the result iso8583pack's
// reason ("field 4: not defined").
int iso8583_pack(Iso8583Decoder* decoder, const char* json, size_t length);

// A stream of messages in text that arrives piece by piece, read as
// iso8583dump --each-line or --hexdump reads it. It holds at most the text
// of one line that has not ended, and of that the first few kilobytes.
typedef struct Iso8583Lines Iso8583Lines;

// Opens a stream of messages for `decoder`, which must outlive it. With
// ISO8583_HEXDUMP it holds hex dumps, otherwise one message a line;
// ISO8583_EXPLAIN, ISO8583_MASK and ISO8583_RECORD are as for
// iso8583_decode().
Iso8583Lines* iso8583_lines_open(Iso8583Decoder* decoder, int flags);

// Adds the next `length` bytes of the stream's text.
void iso8583_lines_push(Iso8583Lines* lines, const char* text, size_t length);

// Tells that the stream's text has ended.
void iso8583_lines_end(Iso8583Lines* lines);

// Decodes the next messages of the stream whose text is whole, at most
// `count` (and fewer when they are long), as iso8583_decode() does, each with the "line" iso8583dump
// --json gives it. The result holds, for each, its status and the byte
// count of its JSON (or record) with a line feed (4 bytes each,
// little-endian), then those bytes, and zeros up to a multiple of 4 bytes.
// Returns how many messages it holds: 0 when none is whole before more
// text is pushed, and ISO8583_END after the last message of a stream that
// has ended.
int iso8583_lines_next(Iso8583Lines* lines, int count);

// Frees a stream.
void iso8583_lines_close(Iso8583Lines* lines);

// Reads text as iso8583dump --hexdump does. Returns the number of messages;
// the result holds, for each, its first line and its byte count (4 bytes
// each, little-endian), then its bytes.
int iso8583_read_hexdump(const char* text, size_t length);

// The result of the latest call.
const char* iso8583_result(void);
size_t iso8583_result_length(void);

// Memory for the arguments, which the caller fills in and frees.
void* iso8583_alloc(size_t size);
void iso8583_free(void* memory);

// A guess of the dialect of messages, as iso8583dump --guess makes it: its
// candidate dialects, each read once, and what they made of the messages
// read since its last result.
typedef struct Iso8583Guess Iso8583Guess;

// A guess without candidates.
Iso8583Guess* iso8583_guess_create(void);

// Frees a guess made by iso8583_guess_create().
void iso8583_guess_destroy(Iso8583Guess* guess);

// Adds a candidate to `guess`: `text` holds its name (what iso8583dump's
// --defs takes to read it), a zero byte, and the text of its definition
// file. The preferred one comes first, as the file --defs names does.
// Returns 0, or ISO8583_REJECTED when the definitions end the reading as
// invalid or hold a property not understood: the candidate is left out.
int iso8583_guess_add(Iso8583Guess* guess, const char* text, size_t length, int preferred);

// Reads one message, hexadecimal text or with ISO8583_INPUT_BYTES its
// bytes, with every candidate. Returns 0, or ISO8583_REJECTED when it was
// refused and is not counted.
int iso8583_guess_read(Iso8583Guess* guess, const char* input, size_t length, int flags);

// Leaves in the result the ranking of the messages read, as iso8583dump
// --guess --json writes it without its line end, and forgets them.
// Returns ISO8583_UNPACKED when the first reading reads every message
// completely, otherwise ISO8583_UNPACK_FAILED.
int iso8583_guess_result(Iso8583Guess* guess);

// Compares message A, read with `decoder_a`, with message B, read with
// `decoder_b`, as iso8583dump --diff --json does (--mask with
// ISO8583_MASK). `parts` holds A (`length_a` bytes: hexadecimal text, or
// with ISO8583_INPUT_BYTES the message's bytes), then B (`length_b`
// bytes), then the list of places to leave out (`ignore_length` bytes, as
// --ignore takes it: "7,11,mti"; none when empty). Returns ISO8583_UNPACKED
// when they are equal and ISO8583_UNPACK_FAILED when they differ, with the
// result the JSON object; or ISO8583_REJECTED, with the result the reason,
// when a message is refused or the list is not one.
int iso8583_diff(Iso8583Decoder* decoder_a, Iso8583Decoder* decoder_b, const char* parts,
                 size_t length_a, size_t length_b, size_t ignore_length, int flags);

#ifdef __cplusplus
}
#endif

#endif  // WASM_DECODER_BINDING_H_

// The decoder's C interface, the one way that the WebAssembly build (the
// page and the npm package) reaches the library: decoders made from the
// text of a definition file, each message decoded as one line of
// iso8583dump --json or as its report, messages packed from their JSON as
// iso8583pack does, and the messages of a file of hex dumps.
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

// Flags of iso8583_decode() and iso8583_report().
enum {
  ISO8583_INPUT_BYTES = 1,  // the input is the message's bytes (--binary), not hexadecimal text
  ISO8583_EXPLAIN = 2,      // the JSON says what values mean (--json --explain)
  ISO8583_MASK = 4,         // card data masked (--mask)
};

// What iso8583_decode() and iso8583_report() return: iso8583dump's exit
// status for the message.
enum {
  ISO8583_UNPACKED = 0,       // every flagged field read
  ISO8583_UNPACK_FAILED = 1,  // the report ends with a failure line
  ISO8583_REJECTED = 2,       // odd digit count, or too short to decode
};

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
// rejected input).
int iso8583_report(Iso8583Decoder* decoder, const char* input, size_t length, int flags);

// Packs the JSON object of one message as iso8583pack does. Returns 0 with
// the result the message's bytes, or 2 with the result iso8583pack's
// reason ("field 4: not defined").
int iso8583_pack(Iso8583Decoder* decoder, const char* json, size_t length);

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

#ifdef __cplusplus
}
#endif

#endif  // WASM_DECODER_BINDING_H_

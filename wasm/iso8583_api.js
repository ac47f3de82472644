// The decoder for JavaScript, over the C interface of the WebAssembly
// module (wasm/decoder_binding.h): the page and the npm package both use
// it, with the module loaded their own way.
import { bindComparison } from './iso8583_compare.js';
import { RecordTables, keepView, keepViews, readObject, readRecord } from './json_record.js';
import { streamMessages } from './message_lines.js';

// Flags of the C interface.
const INPUT_BYTES = 1;
const EXPLAIN = 2;
const MASK = 4;
const RECORD = 8;
const HEXDUMP = 16;
const UTF16 = 32;
const REJECTED = 2;
const END = -1;
// The most messages a stream hands over at once.
const BATCH_MESSAGES = 64;

// UTF-16 text, low byte first, as a string: Node.js's Buffer copies it,
// where a TextDecoder would decode it.
const utf16Text = globalThis.Buffer
  ? (bytes) => globalThis.Buffer.from(bytes.buffer, bytes.byteOffset, bytes.length).toString('utf16le')
  : ((decoder) => (bytes) => decoder.decode(bytes))(new TextDecoder('utf-16le'));

// Inputs up to this size are copied into one buffer that stays in the
// module's memory; larger ones into memory of their own for one call.
const SCRATCH_BYTES = 1 << 16;

// The decoder functions over `module`, a loaded emscripten module.
export function bindIso8583(module) {
  const utf8 = new TextEncoder();
  const text = new TextDecoder();

  let scratch = 0;

  // Copies `bytes` into the module's memory for the length of `use`.
  function withBytes(bytes, use) {
    if (bytes.length <= SCRATCH_BYTES) {
      scratch ||= module._iso8583_alloc(SCRATCH_BYTES);
      module.HEAPU8.set(bytes, scratch);
      return use(scratch, bytes.length);
    }
    const at = module._iso8583_alloc(bytes.length);
    module.HEAPU8.set(bytes, at);
    try {
      return use(at, bytes.length);
    } finally {
      module._iso8583_free(at);
    }
  }

  function resultBytes() {
    const at = module._iso8583_result();
    return module.HEAPU8.subarray(at, at + module._iso8583_result_length());
  }

  function resultText() {
    return text.decode(resultBytes());
  }

  // The bytes of a message and whether they are hexadecimal text.
  function messageInput(input) {
    if (typeof input === 'string') return [utf8.encode(input), 0];
    if (input instanceof Uint8Array) return [input, INPUT_BYTES];  // a Buffer is one too
    throw new TypeError('input must be hexadecimal text, a Uint8Array or a Buffer');
  }

  function optionFlags(options) {
    if (options === null || typeof options !== 'object') throw new TypeError('options must be an object');
    return (options.explain ? EXPLAIN : 0) | (options.mask ? MASK : 0);
  }

  // One set of definitions.
  class Decoder {
    // The names and shapes of the records of each JSON writer, by
    // explained and masked.
    #recordTables = [new RecordTables(), new RecordTables(), new RecordTables(), new RecordTables()];

    constructor(handle) {
      this.handle = handle;
    }

    // The handle of the module's decoder; a closed one has none, and the
    // module's memory it named may hold anything by now.
    openHandle() {
      if (this.handle === 0) throw new Error('the decoder is closed');
      return this.handle;
    }

    // The tables of the records written with `flags`.
    #tables(flags) {
      return this.#recordTables[(flags & (EXPLAIN | MASK)) >> 1];
    }

    // Decodes `input` into a record, left in the result.
    #decodeRecord(input, options) {
      const [bytes, form] = messageInput(input);
      const flags = form | optionFlags(options) | RECORD;
      const handle = this.openHandle();
      withBytes(bytes, (at, length) => module._iso8583_decode(handle, at, length, flags));
      return flags;
    }

    // The message as one line of iso8583dump --json, as text.
    decodeLine(input, options = {}) {
      const [bytes, form] = messageInput(input);
      const flags = form | optionFlags(options);
      const handle = this.openHandle();
      withBytes(bytes, (at, length) => module._iso8583_decode(handle, at, length, flags));
      return resultText();
    }

    // The message as iso8583dump --json gives it, as an object.
    decode(input, options = {}) {
      const tables = this.#tables(this.#decodeRecord(input, options));
      return readObject(readRecord(module, tables), tables);
    }

    // The message as a MessageView, which builds only what is read of it.
    view(input, options = {}) {
      return keepView(module, this.#tables(this.#decodeRecord(input, options)));
    }

    // The messages of `chunks`, an async iterable of text or bytes such as
    // a Node.js stream, as MessageViews: one message a line as iso8583dump
    // --each-line reads them, or with `hexdump` the dumps that --hexdump
    // reads.
    lines(chunks, options = {}) {
      if (chunks === null || typeof chunks[Symbol.asyncIterator] !== 'function') {
        throw new TypeError('lines() reads an async iterable of text or bytes, such as a stream');
      }
      const flags = optionFlags(options) | RECORD | (options.hexdump ? HEXDUMP : 0);
      const tables = this.#tables(flags);
      return streamMessages(chunks, () => {
        const stream = module._iso8583_lines_open(this.openHandle(), flags);
        // The stream reads through this decoder, so it must be open.
        const open = () => {
          this.openHandle();
          return stream;
        };
        return {
          push: (bytes) => withBytes(bytes, (at, length) => module._iso8583_lines_push(open(), at, length)),
          end: () => module._iso8583_lines_end(open()),
          next: () => {
            const count = module._iso8583_lines_next(open(), BATCH_MESSAGES);
            if (count === END) return null;
            return keepViews(module, count, tables);
          },
          close: () => module._iso8583_lines_close(stream),
        };
      });
    }

    // The UTF-8 report of iso8583dump (--mask with `mask`); empty for
    // rejected input.
    report(input, options = {}) {
      const [bytes, form] = messageInput(input);
      const flags = form | (optionFlags(options) & MASK) | UTF16;
      const handle = this.openHandle();
      withBytes(bytes, (at, length) => module._iso8583_report(handle, at, length, flags));
      return utf16Text(resultBytes());
    }

    // The message packed from its JSON object, as iso8583pack does.
    pack(message) {
      if (message === null || typeof message !== 'object' || Array.isArray(message)) {
        throw new TypeError('pack takes a message object, as decode returns it');
      }
      const handle = this.openHandle();
      const json = utf8.encode(JSON.stringify(message));
      const status = withBytes(json, (at, length) => module._iso8583_pack(handle, at, length));
      if (status === REJECTED) throw new Error(resultText());
      return resultBytes().slice();
    }

    // The differences of messages `a` and `b`, this decoder's and those of
    // `options.decoderB` (or else its own), as iso8583dump --diff --json.
    diff(a, b, options = {}) {
      return comparison.diff(this, options?.decoderB ?? this, a, b, options);
    }

    // Frees the decoder's memory; using it afterwards throws an Error, and
    // closing it again does nothing.
    close() {
      if (this.handle === 0) return;
      module._iso8583_decoder_destroy(this.handle);
      this.handle = 0;
    }
  }

  // A decoder for the definition file `definitions` (text or its bytes).
  // Throws an Error "line 7: field number below 1" for an invalid line.
  function openDecoder(definitions) {
    let bytes;
    if (typeof definitions === 'string') bytes = utf8.encode(definitions);
    else if (definitions instanceof Uint8Array) bytes = definitions;
    else throw new TypeError('definitions must be the text of a definition file, or its bytes');
    const handle = withBytes(bytes, (at, length) => module._iso8583_decoder_create(at, length));
    if (handle === 0) throw new Error(resultText());
    return new Decoder(handle);
  }

  // The messages of hex dumps in `bytes`, as iso8583dump --hexdump reads
  // them: [{line, bytes}].
  function readHexdump(bytes) {
    const count = withBytes(bytes, (at, length) => module._iso8583_read_hexdump(at, length));
    const all = resultBytes();
    const view = new DataView(all.buffer, all.byteOffset, all.length);
    const messages = [];
    for (let k = 0, at = 0; k < count; ++k) {
      const line = view.getUint32(at, true);
      const length = view.getUint32(at + 4, true);
      messages.push({ line, bytes: all.slice(at + 8, at + 8 + length) });
      at += 8 + length;
    }
    return messages;
  }

  const comparison = bindComparison(module, { withBytes, messageInput, resultText });
  return { openDecoder, readHexdump, openGuess: comparison.openGuess };
}

// Objects from the records of json/json_record.h: the JSON object of a
// message built without JSON text, all at once (readObject) or field by
// field as they are asked for (MessageView). The library decides every key
// and value; this file only assembles them.

// The kinds of the words of a record.
const NUMBER = 0;
const WIDE_NUMBER = 1;
const ASCII = 2;
const UTF8 = 3;
const NAME = 4;
const BOOLEAN = 5;
const ARRAY = 6;
const OBJECT = 7;
const NEW_NAME = 8;
const NEW_SHAPE = 9;
const FORGET = 10;

// The bytes of the four counts that start a record.
const HEADER_BYTES = 16;

const utf8Decoder = new TextDecoder();

// Objects whose keys are these, in this order, are built as literals,
// which V8 makes many times faster than objects built key by key: most
// messages, their fields and their field 55 elements. Objects with any
// other keys are built key by key.
const literalBuilders = [
  [['mti', 'mti_hex', 'bitmap', 'fields', 'result', 'field55'],
    () => ({
      mti: readValue(), mti_hex: readValue(), bitmap: readValue(), fields: readValue(), result: readValue(),
      field55: readValue(),
    })],
  [['mti', 'mti_hex', 'bitmap', 'fields', 'result'],
    () => ({ mti: readValue(), mti_hex: readValue(), bitmap: readValue(), fields: readValue(), result: readValue() })],
  [['field', 'length', 'bytes', 'hex', 'text', 'name'],
    () => ({ field: readValue(), length: readValue(), bytes: readValue(), hex: readValue(), text: readValue(), name: readValue() })],
  [['field', 'length', 'bytes', 'hex', 'name'],
    () => ({ field: readValue(), length: readValue(), bytes: readValue(), hex: readValue(), name: readValue() })],
  [['field', 'length', 'bytes', 'hex', 'text'],
    () => ({ field: readValue(), length: readValue(), bytes: readValue(), hex: readValue(), text: readValue() })],
  [['field', 'length', 'bytes', 'hex'],
    () => ({ field: readValue(), length: readValue(), bytes: readValue(), hex: readValue() })],
  [['tag', 'length', 'value', 'name'],
    () => ({ tag: readValue(), length: readValue(), value: readValue(), name: readValue() })],
];

// The builder of objects with `keys`.
function builderFor(keys) {
  const literal = literalBuilders.find(([known]) =>
    known.length === keys.length && known.every((key, k) => key === keys[k]));
  if (literal) return literal[1];
  return () => {
    const object = {};
    for (const key of keys) object[key] = readValue();
    return object;
  };
}

// What the records of one writer have defined: names, and shapes with
// their keys and builders. A record's definitions are read before it, in
// the order the writer wrote them.
export class RecordTables {
  constructor() {
    this.forget();
  }

  forget() {
    // New arrays: views keep the ones of their record.
    this.names = [];
    this.shapeKeys = [];
    this.builders = [];
  }

  // Reads the definitions of `record`.
  define(record) {
    const { words, definitionsAt, definitionsEnd, bytes, utf8At } = record;
    for (let at = definitionsAt; at < definitionsEnd;) {
      const word = words[at++];
      switch (word & 15) {
        case NEW_NAME: {
          const start = utf8At + words[at + 1];
          const text = utf8Decoder.decode(bytes.subarray(start, start + words[at]));
          this.names.push((word >>> 4) !== 0 ? JSON.parse(text) : text);
          at += 2;
          break;
        }
        case NEW_SHAPE: {
          const keys = [];
          for (let count = word >>> 4; count > 0; --count) keys.push(this.names[words[at++]]);
          this.shapeKeys.push(keys);
          this.builders.push(builderFor(keys));
          break;
        }
        case FORGET:
          this.forget();
          break;
        default:
          throw new Error(`damaged record: definition kind ${word & 15}`);
      }
    }
  }
}

// The record that starts at byte `at` of `bytes`, a Uint8Array over the
// start of its buffer, and `words` over the same buffer: where its parts
// are, in words and in bytes.
function recordAt(words, bytes, at) {
  const first = (at + HEADER_BYTES) >> 2;
  const valueWords = words[first - 4];
  const definitionWords = words[first - 3];
  const asciiAt = at + HEADER_BYTES + 4 * (valueWords + definitionWords);
  const utf8At = asciiAt + words[first - 2];
  return {
    words,
    bytes,
    valueAt: first,
    definitionsAt: first + valueWords,
    definitionsEnd: first + valueWords + definitionWords,
    asciiAt,
    utf8At,
  };
}

// The record that `module`'s latest call left as its result, read where it
// is, so until the next call, after its definitions are read into `tables`.
export function readRecord(module, tables) {
  const at = module._iso8583_result();
  // The module's allocator aligns what it hands out, and so the record's
  // words; a copy would do otherwise.
  const record = at % 4 === 0 ? recordAt(module.HEAP32, module.HEAPU8, at) : keptRecord(module);
  if (record.definitionsEnd > record.definitionsAt) tables.define(record);
  return record;
}

// Records kept for views are copied into blocks of this size, so that a
// view costs no buffer of its own; a view keeps its block alive.
const BLOCK_BYTES = 1 << 16;
let block = new Uint8Array(0);
let blockWords = new Int32Array(0);
let blockUsed = 0;

// Copies `length` bytes of `module`'s memory from byte `at` into a block,
// at a multiple of 4 bytes; returns the block's words and bytes and where
// the copy starts.
function keepBytes(module, at, length) {
  if (blockUsed + length > block.length) {
    block = new Uint8Array(Math.max(BLOCK_BYTES, length));
    blockWords = new Int32Array(block.buffer, 0, block.length >> 2);
    blockUsed = 0;
  }
  const start = blockUsed;
  block.set(module.HEAPU8.subarray(at, at + length), start);
  blockUsed += (length + 3) & ~3;
  return { words: blockWords, bytes: block, start };
}

// A copy of `module`'s result, which stays as it is.
function keptRecord(module) {
  const { words, bytes, start } = keepBytes(module, module._iso8583_result(), module._iso8583_result_length());
  return recordAt(words, bytes, start);
}

// A view of the record of `module`'s latest call, copied out of its
// memory, after its definitions are read into `tables`.
export function keepView(module, tables) {
  const record = keptRecord(module);
  if (record.definitionsEnd > record.definitionsAt) tables.define(record);
  return new MessageView(record, tables);
}

// Views of the `count` messages of a batch that `module`'s latest call left
// as its result (iso8583_lines_next), each a status and a record, copied
// out of its memory. Each view is made right after its record's
// definitions are read into `tables`, so that it keeps the names and
// shapes its record uses.
export function keepViews(module, count, tables) {
  const { words, bytes, start } = keepBytes(module, module._iso8583_result(), module._iso8583_result_length());
  const views = [];
  for (let k = 0, at = start; k < count; ++k) {
    const record = recordAt(words, bytes, at + 8);
    if (record.definitionsEnd > record.definitionsAt) tables.define(record);
    views.push(new MessageView(record, tables));
    at += 8 + ((words[(at >> 2) + 1] + 3) & ~3);
  }
  return views;
}

// The state of the value being read: its record's words and texts, and
// the names and builders of its writer.
let recordWords;
let wordAt;
let recordAscii;
let recordBytes;
let recordUtf8At;
let recordNames;
let recordBuilders;

function readValue() {
  const word = recordWords[wordAt++];
  switch (word & 15) {
    case NUMBER:
      return word >>> 4;
    case ASCII: {
      const offset = recordWords[wordAt++];
      return recordAscii.slice(offset, offset + (word >>> 4));
    }
    case NAME:
      return recordNames[word >>> 4];
    case OBJECT:
      ++wordAt;
      return recordBuilders[word >>> 4]();
    case ARRAY: {
      ++wordAt;
      const list = [];
      for (let count = word >>> 4; count > 0; --count) list.push(readValue());
      return list;
    }
    case UTF8: {
      const start = recordUtf8At + recordWords[wordAt++];
      return utf8Decoder.decode(recordBytes.subarray(start, start + (word >>> 4)));
    }
    case BOOLEAN:
      return (word >>> 4) !== 0;
    case WIDE_NUMBER: {
      const low = recordWords[wordAt] >>> 0;
      const high = recordWords[wordAt + 1];
      wordAt += 2;
      return high * 4294967296 + low;
    }
    default:
      throw new Error(`damaged record: value kind ${word & 15}`);
  }
}

// The value that starts at word `start` of `record`, its ASCII text being
// `ascii`, with the names and builders of `tables`.
function valueAt(record, start, ascii, tables) {
  recordWords = record.words;
  wordAt = start;
  recordAscii = ascii;
  recordBytes = record.bytes;
  recordUtf8At = record.utf8At;
  recordNames = tables.names;
  recordBuilders = tables.builders;
  return readValue();
}

// The word after the value that starts at word `start` of `words`.
function valueEnd(words, start) {
  const word = words[start];
  switch (word & 15) {
    case ARRAY:
    case OBJECT:
      return start + 2 + words[start + 1];
    case ASCII:
    case UTF8:
      return start + 2;
    case WIDE_NUMBER:
      return start + 3;
    default:
      return start + 1;
  }
}

// The ASCII text of a record as one string.
function asciiString(record) {
  return utf8Decoder.decode(record.bytes.subarray(record.asciiAt, record.utf8At));
}

// The object of a record read by readRecord().
export function readObject(record, tables) {
  return valueAt(record, record.valueAt, asciiString(record), tables);
}

// A decoded message that builds what is asked of it, from its own copy of
// its record: so it stays as it is whatever is decoded later, and after
// its decoder is closed.
class MessageView {
  #record;
  #names;
  #shapeKeys;
  #builders;
  #ascii;
  #keys;  // the message's keys
  #starts;  // where their values start
  #fieldObjects = [];  // the objects of the fields built so far, by number

  // `record` copied out of the module's memory, whose definitions `tables`
  // have read last.
  constructor(record, tables) {
    this.#record = record;
    this.#names = tables.names;
    this.#shapeKeys = tables.shapeKeys;
    this.#builders = tables.builders;
  }

  // The message type indicator as text, when it is printable.
  get mti() {
    return this.#get('mti');
  }

  // The unpack's ending: "unpacked", "too_short", …; undefined for refused input.
  get result() {
    return this.#get('result');
  }

  // Why the input was refused: "odd_digit_count", "too_short" or "not_hex".
  get error() {
    return this.#get('error');
  }

  // The input line of a message read by lines().
  get line() {
    return this.#get('line');
  }

  // The object of field `number`, as decode() gives it in `fields`, or
  // undefined when the message does not hold it.
  field(number) {
    let object = this.#fieldObjects[number];
    if (object === undefined) {
      const start = this.#fieldStart(number);
      if (start < 0) return undefined;
      object = this.#valueAt(start);
      this.#fieldObjects[number] = object;
    }
    return object;
  }

  // Whether the message holds field `number`.
  has(number) {
    return this.#fieldStart(number) >= 0;
  }

  // The objects of all its fields, as decode() gives them in `fields`.
  fields() {
    const numbers = [];
    this.#eachField((number) => {
      numbers.push(number);
      return false;
    });
    return numbers.map((number) => this.field(number));
  }

  // The whole object, as decode() gives it; JSON.stringify() writes it.
  toJSON() {
    return this.#valueAt(this.#record.valueAt);
  }

  #valueAt(start) {
    this.#ascii ??= asciiString(this.#record);
    return valueAt(this.#record, start, this.#ascii, { names: this.#names, builders: this.#builders });
  }

  // Where the value of the message's key `key` starts, or -1.
  #start(key) {
    if (this.#keys === undefined) {
      const { words, valueAt } = this.#record;
      this.#keys = this.#shapeKeys[words[valueAt] >>> 4];
      this.#starts = [];
      for (let start = valueAt + 2; this.#starts.length < this.#keys.length; start = valueEnd(words, start)) {
        this.#starts.push(start);
      }
    }
    const k = this.#keys.indexOf(key);
    return k < 0 ? -1 : this.#starts[k];
  }

  // The value of the message's key `key`, or undefined.
  #get(key) {
    const start = this.#start(key);
    return start < 0 ? undefined : this.#valueAt(start);
  }

  // Calls `visit` with the number of each field and where its object
  // starts, until it returns true.
  #eachField(visit) {
    const list = this.#start('fields');
    if (list < 0) return;
    const { words } = this.#record;
    const end = list + 2 + words[list + 1];
    for (let start = list + 2; start < end; start = valueEnd(words, start)) {
      // Each field's object holds its number under the key "field".
      const keys = this.#shapeKeys[words[start] >>> 4];
      let number = start + 2;
      for (let n = keys.indexOf('field'); n > 0; --n) number = valueEnd(words, number);
      if (visit(words[number] >>> 4, start)) return;
    }
  }

  // Where the object of field `number` starts, or -1.
  #fieldStart(number) {
    let found = -1;
    this.#eachField((each, start) => {
      if (each !== number) return false;
      found = start;
      return true;
    });
    return found;
  }
}

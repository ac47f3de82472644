// Types of the iso8583tools package.

/** The names of the shipped dialects, such as "bitmap". */
export const dialects: readonly string[];

/** Options of decode() and report(). */
export interface DecodeOptions {
  /** Say what values mean, as iso8583dump --json --explain. */
  explain?: boolean;
  /** Mask card data, as iso8583dump --mask. */
  mask?: boolean;
}

/** One data element of a decoded message. */
export interface DecodedField {
  /** The field number, 2 to 128. */
  field: number;
  /** Its length in the field's unit (digits for packed numbers, bytes otherwise). */
  length: number;
  /** The bytes its data takes in the message. */
  bytes: number;
  /** Those bytes in upper-case hexadecimal. */
  hex: string;
  /** The value as text, when it is printable. */
  text?: string;
  /** The comment of the field's definition line. */
  name?: string;
  /** With explain: what the value means. */
  meaning?: string;
  /** With explain, for an amount: its value, such as "128.50". */
  amount?: string;
  /** With explain, for an amount: its currency, such as "CNY". */
  currency?: string;
  /** The parts of a composite field, as its definition's layout cuts it. */
  sub?: DecodedPart[];
  /** Instead of its parts: where and why its data does not fit its layout. */
  sub_error?: PartMisfit;
}

/** One part (sub-field) of a composite field, and the parts inside it. */
export interface DecodedPart {
  /** Its id: "60.2", "48.26", "54[2].3", "127.25.3". */
  id: string;
  /** Its length in its own unit. */
  length: number;
  /** Its bytes in upper-case hexadecimal; for packed digits, the digits. */
  hex: string;
  /** Its value as text, when it is printable. */
  text?: string;
  /** The comment of its definition line. */
  name?: string;
  sub?: DecodedPart[];
}

/** Data that does not fit its field's layout. */
export interface PartMisfit {
  field: number;
  /** The id of the part, or of the layout, where it does not fit. */
  sub: string;
  /** Where, in the field's bytes (digits for packed digits). */
  offset: number;
  /** Why: "tag 26 at byte 9 says 40 bytes, 12 remain". */
  reason: string;
}

/** With explain: a bit of a chip data element that is set, and what it means. */
export interface ChipDataBit {
  /** The byte, from 1. */
  byte: number;
  /** The bit, 8 (the highest) to 1. */
  bit: number;
  meaning: string;
}

/** One element of the chip data of field 55. */
export interface ChipDataElement {
  /** The tag in hexadecimal, such as "9F26". */
  tag: string;
  /** The value's length in bytes. */
  length: number;
  /** The value in hexadecimal. */
  value: string;
  /** The report's Chinese name, or empty. */
  name: string;
  /** With explain: the English name of the EMV dictionary. */
  name_en?: string;
  /** With explain: what a coded value means. */
  meaning?: string;
  /** With explain: one line per rule of a CVM list. */
  details?: string[];
  /** With explain: the bits that are set. */
  bits?: ChipDataBit[];
  /** With explain: the elements inside a template. */
  children?: ChipDataElement[];
}

/** How the unpack of a decoded message ended. */
export type UnpackResult = 'unpacked' | 'too_short' | 'header_too_long' | 'field_not_defined' |
  'length_too_long' | 'length_invalid' | 'length_not_digits' | 'bitmap_not_hex';

/** One line of iso8583dump --json for a message that was decoded. */
export interface DecodedMessage {
  /** The bytes before the message type indicator, in hexadecimal, when the dialect has them. */
  header?: string;
  /** The message type indicator as text, when it is printable. */
  mti?: string;
  /** The message type indicator's bytes in hexadecimal. */
  mti_hex: string;
  /** With explain: the message type in words. */
  mti_meaning?: string;
  /** The bitmap's bits in hexadecimal. */
  bitmap: string;
  fields: DecodedField[];
  result: UnpackResult;
  /** too_short and header_too_long: the bytes needed. */
  needed?: number;
  /** too_short and header_too_long: the bytes there are. */
  available?: number;
  /** field_not_defined, length_too_long, length_invalid, length_not_digits: the field. */
  field?: number;
  /** The elements of field 55, when the unpack stored it. */
  field55?: ChipDataElement[];
  /** The bytes after the last field of a message that unpacked, when there are any. */
  trailing?: number;
  /** With mask. */
  masked?: true;
  error?: never;
}

/** One line of iso8583dump --json for input that was refused before decoding. */
export type RejectedMessage =
  | { error: 'odd_digit_count' | 'too_short' }
  | {
      error: 'not_hex';
      /** The line of the first character that is not a hexadecimal digit, from 1. */
      line: number;
      /** Its column, from 1, in bytes. */
      column: number;
      /** The character: "G", "U+001B" or "byte 0xE4". */
      character: string;
    };

/** A data element to pack: its bytes in hexadecimal, or its text. */
export interface PackField {
  /** The field number, 2 to 128. */
  field: number;
  /** The bytes as they stand in the message (blanks between digits are ignored). */
  hex?: string;
  /** Failing hex: the text, which the field's encoding turns into bytes. */
  text?: string;
  /** The length in the field's unit, where the bytes alone cannot say it. */
  length?: number;
  /** Failing hex and text: the parts of a composite field, which are put together. */
  sub?: PackPart[];
}

/** A part of a composite field to pack: its bytes, its text, or its own parts. */
export interface PackPart {
  id: string;
  hex?: string;
  text?: string;
  length?: number;
  sub?: PackPart[];
}

/** A message to pack, as decode() gives it. A masked or rejected one is refused. */
export interface PackMessage {
  header?: string;
  /** Failing mti_hex: the message type indicator as text. */
  mti?: string;
  mti_hex?: string;
  /** Only its bit 1, the secondary-bitmap bit, is kept. */
  bitmap?: string;
  fields?: PackField[];
  masked?: boolean;
  error?: string;
}

/** One field of a decoded message, as DecodedMessage's `fields` hold it. */
export type DecodedField = NonNullable<DecodedMessage['fields']>[number];

/**
 * A decoded message that builds only what is read of it: for reading a few
 * fields of many messages. It holds its own copy of the decode, so it stays
 * as it is after later decodes and after its decoder is closed.
 */
export interface MessageView {
  /** The message type indicator as text, when it is printable. */
  readonly mti: string | undefined;
  /** How the unpack ended; undefined for refused input. */
  readonly result: DecodedMessage['result'];
  /** Why the input was refused; undefined for a message that was decoded. */
  readonly error: DecodedMessage['error'];
  /** The input line of a message read by lines(). */
  readonly line: number | undefined;
  /** Field `number` (2 to 128) as decode() gives it in `fields`, or undefined. */
  field(number: number): DecodedField | undefined;
  /** Whether the message holds field `number`. */
  has(number: number): boolean;
  /** All its fields, as decode() gives them in `fields`. */
  fields(): DecodedField[];
  /** The whole message, as decode() gives it (with `line` from lines()); JSON.stringify() writes it. */
  toJSON(): DecodedMessage;
}

/** Options of lines(). */
export interface LinesOptions extends DecodeOptions {
  /** Read hex dumps, as iso8583dump --hexdump, rather than one message a line (--each-line). */
  hexdump?: boolean;
}

/** A decoder over one set of field definitions. */
export interface Decoder {
  /** Decodes hexadecimal text (as pasted), or a message's bytes. */
  decode(input: string | Uint8Array, options?: DecodeOptions): DecodedMessage | RejectedMessage;
  /** The same, as the JSON text of one line of iso8583dump --json. */
  decodeLine(input: string | Uint8Array, options?: DecodeOptions): string;
  /** The same as a MessageView, which builds only the parts that are read. */
  view(input: string | Uint8Array, options?: DecodeOptions): MessageView;
  /**
   * The messages of a stream of text or bytes, such as a file read by Node.js,
   * as iso8583dump --each-line (or with `hexdump`, --hexdump) reads them:
   * `for await (const message of decoder.lines(readable))`. Refused lines come
   * as views with `error`. The stream is read only as messages are taken.
   */
  lines(chunks: AsyncIterable<string | Uint8Array>, options?: LinesOptions): AsyncGenerator<MessageView, void, undefined>;
  /** The UTF-8 report of iso8583dump; empty for rejected input. */
  report(input: string | Uint8Array, options?: { mask?: boolean }): string;
  /** Packs a message from its decoded object, as iso8583pack does; throws an Error when it cannot. */
  pack(message: PackMessage): Uint8Array;
  /** Frees the decoder; using it afterwards throws an Error. */
  close(): void;
  /**
   * Compares message A with message B, both text or both bytes, as iso8583dump --diff --json:
   * A read with this decoder, B with options.decoderB or else this one. Throws an Error when a
   * message is refused or `ignore` is not a list of places.
   */
  diff(a: string | Uint8Array, b: string | Uint8Array, options?: DiffOptions): DiffResult;
}

/** Options of diff(). */
export interface DiffOptions {
  /** The decoder of message B (--defs-b); by default the one of A. */
  decoderB?: Decoder;
  /** Places to leave out, as --ignore: field numbers 2 to 128, "mti" and "header". */
  ignore?: string | ReadonlyArray<number | 'mti' | 'header'>;
  /** Mask card data in the values shown, as --mask; they are compared unmasked. */
  mask?: boolean;
}

/** One place where two messages differ. */
export interface Difference {
  /** "header", "mti", "result", "4", "55.9F26", "55.70.5A", "60.2", "48.26#2" (the second with that id). */
  place: string;
  change: 'only_a' | 'only_b' | 'changed';
  /** The field of a field, chip data element or part. */
  field?: number;
  /** A chip data element's tag. */
  tag?: string;
  /** A chip data element's or part's depth: 1 in its field, 2 inside one of those, … */
  depth?: number;
  /** The differences inside it follow: a composite field, template or part of parts. */
  inner?: true;
  /** The value in A, explained: a field (the type indicator too; a field whose data did not fit
   * its layout, compared whole, with its sub_error), a chip data element without its children, a
   * part without its sub, the header in hexadecimal or the unpack's result. */
  a?: DecodedField | Omit<ChipDataElement, 'children'> | Omit<DecodedPart, 'sub'> | string;
  /** The value in B, in the same form. */
  b?: DecodedField | Omit<ChipDataElement, 'children'> | Omit<DecodedPart, 'sub'> | string;
}

/** What iso8583dump --diff --json writes for a pair of messages. */
export interface DiffResult {
  equal: boolean;
  /** In the order of the messages, a composite field's inner differences after it. */
  differences: Difference[];
  /** With mask. */
  masked?: true;
}

/** How many checks of one kind passed and failed. */
export interface CheckCounts {
  passed: number;
  failed: number;
}

/** How one candidate dialect, behind one framing, read the messages. */
export interface GuessReading {
  /** The candidate, as --defs takes it; "NAME+secondary=flagged" for its variant. */
  dialect: string;
  /** What comes in front of each message: a 2-byte length, 4 ASCII digits, a TPDU, or both. */
  framing: 'none' | 'len2' | 'ascii4' | 'tpdu' | 'len2+tpdu' | 'ascii4+tpdu';
  /** The bytes of that framing in front of the last message read. */
  framing_bytes: number;
  /** The messages it read. */
  messages: number;
  /** Of them, those that unpacked with no byte left over. */
  complete: number;
  /** The fields stored, over all of them. */
  fields: number;
  passed: number;
  failed: number;
  checks: GuessChecks;
  /** How the first message it did not read completely ended. */
  first_incomplete?: {
    result: UnpackResult;
    /** For a message that unpacked: the bytes left over. */
    trailing?: number;
  };
}

/** The checks of a reading, by kind. */
export interface GuessChecks {
  /** A message type that ISO 8583 defines. */
  mti: CheckCounts;
  /** Numeric fields hold digits only. */
  digits: CheckCounts;
  /** Date and time fields hold valid dates and times. */
  dates: CheckCounts;
  /** The chip data walks as BER-TLV to its last byte. */
  field55: CheckCounts;
  /** The card numbers of field 2 and of track 2 pass the Luhn check. */
  luhn: CheckCounts;
}

/** What iso8583dump --guess --json writes. */
export interface GuessResult {
  /** The messages read; refused ones are not counted. */
  messages: number;
  /** Whether the first reading reads every message completely. */
  complete: boolean;
  /** When complete: the options of iso8583dump that decode as the first reading. */
  options?: string;
  /** Best first. */
  readings: GuessReading[];
}

/** The candidate that comes first in a guess, as iso8583dump's --defs names one. */
export type GuessOptions =
  | { dialect?: string; definitions?: undefined; name?: undefined }
  | {
      definitions: string | Uint8Array;
      /** Its name in the readings and the options (default "definitions"). */
      name?: string;
      dialect?: undefined;
    };

/**
 * Guesses the dialect of a message, or of messages ranked together, as iso8583dump --guess
 * --json: every shipped dialect reads them as they stand and behind each framing that fits.
 * Rejects with an Error for definitions that cannot be read or an unknown dialect.
 */
export function guess(input: string | Uint8Array | ReadonlyArray<string | Uint8Array>,
  options?: GuessOptions): Promise<GuessResult>;

/**
 * A decoder for a shipped dialect, or for the text or bytes of a definition file.
 * Rejects with a TypeError unless given exactly one of the two.
 */
export function createDecoder(
  options: { dialect: string; definitions?: undefined } | { definitions: string | Uint8Array; dialect?: undefined },
): Promise<Decoder>;

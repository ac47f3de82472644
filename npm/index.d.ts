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

/** One line of iso8583dump --json: a decoded message, or {error} for rejected input. */
export interface DecodedMessage {
  header?: string;
  mti?: string;
  mti_hex?: string;
  bitmap?: string;
  fields?: Array<{ field: number; length: number; bytes: number; hex: string; text?: string; name?: string; [key: string]: unknown }>;
  result?: 'unpacked' | 'too_short' | 'field_not_defined' | 'length_too_long' | 'length_invalid' |
    'header_too_long' | 'bitmap_not_hex' | 'length_not_digits';
  trailing?: number;
  field55?: Array<{ tag: string; length: number; value: string; name: string; [key: string]: unknown }>;
  error?: 'odd_digit_count' | 'too_short' | 'not_hex';
  masked?: true;
  [key: string]: unknown;
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
  decode(input: string | Uint8Array, options?: DecodeOptions): DecodedMessage;
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
  /** Packs a message from its decoded object, as iso8583pack does. */
  pack(message: object): Uint8Array;
  /** Frees the decoder. */
  close(): void;
}

/** A decoder for a shipped dialect, or for the text or bytes of a definition file. */
export function createDecoder(options: { dialect: string } | { definitions: string | Uint8Array }): Promise<Decoder>;

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

/** A decoder over one set of field definitions. */
export interface Decoder {
  /** Decodes hexadecimal text (as pasted), or a message's bytes. */
  decode(input: string | Uint8Array, options?: DecodeOptions): DecodedMessage;
  /** The same, as the JSON text of one line of iso8583dump --json. */
  decodeLine(input: string | Uint8Array, options?: DecodeOptions): string;
  /** The UTF-8 report of iso8583dump; empty for rejected input. */
  report(input: string | Uint8Array, options?: { mask?: boolean }): string;
  /** Packs a message from its decoded object, as iso8583pack does. */
  pack(message: object): Uint8Array;
  /** Frees the decoder. */
  close(): void;
}

/** A decoder for a shipped dialect, or for the text or bytes of a definition file. */
export function createDecoder(options: { dialect: string } | { definitions: string | Uint8Array }): Promise<Decoder>;

// The npm package's entry: decoders over the WebAssembly build of the
// library, with the shipped dialects or the text of any definition file.
import { readFileSync, readdirSync } from 'node:fs';
import { createRequire } from 'node:module';
import { guessDialect } from './guess.js';
import { bindIso8583 } from './iso8583_api.js';

const require = createRequire(import.meta.url);
const createIso8583Module = require('./iso8583.cjs');

const dialectFolder = new URL('./dialects/', import.meta.url);

// The names of the shipped dialects: "bitmap", "iso87-ascii", ….
export const dialects = readdirSync(dialectFolder)
  .filter((name) => name.endsWith('.ini'))
  .map((name) => name.slice(0, -'.ini'.length))
  .sort();

let binding;

// Loads the module once; its notes on standard error are not shown.
async function loadBinding() {
  if (!binding) {
    binding = createIso8583Module({
      wasmBinary: readFileSync(new URL('./iso8583.wasm', import.meta.url)),
      printErr: () => {},
    }).then(bindIso8583);
  }
  return binding;
}

// A decoder for the shipped dialect `dialect`, or for `definitions`, the
// text (or bytes) of a definition file: one of the two.
export async function createDecoder(options) {
  const { dialect, definitions } = options ?? {};
  if (typeof options !== 'object' || (dialect === undefined && definitions === undefined)) {
    throw new TypeError('createDecoder needs { dialect } or { definitions }');
  }
  if (dialect !== undefined && definitions !== undefined) {
    throw new TypeError('createDecoder takes { dialect } or { definitions }, not both');
  }
  if (dialect !== undefined && typeof dialect !== 'string') {
    throw new TypeError('dialect must be the name of a shipped dialect, a string');
  }
  const { openDecoder } = await loadBinding();
  if (definitions !== undefined) return openDecoder(definitions);
  if (!dialects.includes(dialect)) {
    throw new Error(`unknown dialect ${JSON.stringify(dialect)}; the shipped ones are ${dialects.join(', ')}`);
  }
  return openDecoder(readFileSync(new URL(`${dialect}.ini`, dialectFolder)));
}

// The dialect of `input` guessed as iso8583dump --guess --json guesses it,
// over the shipped dialects (see guess.js).
export async function guess(input, options) {
  const read = (name) => readFileSync(new URL(`${name}.ini`, dialectFolder));
  return guessDialect(await loadBinding(), dialects, read, input, options);
}

// Times this project's npm package decoding the typical purchase request
// against the npm package iso_8583 unpacking a message of the same size
// (the same fields, field 55 as text of the same length), in one run, the
// rows timed in turn; its report against the same work in native code
// (BINDING_SPEED, the C interface compiled natively, run by this script); lines() over 1,000,000
// lines of the three samples; and the module's memory over 1,000,000
// decodes.
// usage: node decode_speed.mjs PACKAGE/index.js examples/purchase.hex BINDING_SPEED DEFINITIONS
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname, join, resolve } from 'node:path';
import { Readable } from 'node:stream';
import { pathToFileURL } from 'node:url';

const [packagePath, samplePath, bindingSpeed, definitions] = process.argv.slice(2);
const { createDecoder } = await import(pathToFileURL(packagePath).href);
const Iso8583 = createRequire(import.meta.url)('iso_8583');

const hexText = readFileSync(samplePath, 'utf8');
const bytes = Buffer.from(hexText.replace(/\s/g, ''), 'hex');
const decoder = await createDecoder({ dialect: 'bitmap' });
const line = decoder.decodeLine(bytes);

const peerFields = {
  0: '0200', 2: '6222021234567890123', 3: '000000', 4: '000000012850', 7: '1207093015',
  11: '000371', 12: '093015', 13: '1207', 14: '2912', 18: '5411', 22: '051', 23: '001',
  25: '00', 32: '48020000', 35: '6222021234567890123=2912220123456780', 37: '634109000371',
  41: 'TERM0001', 42: '898310054110001', 43: 'SHANGHAI DAILY FRESH MARKET  SHANGHAI CN', 49: '156',
};
const withoutChipData = new Iso8583(peerFields).getRawMessage().length;
// Field 55 with its 3-digit length makes the message as long as the sample.
peerFields[55] = 'E'.repeat(bytes.length - withoutChipData - 3);
const peerMessage = new Iso8583(peerFields).getBufferMessage();
if (peerMessage.length - 2 !== bytes.length) throw new Error('the peer message is not the sample\'s size');
if (new Iso8583().getIsoJSON(peerMessage)[55] !== peerFields[55]) throw new Error('iso_8583 did not unpack');

// Microseconds per call of one round of about half a second.
function round(call) {
  let count = 0;
  const start = performance.now();
  let elapsed = 0;
  while (elapsed < 500) {
    for (let k = 0; k < 200; ++k) call();
    count += 200;
    elapsed = performance.now() - start;
  }
  return (1000 * elapsed) / count;
}

// The native report's microseconds per call in one round, timed by the C
// interface compiled natively.
function nativeRound() {
  return Number(execFileSync(bindingSpeed, [definitions, samplePath, 'report', '1'], { encoding: 'utf8' })
    .split(' ')[1]);
}

const viewOfFour = () => {
  const view = decoder.view(bytes);
  return [view.mti, view.field(2), view.field(4), view.field(11)];
};
const timings = [
  ['iso8583tools decode(bytes)', () => round(() => decoder.decode(bytes))],
  ['iso8583tools decode(hex text)', () => round(() => decoder.decode(hexText))],
  ['iso8583tools decodeLine(bytes), the JSON text', () => round(() => decoder.decodeLine(bytes))],
  ['  JSON.parse of that text alone', () => round(() => JSON.parse(line))],
  ['iso8583tools decode(bytes, {explain, mask})', () => round(() => decoder.decode(bytes, { explain: true, mask: true }))],
  ['iso8583tools view(bytes): mti, fields 2, 4, 11', () => round(viewOfFour)],
  ['iso8583tools report(bytes)', () => round(() => decoder.report(bytes))],
  ['  the same report natively (C++)', nativeRound],
  ['iso_8583 getIsoJSON(buffer)', () => round(() => new Iso8583().getIsoJSON(peerMessage))],
];
// Each row's best of 5 rounds, the rows taking turns round by round so
// that a busy machine slows them alike; the first round warms up.
const rows = timings.map(([name]) => [name, Infinity]);
for (let turn = 0; turn < 6; ++turn) {
  timings.forEach(([, timeRound], k) => {
    const microseconds = timeRound();
    if (turn > 0) rows[k][1] = Math.min(rows[k][1], microseconds);
  });
}
console.log(`${bytes.length}-byte message, best of 5 rounds`);
for (const [name, microseconds] of rows) {
  console.log(`${name.padEnd(46)} ${microseconds.toFixed(2).padStart(8)} µs ${Math.round(1e6 / microseconds).toLocaleString('en').padStart(9)}/s`);
}
const figure = (name) => rows.find(([row]) => row === name)[1];
const peer = figure('iso_8583 getIsoJSON(buffer)');
console.log(`decode(bytes) is ${(peer / figure('iso8583tools decode(bytes)')).toFixed(1)} times as fast as iso_8583 (goal: 2)`);
console.log(`the view is ${(peer / figure('iso8583tools view(bytes): mti, fields 2, 4, 11')).toFixed(1)} times as fast as iso_8583 (goal: 5)`);
const nativeReport = figure('  the same report natively (C++)');
console.log(`report(bytes) takes ${(figure('iso8583tools report(bytes)') / nativeReport).toFixed(1)} times the native time (goal: at most 3)`);

// lines() over 1,000,000 lines of the three samples in turn, from a
// stream that hands them over in pieces of 64 KiB, as a file's stream does.
const sampleLines = ['purchase', 'response', 'reversal']
  .map((name) => readFileSync(join(dirname(samplePath), `${name}.hex`), 'utf8').trim());
const lineCount = 1000000;
function* pieces() {
  let text = '';
  for (let k = 0; k < lineCount; ++k) {
    text += `${sampleLines[k % 3]}\n`;
    if (text.length >= 1 << 16) {
      yield Buffer.from(text);
      text = '';
    }
  }
  yield Buffer.from(text);
}
let read = 0;
const linesStart = performance.now();
for await (const view of decoder.lines(Readable.from(pieces()))) read += view.mti === undefined ? 0 : 1;
const linesSeconds = (performance.now() - linesStart) / 1000;
if (read !== lineCount) throw new Error(`lines() gave ${read} messages of ${lineCount}`);
console.log(`lines(): ${lineCount.toLocaleString('en')} lines in ${linesSeconds.toFixed(2)} s, ` +
  `${Math.round(lineCount / linesSeconds).toLocaleString('en')} messages/s (goal: 300,000)`);

// The module's memory over 1,000,000 decodes and views, through a module
// of its own, which shows its memory.
const packageFolder = resolve(dirname(packagePath));
const { bindIso8583 } = await import(pathToFileURL(join(packageFolder, 'iso8583_api.js')).href);
const module = await createRequire(import.meta.url)(join(packageFolder, 'iso8583.cjs'))({
  wasmBinary: readFileSync(join(packageFolder, 'iso8583.wasm')),
  printErr: () => {},
});
const own = bindIso8583(module).openDecoder(readFileSync(definitions));
own.decode(bytes);
const before = module.HEAPU8.length;
for (let k = 0; k < lineCount; ++k) {
  if (k % 2 === 0) own.decode(bytes);
  else own.view(bytes).field(2);
}
console.log(`module memory: ${before.toLocaleString('en')} bytes before 1,000,000 decodes and views, ` +
  `${module.HEAPU8.length.toLocaleString('en')} after`);

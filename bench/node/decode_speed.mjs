// Times this project's npm package decoding the typical purchase request
// against the npm package iso_8583 unpacking a message of the same size
// (the same fields, field 55 as text of the same length), in one run.
// usage: node decode_speed.mjs PACKAGE/index.js examples/purchase.hex
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { pathToFileURL } from 'node:url';

const [packagePath, samplePath] = process.argv.slice(2);
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

// Microseconds per call: the best of 5 rounds of about half a second.
function time(call) {
  let best = Infinity;
  for (let round = 0; round < 6; ++round) {
    let count = 0;
    const start = performance.now();
    let elapsed = 0;
    while (elapsed < 500) {
      for (let k = 0; k < 200; ++k) call();
      count += 200;
      elapsed = performance.now() - start;
    }
    if (round > 0) best = Math.min(best, (1000 * elapsed) / count);
  }
  return best;
}

const rows = [
  ['iso8583tools decode(bytes)', time(() => decoder.decode(bytes))],
  ['iso8583tools decode(hex text)', time(() => decoder.decode(hexText))],
  ['iso8583tools decodeLine(bytes), the JSON text', time(() => decoder.decodeLine(bytes))],
  ['  JSON.parse of that text alone', time(() => JSON.parse(line))],
  ['iso8583tools decode(bytes, {explain, mask})', time(() => decoder.decode(bytes, { explain: true, mask: true }))],
  ['iso8583tools report(bytes)', time(() => decoder.report(bytes))],
  ['iso_8583 getIsoJSON(buffer)', time(() => new Iso8583().getIsoJSON(peerMessage))],
];
console.log(`${bytes.length}-byte message, best of 5 rounds`);
for (const [name, microseconds] of rows) {
  console.log(`${name.padEnd(46)} ${microseconds.toFixed(2).padStart(8)} µs ${Math.round(1e6 / microseconds).toLocaleString('en').padStart(9)}/s`);
}
const peer = rows.at(-1)[1];
console.log(`decode(bytes) is ${(peer / rows[0][1]).toFixed(1)} times as fast as iso_8583 (goal: 5)`);

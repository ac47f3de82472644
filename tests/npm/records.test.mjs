// Tests of the package's paths that build objects from the decoder's
// records: decode() gives JSON.parse(decodeLine()) with the keys in the
// same order, on every sample of every dialect and on the messages of the
// fuzz corpora with their own definitions; views agree with decode(), also
// after later decodes and after close(); lines() gives iso8583dump
// --each-line --json and --hexdump --json, reading its stream only as it
// is consumed. ISO8583DUMP, SAMPLES and CORPUS name the program, the
// folder of sample messages and that of the fuzz corpora.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { createReadStream, mkdtempSync, readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { Readable } from 'node:stream';
import { test } from 'node:test';
import { createDecoder, dialects } from 'iso8583tools';

const dump = process.env.ISO8583DUMP;
const samplesOf = (dialect) => (dialect === 'bitmap' ? ['purchase', 'response', 'reversal', 'maximal'] : [dialect])
  .map((name) => readFileSync(join(process.env.SAMPLES, `${name}.hex`), 'utf8').trim());
const scratch = mkdtempSync(join(tmpdir(), 'iso8583-records-'));
const dialectFile = (name) =>
  join(createRequire(import.meta.url).resolve('iso8583tools').replace(/index\.js$/, ''), 'dialects', `${name}.ini`);
const everyOption = [{}, { explain: true }, { mask: true }, { explain: true, mask: true }];

// The objects of iso8583dump's JSON Lines for `args`.
function dumpJson(args) {
  return spawnSync(dump, args, { encoding: 'utf8', maxBuffer: 1 << 28 }).stdout.trimEnd().split('\n')
    .map((line) => JSON.parse(line));
}

// decode() and decodeLine() give the same object, key for key in order.
function assertSameDecode(decoder, input, options, what) {
  const parsed = JSON.parse(decoder.decodeLine(input, options));
  const decoded = decoder.decode(input, options);
  assert.deepEqual(decoded, parsed, what);
  assert.equal(JSON.stringify(decoded), JSON.stringify(parsed), what);
}

test('decode gives the object of decodeLine, keys in order, for every sample and option', async () => {
  for (const dialect of dialects) {
    const decoder = await createDecoder({ dialect });
    for (const sample of samplesOf(dialect)) {
      for (const options of everyOption) {
        assertSameDecode(decoder, sample, options, `${dialect} ${JSON.stringify(options)}`);
        assertSameDecode(decoder, Buffer.from(sample, 'hex'), options, `${dialect} bytes`);
      }
    }
  }
});

test('decode gives the object of decodeLine for the fuzz corpora, with their definitions', async () => {
  let decoded = 0;
  for (const corpus of ['round_trip', 'split_input', 'decoder_binding']) {
    const folder = join(process.env.CORPUS, corpus);
    for (const name of readdirSync(folder)) {
      const data = readFileSync(join(folder, name));
      // decoder_binding inputs start with their flags; the others hold
      // definitions, a zero byte and the message's bytes.
      const parts = corpus === 'decoder_binding' ? data.subarray(1) : data;
      const end = parts.indexOf(0);
      if (end < 0) continue;
      const message = parts.subarray(end + 1, corpus === 'decoder_binding' ? parts.indexOf(0, end + 1) >>> 0 : undefined);
      let decoder;
      try {
        decoder = await createDecoder({ definitions: parts.subarray(0, end) });
      } catch {
        continue;  // definitions the reading stops at
      }
      const input = corpus === 'decoder_binding' && (data[0] & 1) === 0 ? message.toString('latin1') : message;
      for (const options of everyOption) assertSameDecode(decoder, input, options, `${corpus}/${name}`);
      decoder.close();
      ++decoded;
    }
  }
  assert.ok(decoded > 250, `${decoded} inputs decoded`);
});

test('a view agrees with decode, after later decodes and after close', async () => {
  for (const dialect of dialects) {
    const decoder = await createDecoder({ dialect });
    const inputs = [...samplesOf(dialect), '303', '30'.repeat(19), `3G${samplesOf(dialect)[0].slice(2)}`];
    const kept = inputs.flatMap((input) => everyOption.map((options) =>
      ({ view: decoder.view(input, options), expected: decoder.decode(input, options) })));
    const check = () => {
      for (const { view, expected } of kept) {
        assert.equal(view.mti, expected.mti);
        assert.equal(view.result, expected.result);
        assert.equal(view.error, expected.error);
        assert.equal(view.line, expected.line);
        assert.deepEqual(view.toJSON(), expected);
        assert.deepEqual(view.fields(), expected.fields ?? []);
        for (let number = 1; number <= 129; ++number) {
          const field = expected.fields?.find((each) => each.field === number);
          assert.deepEqual(view.field(number), field);
          assert.equal(view.has(number), field !== undefined);
        }
      }
    };
    check();
    for (const input of inputs) everyOption.forEach((options) => decoder.decode(input, options));
    check();
    decoder.close();
    check();
  }
});

// Lines of every kind: messages, blank lines, refusals of every kind, a
// line longer than a decode reads, CR LF line ends, no line end at the end.
function mixedLines() {
  const [purchase, response, reversal] = samplesOf('bitmap');
  return [purchase, '', '  \t ', response, '303', `3G${reversal.slice(2)}`, '30'.repeat(19),
    `${reversal}\r`, 'F'.repeat(5000), ` ${purchase.slice(0, 200)} `, '', response].join('\n');
}

// The views of `chunks` read by lines() with `options`, as objects.
async function linesOf(decoder, chunks, options) {
  const objects = [];
  for await (const view of decoder.lines(chunks, options)) {
    assert.equal(view.line, view.toJSON().line);
    objects.push(view.toJSON());
  }
  return objects;
}

test('lines gives iso8583dump --each-line --json, in pieces of any size', async () => {
  const decoder = await createDecoder({ dialect: 'bitmap' });
  const file = join(scratch, 'mixed.txt');
  writeFileSync(file, mixedLines());
  for (const options of [{}, { explain: true, mask: true }]) {
    const flags = options.explain ? ['--explain', '--mask'] : [];
    const expected = dumpJson(['--defs', dialectFile('bitmap'), '--each-line', '--json', ...flags, file]);
    assert.equal(expected.length, 9);
    for (const size of [1, 5, 64, 1 << 16]) {
      assert.deepEqual(await linesOf(decoder, createReadStream(file, { highWaterMark: size }), options), expected);
    }
    assert.deepEqual(await linesOf(decoder, createReadStream(file, { encoding: 'utf8', highWaterMark: 7 }), options),
      expected);
  }
});

test('lines with hexdump gives iso8583dump --hexdump --json', async () => {
  const decoder = await createDecoder({ dialect: 'bitmap' });
  const bytes = Buffer.from(samplesOf('bitmap')[0], 'hex');
  const binary = join(scratch, 'purchase.bin');
  writeFileSync(binary, bytes);
  const dumps = [['xxd', binary], ['xxd', '-p', binary], ['hexdump', '-C', binary], ['od', '-A', 'x', '-t', 'x1z', binary]]
    .map(([program, ...args]) => spawnSync(program, args, { encoding: 'utf8' }).stdout);
  const file = join(scratch, 'dumps.log');
  writeFileSync(file, `2026-12-07 09:30:15 INFO sent:\n${dumps.join('a line between the dumps\n')}done\n`);
  const expected = dumpJson(['--defs', dialectFile('bitmap'), '--hexdump', '--json', file]);
  assert.equal(expected.length, 4);
  for (const size of [3, 1 << 16]) {
    assert.deepEqual(await linesOf(decoder, createReadStream(file, { highWaterMark: size }), { hexdump: true }),
      expected);
  }
});

test('lines reads its stream only as messages are taken, and closes it when left', async () => {
  const decoder = await createDecoder({ dialect: 'bitmap' });
  const [purchase] = samplesOf('bitmap');
  let pulled = 0;
  let finished = false;
  // One line a chunk, made only when the stream is read.
  const stream = Readable.from((function* lines() {
    try {
      for (;;) {
        ++pulled;
        yield `${purchase}\n`;
      }
    } finally {
      finished = true;
    }
  })(), { objectMode: true, highWaterMark: 1 });
  let taken = 0;
  for await (const view of decoder.lines(stream)) {
    assert.equal(view.mti, '0200');
    if (++taken === 10) break;
  }
  assert.ok(pulled < 20, `${pulled} lines read for 10 taken`);
  assert.ok(finished && stream.destroyed);
  assert.throws(() => decoder.lines('not a stream'), TypeError);

  // A decoder closed while its lines are read ends them with an error.
  const lines = decoder.lines(Readable.from([`${purchase}\n${purchase}\n`, `${purchase}\n`]));
  assert.equal((await lines.next()).value.mti, '0200');
  assert.equal((await lines.next()).value.mti, '0200');
  decoder.close();
  await assert.rejects(lines.next(), /closed/);
});

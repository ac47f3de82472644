// Tests of the npm package, installed from its tarball into a scratch
// project: decode, report and pack give what iso8583dump and iso8583pack
// give, on the samples and on messages made from them, in every shipped
// dialect; guess and diff what iso8583dump --guess --json and --diff --json
// give. ISO8583DUMP, ISO8583PACK and SAMPLES name the programs and the
// folder of sample messages.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';
import { createDecoder, dialects, guess } from 'iso8583tools';

const dump = process.env.ISO8583DUMP;
const packer = process.env.ISO8583PACK;
const samples = ['purchase', 'response', 'reversal'].map((name) =>
  readFileSync(join(process.env.SAMPLES, `${name}.hex`), 'utf8'));
const scratch = mkdtempSync(join(tmpdir(), 'iso8583-npm-'));
const packageFile = (...parts) =>
  join(createRequire(import.meta.url).resolve('iso8583tools').replace(/index\.js$/, ''), ...parts);
const dialectFile = (name) => packageFile('dialects', `${name}.ini`);

// Runs a program on `input`, in `cwd` when given; returns its standard
// output and error.
function run(program, args, input, cwd) {
  const result = spawnSync(program, args, { input, cwd, encoding: 'utf8', maxBuffer: 1 << 28 });
  return { out: result.stdout, err: result.stderr };
}

// A generator of the same numbers on every run.
function random(seed) {
  let state = seed;
  return (below) => {
    state = (state * 1103515245 + 12345) % 2147483648;
    return state % below;
  };
}

// Messages made from the samples: bytes changed, cut short, bitmap bits
// flipped, blanks and odd digits put in. Every ending of a decode occurs.
function generatedMessages(count) {
  const next = random(17);
  const hex = '0123456789ABCDEF';
  const messages = [];
  for (let k = 0; k < count; ++k) {
    const digits = [...samples[k % 3].replace(/\s/g, '')];
    switch (k % 5) {
      case 0:
        for (let n = 0; n < 4; ++n) digits[next(digits.length)] = hex[next(16)];
        break;
      case 1:
        digits.length = 2 + 2 * next(digits.length / 2 - 1);
        break;
      case 2:
        digits[8 + next(32)] = hex[next(16)];
        break;
      case 3:
        digits.splice(2 * next(digits.length / 2), 0, ' ', '\n');
        break;
      default:
        if (next(2) === 0) digits.splice(next(digits.length), 1);
        else digits[next(digits.length)] = '3';
    }
    messages.push(digits.join(''));
  }
  return messages;
}

const messages = [...samples, ...generatedMessages(300)];

for (const dialect of dialects) {
  test(`decode gives iso8583dump --json, explained and masked, in dialect ${dialect}`, async () => {
    const decoder = await createDecoder({ dialect });
    const file = join(scratch, `${dialect}.txt`);
    writeFileSync(file, messages.map((m) => m.replace(/\n/g, '')).join('\n'));
    for (const flags of [[], ['--explain', '--mask']]) {
      const lines = run(dump, ['--defs', dialectFile(dialect), '--each-line', '--json', ...flags, file]).out
        .trimEnd().split('\n');
      assert.equal(lines.length, messages.length);
      const options = { explain: flags.length > 0, mask: flags.length > 0 };
      lines.forEach((line, k) => {
        const expected = JSON.parse(line);
        // The line number, and the hint that a run gives once, are the program's.
        delete expected.line;
        delete expected.hint;
        assert.deepEqual(decoder.decode(messages[k].replace(/\n/g, ''), options), expected, messages[k]);
      });
    }
  });
}

test('decode and report give the programs\' output for text, bytes and Buffers', async () => {
  const decoder = await createDecoder({ dialect: 'bitmap' });
  const defs = dialectFile('bitmap');
  for (const sample of samples) {
    const bytes = Buffer.from(sample.replace(/\s/g, ''), 'hex');
    assert.equal(decoder.decodeLine(sample) + '\n', run(dump, ['--defs', defs, '--json'], sample).out);
    assert.equal(decoder.decodeLine(new Uint8Array(bytes)) + '\n',
      run(dump, ['--defs', defs, '--json', '--binary'], bytes).out);
    assert.equal(decoder.report(bytes), run(dump, ['--defs', defs, '--binary'], bytes).out);
    assert.equal(decoder.report(sample, { mask: true }), run(dump, ['--defs', defs, '--mask'], sample).out);
  }
  assert.deepEqual(decoder.decode('303'), { error: 'odd_digit_count' });
  assert.deepEqual(decoder.decode(new Uint8Array(19)), { error: 'too_short' });
  assert.equal(decoder.report('303'), '');
});

test('pack inverts decode, as iso8583pack packs', async () => {
  const decoder = await createDecoder({ dialect: 'bitmap' });
  const defs = dialectFile('bitmap');
  for (const sample of samples) {
    assert.equal(Buffer.from(decoder.pack(decoder.decode(sample))).toString('hex').toUpperCase(),
      sample.replace(/\s/g, ''));
  }
  const unpacked = messages.map((m) => decoder.decode(m)).filter((m) => m.result === 'unpacked');
  assert.ok(unpacked.length > 50);
  const expected = run(packer, ['--defs', defs], unpacked.map((m) => JSON.stringify(m)).join('\n')).out;
  assert.equal(unpacked.map((m) => Buffer.from(decoder.pack(m)).toString('hex').toUpperCase() + '\n').join(''),
    expected);
});

test('errors are the programs\' own', async () => {
  const decoder = await createDecoder({ definitions: '1|4|0\n2|19|2\n3|6|0\n' });
  const definitions = join(scratch, 'small.ini');
  writeFileSync(definitions, '1|4|0\n2|19|2\n3|6|0\n');
  const refused = [
    { mti: '0200', fields: [{ field: 4, text: '000000012850' }] },
    { mti: '0200', fields: [{ field: 2, text: '62220212345678901234' }] },
    { mti: '0200', fields: [{ field: 3, hex: '3030' }] },
    { mti: '0200', fields: [{ field: 2, hex: '6222**' }] },
    { mti: '0200', fields: [{ field: 3, hex: '303G30303030' }] },
    { mti: '0200', fields: [], masked: true },
    { error: 'too_short' },
  ];
  const reasons = run(packer, ['--defs', definitions], refused.map((m) => JSON.stringify(m)).join('\n')).err
    .trimEnd().split('\n').map((line) => line.replace(/^line \d+: /, ''));
  assert.equal(reasons.length, refused.length);
  refused.forEach((message, k) => assert.throws(() => decoder.pack(message), { message: reasons[k] }));

  const invalid = '1|4|0\n2|19|2\n\nabc|3|0\n';
  writeFileSync(definitions, invalid);
  const note = run(dump, ['--defs', definitions], samples[0]).err;
  await assert.rejects(createDecoder({ definitions: invalid }), (error) => {
    assert.equal(error.message, 'line 4: not a definition (a field number from 1 to 128, or name=value properties): the reading stops here');
    // The programs name the file where the package names only the line.
    assert.ok(note.includes(`${definitions}:${error.message.replace(/^line (\d+): /, '$1: ')}\n`), note);
    return true;
  });
  await assert.rejects(createDecoder({ definitions: '7|99999|0' }), { message: /^line 1: maximum length/ });
  await assert.rejects(createDecoder({ dialect: 'no-such' }), /unknown dialect/);
  await assert.rejects(createDecoder({ definitions: 42 }), TypeError);
  assert.throws(() => decoder.decode(42), TypeError);
  assert.throws(() => decoder.pack('0200'), TypeError);
});

test('decoders with different definitions do not disturb each other', async () => {
  const full = await createDecoder({ dialect: 'bitmap' });
  const small = await createDecoder({ definitions: '1|4|0\n2|19|2\n' });
  const before = full.decodeLine(samples[0]);
  assert.equal(small.decode(samples[0]).result, 'field_not_defined');
  assert.equal(full.decodeLine(samples[0]), before);
  small.close();
  assert.equal(full.decodeLine(samples[0]), before);
});

test('arguments of the wrong kind throw TypeErrors, and a closed decoder an Error', async () => {
  const needs = { name: 'TypeError', message: 'createDecoder needs { dialect } or { definitions }' };
  await assert.rejects(createDecoder(), needs);
  await assert.rejects(createDecoder({}), needs);
  await assert.rejects(createDecoder(null), needs);
  await assert.rejects(createDecoder({ dialect: 'bitmap', definitions: '1|4|0\n' }),
    { name: 'TypeError', message: 'createDecoder takes { dialect } or { definitions }, not both' });
  await assert.rejects(createDecoder({ dialect: 7 }), TypeError);

  const decoder = await createDecoder({ dialect: 'bitmap' });
  const other = await createDecoder({ dialect: 'bitmap' });
  const message = decoder.decode(samples[0]);
  decoder.close();
  decoder.close();
  const closed = { name: 'Error', message: 'the decoder is closed' };
  assert.throws(() => decoder.decode(samples[0]), closed);
  assert.throws(() => decoder.decodeLine(samples[0]), closed);
  assert.throws(() => decoder.report(samples[0]), closed);
  assert.throws(() => decoder.pack(message), closed);
  assert.deepEqual(other.decode(samples[0]), message);
});

test('the package carries the project\'s licence', () => {
  assert.equal(JSON.parse(readFileSync(packageFile('package.json'), 'utf8')).license, 'Apache-2.0');
  assert.equal(readFileSync(packageFile('LICENSE'), 'utf8'),
    readFileSync(join(process.env.SAMPLES, '..', 'LICENSE'), 'utf8'));
});

// The keys that the declarations' property lines ("name?: type") name, so
// that a key the package gives and no interface declares is found.
function declaredKeys() {
  return new Set([...readFileSync(packageFile('index.d.ts'), 'utf8').matchAll(/^\s*(\w+)\??:/gm)]
    .map((match) => match[1]));
}

// Adds every key of `value`'s objects, at any depth, to `given`.
function collectKeys(value, given) {
  if (Array.isArray(value)) value.forEach((item) => collectKeys(item, given));
  else if (value !== null && typeof value === 'object') {
    for (const [key, inner] of Object.entries(value)) {
      given.add(key);
      collectKeys(inner, given);
    }
  }
}

test('the types declare every key that decode gives, explained and rejected too', async () => {
  const given = new Set();
  const collect = (value) => collectKeys(value, given);
  for (const dialect of dialects) {
    const decoder = await createDecoder({ dialect });
    for (const input of [...messages, samples[0].replace(/^3/, 'G')]) {
      collect(decoder.decode(input.replace(/\n/g, ''), { explain: true, mask: true }));
    }
  }
  assert.ok(given.has('mti_meaning') && given.has('bits') && given.has('character'), [...given].join(' '));
  const declared = declaredKeys();
  assert.deepEqual([...given].filter((key) => !declared.has(key)), []);
});

// The dialect samples, as they stand and framed as terminals and hosts
// send them: behind a 2-byte length, and behind 4 ASCII digits and a TPDU.
function framedSamples() {
  const bytes = dialects.filter((name) => name !== 'bitmap').map((name) =>
    Buffer.from(readFileSync(join(process.env.SAMPLES, `${name}.hex`), 'utf8').replace(/\s/g, ''), 'hex'));
  const framed = [];
  for (const message of bytes) {
    const length = Buffer.alloc(2);
    length.writeUInt16BE(message.length);
    const tpdu = Buffer.concat([Buffer.from('6000030000', 'hex'), message]);
    framed.push(message, Buffer.concat([length, message]),
      Buffer.concat([Buffer.from(String(tpdu.length).padStart(4, '0')), tpdu]));
  }
  return framed;
}

// iso8583dump --guess --json with `args`, in a folder without a bitmap.ini
// of its own, where it finds the installed sample as the package does.
function dumpGuess(args, input) {
  return JSON.parse(run(dump, ['--guess', '--json', ...args], input, scratch).out);
}

test('guess gives iso8583dump --guess --json, with and without a dialect first', async () => {
  for (const message of [...samples.map((sample) => Buffer.from(sample.replace(/\s/g, ''), 'hex')),
    ...framedSamples()]) {
    const hex = message.toString('hex');
    assert.deepEqual(await guess(hex), dumpGuess([], hex), hex);
    assert.deepEqual(await guess(new Uint8Array(message)), dumpGuess(['--binary'], message), hex);
    assert.deepEqual(await guess(hex, { dialect: 'unionpay-pos' }),
      dumpGuess(['--defs', 'unionpay-pos'], hex), hex);
  }
  const unknown = framedSamples()[8].toString('hex');
  const best = await guess(unknown);
  assert.equal(best.complete, true);
  assert.equal(best.options, '--defs iso87-binary --skip 9');
  assert.deepEqual([best.readings[0].dialect, best.readings[0].framing], ['iso87-binary', 'ascii4+tpdu']);
});

test('guess ranks many messages together, as iso8583dump --guess --each-line', async () => {
  const lines = messages.map((message) => message.replace(/\n/g, ''));
  const file = join(scratch, 'many.txt');
  writeFileSync(file, lines.join('\n'));
  const expected = dumpGuess(['--each-line', file]);
  const ranked = await guess(lines);
  assert.deepEqual(ranked, expected);
  // Refused lines are not counted.
  assert.ok(ranked.messages > 200 && ranked.messages < lines.length, String(ranked.messages));
});

test('guess puts your own definitions first, named as --defs names them', async () => {
  const definitions = join(scratch, 'own.ini');
  const text = readFileSync(dialectFile('iso93-ascii'), 'utf8').replace('bitmap=hex', 'bitmap=hex secondary=always');
  writeFileSync(definitions, text);
  for (const sample of [...samples, framedSamples()[6].toString('hex')]) {
    const own = await guess(sample, { definitions: text, name: definitions });
    assert.deepEqual(own, dumpGuess(['--defs', definitions], sample));
  }
  await assert.rejects(guess(samples[0], { definitions: '1|4|0\nabc|3|0\n' }), /^Error: line 2: /);
  await assert.rejects(guess(samples[0], { dialect: 'no-such' }), /unknown dialect/);
  await assert.rejects(guess(samples[0], { dialect: 'bitmap', definitions: '1|4|0\n' }), TypeError);
  await assert.rejects(guess(42), TypeError);
  assert.deepEqual(await guess('303'), { messages: 0, complete: false, readings: [] });
});

// iso8583dump --diff --json of the messages `a` and `b`, written to files.
function dumpDiff(a, b, args) {
  const fileA = join(scratch, 'a.msg');
  const fileB = join(scratch, 'b.msg');
  writeFileSync(fileA, a);
  writeFileSync(fileB, b);
  return JSON.parse(run(dump, [...args, '--json', '--diff', fileA, fileB]).out);
}

test('diff gives iso8583dump --diff --json, masked, leaving places out, across dialects', async () => {
  const decoder = await createDecoder({ dialect: 'bitmap' });
  const defs = ['--defs', dialectFile('bitmap')];
  for (const a of samples) {
    for (const b of [...samples, ...messages.slice(3, 40)]) {
      const expected = run(dump, [...defs, '--json'], b).out.includes('"error"') ? null : dumpDiff(a, b, defs);
      if (expected === null) {
        assert.throws(() => decoder.diff(a, b), { message: 'message B: refused, not compared' });
        continue;
      }
      assert.deepEqual(decoder.diff(a, b), expected, b);
    }
    assert.deepEqual(decoder.diff(a, samples[1], { mask: true, ignore: [55, 'mti'] }),
      dumpDiff(a, samples[1], [...defs, '--mask', '--ignore', '55,mti']));
    assert.deepEqual(decoder.diff(a, samples[2], { ignore: '7,11,header' }),
      dumpDiff(a, samples[2], [...defs, '--ignore', '7,11,header']));
  }
  const binary = await createDecoder({ dialect: 'iso87-binary' });
  const other = readFileSync(join(process.env.SAMPLES, 'iso87-binary.hex'), 'utf8');
  const bytes = (hex) => Buffer.from(hex.replace(/\s/g, ''), 'hex');
  assert.deepEqual(decoder.diff(bytes(samples[0]), new Uint8Array(bytes(other)), { decoderB: binary }),
    dumpDiff(bytes(samples[0]), bytes(other), [...defs, '--defs-b', dialectFile('iso87-binary'), '--binary']));
  assert.deepEqual(decoder.diff(samples[0], samples[0]), { equal: true, differences: [] });
});

test('diff compares composite fields part by part, as iso8583dump does', async () => {
  const text = '1|4|0\n3|6|0\n48|999|3 layout=tagged tag=ascii2 tag-len=ascii2 # additional data\n' +
    '48.26|4|0 # merchant category\n60|17|3 layout=positional\n60.1|2|0\n60.2|6|0 # batch number\n';
  const definitions = join(scratch, 'composite.ini');
  writeFileSync(definitions, text);
  const decoder = await createDecoder({ definitions: text });
  const message = (field48, field60) => Buffer.concat([Buffer.from('0200'),
    Buffer.from('20000000000100100000000000000000', 'hex'), Buffer.from('000000'),
    Buffer.from(String(field48.length).padStart(3, '0') + field48 + String(field60.length).padStart(3, '0') + field60)])
    .toString('hex');
  const a = message('260454113010TERM000001', '22000001');
  const b = message('260458123010TERM000002', '22000002');
  const misfit = message('2604581230', '22000002');
  for (const other of [b, misfit]) {
    const compared = decoder.diff(a, other);
    assert.deepEqual(compared, dumpDiff(a, other, ['--defs', definitions]));
    assert.ok(compared.differences.some((difference) => difference.place === '60.2'));
  }
  assert.deepEqual(decoder.diff(a, b).differences.map((difference) => difference.place),
    ['48', '48.26', '48.30', '60', '60.2']);
  assert.equal(decoder.diff(a, misfit).differences[0].b.sub_error.reason,
    'at byte 8, 2 bytes cannot hold a tag and its length');
});

test('diff refuses what iso8583dump refuses, and arguments of the wrong kind', async () => {
  const decoder = await createDecoder({ dialect: 'bitmap' });
  assert.throws(() => decoder.diff(samples[0], '303'), { name: 'Error', message: 'message B: refused, not compared' });
  assert.throws(() => decoder.diff('3030', samples[0]), { name: 'Error', message: 'message A: refused, not compared' });
  assert.throws(() => decoder.diff(samples[0], samples[1], { ignore: '7,x' }),
    { name: 'Error', message: 'bad value for --ignore: 7,x' });
  assert.throws(() => decoder.diff(samples[0], samples[1], { ignore: 7 }), TypeError);
  assert.throws(() => decoder.diff(samples[0], new Uint8Array(40)), TypeError);
  assert.throws(() => decoder.diff(samples[0], samples[1], { decoderB: {} }), TypeError);
  decoder.close();
  assert.throws(() => decoder.diff(samples[0], samples[1]), { message: 'the decoder is closed' });
});

test('the types declare every key that guess and diff give', async () => {
  const given = new Set();
  const collect = (value) => collectKeys(value, given);
  collect(await guess(messages.map((message) => message.replace(/\n/g, ''))));
  const decoder = await createDecoder({ dialect: 'bitmap' });
  for (const b of messages.slice(1, 60)) {
    try {
      collect(decoder.diff(samples[0], b, { mask: true }));
    } catch {
      // A refused message gives no differences.
    }
  }
  assert.ok(given.has('first_incomplete') && given.has('luhn') && given.has('inner'), [...given].join(' '));
  const declared = declaredKeys();
  assert.deepEqual([...given].filter((key) => !declared.has(key)), []);
});

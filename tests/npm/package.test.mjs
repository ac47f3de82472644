// Tests of the npm package, installed from its tarball into a scratch
// project: decode, report and pack give what iso8583dump and iso8583pack
// give, on the samples and on messages made from them, in every shipped
// dialect. ISO8583DUMP, ISO8583PACK and SAMPLES name the programs and the
// folder of sample messages.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';
import { createDecoder, dialects } from 'iso8583tools';

const dump = process.env.ISO8583DUMP;
const packer = process.env.ISO8583PACK;
const samples = ['purchase', 'response', 'reversal'].map((name) =>
  readFileSync(join(process.env.SAMPLES, `${name}.hex`), 'utf8'));
const scratch = mkdtempSync(join(tmpdir(), 'iso8583-npm-'));
const packageFile = (...parts) =>
  join(createRequire(import.meta.url).resolve('iso8583tools').replace(/index\.js$/, ''), ...parts);
const dialectFile = (name) => packageFile('dialects', `${name}.ini`);

// Runs a program on `input`; returns its standard output and error.
function run(program, args, input) {
  const result = spawnSync(program, args, { input, encoding: 'utf8', maxBuffer: 1 << 28 });
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
        delete expected.line;
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

// Keys are read from the declarations' property lines ("name?: type"), so
// a key that decode gives and no interface declares is found.
test('the types declare every key that decode gives, explained and rejected too', async () => {
  const declared = new Set([...readFileSync(packageFile('index.d.ts'), 'utf8').matchAll(/^\s*(\w+)\??:/gm)]
    .map((match) => match[1]));
  const given = new Set();
  const collect = (value) => {
    if (Array.isArray(value)) value.forEach(collect);
    else if (value !== null && typeof value === 'object') {
      for (const [key, inner] of Object.entries(value)) {
        given.add(key);
        collect(inner);
      }
    }
  };
  for (const dialect of dialects) {
    const decoder = await createDecoder({ dialect });
    for (const input of [...messages, samples[0].replace(/^3/, 'G')]) {
      collect(decoder.decode(input.replace(/\n/g, ''), { explain: true, mask: true }));
    }
  }
  assert.ok(given.has('mti_meaning') && given.has('bits') && given.has('character'), [...given].join(' '));
  assert.deepEqual([...given].filter((key) => !declared.has(key)), []);
});

// Tests of the decoder page in headless Chromium: its report, JSON and
// explanation are iso8583dump's, its settings are kept and its messages
// are not, dialects and definition errors, files of messages, the editor's
// messages are iso8583pack's, and not one network request. PAGE names the
// built page, ISO8583DUMP and ISO8583PACK the programs, SOURCE_DIR the
// repository.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { pathToFileURL } from 'node:url';
import { launchBrowser, openPage } from './browser.mjs';

const pagePath = process.env.PAGE;
const pageUrl = pathToFileURL(pagePath).href;
const source = process.env.SOURCE_DIR;
const bitmap = join(source, 'bitmap.ini');
const names = ['purchase', 'response', 'reversal'];
const samples = Object.fromEntries(names.map((name) => [name, join(source, 'examples', `${name}.hex`)]));
const scratch = mkdtempSync(join(tmpdir(), 'iso8583-page-'));

// Writes `text` into the scratch folder as `name`; returns its path.
function writeScratch(name, text) {
  const path = join(scratch, name);
  writeFileSync(path, text);
  return path;
}

function dump(...args) {
  const result = spawnSync(process.env.ISO8583DUMP, args, { encoding: 'utf8' });
  return result.stdout;
}

// What iso8583pack makes of `record`: {hex} of its message, or {reason}.
function pack(definitions, record) {
  const result = spawnSync(process.env.ISO8583PACK, ['--defs', definitions],
    { input: `${JSON.stringify(record)}\n`, encoding: 'utf8' });
  return { hex: result.stdout.trim(), reason: result.stderr.trim().replace(/^line 1: /, '') };
}

// The unmasked --json record of a sample without its "bitmap", so that
// bit 1 follows the fields, with `changes` made: field number → its new
// member ({text}), or null to remove it.
function sampleRecord(definitions, samplePath, changes = {}) {
  const record = JSON.parse(dump('--defs', definitions, '--json', samplePath));
  delete record.bitmap;
  record.fields = record.fields.filter((field) => changes[field.field] !== null)
    .map((field) => (changes[field.field] ? { field: field.field, ...changes[field.field] } : field));
  for (const [number, change] of Object.entries(changes)) {
    if (change && !record.fields.some((field) => field.field === Number(number))) {
      record.fields.push({ field: Number(number), ...change });
    }
  }
  return record;
}

async function decodeIn(page, text) {
  await page.$eval('#message', (box, value) => { box.value = value; }, text);
  await page.click('#parse');
}

const textOf = (page, id) => page.$eval(`#${id}`, (element) => element.textContent);

async function setMask(page, on) {
  if (await page.$eval('#mask', (box) => box.checked) !== on) await page.click('#mask');
}

let browser;
before(async () => { browser = await launchBrowser(); });
after(async () => { await browser.close(); });

test('the samples give iso8583dump\'s report and JSON, masked by default and not', async () => {
  const page = await openPage(browser, pageUrl);
  assert.equal(await page.$eval('#mask', (box) => box.checked), true);
  for (const name of names) {
    const text = readFileSync(samples[name], 'utf8');
    await decodeIn(page, text);
    assert.equal(await textOf(page, 'report'), dump('--defs', bitmap, '--mask', samples[name]), name);
    assert.deepEqual(JSON.parse(await textOf(page, 'json')),
      JSON.parse(dump('--defs', bitmap, '--json', '--explain', '--mask', samples[name])), name);
    await setMask(page, false);
    assert.equal(await textOf(page, 'report'), dump('--defs', bitmap, samples[name]), name);
    assert.deepEqual(JSON.parse(await textOf(page, 'json')),
      JSON.parse(dump('--defs', bitmap, '--json', '--explain', samples[name])), name);
    await setMask(page, true);
  }
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('the explanation is a table with field 55 as a tree and its bits marked', async () => {
  const page = await openPage(browser, pageUrl);
  await decodeIn(page, readFileSync(samples.purchase, 'utf8'));
  const rows = await page.$$eval('#explanation tbody tr', (trs) => trs.map((tr) => [...tr.cells].map((td) => td.textContent)));
  assert.deepEqual(rows[0].slice(0, 4), ['MTI', 'message type indicator消息类型', '4', '0200']);
  assert.deepEqual(rows.find((row) => row[0] === '4'), ['4', 'amount, transaction', '12', '000000012850', '128.50 CNY']);
  const tvr = rows.find((row) => row[0].endsWith('95'));
  assert.match(tvr[0], /^├─ 95$/);
  assert.match(tvr[4], /B3 b3: Online PIN entered/);
  assert.equal(await page.$$eval('#explanation .bits .set', (cells) => cells.length) > 10, true);
  assert.match(rows.at(-1)[4], /unpacked/);
  await page.close();
});

test('the explanation hangs the parts of composite fields below them as a tree', async () => {
  const page = await openPage(browser, pageUrl);
  await page.select('#dialect', 'layouts-example');
  await decodeIn(page, readFileSync(join(source, 'examples', 'layouts-example.hex'), 'utf8'));
  const rows = await page.$$eval('#explanation tbody tr', (trs) => trs.map((tr) => [...tr.cells].map((td) => td.textContent)));
  const record = JSON.parse(dump('--defs', definitionsOf('layouts-example'), '--json', '--mask',
    join(source, 'examples', 'layouts-example.hex')));
  // Every part of every composite field has its row, in the JSON's order.
  const ids = [];
  const collect = (parts) => parts.forEach((part) => { ids.push(part.id); if (part.sub) collect(part.sub); });
  record.fields.filter((field) => field.sub).forEach((field) => collect(field.sub));
  const partRows = rows.filter((row) => /^[│ ]*[├└]─ \d/.test(row[0]));
  assert.deepEqual(partRows.map((row) => row[0].replace(/^[│ ├└─]+/, '')), ids);
  assert.deepEqual(rows.find((row) => row[0].endsWith('─ 127.25.5A')).slice(1, 4),
    ['application PAN, hidden by --mask but for 6 and 4 digits', '8', '512345******0008']);
  assert.match(rows.find((row) => row[0].endsWith('─ 127.25'))[0], /^└─ 127\.25$/);
  assert.equal(rows.find((row) => row[0].endsWith('─ 127.25'))[3], '');
  await page.select('#dialect', 'bitmap');  // the page keeps its dialect for the tests after
  await page.close();
});

test('settings and definitions are kept, the message is not; Ctrl+Enter decodes', async () => {
  const page = await openPage(browser, pageUrl);
  const text = readFileSync(samples.response, 'utf8').trim();
  await page.click('#mask');
  await page.$eval('#message', (box, value) => { box.value = value; }, text);
  await page.focus('#message');
  await page.keyboard.down('Control');
  await page.keyboard.press('Enter');
  await page.keyboard.up('Control');
  assert.equal(await textOf(page, 'report'), dump('--defs', bitmap, samples.response));
  await page.reload();
  await page.waitForSelector('body[data-ready=true]');
  assert.equal(await page.$eval('#mask', (box) => box.checked), false);
  assert.equal(await page.$eval('#message', (box) => box.value), '');
  const stored = await page.evaluate(() => JSON.stringify({ ...localStorage }));
  assert.equal(stored.includes(text.slice(40, 80)), false);
  await page.evaluate(() => localStorage.clear());
  await page.close();
});

test('a dialect switch, own definitions, and a definition error with its line', async () => {
  const page = await openPage(browser, pageUrl);
  const dialects = await page.$$eval('#dialect option', (options) => options.map((o) => o.value));
  const text = readFileSync(samples.purchase, 'utf8');
  for (const dialect of dialects.filter((name) => name !== 'custom')) {
    await page.select('#dialect', dialect);
    await decodeIn(page, text);
    const file = dialect === 'bitmap' ? bitmap : join(source, 'dialects', `${dialect}.ini`);
    assert.equal(await textOf(page, 'report'), dump('--defs', file, '--mask', samples.purchase), dialect);
  }
  const own = join(scratch, 'own.ini');
  writeFileSync(own, '1|4|0\n2|19|2\n3|6|0\n');
  await page.click('#definitions-box summary');
  await page.$eval('#definitions', (box, value) => {
    box.value = value;
    box.dispatchEvent(new Event('change'));
  }, readFileSync(own, 'utf8'));
  assert.equal(await page.$eval('#dialect', (select) => select.value), 'custom');
  await decodeIn(page, text);
  assert.equal(await textOf(page, 'report'), dump('--defs', own, '--mask', samples.purchase));
  await page.$eval('#definitions', (box) => {
    box.value = '1|4|0\n2|19|2\n\n# a comment\nabc|3|0\n';
    box.dispatchEvent(new Event('change'));
  });
  assert.match(await textOf(page, 'definitions-error'), /line 5: not a definition/);
  assert.equal(await textOf(page, 'report'), '');
  await page.reload();
  await page.waitForSelector('body[data-ready=true]');
  assert.match(await page.$eval('#definitions', (box) => box.value), /abc\|3\|0/);
  await page.evaluate(() => localStorage.clear());
  await page.close();
});

test('files: lines of messages to step through, dumps, binary messages', async () => {
  const page = await openPage(browser, pageUrl);
  await setMask(page, false);
  const lines = join(scratch, 'lines.txt');
  writeFileSync(lines, names.map((name) => readFileSync(samples[name], 'utf8').trim()).join('\n') + '\n');
  const input = await page.$('#message-file');
  await input.uploadFile(lines);
  await page.waitForFunction(() => document.querySelectorAll('#message-list option').length === 3);
  await page.select('#message-list', '1');
  assert.equal(await textOf(page, 'report'), dump('--defs', bitmap, samples.response));

  const binary = join(scratch, 'reversal.bin');
  // Longer than a decode reads, which cuts it as --binary does.
  writeFileSync(binary, Buffer.concat([
    Buffer.from(readFileSync(samples.reversal, 'utf8').replace(/\s/g, ''), 'hex'), Buffer.alloc(1800, 0x30)]));
  const dumped = join(scratch, 'purchase.xxd');
  writeFileSync(dumped, spawnSync('xxd', [binary], { encoding: 'utf8' }).stdout);
  for (const [file, args] of [[binary, ['--binary']], [dumped, ['--hexdump']]]) {
    await input.uploadFile(file);
    await page.waitForFunction((expected) => document.getElementById('report').textContent === expected,
      { timeout: 5000 }, dump('--defs', bitmap, ...args, file).replace(/\n\n$/, '\n'));
  }
  await page.close();
});

test('no request leaves the page, from disk or from a web server', async () => {
  const html = readFileSync(pagePath);
  const server = createServer((request, response) => {
    response.writeHead(200, { 'content-type': 'text/html; charset=utf-8' });
    response.end(html);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const served = `http://127.0.0.1:${server.address().port}/`;
  try {
    for (const url of [pageUrl, served]) {
      const page = await openPage(browser, url);
      await decodeIn(page, readFileSync(samples.purchase, 'utf8'));
      for (const tab of ['explanation', 'json', 'editor', 'report']) await page.click(`#tab-${tab}`);
      await edit(page, 4, '000000099900');
      assert.deepEqual(page.requests.filter((request) => !request.startsWith('data:')), [url]);
      assert.match(await page.$eval('meta[http-equiv=Content-Security-Policy]', (meta) => meta.content),
        /default-src 'none'.*connect-src 'none'/);
      assert.deepEqual(page.errors, []);
      await page.close();
    }
  } finally {
    server.close();
  }
});

// ---- the editor ----------------------------------------------------------

const definitionsOf = (dialect) => (dialect === 'bitmap' ? bitmap : join(source, 'dialects', `${dialect}.ini`));
const row = (key) => `#editor-fields tr[data-field="${key}"]`;

// Opens the sample `name` from the sample list in the editor; returns the
// dialect it switched to.
async function openSample(page, name) {
  await page.select('#sample', name);
  await page.click('#tab-editor');
  return page.$eval('#dialect', (select) => select.value);
}

async function edit(page, key, value) {
  await page.$eval(`${row(key)} .value`, (box, text) => {
    box.value = text;
    box.dispatchEvent(new Event('input', { bubbles: true }));
  }, value);
}

const packedHex = (page) => textOf(page, 'packed-hex');
const reasonOf = (page, key) => page.$eval(`${row(key)} .reason`, (element) => element.textContent);

test('the editor repacks every sample as iso8583pack packs the same JSON', async () => {
  const page = await openPage(browser, pageUrl);
  await setMask(page, false);
  const sampleNames = await page.$$eval('#sample option', (options) => options.map((o) => o.value).filter(Boolean));
  assert.equal(sampleNames.length, 10);
  for (const name of sampleNames) {
    const dialect = await openSample(page, name);
    const definitions = definitionsOf(dialect);
    const file = join(source, 'examples', `${name}.hex`);
    assert.equal(await packedHex(page), readFileSync(file, 'utf8').trim(), name);
    await edit(page, 11, '000999');
    assert.equal(await packedHex(page), pack(definitions, sampleRecord(definitions, file, { 11: { text: '000999' } })).hex, name);
  }

  // Typed key by key; a field above 64 added sets bit 1, removed clears it.
  await openSample(page, 'purchase');
  await page.click(`${row(4)} .value`, { clickCount: 3 });
  await page.keyboard.type('000000099900');
  await page.type('#add-field-number', '70');
  await page.click('#add-field');
  await page.keyboard.type('301');
  const changes = { 4: { text: '000000099900' }, 70: { text: '301' } };
  const withSecondary = await packedHex(page);
  assert.equal(withSecondary, pack(bitmap, sampleRecord(bitmap, samples.purchase, changes)).hex);
  assert.equal(JSON.parse(dump('--defs', bitmap, '--json', writeScratch('added.hex', withSecondary))).bitmap.slice(0, 2), 'F2');
  await page.click(`${row(70)} .remove`);
  const withoutSecondary = await packedHex(page);
  assert.equal(withoutSecondary, pack(bitmap, sampleRecord(bitmap, samples.purchase, { 4: changes[4] })).hex);
  assert.equal(JSON.parse(dump('--defs', bitmap, '--json', writeScratch('removed.hex', withoutSecondary))).bitmap.slice(0, 2), '72');

  // A dialect whose bitmap without fields above 64 has 8 bytes.
  const ascii = definitionsOf('iso87-ascii');
  await openSample(page, 'iso87-ascii');
  await page.click(`${row(102)} .remove`);
  const short = await packedHex(page);
  assert.equal(short, pack(ascii, sampleRecord(ascii, join(source, 'examples', 'iso87-ascii.hex'), { 102: null })).hex);
  assert.equal(JSON.parse(dump('--defs', ascii, '--json', writeScratch('ascii.hex', short))).bitmap.length, 16);

  // The header edited as hex, the type changed, and the MAC stale.
  const unionpay = definitionsOf('unionpay-pos');
  await openSample(page, 'unionpay-pos');
  assert.equal(await reasonOf(page, 64), '');
  await edit(page, 'header', '6000030000603100310001');
  await edit(page, 'mti', '0220');
  const record = sampleRecord(unionpay, join(source, 'examples', 'unionpay-pos.hex'));
  record.header = '6000030000603100310001';
  delete record.mti_hex;
  record.mti = '0220';
  assert.equal(await packedHex(page), pack(unionpay, record).hex);
  assert.match(await reasonOf(page, 64), /stale/);
  assert.match(await textOf(page, 'editor-status'), /MAC in field 64 is stale/);
  assert.deepEqual(page.errors, []);
  await page.evaluate(() => localStorage.clear());
  await page.close();
});

test('a value its field cannot hold is marked with the pack\'s reason and not packed', async () => {
  const page = await openPage(browser, pageUrl);
  await setMask(page, false);
  await openSample(page, 'unionpay-pos');
  const unionpay = definitionsOf('unionpay-pos');
  const file = join(source, 'examples', 'unionpay-pos.hex');
  const impossible = [[4, '0000001285.0', /digit/], [2, '62220212345678901234', /maximum|long/], [52, '1A2B3C4D5E6F708Z', /hex/]];
  for (const [key, value] of impossible) await edit(page, key, value);
  for (const [key, value, kind] of impossible) {
    const expected = pack(unionpay, sampleRecord(unionpay, file, { [key]: { text: value } }));
    assert.equal(expected.hex, '');
    assert.equal(`field ${key}: ${await reasonOf(page, key)}`, expected.reason);
    assert.match(expected.reason, kind);
  }
  assert.deepEqual(await page.$$eval('#editor-fields tr.refused', (trs) => trs.map((tr) => tr.dataset.field)), ['2', '4', '52']);
  assert.equal(await packedHex(page), '');
  assert.equal(await page.$eval('#copy-hex', (button) => button.disabled), true);
  assert.match(await textOf(page, 'editor-status'), /not packed: 3 values/);

  await edit(page, 'header', '60');
  assert.match(await reasonOf(page, 'header'), /1 bytes, but the dialect has 11/);
  await edit(page, 'header', '6000030000603100310000');
  await edit(page, 2, '6222021234567890123');
  await edit(page, 4, '000000012850');
  await edit(page, 52, '1A2B3C4D5E6F7081');
  assert.equal(await packedHex(page), readFileSync(file, 'utf8').trim());
  assert.equal(await page.$$eval('#editor-fields tr.refused, #editor-fields tr.stale', (trs) => trs.length), 0);
  await page.evaluate(() => localStorage.clear());
  await page.close();
});

test('masked, card fields are locked and starred, and copy or download ask to unmask first', async () => {
  const page = await openPage(browser, pageUrl);
  assert.equal(await page.$eval('#mask', (box) => box.checked), true);
  await page.evaluate(() => {
    window.copied = [];
    navigator.clipboard.writeText = async (text) => { window.copied.push(text); };
  });
  await openSample(page, 'purchase');
  await edit(page, 4, '000000099900');
  const maskedRecord = JSON.parse(dump('--defs', bitmap, '--json', '--mask', samples.purchase));
  for (const key of [2, 35]) {
    const field = maskedRecord.fields.find((f) => f.field === key);
    assert.deepEqual(await page.$eval(`${row(key)} .value`, (box) => [box.readOnly, box.value]), [true, field.text]);
    assert.equal((await packedHex(page)).includes(field.hex), true);
  }
  const unmasked = pack(bitmap, sampleRecord(bitmap, samples.purchase, { 4: { text: '000000099900' } })).hex;
  const shown = await packedHex(page);
  assert.equal(shown.length, unmasked.length);
  assert.equal([...shown].every((digit, k) => digit === '*' || digit === unmasked[k]), true);

  const dialogOpen = () => page.$eval('#unmask-dialog', (dialog) => dialog.open);
  for (const button of ['#copy-hex', '#download-hex']) {
    await page.click(button);
    assert.equal(await dialogOpen(), true);
    await page.click('#unmask-cancel');
    assert.equal(await dialogOpen(), false);
  }
  assert.deepEqual(await page.evaluate(() => window.copied), []);
  assert.equal(await page.$eval('#mask', (box) => box.checked), true);

  await page.click('#copy-hex');
  await page.click('#unmask-confirm');
  // The dialog's close event, which goes on to copy, comes as a task of its own.
  await page.waitForFunction(() => window.copied.length > 0, { timeout: 5000 });
  assert.deepEqual(await page.evaluate(() => window.copied), [unmasked]);
  assert.equal(await page.$eval('#mask', (box) => box.checked), false);
  assert.deepEqual(await page.$eval(`${row(2)} .value`, (box) => [box.readOnly, box.value]), [false, '6222021234567890123']);
  assert.equal(await packedHex(page), unmasked);
  const stored = await page.evaluate(() => JSON.stringify({ ...localStorage }));
  assert.equal(stored.includes('099900'), false);
  await page.evaluate(() => localStorage.clear());
  await page.close();
});

// The message of the sample `name` of dialects/, behind a 2-byte length
// and a TPDU, as hexadecimal text.
function framedSample(name) {
  const message = Buffer.from(readFileSync(join(source, 'examples', `${name}.hex`), 'utf8').replace(/\s/g, ''), 'hex');
  const framed = Buffer.concat([Buffer.from('6000030000', 'hex'), message]);
  const length = Buffer.alloc(2);
  length.writeUInt16BE(framed.length);
  return Buffer.concat([length, framed]).toString('hex').toUpperCase();
}

// iso8583dump --guess --json of `text` with --defs `definitions` first.
function dumpGuess(definitions, text) {
  return JSON.parse(dump('--guess', '--json', '--defs', definitions, writeScratch('guessed.hex', text)));
}

const shownJson = async (page, id) => JSON.parse(await textOf(page, id));

test('the guess view is iso8583dump --guess --json, and a hint names the dialect that reads', async () => {
  const page = await openPage(browser, pageUrl);
  await page.select('#dialect', 'bitmap');
  const purchase = readFileSync(samples.purchase, 'utf8');
  await decodeIn(page, purchase);
  const readings = (ranking) => ranking.readings.map((reading) => [reading.dialect, reading.framing, reading.complete]);
  // The page names its dialect by its name where iso8583dump names the file.
  const named = (ranking) => JSON.parse(JSON.stringify(ranking).replaceAll(bitmap, 'bitmap'));
  assert.deepEqual(await shownJson(page, 'guess-json'), named(dumpGuess(bitmap, purchase)));
  assert.equal(await page.$eval('#dialect-hint', (box) => box.hidden), true);

  // A UnionPay POS message read as bitmap.ini: the hint names unionpay-pos,
  // and its button decodes with it.
  const unionpay = readFileSync(join(source, 'examples', 'unionpay-pos.hex'), 'utf8');
  await decodeIn(page, unionpay);
  const ranking = await shownJson(page, 'guess-json');
  assert.deepEqual(readings(ranking), readings(named(dumpGuess(bitmap, unionpay))));
  assert.equal(await page.$eval('#dialect-hint', (box) => box.hidden), false);
  assert.match(await textOf(page, 'dialect-hint-text'), /hint: read as unionpay-pos, this message unpacks completely$/);
  assert.equal(await page.$eval('#use-hinted-dialect', (button) => button.hidden), false);
  await page.click('#use-hinted-dialect');
  assert.equal(await page.$eval('#dialect', (select) => select.value), 'unionpay-pos');
  assert.equal(await textOf(page, 'report'),
    dump('--defs', join(source, 'dialects', 'unionpay-pos.ini'), '--mask', writeScratch('u.hex', unionpay)));
  assert.equal(await page.$eval('#dialect-hint', (box) => box.hidden), true);

  // Behind a length and a TPDU: the hint says what to skip, and has no button.
  const framed = framedSample('iso87-binary');
  await decodeIn(page, framed);
  const best = dumpGuess(join(source, 'dialects', 'unionpay-pos.ini'), framed).readings[0];
  assert.deepEqual([best.dialect, best.framing, best.framing_bytes], ['iso87-binary', 'len2+tpdu', 7]);
  assert.match(await textOf(page, 'dialect-hint-text'),
    /hint: read as iso87-binary after its first 7 bytes \(len2\+tpdu\), this message unpacks completely$/);
  assert.equal(await page.$eval('#use-hinted-dialect', (button) => button.hidden), true);

  // Bytes left over bring a hint too.
  await page.select('#dialect', 'iso93-ascii');
  await decodeIn(page, readFileSync(join(source, 'examples', 'iso87-ascii.hex'), 'utf8'));
  assert.match(await textOf(page, 'dialect-hint-text'), /read as iso87-ascii, this message unpacks completely$/);
  await page.evaluate(() => localStorage.clear());
  await page.close();
});

test('the compare view is iso8583dump --diff --json, masked with the mask on', async () => {
  const page = await openPage(browser, pageUrl);
  await page.select('#dialect', 'bitmap');
  await page.click('#tab-compare');
  for (const [a, b, ignore] of [['purchase', 'response', ''], ['purchase', 'reversal', '55,mti'], ['response', 'response', '']]) {
    const text = readFileSync(samples[b], 'utf8');
    await page.$eval('#compare-message', (box, value) => { box.value = value; }, text);
    await page.$eval('#compare-ignore', (box, value) => { box.value = value; }, ignore);
    await decodeIn(page, readFileSync(samples[a], 'utf8'));
    const args = ['--defs', bitmap, '--json', '--mask', '--diff', samples[a], samples[b], ...(ignore ? ['--ignore', ignore] : [])];
    assert.deepEqual(await shownJson(page, 'diff-json'), JSON.parse(dump(...args)), `${a} ${b}`);
  }
  assert.match(await textOf(page, 'compare-status'), /the messages are equal/);
  await setMask(page, false);
  await page.$eval('#compare-message', (box, value) => { box.value = value; }, readFileSync(samples.response, 'utf8'));
  await page.click('#compare-button');
  assert.deepEqual(await shownJson(page, 'diff-json'),
    JSON.parse(dump('--defs', bitmap, '--json', '--diff', samples.response, samples.response)));
  await page.$eval('#compare-message', (box) => { box.value = '303'; });
  await page.click('#compare-button');
  assert.equal(await textOf(page, 'compare-status'), 'message B: refused, not compared');
  assert.equal(await textOf(page, 'diff-json'), '');
  await page.evaluate(() => localStorage.clear());
  await page.close();
});

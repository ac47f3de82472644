// Tests of the decoder page in headless Chromium: its report, JSON and
// explanation are iso8583dump's, its settings are kept and its messages
// are not, dialects and definition errors, files of messages, and not one
// network request. PAGE names the built page, ISO8583DUMP the program,
// SOURCE_DIR the repository.
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

function dump(...args) {
  const result = spawnSync(process.env.ISO8583DUMP, args, { encoding: 'utf8' });
  return result.stdout;
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
      for (const tab of ['explanation', 'json', 'report']) await page.click(`#tab-${tab}`);
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

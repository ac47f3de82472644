// Takes the README's pictures of the page: a sample message decoded, with
// its explanation shown; and the editor, with the UnionPay POS sample's
// amount changed, its card data masked and its MAC marked stale.
// usage: node screenshot.mjs PAGE.html MESSAGE.hex OUTPUT.png EDITOR.png
import { readFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';
import { launchBrowser, openPage } from './browser.mjs';

const [pagePath, messagePath, outputPath, editorPath] = process.argv.slice(2);
const browser = await launchBrowser();
try {
  const page = await openPage(browser, pathToFileURL(pagePath).href, { width: 1400, height: 1000 });
  await page.$eval('#message', (box, text) => { box.value = text; }, readFileSync(messagePath, 'utf8'));
  await page.click('#tab-explanation');
  await page.click('#parse');
  await page.screenshot({ path: outputPath, fullPage: true });

  await page.select('#sample', 'unionpay-pos');
  await page.click('#tab-editor');
  await page.click('#editor-fields tr[data-field="4"] .value', { clickCount: 3 });
  await page.keyboard.type('000000099900');
  await page.screenshot({ path: editorPath, fullPage: true });
  if (page.errors.length > 0) throw new Error(`the page reported: ${page.errors.join('; ')}`);
} finally {
  await browser.close();
}

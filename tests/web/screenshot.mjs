// Takes the README's picture of the page: a sample message decoded, with
// its explanation shown.
// usage: node screenshot.mjs PAGE.html MESSAGE.hex OUTPUT.png
import { readFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';
import { launchBrowser, openPage } from './browser.mjs';

const [pagePath, messagePath, outputPath] = process.argv.slice(2);
const browser = await launchBrowser();
try {
  const page = await openPage(browser, pathToFileURL(pagePath).href, { width: 1400, height: 1000 });
  await page.$eval('#message', (box, text) => { box.value = text; }, readFileSync(messagePath, 'utf8'));
  await page.click('#tab-explanation');
  await page.click('#parse');
  await page.screenshot({ path: outputPath, fullPage: true });
  if (page.errors.length > 0) throw new Error(`the page reported: ${page.errors.join('; ')}`);
} finally {
  await browser.close();
}

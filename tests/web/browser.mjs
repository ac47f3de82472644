// Headless Chromium for the page's tests, screenshot and benchmark: Debian's
// chromium, with a fresh profile and none of its own connections (this
// machine's network refuses them), every request of the page recorded and
// anything but the page's own file refused.
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';

export async function launchBrowser() {
  const profile = mkdtempSync(join(tmpdir(), 'iso8583-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--user-data-dir=${profile}`, '--lang=zh-CN'],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// Opens `url` in a new page of `size`, waiting until the decoder is ready.
// The page's `requests` lists every request it made, `errors` its errors.
export async function openPage(browser, url, size = { width: 1280, height: 900 }) {
  const page = await browser.newPage();
  await page.setViewport(size);
  page.requests = [];
  page.errors = [];
  await page.setRequestInterception(true);
  page.on('request', (request) => {
    page.requests.push(request.url());
    if (request.url() === url || request.url().startsWith('data:')) request.continue();
    else request.abort();
  });
  page.on('pageerror', (error) => page.errors.push(error.message));
  page.on('console', (message) => {
    if (message.type() === 'error') page.errors.push(message.text());
  });
  await page.goto(url);
  await page.waitForSelector('body[data-ready=true]', { timeout: 20000 });
  return page;
}

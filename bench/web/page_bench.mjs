// SPDX-License-Identifier: GPL-3.0-or-later
// The page's speed in Debian's headless Chromium, run by hand (tests/web/run_page --bench):
// from opening the page (nothing cached) to a usable diagram, with the bytes transferred
// compressed; a redraw of 1,000 samples with their identical lines; a treatment of a
// 32,767-sample width file up to its download; Measure Patterns on two real files. Prints
// one line each, medians of a few runs where it says so.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { chromiumOptions, serveSite } from '../../tests/web/page_harness.mjs';

const site = process.env.TERAVINE_SITE;
const { chromium } = createRequire(import.meta.url)(process.env.PLAYWRIGHT_CORE);
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'teravine-bench-'));
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// A width file of `count` pairs the diagram places (the example's, a little apart).
function widthFile(count) {
  const pairs = [[0.6, 0.5], [0.45, 0.4], [0.8, 0.62], [0.3, 0.28], [0.7, 0.25], [0.95, 0.7]];
  const lines = ['Benchmark samples', String(count), '0.05'];
  for (let i = 0; i < count; i++) {
    const [ad, eg] = pairs[i % pairs.length];
    const shift = (i % 997) * 0.00001;
    lines.push(`${(ad + shift).toFixed(5)},${(eg + shift / 2).toFixed(5)}`);
  }
  const file = path.join(scratch, `bench-${count}.IW`);
  fs.writeFileSync(file, lines.join('\r\n') + '\r\n');
  return file;
}

async function openPage(browser, url) {
  const context = await browser.newContext({ viewport: { width: 1366, height: 768 }, acceptDownloads: true });
  const page = await context.newPage();
  page.on('dialog', (dialog) => dialog.accept());
  const cdp = await context.newCDPSession(page);
  await cdp.send('Network.enable');
  let bytes = 0;
  cdp.on('Network.loadingFinished', (event) => { bytes += event.encodedDataLength; });
  const start = performance.now();
  await page.goto(url);
  await page.waitForSelector('body[data-ready="true"]', { timeout: 60000 });
  return { context, page, ms: performance.now() - start, bytes };
}

// The time from choosing the file to its download shown, and the longest the page went
// without a frame meanwhile (how long it was held at once).
async function treat(page, file) {
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'), page.click('[data-file="Tr_fi_Click"]')]);
  await page.evaluate(() => {
    window.longestFrame = 0;
    window.watchFrames = true;
    let last = performance.now();
    const tick = (now) => {
      window.longestFrame = Math.max(window.longestFrame, now - last);
      last = now;
      if (window.watchFrames) requestAnimationFrame(tick);
    };
    requestAnimationFrame(tick);
  });
  const start = performance.now();
  const [download] = await Promise.all([page.waitForEvent('download', { timeout: 300000 }), chooser.setFiles(file)]);
  // The table is shown once the treatment has finished.
  await page.evaluate(() => new Promise((resolve) => setTimeout(resolve)));
  const ms = performance.now() - start;
  const held = await page.evaluate(() => { window.watchFrames = false; return window.longestFrame; });
  await download.delete();
  return { ms, held };
}
const treatLine = (count, t) => `treat ${count} samples (chosen to download and shown): ${t.ms.toFixed(0)} ms, ` +
  `the page held at most ${t.held.toFixed(0)} ms at once`;

const server = await serveSite(site);
const url = `http://127.0.0.1:${server.address().port}/`;
const browser = await chromium.launch(chromiumOptions);
try {
  const opened = [];
  for (let run = 0; run < 3; run++) {
    const o = await openPage(browser, url);
    opened.push(o);
    if (run < 2) await o.context.close();
  }
  console.log(`open page to usable diagram: ${median(opened.map((o) => o.ms)).toFixed(0)} ms, ` +
              `${(median(opened.map((o) => o.bytes)) / 1e6).toFixed(2)} MB transferred (gzip)`);

  const { page } = opened[2];
  console.log(treatLine(1000, await treat(page, widthFile(1000))));
  for (const item of ['Id_k', 'Id_n', 'Id_s']) await page.click(`[data-item="${item}"]`);
  // Each click on the last identical line draws the whole picture again, with or without it.
  // The page shows a handler's changes once it has returned: timed up to the next task.
  const redraws = await page.evaluate(async () => {
    const button = document.querySelector('[data-item="Id_inf"]');
    const times = [];
    for (let i = 0; i < 6; i++) {
      const start = performance.now();
      button.click();
      await new Promise((resolve) => setTimeout(resolve));
      times.push(performance.now() - start);
    }
    return times;
  });
  console.log(`redraw, 1,000 samples with identical lines: ${median(redraws).toFixed(1)} ms`);
  for (const item of ['Id_k', 'Id_n', 'Id_s']) await page.click(`[data-item="${item}"]`);

  // Measure Patterns on two real instruments' files (the page tests' pair): from choosing
  // both files to both widths shown.
  const source = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
  const files = path.join(source, 'tests/formats/files');
  execFileSync('python3', ['-c', 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extract(sys.argv[2], sys.argv[3])',
    path.join(files, 'text_files.zip'), 'xrdml_empyrean.xrdml', scratch]);
  await page.click('button:has-text("Measure Patterns…")');
  await page.fill('#measure-hi', '34');
  await page.press('#measure-hi', 'Tab');
  await page.fill('#measure-lo', '32');
  await page.press('#measure-lo', 'Tab');
  const start = performance.now();
  await page.getByLabel('Air dried (AD)', { exact: true }).setInputFiles(path.join(scratch, 'xrdml_empyrean.xrdml'));
  await page.getByLabel('Glycolated (EG)', { exact: true }).setInputFiles(path.join(files, 'TwoTheta_scan_powder.rasx'));
  await page.waitForFunction(() => [...document.querySelectorAll('#measure-dialog [data-figure="fwhm"]')]
    .every((figure) => figure.textContent.endsWith('°')));
  const measured = performance.now() - start;
  console.log(`measure a pair (an .xrdml and a .rasx, chosen to both widths shown): ${measured.toFixed(0)} ms`);
  await page.keyboard.press('Escape');

  for (const count of [4000, 32767]) {
    await page.click('[data-run="netoye_Click"]');
    const t = await treat(page, widthFile(count)).catch(() => null);
    console.log(t === null ? `treat ${count} samples: not done within 300 s` : treatLine(count, t));
    if (t === null) break;
  }
  // Another Reichweite places every sample again, in one go.
  const [to, switched] = await page.evaluate(async () => {
    const button = document.querySelector('[data-item^="R_"][aria-pressed="false"]');
    const start = performance.now();
    button.click();
    await new Promise((resolve) => setTimeout(resolve));
    return [button.textContent, performance.now() - start];
  });
  console.log(`switch to ${to} with ${await page.locator('#samples').getAttribute('data-rows')} samples: ${switched.toFixed(0)} ms`);
} finally {
  await browser.close();
  server.close();
}

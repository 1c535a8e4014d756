// SPDX-License-Identifier: GPL-3.0-or-later
// A user of the page in headless Chromium (Debian's, driven by playwright-core): types
// widths and draws, clicks into the diagram, switches Reichweite and grid lines, treats a
// file and compares the download with teravine-cli treat, saves the picture, reads the
// guide, and starts the page again with the network off.
//   node --test tests/web/page_test.mjs
// with TERAVINE_SITE (build-web/site), TERAVINE_CLI, PLAYWRIGHT_CORE (its folder) and
// optionally TERAVINE_SCREENSHOTS (a folder for pictures of the page at 1366 × 768).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { chromiumOptions, serveSite } from './page_harness.mjs';

const source = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const site = process.env.TERAVINE_SITE ?? path.join(source, 'build-web/site');
const cli = process.env.TERAVINE_CLI ?? path.join(source, 'build/bin/teravine-cli');
const { chromium } = createRequire(import.meta.url)(process.env.PLAYWRIGHT_CORE);
const screenshots = process.env.TERAVINE_SCREENSHOTS;
const examples = path.join(source, 'examples');
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'teravine-page-'));

let server, browser, page;
const messages = []; // what the page's message boxes said

before(async () => {
  server = await serveSite(site);
  browser = await chromium.launch(chromiumOptions);
  page = await browser.newPage({ viewport: { width: 1366, height: 768 }, acceptDownloads: true });
  page.on('dialog', (dialog) => {
    messages.push(dialog.message());
    dialog.accept();
  });
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await page.waitForSelector('body[data-ready="true"]', { timeout: 30000 });
});

after(async () => {
  await browser?.close();
  server?.close();
});

// The table builds only the rows in view; it states how many it holds.
const rows = async () => Number(await page.locator('#samples').getAttribute('data-rows'));

async function shoot(name) {
  if (screenshots) {
    fs.mkdirSync(screenshots, { recursive: true });
    await page.screenshot({ path: path.join(screenshots, name) });
  }
}

test('the page fits 1366 × 768 without scrolling sideways', async () => {
  const width = await page.evaluate(() => document.documentElement.scrollWidth);
  assert.ok(width <= 1366, `the page is ${width} pixels wide`);
  assert.equal(await page.locator('label', { hasText: 'Instrumental Broadening' }).count(), 1);
  assert.equal(await page.locator('label', { hasText: 'Air Dried IC' }).count(), 1);
  assert.equal(await page.locator('label', { hasText: 'Ethylene Glycol IC' }).count(), 1);
});

test('every control is reached with Tab', async () => {
  const controls = await page.evaluate(() => [...document.querySelectorAll('nav button, nav a, main input, main button, .table-box')]
    .filter((e) => e.offsetParent !== null && !(e.type === 'radio' && !e.checked)).length);
  const reached = new Set();
  await page.focus('body');
  for (let i = 0; i < controls + 5; i++) {
    await page.keyboard.press('Tab');
    reached.add(await page.evaluate(() => {
      const e = document.activeElement;
      return e.closest('nav, main') && e !== document.body ? e.outerHTML : null;
    }));
  }
  reached.delete(null);
  assert.equal(reached.size, controls);
});

test('typed widths and Enter draw a sample; a click places another', async () => {
  await page.fill('#Broad', '0.05');
  await page.fill('#Xls', '0.6');
  await page.fill('#Yls', '0.5');
  await page.press('#Yls', 'Enter');
  assert.equal(await rows(), 1);
  const box = await page.locator('#pct1').boundingBox();
  await page.mouse.click(box.x + box.width * 0.5, box.y + box.height * 0.5);
  assert.equal(await rows(), 2);
  // The diagram was drawn: the canvas holds more than its white.
  const inked = await page.evaluate(() => {
    const c = document.getElementById('pct1');
    const pixels = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let dark = 0;
    for (let i = 0; i < pixels.length; i += 4) if (pixels[i] < 128) dark++;
    return dark;
  });
  assert.ok(inked > 1000, `only ${inked} dark pixels`);
  await shoot('web-typed-and-drawn.png');
});

test('Reichweite and grid lines switch as menu items', async () => {
  await page.click('button[data-item="R_1"]');
  assert.equal(await page.getAttribute('button[data-item="R_1"]', 'aria-pressed'), 'true');
  assert.equal(await page.getAttribute('button[data-item="R_0"]', 'aria-pressed'), 'false');
  const before = await page.getAttribute('button[data-item="C_N"]', 'aria-pressed');
  await page.click('button[data-item="C_N"]');
  assert.notEqual(await page.getAttribute('button[data-item="C_N"]', 'aria-pressed'), before);
});

test('Treat File offers the result at once, equal to teravine-cli treat', async () => {
  await page.click('[data-run="netoye_Click"]');
  const widthFile = path.join(examples, 'samples.IW');
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'),
                                       page.click('[data-file="Tr_fi_Click"]')]);
  const [download] = await Promise.all([page.waitForEvent('download'), chooser.setFiles(widthFile)]);
  assert.equal(download.suggestedFilename(), 'samples.IWO');
  const downloaded = path.join(scratch, 'page.IWO');
  await download.saveAs(downloaded);
  const native = path.join(scratch, 'native.IWO');
  execFileSync(cli, ['treat', widthFile, '-o', native, '--reichweite', 'R1', '--rule', 'mixture', '-q']);
  assert.ok(fs.readFileSync(downloaded).equals(fs.readFileSync(native)), 'the .IWO differs');
  assert.ok(await rows() > 5);
  await shoot('web-treated-file.png');
});

test('A long treatment shows its progress and a long table builds only the rows in view', async () => {
  const lines = ['Long', '3000', '0.05'];
  for (let i = 0; i < 3000; i++) lines.push(`${(0.5 + i * 1e-5).toFixed(5)},0.40000`);
  const file = path.join(scratch, 'long.IW');
  fs.writeFileSync(file, lines.join('\r\n') + '\r\n');
  await page.click('[data-run="netoye_Click"]');
  // Every text of the status line, as the treatment yields to the page between slices.
  await page.evaluate(() => {
    window.statusSeen = [];
    new MutationObserver(() => window.statusSeen.push(document.getElementById('status').textContent))
      .observe(document.getElementById('status'), { childList: true, characterData: true, subtree: true });
  });
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'), page.click('[data-file="Tr_fi_Click"]')]);
  const [download] = await Promise.all([page.waitForEvent('download'), chooser.setFiles(file)]);
  const seen = await page.evaluate(() => window.statusSeen);
  assert.ok(seen.includes('Treating: 2000 of 3000 samples…'), seen.join(' | '));
  const downloaded = path.join(scratch, 'long-page.IWO'), native = path.join(scratch, 'long-native.IWO');
  await download.saveAs(downloaded);
  execFileSync(cli, ['treat', file, '-o', native, '--reichweite', 'R1', '--rule', 'mixture', '-q']);
  assert.ok(fs.readFileSync(downloaded).equals(fs.readFileSync(native)), 'the sliced .IWO differs');
  assert.equal(await rows(), 3000);
  assert.ok(await page.locator('#samples tbody tr').count() < 300, 'every row was built');
  await page.locator('.table-box').evaluate((box) => { box.scrollTop = box.scrollHeight; });
  const last = page.locator('#samples tbody tr[data-row]').last();
  await page.waitForFunction(() => document.querySelector('#samples tbody tr[data-row]:last-of-type')?.dataset.row === '2999');
  assert.ok((await last.textContent()).startsWith('3000'), await last.textContent());
  assert.ok(await last.isVisible());
  await page.click('[data-run="netoye_Click"]');
});

// Files for the dialogs: real instruments' patterns (one unpacked from the archive the
// readers' tests keep them in, with the Python the web build runs on).
const patternFiles = path.join(source, 'tests/formats/files');
function unpacked(name) {
  execFileSync('python3', ['-c', 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extract(sys.argv[2], sys.argv[3])',
    path.join(patternFiles, 'text_files.zip'), name, scratch]);
  return path.join(scratch, name);
}

function cliMeasured(...args) {
  const [head, ...lines] = execFileSync(cli, ['measure', ...args], { encoding: 'utf8' }).trim().split('\n');
  const names = head.split('\t');
  return lines.map((line) => Object.fromEntries(line.split('\t').map((v, i) => [names[i], v])));
}

const half = (side) => page.locator(`#measure-dialog .half[data-side="${side}"]`);
const fitsSideways = async (selector) => page.evaluate((s) => {
  const box = document.querySelector(s);
  return document.documentElement.scrollWidth <= window.innerWidth && box.scrollWidth <= box.clientWidth;
}, selector);

// "Save Figure…" of a tool dialog in `format`: the download's name and bytes.
async function savedFigure(button, format) {
  const [download] = await Promise.all([page.waitForEvent('download'), (async () => {
    await page.click(button);
    await page.selectOption('#figure_format', format);
    await page.click('#figure_dialog button[value="save"]');
  })()]);
  return [download.suggestedFilename(), fs.readFileSync(await download.path())];
}

test('Measure Patterns: two real instruments\' files through the file inputs, used and drawn', async () => {
  const ad = unpacked('xrdml_empyrean.xrdml');
  const eg = path.join(patternFiles, 'TwoTheta_scan_powder.rasx');
  await page.fill('#Broad', '0');
  const before = await rows();
  await page.click('button:has-text("Measure Patterns…")');
  assert.ok(await page.locator('#measure-dialog').isVisible());
  await page.getByLabel('Air dried (AD)', { exact: true }).setInputFiles(ad);
  await page.getByLabel('Glycolated (EG)', { exact: true }).setInputFiles(eg);
  await page.waitForFunction(() => document.querySelector('.half[data-side="1"] [data-part="name"]').textContent.endsWith('.rasx'));
  // Neither holds the default range: each half says so, and nothing can be used yet.
  assert.match(await half(0).locator('[data-part="message"]').textContent(), /the range between 6\.5° and 11\.5°/);
  assert.ok(await page.locator('#measure-draw').isDisabled());
  // The high end first: a low end past the high one is refused, as in the window.
  await page.fill('#measure-hi', '34');
  await page.press('#measure-hi', 'Tab');
  await page.fill('#measure-lo', '32');
  await page.press('#measure-lo', 'Tab');
  const expected = cliMeasured('--range', '32:34', ad, eg);
  for (const side of [0, 1]) {
    assert.equal(await half(side).locator('[data-figure="fwhm"]').textContent(), `${expected[side].fwhm}°`);
    assert.equal(await half(side).locator('[data-figure="position"]').textContent(), `${expected[side].position}°`);
    assert.equal(await half(side).locator('[data-figure="u_fwhm"]').textContent(), `${expected[side].u_fwhm}°`);
  }
  assert.ok(await fitsSideways('#measure-dialog'), 'the dialog scrolls sideways');
  const [name, svg] = await savedFigure('#measure-figure', 'svg');
  assert.equal(name, 'peaks.svg');
  for (const side of [0, 1]) assert.ok(svg.toString().includes(`FWHM ${expected[side].fwhm}°`), 'the figure lacks a width');
  await page.click('#measure-draw');
  assert.equal(await page.inputValue('#Xls'), expected[0].fwhm);
  assert.equal(await page.inputValue('#Yls'), expected[1].fwhm);
  assert.equal(await rows(), before + 1);
  // Placed samples come first in the table, before those a treatment could not place.
  const shown = await page.locator('#samples tbody tr').allTextContents();
  assert.ok(shown.some((row) => row.includes(expected[0].fwhm) && row.includes(expected[1].fwhm)), 'the table lacks the pair');
  await shoot('web-measured.png');
});

test('Measure Patterns: a file that is no pattern gets the reader\'s message; nothing else is lost', async () => {
  const before = await rows();
  const figure = await half(0).locator('[data-figure="fwhm"]').textContent();
  await page.getByLabel('Glycolated (EG)', { exact: true }).setInputFiles(path.join(examples, 'samples.IW'));
  await page.waitForFunction(() => document.querySelector('.half[data-side="1"] [data-part="name"]').textContent === 'samples.IW');
  assert.match(await half(1).locator('[data-part="message"]').textContent(), /^The file "samples\.IW" is not in a format Teravine reads\./);
  assert.equal(await half(0).locator('[data-figure="fwhm"]').textContent(), figure);
  assert.ok(await page.locator('#measure-use').isDisabled());
  assert.equal(await rows(), before);
  await page.click('#measure-dialog [data-close]');
});

test('Measure Patterns: N (profile) with the standard\'s pattern asked for; another file is refused', async () => {
  const profile = path.join(scratch, 'mica-profile.json');
  execFileSync(cli, ['instrument', path.join(examples, 'mica.xy'), '-o', profile]);
  await page.click('button:has-text("Calibration…")');
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'), page.click('#cal-open-profile')]);
  await chooser.setFiles(profile);
  await page.waitForFunction(() => !document.querySelector('#cal-stop-profile').disabled);
  await page.click('#calibration-dialog [data-close]');
  await page.click('button:has-text("Measure Patterns…")');
  await page.click('#measure-reset');
  for (const [side, name] of [[0, 'illite-AD.xy'], [1, 'illite-EG.xy']]) {
    await page.getByLabel(side ? 'Glycolated (EG)' : 'Air dried (AD)', { exact: true }).setInputFiles(path.join(examples, name));
  }
  // No mica.xy among the page's files: the page asks for it; a file of another digest is refused.
  const note = '#measure-thickness-note';
  await page.waitForSelector('#measure-find-standard:not([hidden])');
  assert.match(await page.textContent(note), /^The pattern the instrument profile was made from, mica\.xy, is neither/);
  await page.locator('#measure-standard').setInputFiles(path.join(examples, 'illite-EG.xy'));
  await page.waitForFunction((n) => document.querySelector(n).textContent.startsWith('The file illite-EG.xy is not the pattern'), note);
  assert.equal(await page.textContent('#measure-n-profile'), '–');
  await page.locator('#measure-standard').setInputFiles(path.join(examples, 'mica.xy'));
  await page.waitForFunction(() => /^\d/.test(document.querySelector('#measure-n-profile').textContent));
  const native = Object.fromEntries(execFileSync(cli, ['thickness', path.join(examples, 'illite-AD.xy'), '--standard', path.join(examples, 'mica.xy')], { encoding: 'utf8' })
    .split('\n').map((line) => line.split('\t')));
  const mean = Number(native.mean_layers).toFixed(2);
  assert.match(await page.textContent('#measure-n-profile'), new RegExp(`^${mean} \\(u \\d+\\.\\d\\d\\)$`));
  assert.ok(await page.locator('#measure-find-standard').isHidden());
  await shoot('web-thickness.png');
  await page.click('#measure-draw');
  const shown = await page.locator('#samples tbody tr').allTextContents();
  assert.ok(shown.some((row) => row.includes(mean)), 'the table lacks the sample\'s N (profile)');
  await page.click('#measure-dialog [data-close]');
  await page.click('button:has-text("Calibration…")');
  await page.click('#cal-stop-profile');
  await page.click('#calibration-dialog [data-close]');
});

test('Calibration: the standards\' patterns added and fitted give teravine-cli cis fit\'s line', async () => {
  await page.click('button:has-text("Calibration…")');
  const list = fs.readFileSync(path.join(examples, 'standards.csv'), 'utf8').trim().split('\n').slice(1);
  for (const line of list) {
    const file = path.join(examples, line.split(',')[2]);
    await page.locator('#cal-add-pattern').setInputFiles(file);
    await page.waitForFunction((n) => [...document.querySelectorAll('#cal-standards [data-column="u"]')]
      .filter((cell) => cell.textContent).length === n, list.indexOf(line) + 1);
  }
  await page.click('#cal-fit');
  const fitted = JSON.parse(execFileSync(cli, ['cis', 'fit', path.join(examples, 'standards.csv'), '-o', '-'], { encoding: 'utf8' }));
  const state = await page.textContent('#cal-cis-state');
  assert.ok(state.startsWith(`KI (CIS) = ${fitted.intercept.toFixed(4)} + ${fitted.slope.toFixed(4)} · FWHM, r = ${fitted.r.toFixed(4)}, n = 5`), state);
  assert.ok(await page.locator('#samples th', { hasText: 'KI (CIS)' }).count() > 0);
  assert.ok(await fitsSideways('#calibration-dialog'), 'the dialog scrolls sideways');
  const [name, png] = await savedFigure('#cal-save-figure', 'png');
  assert.equal(name, 'cis-calibration.png');
  assert.equal(png.readUInt32BE(16), 1120, 'not the window\'s figure width'); // IHDR width
  await shoot('web-calibrated.png');
  await page.click('#calibration-dialog [data-close]');
});

test('a file over the readers\' limit is refused by its size, unread', async () => {
  const huge = path.join(scratch, 'huge.IW');
  fs.closeSync(fs.openSync(huge, 'w'));
  fs.truncateSync(huge, 64 * 1024 * 1024 + 1); // sparse: nothing is written
  const before = await rows();
  messages.length = 0;
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'),
                                       page.click('[data-file="Tr_fi_Click"]')]);
  await chooser.setFiles(huge);
  await expectMessage('The file "/in/huge.IW" is larger than 64 MiB, far too large for a width or correction file.');
  assert.equal(await rows(), before);
});

async function expectMessage(text) {
  for (let i = 0; i < 50 && !messages.length; i++) await new Promise((r) => setTimeout(r, 100));
  assert.deepEqual(messages, [text]);
}

async function savePicture(format, caption) {
  await page.click('#save_picture');
  await page.selectOption('#picture_format', format);
  await page.setChecked('#picture_caption', caption);
  const [download] = await Promise.all([page.waitForEvent('download'),
                                        page.click('#picture_dialog button[value="save"]')]);
  const saved = path.join(scratch, download.suggestedFilename());
  await download.saveAs(saved);
  return { name: download.suggestedFilename(), bytes: fs.readFileSync(saved) };
}

test('Save Picture… writes the diagram as SVG and PNG, with the caption when asked', async () => {
  // The caption states the b the samples were corrected with: one sample, drawn with 0.05.
  await page.click('[data-run="netoye_Click"]');
  await page.fill('#Broad', '0.05');
  await page.fill('#Xls', '0.5');
  await page.fill('#Yls', '0.4');
  await page.press('#Yls', 'Enter');
  const captionLine = 'Reichweite R1, rule Lorentz Gauss geometric mean, broadening .05 \u00B02\u03B8';
  const svg = await savePicture('svg', true);
  assert.equal(svg.name, 'teravine.svg');
  const text = svg.bytes.toString('utf8');
  assert.ok(text.includes(captionLine), 'the caption line is missing');
  assert.ok(text.includes('IW2w (\u00B0CuKalpha)') && text.includes('IW2g'), 'the axis captions are missing');
  // The drawing is one the browser reads, with the diagram's lines in it.
  const lines = await page.evaluate((markup) => {
    const doc = new DOMParser().parseFromString(markup, 'image/svg+xml');
    return doc.querySelector('parsererror') ? -1 : doc.querySelectorAll('line').length;
  }, text);
  assert.ok(lines > 100, `${lines} lines in the SVG`);
  assert.ok(!(await savePicture('svg', false)).bytes.toString('utf8').includes(captionLine));

  const png = await savePicture('png', false);
  assert.equal(png.name, 'teravine.png');
  assert.ok(png.bytes.subarray(1, 4).equals(Buffer.from('PNG')));
  const canvasWidth = await page.evaluate(() => document.getElementById('pct1').width);
  assert.equal(png.bytes.readUInt32BE(16), canvasWidth); // the IHDR's width
  assert.match(await page.textContent('#status'), /^Picture written to teravine\.png$/);
});

test('the user guide is a page of the site, with its pictures', async () => {
  const guide = await browser.newPage();
  await guide.goto(new URL('guide.html', page.url()).href);
  assert.equal(await guide.locator('h2', { hasText: 'The browser edition' }).count(), 1);
  const pictures = await guide.evaluate(async () => {
    const images = [...document.images];
    await Promise.all(images.map((image) => image.decode().catch(() => {})));
    return { all: images.length, shown: images.filter((image) => image.naturalWidth > 0).length };
  });
  assert.ok(pictures.all > 10);
  assert.equal(pictures.shown, pictures.all);
  await guide.close();
  assert.equal(await page.getAttribute('a[href="guide.html"]', 'target'), '_blank');
});

test('after the first visit the page starts and draws with the network off', async () => {
  const manifest = await page.evaluate(async () => {
    const link = document.querySelector('link[rel="manifest"]');
    return (await fetch(link.href)).json();
  });
  assert.equal(manifest.name, 'Teravine');
  assert.ok(manifest.icons.some((icon) => icon.sizes === '512x512'));
  // Every file kept once the worker controls the page.
  await page.evaluate(() => navigator.serviceWorker.ready.then(() => navigator.serviceWorker.controller
    ?? new Promise((resolve) => navigator.serviceWorker.addEventListener('controllerchange', resolve)))
    .then(() => true));
  await page.context().setOffline(true);
  try {
    await page.reload();
    await page.waitForSelector('body[data-ready="true"]', { timeout: 30000 });
    await page.fill('#Broad', '');
    await page.fill('#Xls', '0.6');
    await page.fill('#Yls', '0.5');
    await page.click('#entry button[type="submit"]');
    assert.equal(await rows(), 1);
    const guide = await page.evaluate(async () => (await fetch('guide.html')).ok);
    assert.ok(guide, 'the guide is not kept for offline use');
  } finally {
    await page.context().setOffline(false);
  }
});

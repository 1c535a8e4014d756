// SPDX-License-Identifier: GPL-3.0-or-later
// File > "Measure Patterns…": the air-dried and the glycolated pattern, each chosen through
// a file input (or dropped onto its half), read and measured by the core's measuring
// session (web/core/measure_bindings.cpp), their peak plots played onto canvases, and
// "Use widths" / "Use and Draw" handing the two FWHMs to the window's boxes. While an
// instrument profile is in use, the air-dried half shows N (profile) and the thickness
// distribution of its stacks; the standard's pattern that needs is asked for when the page
// holds no file of it.
import { Picture } from './picture.mjs';
import { saveFigure } from './picture_file.mjs';

const TITLES = ['Air dried (AD)', 'Glycolated (EG)'];
const FIGURES = [['position', 'Position'], ['fwhm', 'FWHM'], ['breadth', 'Integral breadth'], ['u_fwhm', 'u(FWHM)']];
const PLOT = [440, 250]; // pixels
const DISTRIBUTION = [200, 130];

function option(text, value = text) {
  return Object.assign(document.createElement('option'), { textContent: text, value });
}

// The air-dried half also shows the thickness of its stacks, under its figures.
const THICKNESS = `
      <dt data-part="thickness" title="The mean number of layers of the stacks, each stack counted once, from the profile of the air-dried pattern's 001 with the instrument removed by the pattern of the instrument profile's standard (Stokes), and its u from resampled counts: what teravine-cli thickness gives in this range">N (profile)</dt>
      <dd data-part="thickness" id="measure-n-profile">–</dd>`;

function halfHtml(side) {
  const figures = FIGURES.map(([key, caption]) => `<dt>${caption}</dt><dd data-figure="${key}">–</dd>`).join('') +
    (side === 0 ? THICKNESS : '');
  const distribution = side === 0
    ? `<canvas data-part="thickness" id="measure-distribution" width="${DISTRIBUTION[0]}" height="${DISTRIBUTION[1]}" role="img" aria-label="Thickness distribution of the stacks"></canvas>`
    : '';
  return `
  <fieldset class="half" data-side="${side}">
    <legend>${TITLES[side]}</legend>
    <div class="row">
      <label class="pattern-file">${TITLES[side]} <input type="file" data-part="file"></label>
      <span class="file-name" data-part="name">No pattern: open one or drop it here</span>
    </div>
    <div class="row">
      <label data-part="scan-choice" hidden>Scan <select data-part="scan"></select></label>
      <label title="The anode of the tube, for a file that does not state its wavelength">Anode <select data-part="anode"></select></label>
    </div>
    <div class="plot-row">
      <canvas data-part="plot" width="${PLOT[0]}" height="${PLOT[1]}" role="img" aria-label="${TITLES[side]} peak"></canvas>
      <div class="figure-column"><dl class="figures">${figures}</dl>${distribution}</div>
    </div>
    <p class="message" data-part="message" role="alert"></p>
    <p class="note" data-part="counts"></p>
  </fieldset>`;
}

// The "Kα2 ratio" box of a dialog that fits, Measure Patterns' and Calibration's alike, and
// what it gives the core: the ratio typed, or -1 for "As stated" (each file's own, else 0.5).
export function ratioBox(id) {
  return `<label title="The Kα2 to Kα1 intensity ratio the fit models, 0 for none; empty takes the file's own, else 0.5">Kα2 ratio <input type="number" id="${id}" min="0" max="1" step="0.05" placeholder="As stated"></label>`;
}
export function typedRatio(input) {
  return input.value === '' ? -1 : Number(input.value);
}

const DIALOG = `
<dialog id="measure-dialog" class="tool" aria-labelledby="measure-title">
  <h2 id="measure-title">Measure Patterns</h2>
  <div class="halves">${halfHtml(0)}${halfHtml(1)}</div>
  <div class="row" id="measure-thickness" hidden>
    <p id="measure-thickness-note" class="note"></p>
    <label class="file-button" id="measure-find-standard" hidden><span></span> <input type="file" id="measure-standard"></label>
  </div>
  <div class="row">
    <label>Range 2θ (Cu Kα) <input type="number" id="measure-lo" step="0.01" min="0.01" max="179.99"></label>
    <label>to <input type="number" id="measure-hi" step="0.01" min="0.01" max="179.99"></label>
    <button type="button" id="measure-reset">Default Range</button>
    <label><input type="checkbox" id="measure-log"> Log counts</label>
    ${ratioBox('measure-ratio')}
  </div>
  <div class="row">
    <label title="How the widths are taken: the half-height reading, or a fitted profile whose Kα1 width is given (measure the standard by the same method)">Width by <select id="measure-method"></select></label>
    <label title="Overlapped profiles fitted; the tallest is used">Components <input type="number" id="measure-components" min="1" max="3" value="1"></label>
    <span class="spacer"></span>
    <button type="button" id="measure-figure">Save Figure…</button>
    <button type="button" id="measure-use">Use widths</button>
    <button type="button" id="measure-draw">Use and Draw</button>
    <button type="button" data-close>Close</button>
  </div>
  <p id="measure-preview" class="preview" aria-live="polite"></p>
  <p id="measure-note" class="message"></p>
</dialog>`;

// `page`: the core, the window, the text measurer, and `finished()` to call after a change
// of the window (what a handler wrote is offered).
export function setupMeasure({ core, win, measureText, finished }) {
  document.body.insertAdjacentHTML('beforeend', DIALOG);
  const dialog = document.getElementById('measure-dialog');
  const $ = (id) => document.getElementById(id);
  const session = new core.PageMeasure(win, measureText);
  const halves = [0, 1].map((side) => {
    const box = dialog.querySelector(`.half[data-side="${side}"]`);
    const part = (name) => box.querySelector(`[data-part="${name}"]`);
    const canvas = part('plot');
    return { box, part, canvas, picture: new Picture(canvas) };
  });
  for (const half of halves) {
    half.part('anode').replaceChildren(...core.anodes().map((symbol) => option(symbol)));
  }
  $('measure-method').replaceChildren(...core.widthMethodCaptions().map((caption, index) => option(caption, index)));
  const distribution = new Picture($('measure-distribution'));

  // The analysis holds the page's one thread for a few hundred milliseconds: it runs once
  // "Analysing…" has been painted, and a later change that supersedes it leaves it undone.
  let analysisQueued = false;
  function analyseSoon() {
    if (analysisQueued) return;
    analysisQueued = true;
    requestAnimationFrame(() => setTimeout(() => {
      analysisQueued = false;
      if (session.analyse()) refresh();
    }, 0));
  }

  function showThickness(thickness) {
    for (const shown of dialog.querySelectorAll('[data-part="thickness"]')) shown.hidden = !thickness.shown;
    $('measure-n-profile').textContent = thickness.readout;
    $('measure-distribution').title = thickness.tip;
    distribution.play(session.distribution(DISTRIBUTION[0], DISTRIBUTION[1]));
    $('measure-thickness').hidden = !thickness.shown || (!thickness.problem && !thickness.asks);
    $('measure-thickness-note').textContent = thickness.problem;
    $('measure-find-standard').hidden = !thickness.asks;
    $('measure-find-standard').querySelector('span').textContent = `Find ${thickness.standard}…`;
  }

  function refresh() {
    const analysing = session.requestAnalysis();
    const state = session.state();
    $('measure-lo').value = state.lo;
    $('measure-hi').value = state.hi;
    $('measure-components').disabled = !state.fits;
    $('measure-ratio').disabled = !state.fits;
    $('measure-ratio').value = state.alpha2Ratio;
    $('measure-method').value = String(state.methodIndex);
    $('measure-components').value = String(state.components);
    state.halves.forEach((shown, side) => {
      const { part, picture } = halves[side];
      part('name').textContent = shown.file || 'No pattern: open one or drop it here';
      const scans = part('scan');
      scans.replaceChildren(...shown.scans.map((name, index) => option(name, index)));
      scans.value = String(shown.scan);
      part('scan-choice').hidden = shown.scans.length < 2;
      part('anode').disabled = !shown.anodeChoice;
      part('anode').value = shown.anode;
      for (const [key] of FIGURES) halves[side].box.querySelector(`[data-figure="${key}"]`).textContent = shown[key];
      part('message').textContent = shown.message;
      part('counts').textContent = shown.countNote;
      picture.play(session.plot(side, PLOT[0], PLOT[1]));
    });
    $('measure-figure').disabled = !state.halves.some((half) => half.file);
    $('measure-use').disabled = !state.ready;
    $('measure-draw').disabled = !state.ready;
    $('measure-preview').textContent = state.preview;
    $('measure-note').textContent = state.calibrationNote;
    showThickness(state.thickness);
    if (analysing) analyseSoon();
  }

  // The file's bytes alone in `folder`, under its name.
  async function storeAlone(folder, file) {
    core.FS.mkdirTree(folder);
    for (const name of core.FS.readdir(folder)) {
      if (name !== '.' && name !== '..') core.FS.unlink(`${folder}/${name}`);
    }
    core.FS.writeFile(`${folder}/${file.name}`, new Uint8Array(await file.arrayBuffer()));
  }

  // A file chosen or dropped: its bytes into the side's own folder, where the session
  // reads it by its name. One refused by its size is not read at all.
  async function openFile(side, file) {
    if (!file) return;
    const refused = core.patternSizeProblem(file.name, file.size);
    if (refused) {
      halves[side].part('message').textContent = refused;
      return;
    }
    const folder = `/in/measure-${side}`;
    await storeAlone(folder, file);
    session.open(side, folder, file.name);
    refresh();
  }

  // The file offered as the standard's pattern, alone in its folder; the analysis refuses
  // it when it is not the pattern the profile was made from.
  const standardInput = $('measure-standard');
  standardInput.addEventListener('change', async () => {
    const file = standardInput.files[0];
    standardInput.value = '';
    if (!file) return;
    const refused = core.patternSizeProblem(file.name, file.size);
    if (refused) {
      $('measure-thickness-note').textContent = refused;
      return;
    }
    await storeAlone('/in/standard', file);
    session.pointToStandard(file.name);
    refresh();
  });

  halves.forEach(({ box, part }, side) => {
    const input = part('file');
    input.addEventListener('change', () => openFile(side, input.files[0]));
    box.addEventListener('dragover', (event) => event.preventDefault());
    box.addEventListener('drop', (event) => {
      event.preventDefault();
      openFile(side, event.dataTransfer.files[0]);
    });
    part('scan').addEventListener('change', () => {
      session.chooseScan(side, Number(part('scan').value));
      refresh();
    });
    part('anode').addEventListener('change', () => {
      session.chooseAnode(side, part('anode').value);
      refresh();
    });
  });
  const rangeTyped = () => {
    session.setRange(Number($('measure-lo').value), Number($('measure-hi').value));
    refresh(); // a refused range shows the one still in use
  };
  $('measure-lo').addEventListener('change', rangeTyped);
  $('measure-hi').addEventListener('change', rangeTyped);
  $('measure-reset').addEventListener('click', () => { session.resetRange(); refresh(); });
  $('measure-log').addEventListener('change', () => { session.setLogCounts($('measure-log').checked); refresh(); });
  const methodChosen = () => {
    session.setMethod(Number($('measure-method').value), Number($('measure-components').value) || 1);
    refresh();
  };
  $('measure-method').addEventListener('change', methodChosen);
  $('measure-ratio').addEventListener('change', () => {
    session.setAlpha2Ratio(typedRatio($('measure-ratio')));
    refresh(); // a refused ratio shows the one still in use
  });
  $('measure-components').addEventListener('change', methodChosen);
  $('measure-figure').addEventListener('click', () => saveFigure(core, finished, 'peaks', session.figure()));
  $('measure-use').addEventListener('click', () => { session.useWidths(); finished(); });
  $('measure-draw').addEventListener('click', () => { session.useAndDraw(); finished(); refresh(); });
  dialog.querySelector('[data-close]').addEventListener('click', () => dialog.close());
  dialog.addEventListener('keydown', (event) => { if (event.key === 'Escape') dialog.close(); });

  refresh();
  return {
    show() {
      refresh();
      if (!dialog.open) dialog.show();
      halves[0].part('file').focus();
    },
    // The window's rule, broadening or calibration changed: what the pair gives, again.
    refresh,
    // A session opened: measure as its latest measured pair was measured.
    sessionOpened() {
      session.measureLatest();
      refresh();
    },
  };
}

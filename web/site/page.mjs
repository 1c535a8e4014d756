// SPDX-License-Identifier: GPL-3.0-or-later
// The page: the window's controls wired to the core's handlers (web/core/bindings.cpp),
// the window's services answered in the browser. Files chosen are written into the
// module's memory file system before the handler that asks for them runs; what a handler
// writes is offered as a download at once, named as the window would name it.
import { Picture } from './picture.mjs';
import { setupMeasure } from './measure.mjs';
import { setupCalibration } from './calibration.mjs';
import { pictureFile } from './picture_file.mjs';

const $ = (id) => document.getElementById(id);
const core = await createTeravineCore();
const picture = new Picture($('pct1'));
const TWIPS = 15; // per pixel

let pendingOpen = []; // answers of the next Open dialogs, in order
let saveName = null;  // the file name the next Save dialog answers with
let pictureAnswer = null; // what the Save Picture dialog answered

// The name a result takes after its input: samples.IW gives samples.IWO.
function resultName(filter) {
  const suffix = (filter.match(/\*\.([A-Za-z0-9]+)/) || [, 'txt'])[1];
  const stem = saveName ? saveName.replace(/\.[^.]*$/, '') : 'teravine';
  return `${stem}.${suffix}`;
}

const boxes = { Broad: $('Broad'), Xls: $('Xls'), Yls: $('Yls') };

const page = {
  message: (text) => window.alert(text),
  askYesNo: (text) => window.confirm(text),
  showOpen: () => pendingOpen.shift() ?? null,
  showSave: (filter) => {
    const name = resultName(filter);
    return { path: `/out/${name}`, title: name };
  },
  text: (box) => boxes[box].value,
  setText: (box, text) => { boxes[box].value = text; },
  setChecked: (item, on) => {
    for (const b of document.querySelectorAll(`[data-item="${item}"]`)) b.setAttribute('aria-pressed', String(on));
  },
  selectOption: (index) => {
    const radio = document.querySelector(`input[name="rule"][value="${index}"]`);
    if (radio) radio.checked = true;
  },
  setCaption: (label, text) => { $(label).textContent = text; },
  setWindowCaption: (text) => { document.title = text; },
  innerSize: () => {
    const box = $('pct1').parentElement.getBoundingClientRect();
    const side = Math.max(200, Math.floor(Math.min(box.width, window.innerHeight - 150)));
    return [side * TWIPS + 20, side * TWIPS + 700];
  },
  setPictureSize: (width, height) => picture.resize(width, height),
  placeAxisCaptions: (left, top) => {
    legxAt = [left, top];
    showAxisCaptions();
  },
  pictureChanged: () => showLater('picture'),
  samplesChanged: () => showLater('table'),
  askPicture: () => pictureAnswer,
  // The picture's file written where the handler asked; a complaint when it cannot be.
  writePicture: (path, list, width, height) => {
    const bytes = pictureFile(path, list, width, height);
    if (!bytes) return `Cannot write ${path}: the file must end in .png or .svg`;
    core.FS.writeFile(path, bytes);
    return undefined;
  },
  status: (text) => { $('status').textContent = text; },
  setBusy: (busy) => { document.body.style.cursor = busy ? 'progress' : ''; },
};

// What a handler changed is shown once it has returned: a treatment changes the picture
// and the table once per sample, and showing each would take the page minutes.
const stale = { picture: false, table: false };
let showQueued = false;
function showLater(part) {
  if (!showQueued) queueMicrotask(showChanges);
  showQueued = true;
  stale[part] = true;
}
function showChanges() {
  showQueued = false;
  if (stale.picture) picture.play(win.takePictureCommands());
  stale.picture = false;
  if (stale.table && !treating) {
    showTable();
    stale.table = false;
  }
}

// The axis captions are labels over the picture, as in the window: legx where the drawing
// puts it (user units), legy at 120 × 600 twips from the corner; placed again whenever the
// picture is shown at another scale (printing).
let legxAt = null;
function showAxisCaptions() {
  if (!legxAt) return;
  const canvas = $('pct1');
  const scale = canvas.clientWidth / canvas.width; // CSS pixels per picture pixel
  const x = legxAt[0] * (canvas.width / 15), y = legxAt[1] * (canvas.height / 15);
  Object.assign($('legx').style, { left: `${x * scale}px`, top: `${y * scale}px` });
  Object.assign($('legy').style, { left: `${(120 / TWIPS) * scale}px`, top: `${(600 / TWIPS) * scale}px` });
  $('legx').hidden = $('legy').hidden = false;
}
window.addEventListener('beforeprint', showAxisCaptions);
window.addEventListener('afterprint', showAxisCaptions);

const win = new core.PageWindow(page, (font, text) => picture.measure(font, text));
core.FS.mkdirTree('/in');
core.FS.mkdirTree('/out');
core.FS.chdir('/out'); // a picture is written under its bare name

// Whatever the handler wrote into /out, offered as a download and removed.
function offerResults() {
  for (const name of core.FS.readdir('/out')) {
    if (name === '.' || name === '..') continue;
    const bytes = core.FS.readFile(`/out/${name}`);
    core.FS.unlink(`/out/${name}`);
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes]));
    link.download = name;
    link.textContent = `Download ${name}`;
    $('downloads').replaceChildren(link);
    link.click();
  }
}

function run(handler, ...args) {
  win[handler](...args);
  offerResults();
}

// The browser's file chooser, then the file in /in for the handler's Open dialog.
function chooseFile(accept) {
  return new Promise((resolve) => {
    const chooser = $('chooser');
    chooser.accept = accept;
    chooser.value = '';
    chooser.onchange = async () => {
      const file = chooser.files[0];
      if (!file) return resolve(null);
      const path = `/in/${file.name}`;
      // A file too large for the readers is refused before a byte of it is read.
      const refusal = core.fileSizeRefusal(path, file.size);
      if (refusal) {
        page.message(refusal);
        return resolve(null);
      }
      core.FS.writeFile(path, new Uint8Array(await file.arrayBuffer()));
      resolve({ path, title: file.name });
    };
    chooser.click();
  });
}

// `work` run once a file is chosen, with the file as its Open dialog's answer.
async function openWith(accept, work) {
  const chosen = await chooseFile(accept);
  if (!chosen) return;
  pendingOpen = [chosen];
  saveName = chosen.title;
  // A line that says the work began, shown before the work holds the page.
  $('status').textContent = `Reading ${chosen.title}…`;
  await nextFrame();
  await work();
  offerResults();
  pendingOpen = [];
}

// Resolves once the browser has painted what changed.
function nextFrame() {
  return new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve)));
}

// Treat File and Open Sample List place their samples a slice at a time: between slices the
// picture shows what is placed and the progress line how far the treatment has come, so that
// a file of 32,767 samples never holds the page. The commands wait until it has finished;
// the table is built once, at the end.
const TREATMENT_SLICE = 1000;
const treatmentStarts = { Tr_fi_Click: 'beginTreatFile', open_sample_list_Click: 'beginSampleList' };
let treating = false;

async function treatInSlices(begin) {
  if (!win[begin]()) return;
  const held = [document.querySelector('nav'), document.querySelector('main')];
  const progress = $('progress');
  treating = true;
  for (const part of held) part.inert = true;
  try {
    while (win.advanceTreatment(TREATMENT_SLICE)) {
      const [done, total] = win.treatmentProgress();
      $('status').textContent = `Treating: ${done} of ${total} samples…`;
      Object.assign(progress, { hidden: false, max: total, value: done });
      await nextFrame();
    }
  } finally {
    treating = false;
    for (const part of held) part.inert = false;
    progress.hidden = true;
    showChanges();
  }
}

function runWithFile(handler, accept) {
  const begin = treatmentStarts[handler];
  return openWith(accept, () => (begin ? treatInSlices(begin) : win[handler]()));
}

for (const button of document.querySelectorAll('[data-run]')) {
  button.addEventListener('click', () => run(button.dataset.run));
}
for (const button of document.querySelectorAll('[data-file]')) {
  button.addEventListener('click', () => runWithFile(button.dataset.file, button.dataset.accept));
}
for (const radio of document.querySelectorAll('input[name="rule"]')) {
  radio.addEventListener('change', () => {
    if (radio.value === '3') runWithFile('file_option_Click', radio.dataset.accept);
    else run('prof_option_Click', Number(radio.value));
  });
}
// Save Picture…: the format and the caption asked in the page's dialog, then the window's
// handler, which draws the picture and writes it for download.
$('save_picture').addEventListener('click', () => $('picture_dialog').showModal());
$('picture_dialog').addEventListener('close', () => {
  if ($('picture_dialog').returnValue !== 'save') return;
  pictureAnswer = { path: `teravine.${$('picture_format').value}`, caption: $('picture_caption').checked };
  run('save_picture_Click');
  pictureAnswer = null;
});
$('print').addEventListener('click', () => window.print());

$('entry').addEventListener('submit', (event) => {
  event.preventDefault(); // Enter in a box draws, as the button does
  run('Command1_Click');
});

// The pointer in the picture's user units: (0, 0) to (15, 15).
function userPoint(event) {
  const canvas = $('pct1');
  const box = canvas.getBoundingClientRect();
  return [(event.clientX - box.left) * 15 / box.width, (event.clientY - box.top) * 15 / box.height];
}
$('pct1').addEventListener('mousemove', (event) => win.pct1_MouseMove(...userPoint(event)));
$('pct1').addEventListener('click', (event) => {
  win.pct1_MouseMove(...userPoint(event));
  run('pct1_Click');
});

// The sample table; a click on a row selects it (Ctrl or Shift adds it). Only the rows in
// view and a margin around them are built, between two spacer rows that keep the scroll bar
// true, so that a table of 32,767 samples shows and scrolls as fast as one of ten. The whole
// table is built for printing.
let selected = [];
let tableCount = 0;   // rows: the samples placed, then those not placed
let tableColumns = 1;
let rowHeight = 0; // pixels, once a row has been built
const ROW_MARGIN = 40;
const tableBox = $('samples').closest('.table-box');

function showTable() {
  const { titles, count, rows: firstRows } = win.table(0, 100);
  const head = document.createElement('tr');
  for (const title of titles) head.append(Object.assign(document.createElement('th'), { textContent: title }));
  $('samples').tHead.replaceChildren(head);
  tableCount = count;
  tableColumns = titles.length;
  $('samples').dataset.rows = count;
  showRows();
  const labelColumn = titles.indexOf('Label');
  const named = firstRows.map((r) => r[labelColumn] || r[0]).join(', ');
  $('picture-text').textContent = count
    ? `The diagram shows ${count} samples: ${named}${count > 100 ? ` and ${count - 100} more` : ''}.`
    : 'The diagram shows no samples.';
}

function spacer(height) {
  const tr = document.createElement('tr');
  tr.className = 'spacer';
  tr.setAttribute('aria-hidden', 'true');
  const td = document.createElement('td');
  td.colSpan = tableColumns;
  td.style.height = `${height}px`;
  tr.append(td);
  return tr;
}

function showRows(all = false) {
  let first = 0, last = tableCount;
  if (!all && rowHeight > 0) {
    const top = tableBox.scrollTop - $('samples').tHead.offsetHeight;
    const count = Math.ceil(tableBox.clientHeight / rowHeight) + 2 * ROW_MARGIN;
    // Clamped: a table that has just lost rows is still scrolled as far as it was.
    first = Math.max(0, Math.min(Math.floor(top / rowHeight) - ROW_MARGIN, tableCount - count));
    last = Math.min(tableCount, first + count);
  } else if (!all) {
    last = Math.min(tableCount, 2 * ROW_MARGIN);
  }
  const { rows } = win.table(first, last);
  const body = [];
  if (first > 0) body.push(spacer(first * rowHeight));
  for (let index = first; index < last; index++) {
    const tr = document.createElement('tr');
    tr.dataset.row = index;
    if (selected.includes(index)) tr.className = 'selected';
    for (const cell of rows[index - first]) tr.append(Object.assign(document.createElement('td'), { textContent: cell }));
    body.push(tr);
  }
  if (last < tableCount) body.push(spacer((tableCount - last) * rowHeight));
  $('samples').tBodies[0].replaceChildren(...body);
  if (!rowHeight && last > first) {
    const built = $('samples').tBodies[0].querySelectorAll('tr[data-row]');
    const span = built[built.length - 1].getBoundingClientRect().bottom - built[0].getBoundingClientRect().top;
    rowHeight = span / built.length; // fractional: a rounded height would drift over many rows
    if (rowHeight > 0 && last < tableCount) showRows();
  }
}
tableBox.addEventListener('scroll', () => showRows());
window.addEventListener('beforeprint', () => showRows(true));
window.addEventListener('afterprint', () => showRows());

$('samples').tBodies[0].addEventListener('click', (event) => {
  const row = event.target.closest('tr[data-row]');
  if (!row) return;
  const index = Number(row.dataset.row);
  selected = event.ctrlKey || event.shiftKey
    ? (selected.includes(index) ? selected.filter((r) => r !== index) : [...selected, index].sort((a, b) => a - b))
    : [index];
  win.selectSamples(selected.filter((r) => r < win.sampleCount()));
  showTable();
});

// From the keyboard: the arrow keys select the row below or above, scrolled into view.
tableBox.addEventListener('keydown', (event) => {
  const step = { ArrowDown: 1, ArrowUp: -1 }[event.key];
  const count = tableCount;
  if (!step || !count) return;
  event.preventDefault();
  const from = selected.length ? selected[selected.length - 1] : -1;
  selected = [Math.min(count - 1, Math.max(0, from + step))];
  win.selectSamples(selected.filter((r) => r < win.sampleCount()));
  const head = $('samples').tHead.offsetHeight;
  const top = head + selected[0] * rowHeight;
  if (top - head < tableBox.scrollTop) tableBox.scrollTop = top - head;
  else if (top + rowHeight > tableBox.scrollTop + tableBox.clientHeight) {
    tableBox.scrollTop = top + rowHeight - tableBox.clientHeight;
  }
  showTable();
});

let resizeTimer = null;
window.addEventListener('resize', () => {
  clearTimeout(resizeTimer);
  resizeTimer = setTimeout(() => win.Form_Resize(), 100);
});

// File > "Measure Patterns…" and "Calibration…", in modules of their own.
const tools = { core, win, measureText: (font, text) => picture.measure(font, text), openWith, finished: offerResults };
const dialogs = { measure: setupMeasure(tools), calibration: setupCalibration(tools) };
for (const button of document.querySelectorAll('[data-dialog]')) {
  button.addEventListener('click', () => dialogs[button.dataset.dialog].show());
}
page.calibrationChanged = () => {
  showTable();
  for (const dialog of Object.values(dialogs)) dialog.refresh();
};
page.sessionOpened = () => dialogs.measure.sessionOpened();

win.Form_Load();
showTable();
// Every file of the site kept by the browser, so that the page starts offline next time
// (not where the page is opened from the disk: browsers allow it over HTTP only).
if ('serviceWorker' in navigator && location.protocol !== 'file:') {
  navigator.serviceWorker.register('service-worker.js').catch((error) => {
    $('status').textContent = `This page will not work offline: ${error.message}`;
  });
}
document.body.dataset.ready = 'true';

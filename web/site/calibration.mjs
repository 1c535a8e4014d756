// SPDX-License-Identifier: GPL-3.0-or-later
// File > "Calibration…": the instrument profile (opened, or made from a standard's pattern)
// whose b fills "Instrumental Broadening", and the CIS calibration (opened, or fitted to
// the standards typed or measured from their patterns) with its zone limits and figure.
// The state is the window's; the core's PageCalibration (web/core/calibration_bindings.cpp)
// runs the window's handlers on it.
import { ratioBox, typedRatio } from './measure.mjs';
import { Picture } from './picture.mjs';
import { saveFigure } from './picture_file.mjs';

const FIGURE = [400, 370]; // pixels
const INDEXES = ['Kübler index (illite 10 Å)', 'Árkai index (chlorite 7 Å)'];
const LIMITS = [['2015', '2015: anchizone 0.32–0.52'], ['1994', '1994: anchizone 0.25–0.42'], ['own', 'Own limits']];

function rangeInputs(prefix) {
  return `<label>Range 2θ (Cu Kα) <input type="number" id="${prefix}-lo" step="0.1" min="0.01" max="179.99"></label>
    <label>to <input type="number" id="${prefix}-hi" step="0.1" min="0.01" max="179.99"></label>`;
}

const DIALOG = `
<dialog id="calibration-dialog" class="tool" aria-labelledby="calibration-title">
  <h2 id="calibration-title">Calibration</h2>
  <div class="row"><label title="Measure the standards by the method the samples are measured by">Standards' patterns: width by <select id="cal-method"></select></label> ${ratioBox('cal-ratio')}</div>
  <fieldset>
    <legend>Instrument profile</legend>
    <p id="cal-profile-state"></p>
    <div class="row">${rangeInputs('cal-profile')}</div>
    <div class="row">
      <button type="button" id="cal-open-profile">Open Profile…</button>
      <label class="file-button" title="Measures the 001 peak of a well-crystallised standard (a coarse mica) in the range above: b is its FWHM">Make from Standard's Pattern… <input type="file" id="cal-make-profile"></label>
      <button type="button" id="cal-save-profile">Save Profile…</button>
      <button type="button" id="cal-stop-profile">Stop Using</button>
    </div>
    <p id="cal-profile-message" class="message" role="alert"></p>
  </fieldset>
  <fieldset>
    <legend>CIS calibration</legend>
    <div class="row">
      <select id="cal-index" aria-label="Index"></select>
      <label>Zones <select id="cal-limits"></select></label>
      <input type="number" id="cal-own-lower" step="0.001" min="0.01" max="5" aria-label="Own lower limit"> to
      <input type="number" id="cal-own-upper" step="0.001" min="0.01" max="5" aria-label="Own upper limit">
    </div>
    <div class="row">${rangeInputs('cal-cis')}</div>
    <div class="cis-body">
      <div class="standards-box">
        <table id="cal-standards" title="Each standard: its name, its CIS value (empty: the published value of a known standard such as SW1-2012), and the FWHM your laboratory measured on it">
          <thead><tr><th>Name</th><th>CIS value</th><th>FWHM</th><th>u(FWHM)</th><th>Pattern</th></tr></thead>
          <tbody></tbody>
        </table>
      </div>
      <div class="cis-figure">
        <canvas id="cal-figure" width="${FIGURE[0]}" height="${FIGURE[1]}" role="img" aria-label="CIS calibration"></canvas>
        <p id="cal-no-figure">No CIS calibration: fit the standards above, or open a calibration file</p>
      </div>
    </div>
    <div class="row">
      <button type="button" id="cal-add-row">Add Row</button>
      <label class="file-button">Add Pattern… <input type="file" id="cal-add-pattern"></label>
      <button type="button" id="cal-remove-row">Remove Row</button>
      <button type="button" id="cal-fit">Fit and Use</button>
      <button type="button" id="cal-open-cis">Open Calibration…</button>
      <button type="button" id="cal-save-cis">Save Calibration…</button>
      <button type="button" id="cal-save-figure">Save Figure…</button>
      <button type="button" id="cal-stop-cis">Stop Using</button>
    </div>
    <p id="cal-cis-state"></p>
    <p id="cal-cis-message" class="message" role="alert"></p>
  </fieldset>
  <div class="row"><span class="spacer"></span><button type="button" data-close>Close</button></div>
</dialog>`;

function option(text, value = text) {
  return Object.assign(document.createElement('option'), { textContent: text, value });
}

// `openWith(accept, work)` runs work once a file is chosen as the answer of its Open dialog;
// `finished()` offers what a handler wrote.
export function setupCalibration({ core, win, measureText, openWith, finished }) {
  document.body.insertAdjacentHTML('beforeend', DIALOG);
  const dialog = document.getElementById('calibration-dialog');
  const $ = (id) => document.getElementById(id);
  const calibration = new core.PageCalibration(win, measureText);
  const figure = new Picture($('cal-figure'));
  $('cal-method').replaceChildren(...core.widthMethodCaptions().map((caption, index) => option(caption, index)));
  $('cal-index').replaceChildren(...INDEXES.map((caption, index) => option(caption, index)));
  $('cal-limits').replaceChildren(...LIMITS.map(([value, caption]) => option(caption, value)));
  const [profileLo, profileHi] = core.standardRange();
  $('cal-profile-lo').value = profileLo.toFixed(2);
  $('cal-profile-hi').value = profileHi.toFixed(2);
  const body = $('cal-standards').tBodies[0];
  let selectedRow = null;

  const chosenIndex = () => Number($('cal-index').value);
  const method = () => Number($('cal-method').value);
  // The ratio is a fit's: it waits while the half-height reading is chosen.
  const methodChosen = () => { $('cal-ratio').disabled = !core.widthMethodFits(method()); };
  $('cal-method').addEventListener('change', methodChosen);
  methodChosen();

  function showIndexRange() {
    const [lo, hi] = core.indexRange(chosenIndex());
    $('cal-cis-lo').value = lo.toFixed(2);
    $('cal-cis-hi').value = hi.toFixed(2);
  }

  // A known standard's published value shows in an empty CIS value cell, not typed.
  function showPublished(row) {
    const certified = row.querySelector('[data-column="certified"]');
    const name = row.querySelector('[data-column="name"]').value.trim();
    certified.placeholder = core.publishedValue(name, chosenIndex());
    certified.title = certified.placeholder
      ? `The published CIS value of ${name}; type over it to use another` : '';
  }

  // A row; a measured figure keeps its value in full beside the text shown.
  function addRow(name = '', certified = '', fwhm = '') {
    const row = document.createElement('tr');
    row.innerHTML = `<td><input data-column="name" aria-label="Name"></td>
      <td><input data-column="certified" aria-label="CIS value"></td>
      <td><input data-column="fwhm" aria-label="FWHM"></td>
      <td data-column="u"></td><td data-column="pattern"></td>`;
    const cell = (column) => row.querySelector(`[data-column="${column}"]`);
    cell('name').value = name;
    cell('certified').value = certified;
    cell('fwhm').value = fwhm;
    cell('name').addEventListener('input', () => showPublished(row));
    row.addEventListener('focusin', () => { selectedRow = row; });
    body.append(row);
    showPublished(row);
    return row;
  }

  function showMeasured(input, value, text) {
    input.value = text;
    input.dataset.full = String(value);
  }

  function refresh() {
    const state = calibration.state();
    $('cal-profile-state').textContent = state.profile;
    $('cal-save-profile').disabled = !state.hasProfile;
    $('cal-stop-profile').disabled = !state.hasProfile;
    $('cal-cis-state').textContent = state.cis;
    $('cal-save-cis').disabled = !state.hasCis;
    $('cal-save-figure').disabled = !state.hasCis;
    $('cal-stop-cis').disabled = !state.hasCis;
    $('cal-limits').value = LIMITS.some(([value]) => value === state.scheme) ? state.scheme : '2015';
    $('cal-own-lower').value = state.lower.toFixed(3);
    $('cal-own-upper').value = state.upper.toFixed(3);
    $('cal-own-lower').disabled = $('cal-own-upper').disabled = state.scheme !== 'own';
    if (state.hasCis) {
      $('cal-index').value = String(state.index);
      // A calibration opened with no standards listed yet lists its own.
      if (body.rows.length === 0) {
        for (const st of state.standards) {
          const row = addRow(st.name);
          const cell = (column) => row.querySelector(`[data-column="${column}"]`);
          showMeasured(cell('certified'), st.certified, st.certifiedText);
          showMeasured(cell('fwhm'), st.fwhm, st.fwhmText);
          if (st.uText) {
            cell('u').textContent = st.uText;
            row.dataset.u = String(st.u);
          }
        }
      }
    }
    $('cal-figure').hidden = !state.hasCis;
    $('cal-no-figure').hidden = state.hasCis;
    if (state.hasCis) figure.play(calibration.figure(FIGURE[0], FIGURE[1]));
  }

  // A file chosen in one of the dialog's inputs, in a folder of its own; its name.
  async function takeFile(input, folder) {
    const file = input.files[0];
    input.value = '';
    if (!file) return null;
    const refused = core.patternSizeProblem(file.name, file.size);
    if (refused) return { refused };
    core.FS.mkdirTree(folder);
    core.FS.writeFile(`${folder}/${file.name}`, new Uint8Array(await file.arrayBuffer()));
    return { name: file.name };
  }

  $('cal-make-profile').addEventListener('change', async () => {
    const file = await takeFile($('cal-make-profile'), '/in/profile');
    if (!file) return;
    if (file.refused) {
      $('cal-profile-message').textContent = file.refused;
      return;
    }
    const made = calibration.makeProfile('/in/profile', file.name, method(), typedRatio($('cal-ratio')),
      Number($('cal-profile-lo').value), Number($('cal-profile-hi').value));
    $('cal-profile-message').textContent =
      made.error ?? [made.scanNote, made.doubtful].filter(Boolean).join('\n');
    refresh();
  });
  $('cal-add-pattern').addEventListener('change', async () => {
    const file = await takeFile($('cal-add-pattern'), '/in/standards');
    if (!file) return;
    if (file.refused) {
      $('cal-cis-message').textContent = file.refused;
      return;
    }
    const row = addRow(file.name.replace(/\.[^.]*$/, ''));
    row.querySelector('[data-column="pattern"]').textContent = file.name;
    const measured = calibration.measureStandard('/in/standards', file.name, method(),
      typedRatio($('cal-ratio')), Number($('cal-cis-lo').value), Number($('cal-cis-hi').value));
    if (measured.error) {
      $('cal-cis-message').textContent = measured.error;
      return;
    }
    showMeasured(row.querySelector('[data-column="fwhm"]'), measured.fwhm, measured.fwhmText);
    row.querySelector('[data-column="u"]').textContent = measured.uText;
    row.dataset.u = String(measured.u);
    if (measured.alpha2Ratio !== null) row.dataset.alpha2Ratio = String(measured.alpha2Ratio);
    const name = row.querySelector('[data-column="name"]').value;
    const pattern = row.querySelector('[data-column="pattern"]');
    if (measured.scanNote) pattern.title = measured.scanNote;
    $('cal-cis-message').textContent = [measured.scanNote,
      measured.quality === 'ok' ? '' : `${name}: doubtful width (${measured.quality})`]
      .filter(Boolean).join('\n');
  });
  $('cal-add-row').addEventListener('click', () => addRow().querySelector('input').focus());
  $('cal-remove-row').addEventListener('click', () => {
    if (selectedRow && selectedRow.parentNode === body) selectedRow.remove();
    selectedRow = null;
  });
  $('cal-fit').addEventListener('click', () => {
    const rows = [...body.rows].map((row) => {
      const cell = (column) => row.querySelector(`[data-column="${column}"]`);
      const full = (input) => (input.dataset.full === undefined ? null : Number(input.dataset.full));
      return {
        name: cell('name').value.trim(),
        certified: cell('certified').value.trim(),
        certifiedMeasured: full(cell('certified')),
        fwhm: cell('fwhm').value.trim(),
        measured: full(cell('fwhm')),
        u: row.dataset.u === undefined ? null : Number(row.dataset.u),
        // The Kα2 ratio the fit of its pattern took, while the FWHM is the one measured.
        alpha2Ratio: row.dataset.alpha2Ratio === undefined ? null : Number(row.dataset.alpha2Ratio),
      };
    });
    calibration.fit(rows, chosenIndex(), method(),
      Number($('cal-cis-lo').value), Number($('cal-cis-hi').value));
    $('cal-cis-message').textContent = '';
    refresh();
  });
  $('cal-index').addEventListener('change', () => {
    showIndexRange();
    for (const row of body.rows) showPublished(row);
  });
  const limitsChosen = () => {
    const refused = calibration.setLimits($('cal-limits').value,
      Number($('cal-own-lower').value), Number($('cal-own-upper').value));
    $('cal-cis-message').textContent = refused;
    refresh();
  };
  $('cal-limits').addEventListener('change', limitsChosen);
  $('cal-own-lower').addEventListener('change', limitsChosen);
  $('cal-own-upper').addEventListener('change', limitsChosen);
  $('cal-open-profile').addEventListener('click', () => openWith('.json', () => { calibration.open_instrument_profile_Click(); refresh(); }));
  $('cal-open-cis').addEventListener('click', () => openWith('.json', () => { calibration.open_cis_calibration_Click(); refresh(); }));
  $('cal-save-profile').addEventListener('click', () => { calibration.save_instrument_profile_Click(); finished(); });
  $('cal-save-cis').addEventListener('click', () => { calibration.save_cis_calibration_Click(); finished(); refresh(); });
  $('cal-save-figure').addEventListener('click', () => saveFigure(core, finished, 'cis-calibration', calibration.figureFile()));
  $('cal-stop-profile').addEventListener('click', () => { calibration.stopProfile(); refresh(); });
  $('cal-stop-cis').addEventListener('click', () => { calibration.stopCis(); refresh(); });
  dialog.querySelector('[data-close]').addEventListener('click', () => dialog.close());
  dialog.addEventListener('keydown', (event) => { if (event.key === 'Escape') dialog.close(); });

  showIndexRange();
  refresh();
  return {
    show() {
      refresh();
      if (!dialog.open) dialog.show();
      $('cal-method').focus();
    },
    refresh,
  };
}

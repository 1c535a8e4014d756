// SPDX-License-Identifier: GPL-3.0-or-later
// A picture of the core written as a file: an SVG drawing made from its drawing commands,
// or a PNG image of them played onto a canvas of their size.
import { Picture, css, readCommands } from './picture.mjs';

const escape = (text) => text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/"/g, '&quot;');
const crisp = (v) => Math.floor(v) + 0.5;

// The commands as SVG elements, pen and font carried from one command to the next.
class SvgPainter {
  constructor() {
    this.parts = [];
    this.stroke = 'rgb(0,0,0)';
    this.width = 1;
    this.fontCss = '11px Arial';
  }
  clear(width, height) {
    this.parts.length = 0;
    this.parts.push(`<rect width="${width}" height="${height}" fill="#fff"/>`);
  }
  colour(colour) { this.stroke = css(colour); }
  penWidth(width) { this.width = Math.max(1, width); }
  drawMode() {}
  line(x1, y1, x2, y2) {
    this.parts.push(`<line x1="${crisp(x1)}" y1="${crisp(y1)}" x2="${crisp(x2)}" y2="${crisp(y2)}" ` +
                    `stroke="${this.stroke}" stroke-width="${this.width}"/>`);
  }
  box(x1, y1, x2, y2) {
    this.parts.push(`<rect x="${crisp(Math.min(x1, x2))}" y="${crisp(Math.min(y1, y2))}" ` +
                    `width="${Math.abs(x2 - x1)}" height="${Math.abs(y2 - y1)}" fill="none" ` +
                    `stroke="${this.stroke}" stroke-width="${this.width}"/>`);
  }
  point(x, y) {
    const w = this.width;
    this.parts.push(`<rect x="${x - w / 2}" y="${y - w / 2}" width="${w}" height="${w}" fill="${this.stroke}"/>`);
  }
  text(text, x, y) {
    this.parts.push(`<text x="${x}" y="${y}" fill="${this.stroke}" style="font: ${escape(this.fontCss)}" ` +
                    `dominant-baseline="text-before-edge" xml:space="preserve">${escape(text)}</text>`);
  }
  font(font) { this.fontCss = font; }
}

// `scale`: the size of the file by the drawing's (a figure is written at twice its size).
export function svgDrawing(list, width, height, scale = 1) {
  const painter = new SvgPainter();
  readCommands(list, painter);
  return `<?xml version="1.0" encoding="UTF-8"?>\n` +
    `<svg xmlns="http://www.w3.org/2000/svg" width="${width * scale}" height="${height * scale}" viewBox="0 0 ${width} ${height}">\n` +
    `<title>Teravine</title>\n${painter.parts.join('\n')}\n</svg>\n`;
}

export function pngImage(list, width, height, scale = 1) {
  const canvas = document.createElement('canvas');
  const picture = new Picture(canvas);
  picture.resize(width * scale, height * scale);
  picture.painter.c.setTransform(scale, 0, 0, scale, 0, 0);
  picture.play(list);
  const data = atob(canvas.toDataURL('image/png').split(',')[1]);
  return Uint8Array.from(data, (char) => char.charCodeAt(0));
}

// The file's bytes, its format named by the path's suffix; null for another suffix.
export function pictureFile(path, list, width, height, scale = 1) {
  if (/\.svg$/i.test(path)) return new TextEncoder().encode(svgDrawing(list, width, height, scale));
  if (/\.png$/i.test(path)) return pngImage(list, width, height, scale);
  return null;
}

// "Save Figure…" of a tool dialog: the format asked in a small dialog of its own, then the
// figure ({list, width, height}) written into /out as `stem`.png or .svg for `finished` to
// offer as a download.
const FIGURE_DIALOG = `
<dialog id="figure_dialog" aria-labelledby="figure_title">
  <form method="dialog">
    <h2 id="figure_title">Save Figure</h2>
    <label>Format: <select id="figure_format">
      <option value="png">PNG image</option>
      <option value="svg">SVG drawing</option>
    </select></label>
    <div class="buttons"><button value="save">Save</button> <button value="cancel" formnovalidate>Cancel</button></div>
  </form>
</dialog>`;

export function saveFigure(core, finished, stem, figure) {
  let dialog = document.getElementById('figure_dialog');
  if (!dialog) {
    document.body.insertAdjacentHTML('beforeend', FIGURE_DIALOG);
    dialog = document.getElementById('figure_dialog');
  }
  dialog.returnValue = '';
  dialog.addEventListener('close', () => {
    if (dialog.returnValue !== 'save' || !figure) return;
    const name = `${stem}.${document.getElementById('figure_format').value}`;
    core.FS.writeFile(`/out/${name}`, pictureFile(name, figure.list, figure.width, figure.height, figure.scale));
    finished();
  }, { once: true });
  dialog.showModal();
}

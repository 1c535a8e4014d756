// SPDX-License-Identifier: GPL-3.0-or-later
// The core's pictures (web/core/display_list_surface.h): their drawing commands read in
// order and played onto a canvas, and text measured for the core with the canvas's fonts.
const Op = { clear: 1, colour: 2, penWidth: 3, drawMode: 4, line: 5, box: 6, point: 7, text: 8, font: 9 };

// 0x00BBGGRR as a CSS colour.
export function css(colour) {
  const r = colour & 0xff, g = (colour >> 8) & 0xff, b = (colour >> 16) & 0xff;
  return `rgb(${r},${g},${b})`;
}

// Hands each command of the list to the painter's method of that name, with its numbers
// (and its string for text and font).
export function readCommands({ commands, strings }, painter) {
  const c = commands;
  let i = 0;
  while (i < c.length) {
    const op = c[i];
    switch (op) {
      case Op.clear: painter.clear(c[i + 1], c[i + 2]); i += 3; break;
      case Op.colour: painter.colour(c[i + 1]); i += 2; break;
      case Op.penWidth: painter.penWidth(c[i + 1]); i += 2; break;
      case Op.drawMode: painter.drawMode(c[i + 1]); i += 2; break;
      case Op.line: painter.line(c[i + 1], c[i + 2], c[i + 3], c[i + 4]); i += 5; break;
      case Op.box: painter.box(c[i + 1], c[i + 2], c[i + 3], c[i + 4]); i += 5; break;
      case Op.point: painter.point(c[i + 1], c[i + 2]); i += 3; break;
      case Op.text: painter.text(strings[c[i + 1]], c[i + 2], c[i + 3]); i += 4; break;
      case Op.font: painter.font(strings[c[i + 1]]); i += 2; break;
      default: throw new Error(`unknown drawing command ${op}`);
    }
  }
  if (painter.flush) painter.flush();
}

const crisp = (v) => Math.floor(v) + 0.5; // one-pixel lines on pixel centres

// The commands as drawing calls on a canvas's 2D context.
class CanvasPainter {
  constructor(canvas) {
    this.canvas = canvas;
    this.c = canvas.getContext('2d');
    this.forget();
  }
  // The pen as last set, kept here: reading a canvas's state back is slow, and a pen set
  // again unchanged needs no stroke of the lines gathered so far.
  forget() {
    this.pen = { colour: null, width: null, combining: false, font: null };
  }
  // Lines drawn with the pen copied are gathered into one path, stroked when anything
  // else comes: a stroke per segment made a picture of many lines slow. Lines combined
  // with what lies under them are stroked one by one, as each one changes the next.
  flush() {
    if (this.open) this.c.stroke();
    this.open = false;
  }
  clear() {
    this.flush();
    this.c.globalCompositeOperation = 'source-over';
    this.pen.combining = false;
    this.c.fillStyle = '#fff';
    this.c.fillRect(0, 0, this.canvas.width, this.canvas.height);
  }
  colour(colour) {
    if (colour === this.pen.colour) return;
    this.flush();
    this.pen.colour = colour;
    this.c.strokeStyle = this.c.fillStyle = css(colour);
  }
  penWidth(width) {
    if (width === this.pen.width) return;
    this.flush();
    this.pen.width = width;
    this.c.lineWidth = Math.max(1, width);
  }
  // 13 copies the pen; the window's other modes combine with what lies under it.
  drawMode(mode) {
    if ((mode !== 13) === this.pen.combining) return;
    this.flush();
    this.pen.combining = mode !== 13;
    this.c.globalCompositeOperation = this.pen.combining ? 'difference' : 'source-over';
  }
  line(x1, y1, x2, y2) {
    if (!this.open) this.c.beginPath();
    this.open = true;
    this.c.moveTo(crisp(x1), crisp(y1));
    this.c.lineTo(crisp(x2), crisp(y2));
    if (this.pen.combining) this.flush();
  }
  box(x1, y1, x2, y2) {
    this.flush();
    this.c.strokeRect(crisp(Math.min(x1, x2)), crisp(Math.min(y1, y2)), Math.abs(x2 - x1), Math.abs(y2 - y1));
  }
  point(x, y) {
    this.flush();
    const w = this.c.lineWidth;
    this.c.fillRect(x - w / 2, y - w / 2, w, w);
  }
  text(text, x, y) { this.flush(); this.c.fillText(text, x, y); }
  font(font) {
    if (font === this.pen.font) return;
    this.flush();
    this.pen.font = font;
    this.c.font = font;
  }
}

export class Picture {
  constructor(canvas) {
    this.canvas = canvas;
    this.painter = new CanvasPainter(canvas);
    this.measurer = document.createElement('canvas').getContext('2d');
    this.sizes = new Map();
    this.painter.c.textBaseline = 'top';
  }

  // [width, height] of the text in pixels, in the CSS font; remembered, as every redraw
  // measures every label again.
  measure(font, text) {
    const key = `${font}\n${text}`;
    let size = this.sizes.get(key);
    if (!size) {
      if (this.sizes.size > 20000) this.sizes.clear();
      size = this.measureNow(font, text);
      this.sizes.set(key, size);
    }
    return size;
  }

  measureNow(font, text) {
    this.measurer.font = font;
    const metrics = this.measurer.measureText(text);
    const height = metrics.fontBoundingBoxAscent !== undefined
      ? metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent
      : parseFloat(font.replace(/^bold /, '')) * 1.15;
    return [metrics.width, height];
  }

  resize(width, height) {
    this.painter.flush();
    this.canvas.width = width;
    this.canvas.height = height; // which resets the context's state
    this.painter.forget();
    this.painter.c.textBaseline = 'top';
  }

  // The commands in order; a clear starts the picture again.
  play(list) {
    readCommands(list, this.painter);
  }
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Plays the drawing commands of the core's picture (web/core/display_list_surface.h) onto
// a canvas, and measures text for the core with the canvas's own fonts.
const Op = { clear: 1, colour: 2, penWidth: 3, drawMode: 4, line: 5, box: 6, point: 7, text: 8, font: 9 };

// 0x00BBGGRR as a CSS colour.
function css(colour) {
  const r = colour & 0xff, g = (colour >> 8) & 0xff, b = (colour >> 16) & 0xff;
  return `rgb(${r},${g},${b})`;
}

export class Picture {
  constructor(canvas) {
    this.canvas = canvas;
    this.context = canvas.getContext('2d');
    this.measurer = document.createElement('canvas').getContext('2d');
    this.context.textBaseline = 'top';
  }

  // [width, height] of the text in pixels, in the CSS font.
  measure(font, text) {
    this.measurer.font = font;
    const metrics = this.measurer.measureText(text);
    const height = metrics.fontBoundingBoxAscent !== undefined
      ? metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent
      : parseFloat(font.replace(/^bold /, '')) * 1.15;
    return [metrics.width, height];
  }

  resize(width, height) {
    this.canvas.width = width;
    this.canvas.height = height;
    this.context.textBaseline = 'top';
  }

  // The commands in order; a clear starts the picture again.
  play({ commands, strings }) {
    const c = this.context;
    let i = 0;
    const crisp = (v) => Math.floor(v) + 0.5; // one-pixel lines on pixel centres
    while (i < commands.length) {
      const op = commands[i++];
      switch (op) {
        case Op.clear:
          c.globalCompositeOperation = 'source-over';
          c.fillStyle = '#fff';
          c.fillRect(0, 0, this.canvas.width, this.canvas.height);
          i += 2;
          break;
        case Op.colour:
          c.strokeStyle = c.fillStyle = css(commands[i++]);
          break;
        case Op.penWidth:
          c.lineWidth = Math.max(1, commands[i++]);
          break;
        case Op.drawMode:
          // 13 copies the pen; the window's other modes combine with what lies under it.
          c.globalCompositeOperation = commands[i++] === 13 ? 'source-over' : 'difference';
          break;
        case Op.line: {
          const [x1, y1, x2, y2] = commands.slice(i, i + 4);
          i += 4;
          c.beginPath();
          c.moveTo(crisp(x1), crisp(y1));
          c.lineTo(crisp(x2), crisp(y2));
          c.stroke();
          break;
        }
        case Op.box: {
          const [x1, y1, x2, y2] = commands.slice(i, i + 4);
          i += 4;
          c.strokeRect(crisp(Math.min(x1, x2)), crisp(Math.min(y1, y2)), Math.abs(x2 - x1), Math.abs(y2 - y1));
          break;
        }
        case Op.point: {
          const [x, y] = commands.slice(i, i + 2);
          i += 2;
          const w = c.lineWidth;
          c.fillRect(x - w / 2, y - w / 2, w, w);
          break;
        }
        case Op.text: {
          const [index, x, y] = commands.slice(i, i + 3);
          i += 3;
          c.fillText(strings[index], x, y);
          break;
        }
        case Op.font:
          c.font = strings[commands[i++]];
          break;
        default:
          throw new Error(`unknown drawing command ${op}`);
      }
    }
  }
}

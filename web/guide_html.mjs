// SPDX-License-Identifier: GPL-3.0-or-later
// The user guide for the page: docs/guide.md as one HTML page, with the pictures it shows
// copied beside it. Covers the Markdown the guide is written in: headings, paragraphs,
// lists, tables, fenced code, pictures, links, `code`, **strong** and *emphasis*.
//   node guide_html.mjs docs/guide.md SITE   (writes SITE/guide.html and SITE/guide/…)
import fs from 'node:fs';
import path from 'node:path';

const escape = (text) => text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/"/g, '&quot;');

// Inline markup of one escaped line; code spans are kept apart first so that nothing
// inside them is read as markup.
function inline(text, picture) {
  const spans = [];
  let html = escape(text).replace(/`([^`]+)`/g, (_, code) => `\u0000${spans.push(`<code>${code}</code>`) - 1}\u0000`);
  html = html
    .replace(/!\[([^\]]*)\]\(([^)\s]+)\)/g, (_, alt, src) => `<img src="${picture(src)}" alt="${alt}">`)
    .replace(/\[([^\]]+)\]\(([^)\s]+)\)/g, '<a href="$2">$1</a>')
    .replace(/\*\*([^*]+)\*\*/g, '<strong>$1</strong>')
    .replace(/(^|[\s(])\*([^*\s][^*]*)\*/g, '$1<em>$2</em>');
  return html.replace(/\u0000(\d+)\u0000/g, (_, i) => spans[Number(i)]);
}

const cells = (line) => line.trim().replace(/^\||\|$/g, '').split('|').map((cell) => cell.trim());

export function guideHtml(markdown, picture) {
  const lines = markdown.split('\n');
  const out = [];
  let paragraph = [];
  let list = null; // 'ul' or 'ol' while a list is open
  const flush = () => {
    if (paragraph.length) out.push(`<p>${inline(paragraph.join(' '), picture)}</p>`);
    paragraph = [];
  };
  const closeList = () => {
    if (list) out.push(`</li></${list}>`);
    list = null;
  };
  for (let i = 0; i < lines.length; i++) {
    const line = lines[i];
    let m;
    if (line.startsWith('```')) {
      flush(), closeList();
      const code = [];
      while (++i < lines.length && !lines[i].startsWith('```')) code.push(escape(lines[i]));
      out.push(`<pre><code>${code.join('\n')}</code></pre>`);
    } else if ((m = line.match(/^(#{1,6})\s+(.*)$/))) {
      flush(), closeList();
      const id = m[2].toLowerCase().replace(/[^a-z0-9]+/g, '-').replace(/^-|-$/g, '');
      out.push(`<h${m[1].length} id="${id}">${inline(m[2], picture)}</h${m[1].length}>`);
    } else if (line.startsWith('|')) {
      flush(), closeList();
      const rows = [];
      for (; i < lines.length && lines[i].startsWith('|'); i++) rows.push(cells(lines[i]));
      i--;
      const body = rows.slice(2).map((row) => `<tr>${row.map((c) => `<td>${inline(c, picture)}</td>`).join('')}</tr>`);
      out.push(`<table><thead><tr>${rows[0].map((c) => `<th>${inline(c, picture)}</th>`).join('')}</tr></thead>` +
               `<tbody>${body.join('')}</tbody></table>`);
    } else if ((m = line.match(/^(?:([-*])|(\d+)\.)\s+(.*)$/)) && !(paragraph.length && m[2] && m[2] !== '1')) {
      // (a number other than 1 goes on a paragraph: it starts no list)
      flush();
      const kind = m[1] ? 'ul' : 'ol';
      if (list !== kind) {
        closeList();
        out.push(`<${kind}><li>`);
        list = kind;
      } else {
        out.push('</li><li>');
      }
      out.push(inline(m[3], picture));
    } else if (list && /^\s+\S/.test(line)) {
      out.push(inline(line.trim(), picture)); // a list item's next line
    } else if (line.trim() === '') {
      flush();
      if (list && !/^\s+\S|^(?:[-*]|\d+\.)\s/.test(lines[i + 1] ?? '')) closeList();
    } else {
      closeList();
      paragraph.push(line.trim());
    }
  }
  flush(), closeList();
  return out.join('\n');
}

if (process.argv[1] && path.resolve(process.argv[1]) === path.resolve(new URL(import.meta.url).pathname)) {
  const [source, site] = process.argv.slice(2);
  const docs = path.dirname(source);
  // Each picture copied into SITE/guide/ under its own relative path.
  const picture = (src) => {
    const target = path.join(site, 'guide', src);
    fs.mkdirSync(path.dirname(target), { recursive: true });
    fs.copyFileSync(path.join(docs, src), target);
    return `guide/${src}`;
  };
  const body = guideHtml(fs.readFileSync(source, 'utf8'), picture);
  const page = `<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Teravine: User Guide</title>
<link rel="stylesheet" href="guide.css">
</head>
<body>
<main>
${body}
</main>
</body>
</html>
`;
  fs.writeFileSync(path.join(site, 'guide.html'), page);
}

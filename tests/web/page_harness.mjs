// SPDX-License-Identifier: GPL-3.0-or-later
// What the page's tests and benchmarks share: the built site served on localhost as a
// static web host serves it (the right types, compressed with gzip for a browser that
// asks, as hosts compress text and .wasm), and Debian's Chromium as they launch it.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import zlib from 'node:zlib';

const types = { '.html': 'text/html', '.js': 'text/javascript', '.mjs': 'text/javascript',
                '.css': 'text/css', '.wasm': 'application/wasm', '.svg': 'image/svg+xml',
                '.png': 'image/png', '.webmanifest': 'application/manifest+json' };
const compressible = new Set(['.html', '.js', '.mjs', '.css', '.wasm', '.svg', '.webmanifest']);

// Resolves to the listening server; its address is http://127.0.0.1:<port>/.
export async function serveSite(site) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(site, name === '/' ? 'index.html' : name);
    if (!file.startsWith(site) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    const extension = path.extname(file);
    const headers = { 'Content-Type': types[extension] ?? 'application/octet-stream' };
    let body = fs.readFileSync(file);
    if (compressible.has(extension) && /\bgzip\b/.test(request.headers['accept-encoding'] ?? '')) {
      body = zlib.gzipSync(body);
      headers['Content-Encoding'] = 'gzip';
    }
    response.writeHead(200, headers);
    response.end(body);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return server;
}

// Debian's Chromium, headless, downloading nothing of its own.
export const chromiumOptions = {
  executablePath: '/usr/bin/chromium',
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
         '--disable-component-update', '--no-first-run'],
};

// What the browser tests and the browser benchmark share: the site served on the loopback
// interface, and Debian's Chromium driven by puppeteer-core.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const types = {
  '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.css': 'text/css',
  '.json': 'application/json', '.zir': 'text/plain', '.input': 'text/plain',
};

// Serves the files of siteDir on 127.0.0.1; resolves to {url, close}.
export async function serveSite(siteDir) {
  const root = path.resolve(siteDir);
  const server = http.createServer((request, response) => {
    const name = path.normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const file = path.join(root, name === '/' ? 'index.html' : name);
    if (!file.startsWith(root) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}

// Headless Chromium with one page of the given size.
export async function openBrowser(width = 900, height = 760) {
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage'],
  });
  const page = await browser.newPage();
  await page.setViewport({ width, height });
  page.on('pageerror', (e) => console.log('page error: ' + e.message));
  return { browser, page };
}

// Runs a script in the page on the virtual clock; resolves to {exitCode, dump, png, svg, gif, ms}
// (gif: the bytes of the run's GIF, when asked for).
export async function runVirtual(page, bytes, input, name, gif = false) {
  return page.evaluate(async (bytes, input, name, withGif) => {
    const started = performance.now();
    const r = await Zirkula.run(new Uint8Array(bytes), { virtualClock: true, input, name, svg: true, gif: withGif });
    const gif = r.gif && Array.from(r.gif);
    return { exitCode: r.exitCode, dump: r.dump, png: r.png, svg: r.svg, gif, ms: performance.now() - started };
  }, Array.from(bytes), input, name, gif);
}

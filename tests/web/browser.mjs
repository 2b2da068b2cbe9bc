// A static file server on 127.0.0.1 and Debian's headless Chromium, for the web test and bench.
import { mkdtempSync, readFile, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join, normalize, resolve, sep } from 'node:path';
import puppeteer from 'puppeteer-core';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',  // Chromium applies no stylesheet of another type
  '.wasm': 'application/wasm',  // streaming compilation insists on it
  '.png': 'image/png',
};

// Serves the files of folder on a free port; resolves to { url, close }.
export function serve(folder) {
  const root = resolve(folder);
  const server = createServer((request, response) => {
    let path;
    try {
      path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    } catch {
      response.writeHead(400).end();
      return;
    }
    const file = join(root, path.endsWith('/') ? join(path, 'index.html') : path);
    if (!file.startsWith(root + sep)) {
      response.writeHead(403).end();
      return;
    }
    readFile(file, (error, data) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, { 'Content-Type': types[extname(file)] || 'application/octet-stream' });
      response.end(data);
    });
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(0, '127.0.0.1', () => {
      resolve({
        url: `http://127.0.0.1:${server.address().port}/`,
        close: () => new Promise((done) => server.close(done)),
      });
    });
  });
}

// Starts Chromium headless with a new, empty profile; resolves to { browser, close }.
export async function launch() {
  const profile = mkdtempSync(join(tmpdir(), 'lsv-chromium-'));
  let browser;
  try {
    browser = await puppeteer.launch({
      executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
      headless: true,
      userDataDir: profile,
      protocolTimeout: 30000,  // a hung call fails the run well before CTest's time limit
      handleSIGINT: false,  // the caller closes the browser and removes its files
      handleSIGTERM: false,
      handleSIGHUP: false,
      args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
             '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
  } catch (error) {
    rmSync(profile, { recursive: true, force: true });
    throw error;
  }
  return {
    browser,
    close: async () => {
      try {
        await browser.close();
      } finally {
        rmSync(profile, { recursive: true, force: true });
      }
    },
  };
}

// Resolves after the page has shown n more animation frames.
export function frames(page, n) {
  return page.evaluate((count) => new Promise((resolve) => {
    const step = () => (--count > 0 ? requestAnimationFrame(step) : resolve());
    requestAnimationFrame(step);
  }), n);
}

// The web page in headless Chromium: its words, presses and end, and its canvas pixel by pixel
// against the frame that the desktop drawing code makes for the same word and pointer.
//   node web_test.mjs --site DIR --reference WEB_REFERENCE [--page-shot FILE.png]
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const option = (name) => {
  const at = process.argv.indexOf(name);
  return at < 0 ? undefined : process.argv[at + 1];
};
const site = option('--site');
const reference = option('--reference');
const pageShot = option('--page-shot');

function fail(message) {
  console.error(`web test: ${message}`);
  process.exit(1);
}
if (!site || !reference) fail('usage: node web_test.mjs --site DIR --reference EXE [--page-shot FILE]');
if (!existsSync(join(site, 'lsystem-viewer.wasm'))) {
  fail(`no web site in ${site}: run \`cmake --workflow --preset web\``);
}
if (!existsSync(join(here, 'node_modules', 'puppeteer-core'))) {
  fail(`no ${join(here, 'node_modules')}: run \`bash tools/setup.sh test\``);
}
const chromiumPath = process.env.CHROMIUM || '/usr/bin/chromium';
if (!existsSync(chromiumPath)) fail(`no Chromium at ${chromiumPath}: run \`bash tools/setup.sh test\``);
const { frames, launch, serve } = await import('./browser.mjs');

const kStartWord = 'aa[+aa[+aa[+ao]-ao]-aa[+ao]-ao]-aa[+aa[+ao]-ao]-aa[+ao]-ao';
const kGrownAt13 = 'aa[+aa[+aa[+aa[+ao]-ao]-ao]-aa[+ao]-ao]-aa[+aa[+ao]-ao]-aa[+ao]-ao';
const kPrunedAt21 = 'aa[+aa[+aa[+ao]-ao]-a]-aa[+aa[+ao]-ao]-aa[+ao]-ao';
const kWidth = 600;
const kHeight = 400;
const shades = [[0, 0, 0], [102, 51, 0], [255, 0, 0], [0, 255, 0]];
const shadeNames = ['black', 'brown', 'red', 'green'];

const step = (what) => console.log(`web test: ${what}`);
let failures = 0;
function check(ok, message) {
  if (!ok) {
    failures += 1;
    console.error(`FAIL: ${message}`);
  }
}

// Each pixel of a PNG screenshot becomes the nearest of the four shades.
function classify(png) {
  const frame = new Uint8Array(png.width * png.height);
  for (let i = 0; i < frame.length; ++i) {
    let best = 0;
    let bestDistance = Infinity;
    shades.forEach((shade, s) => {
      const d = shade.reduce((sum, c, k) => sum + (png.data[4 * i + k] - c) ** 2, 0);
      if (d < bestDistance) [best, bestDistance] = [s, d];
    });
    frame[i] = best;
  }
  return frame;
}

const work = mkdtempSync(join(tmpdir(), 'lsv-web-test-'));
let server;
let chromium;
let cleaning;
const cleanUp = () => {
  cleaning ||= (async () => {
    if (chromium) await chromium.close().catch(() => {});
    if (server) await server.close();
    rmSync(work, { recursive: true, force: true });
  })();
  return cleaning;
};
for (const signal of ['SIGINT', 'SIGTERM', 'SIGHUP']) {
  process.on(signal, () => cleanUp().finally(() => process.exit(1)));
}
try {
  const { PNG } = (await import('pngjs')).default;
  server = await serve(site);
  chromium = await launch();
  const page = await chromium.browser.newPage();
  page.setDefaultTimeout(15000);
  await page.setViewport({ width: 960, height: 1000 });
  const errors = [];
  page.on('console', (message) => message.type() === 'error' && errors.push(message.text()));
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('request', (request) => {
    if (!request.url().startsWith(server.url) && !request.url().startsWith('data:')) {
      errors.push(`request to elsewhere: ${request.url()}`);
    }
  });
  page.on('requestfailed', (request) => errors.push(`request failed: ${request.url()}`));
  page.on('response', (response) => {
    if (response.status() >= 400) errors.push(`HTTP ${response.status()}: ${response.url()}`);
  });

  const lines = () => page.$eval('#output', (pre) => pre.textContent.split('\n').filter(Boolean));
  const waitLines = (n) => page.waitForFunction(
    (count) => document.getElementById('output').textContent.split('\n').filter(Boolean).length >= count,
    { timeout: 10000 }, n);

  step(`Chromium ${await chromium.browser.version()}, site served at ${server.url}`);
  await page.goto(server.url);
  await waitLines(1);
  check((await lines())[0] === kStartWord, `first line is not the start word: ${(await lines())[0]}`);

  let canvas = await page.$('#canvas');
  const box = await canvas.boundingBox();
  check(box.width === kWidth && box.height === kHeight, `canvas shown at ${box.width}x${box.height}`);
  const pointAt = async (x, y) => {
    await page.mouse.move(box.x + x, box.y + y);
    await frames(page, 3);
  };
  const press = async (pressIt, expected, what) => {
    const before = (await lines()).length;
    await pressIt();
    await waitLines(before + 1).catch(() => {});
    const now = await lines();
    check(now.length === before + 1 && now[now.length - 1] === expected,
          `${what}: expected one line "${expected}", got ${JSON.stringify(now.slice(before))}`);
  };
  // Whether the page's own handlers prevented the default of the next event of a type: a
  // listener on the window runs after them.
  const watchDefault = (type) => page.evaluate((t) => {
    window.addEventListener(t, (event) => { window[`lsvSeen_${t}`] = event.defaultPrevented; },
                            { once: true });
  }, type);
  const seenDefault = (type) => page.waitForFunction((t) => window[`lsvSeen_${t}`] !== undefined,
                                                     { timeout: 10000 }, type)
    .then(() => page.evaluate((t) => window[`lsvSeen_${t}`], type)).catch(() => 'no event');
  // The canvas as a screenshot shows it, against the native frame for word and pointer.
  const compareFrame = async (word, x, y, what) => {
    const file = join(work, 'reference');
    execFileSync(reference, [word, String(x), String(y), file]);
    const expected = readFileSync(file);
    const seen = classify(PNG.sync.read(await canvas.screenshot({ type: 'png' })));
    let differ = 0;
    let first = -1;
    for (let i = 0; i < expected.length; ++i) {
      if (seen[i] !== expected[i]) {
        differ += 1;
        if (first < 0) first = i;
      }
    }
    check(seen.length === kWidth * kHeight && differ === 0,
          `${what}: ${differ} of ${expected.length} pixels differ from the native frame` +
          (first < 0 ? '' : `; first at (${first % kWidth}, ${Math.floor(first / kWidth)}):` +
                            ` ${shadeNames[seen[first]]}, not ${shadeNames[expected[first]]}`));
  };

  step('the start word; the pointer on a bud, and a press');
  await pointAt(230, 215);
  await compareFrame(kStartWord, 230, 215, 'start word, pointer on the bud at index 13');
  if (pageShot) {
    const height = await page.evaluate(() => Math.ceil(document.body.getBoundingClientRect().bottom) + 16);
    await page.screenshot({ path: pageShot, clip: { x: 0, y: 0, width: 632, height } });
  }
  await press(() => page.mouse.click(box.x + 230, box.y + 215), kGrownAt13, 'press on the bud');
  await frames(page, 3);
  await compareFrame(kGrownAt13, 230, 215, 'grown word, pointer where the bud was');

  step('a reload; the pointer on a segment, and a press');
  // A reload starts again from the start word.
  await page.reload();
  await waitLines(1);
  canvas = await page.$('#canvas');
  check((await lines()).join('\n') === kStartWord, `after a reload: ${(await lines()).join(' | ')}`);
  await pointAt(282, 188);
  await compareFrame(kStartWord, 282, 188, 'start word, pointer on the segment at index 21');
  await press(() => page.mouse.click(box.x + 282, box.y + 188), kPrunedAt21, 'press on the segment');
  await frames(page, 3);
  await compareFrame(kPrunedAt21, 282, 188, 'pruned word, pointer where the segment was');

  // Away from every square nothing is selected: a right button or a wheel step prints the word.
  step('a right button and a wheel step away from every square');
  await pointAt(10, 10);
  await watchDefault('contextmenu');
  await press(() => page.mouse.click(box.x + 10, box.y + 10, { button: 'right' }), kPrunedAt21,
              'right button');
  check(await seenDefault('contextmenu') === true, 'a right click on the canvas opens the context menu');
  await press(() => page.mouse.wheel({ deltaY: 100 }), kPrunedAt21, 'wheel step');
  const scrolled = await page.$eval('#output', (pre) => pre.scrollTop + pre.clientHeight >= pre.scrollHeight - 1);
  check(scrolled, 'the output is not scrolled to the newest line');

  step('a key press, then a click');
  await page.keyboard.press('q');
  await page.waitForFunction(() => /ended/.test(document.getElementById('status').textContent),
                             { timeout: 10000 }).catch(() => check(false, 'the page did not say that the program ended'));
  const count = (await lines()).length;
  await page.mouse.click(box.x + 230, box.y + 215);
  await frames(page, 10);
  check((await lines()).length === count, 'a click after the key press printed a line');
  // Once ended, the page's keys are the browser's again.
  await watchDefault('keydown');
  await page.keyboard.press('r');
  const keyDefault = await seenDefault('keydown');
  check(keyDefault === false, `keys are still swallowed after the end: ${keyDefault}`);
  check(errors.length === 0, `errors on the page: ${errors.join(' | ')}`);
} catch (error) {
  failures += 1;
  console.error(`FAIL: ${error.stack || error}`);
} finally {
  await cleanUp();
}
console.log(failures === 0 ? 'web test: passed' : `web test: ${failures} failure(s)`);
process.exit(failures === 0 ? 0 : 1);

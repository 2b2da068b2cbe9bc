// The web page in headless Chromium, used as a person would: its words, presses, undo, links,
// form, sliders, saving, end and a phone's touch, with the canvas compared pixel by pixel, the
// words and the SVG byte for byte, against what the desktop code makes of the same word and
// settings. --page-shot also writes phone-before.png and phone-after.png (a pinch) beside FILE.
//   node web_test.mjs --site DIR --reference WEB_REFERENCE --viewer VIEWER [--page-shot FILE.png]
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
const viewer = option('--viewer');
const pageShot = option('--page-shot');

function fail(message) {
  console.error(`web test: ${message}`);
  process.exit(1);
}
if (!site || !reference || !viewer) {
  fail('usage: node web_test.mjs --site DIR --reference EXE --viewer EXE [--page-shot FILE]');
}
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
// A grammar, angle, step, start point and size of one's own, as a link and as options.
const own = { grammar: '{a:aa;o:a[-ao][++ao]-ao;}[-o][+o]', generations: '4', angle: '18',
              step: '6', origin: '240,330', size: '480x340' };
// fit, explore and lines are checkboxes: "1" in a link, bare options on the command line.
const optionsOf = (settings) => Object.entries(settings)
  .flatMap(([name, value]) => (/^(fit|explore|lines|paper)$/.test(name) ? [`--${name}`] : [`--${name}`, value]));
const linkOf = (settings) => '#' + Object.entries(settings)
  .map(([name, value]) => `${name}=${encodeURIComponent(value)}`).join('&');
const shades = [[0, 0, 0], [102, 51, 0], [255, 0, 0], [0, 255, 0]];
// The same four with Paper: white, black, red and dark green.
const paperShades = [[255, 255, 255], [0, 0, 0], [255, 0, 0], [0, 100, 0]];
const shadeNames = ['black', 'brown', 'red', 'green'];

const began = Date.now();
const step = (what) => console.log(`web test: ${((Date.now() - began) / 1000).toFixed(1)} s: ${what}`);
let failures = 0;
function check(ok, message) {
  if (!ok) {
    failures += 1;
    console.error(`FAIL: ${message}`);
  }
}

// Whether a download arrives at path with these bytes within five seconds: Chromium may show
// the file while it still writes it.
async function savedAs(path, bytes) {
  const whole = () => existsSync(path) && readFileSync(path).equals(bytes);
  for (let i = 0; i < 100 && !whole(); ++i) await new Promise((r) => setTimeout(r, 50));
  return whole();
}

// Each pixel of a PNG screenshot becomes the nearest of the four shades.
function classify(png, palette = shades) {
  const frame = new Uint8Array(png.width * png.height);
  for (let i = 0; i < frame.length; ++i) {
    let best = 0;
    let bestDistance = Infinity;
    palette.forEach((shade, s) => {
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

// The desktop's view of a word: its frame with the pointer at (x, y), its SVG, the view it is
// drawn through (with fit or explore: [s, tx, ty], fit's unless given) and the word after a
// press there.
function desktop(word, x, y, settings = {}, view = null) {
  const frame = join(work, 'frame');
  const svg = join(work, 'reference.svg');
  const [drawnView, pressed] = execFileSync(reference, [
    word, String(x), String(y), frame, svg, ...(view ? [`--view=${view.join()}`] : []), ...optionsOf(settings),
  ], { maxBuffer: 1 << 26 }).toString().split('\n');
  return { frame: readFileSync(frame), svg: readFileSync(svg), pressed,
           view: drawnView === '-' ? null : drawnView.split(' ').map(Number) };
}
// The desktop program's first line for the options, through --svg: no display needed.
const desktopWord = (options) => execFileSync(viewer, [...options, '--svg', join(work, 'start.svg')],
                                              { maxBuffer: 1 << 26 }).toString().replace(/\n$/, '');
const desktopStartWord = (settings) => desktopWord(optionsOf(settings));
// A point on a bud of a frame: 9 pixels above and left of its last green pixel.
const lastBud = (frame, width) => {
  const at = frame.lastIndexOf(3);
  return [at % width - 9, Math.floor(at / width) - 9];
};

try {
  const { PNG } = (await import('pngjs')).default;
  server = await serve(site);
  chromium = await launch();
  const page = await chromium.browser.newPage();
  page.setDefaultTimeout(15000);
  await page.setViewport({ width: 1000, height: 800 });
  const errors = [];
  page.on('console', (message) => message.type() === 'error' && errors.push(message.text()));
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('request', (request) => {
    if (!request.url().startsWith(server.url) && !/^(data|blob):/.test(request.url())) {
      errors.push(`request to elsewhere: ${request.url()}`);
    }
  });
  page.on('requestfailed', (request) => errors.push(`request failed: ${request.url()}`));
  page.on('response', (response) => {
    if (response.status() >= 400) errors.push(`HTTP ${response.status()}: ${response.url()}`);
  });
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: work });
  await page.browserContext().overridePermissions(server.url.replace(/\/$/, ''),
                                                  ['clipboard-read', 'clipboard-sanitized-write']);

  const lines = () => page.$eval('#output', (output) => [...output.children].map((line) => line.textContent));
  const newest = async () => (await lines()).at(-1);
  const statusText = () => page.$eval('#status', (line) => line.textContent);
  const waitFor = (what, test, ...args) => page.waitForFunction(test, { timeout: 20000 }, ...args)
    .then(() => true, () => check(false, `timed out waiting for ${what}`));
  // Acts and waits for the line that it prints: the newest line is marked before, and a new one
  // is not, even when it holds the same word.
  const waitOutput = async (act) => {
    await page.$eval('#output', (o) => { if (o.lastChild) o.lastChild.dataset.old = '1'; });
    await act();
    await waitFor('a new line', () => {
      const o = document.getElementById('output');
      return o.lastChild && !o.lastChild.dataset.old;
    });
  };
  // The canvas's place, brought into the window first: a click on a button may scroll it away.
  const canvasBox = async () => {
    const canvas = await page.$('#canvas');
    await canvas.evaluate((c) => c.scrollIntoView({ block: 'nearest' }));
    return canvas.boundingBox();
  };
  // The whole pixel of the window that the page takes for canvas pixel (x, y): its offset from
  // the canvas, which may sit at a fraction of a pixel, rounded down.
  const windowAt = async (x, y) => {
    const box = await canvasBox();
    return [Math.ceil(box.x + x), Math.ceil(box.y + y)];
  };
  const pointAt = async (x, y) => {
    await page.mouse.move(...await windowAt(x, y));
    await frames(page, 3);
  };
  const click = async (x, y, options = {}) => {
    const [wx, wy] = await windowAt(x, y);
    await waitOutput(() => page.mouse.click(wx, wy, options));
    await frames(page, 3);
  };
  // Idle for a second, the page puts no frame on the canvas and its thread is nearly idle.
  await cdp.send('Performance.enable');
  const busy = async () => (await cdp.send('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value;
  const idle = async (what) => {
    const before = await busy();
    const drawn = await page.evaluate(() => new Promise((resolve) => {
      const context = CanvasRenderingContext2D.prototype;
      const put = context.putImageData;
      let count = 0;
      context.putImageData = function (...args) { count += 1; return put.apply(this, args); };
      setTimeout(() => resolve(count, context.putImageData = put), 1000);
    }));
    const spent = await busy() - before;
    check(drawn === 0 && spent < 0.2, `${what}, idle for a second: ${drawn} frames drawn, ${spent.toFixed(2)} s busy`);
  };
  // The canvas as a screenshot shows it, against a desktop frame.
  const compareFrame = async (expected, what, palette = shades) => {
    const seen = classify(PNG.sync.read(await (await page.$('#canvas')).screenshot({ type: 'png' })),
                          palette);
    let differ = 0;
    let first = -1;
    for (let i = 0; i < expected.length; ++i) {
      if (seen[i] !== expected[i]) {
        differ += 1;
        if (first < 0) first = i;
      }
    }
    const { width } = await canvasBox();
    check(seen.length === expected.length && differ === 0,
          `${what}: ${differ} of ${expected.length} pixels differ from the desktop's frame` +
          (first < 0 ? '' : `; first at (${first % width}, ${Math.floor(first / width)}):` +
                            ` ${shadeNames[seen[first]]}, not ${shadeNames[expected[first]]}`));
  };

  step(`Chromium ${await chromium.browser.version()}, site served at ${server.url}`);
  await page.goto(server.url);
  await waitFor('the start word', () => document.getElementById('output').children.length > 0);
  check((await lines()).join('|') === kStartWord, `first line is not the start word: ${await lines()}`);
  const box = await canvasBox();
  check(box.width === 600 && box.height === 400, `canvas shown at ${box.width}x${box.height}`);

  step('accessibility (axe-core) and the content security policy');
  // Evaluated through the debugging protocol, which the page's policy does not govern.
  await page.evaluate(readFileSync(join(here, 'node_modules', 'axe-core', 'axe.min.js'), 'utf8'));
  const violations = await page.evaluate(async () => (await axe.run(document, {
    runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'best-practice'] },
  })).violations.map((v) => `${v.id} (${v.nodes.length} nodes): ${v.help}`));
  check(violations.length === 0, `axe-core finds ${violations.join('; ')}`);
  // A script that a link or a field could smuggle in is refused; no eval is allowed, and the
  // site's scripts use none (the protocol's own evaluation, as above, is not the page's).
  const errorsBefore = errors.length;
  const refused = await page.evaluate(() => {
    const seen = [];
    document.addEventListener('securitypolicyviolation', (e) => seen.push(e.violatedDirective));
    const script = document.createElement('script');
    script.textContent = 'window.smuggled = true;';
    document.body.appendChild(script);
    script.remove();
    const policy = document.querySelector('meta[http-equiv="Content-Security-Policy"]').content;
    return new Promise((resolve) => setTimeout(() => resolve({ seen, policy, ran: window.smuggled === true }), 100));
  });
  const scriptSrc = / script-src ([^;]*)/.exec(refused.policy)?.[1] ?? '';
  check(!refused.ran && refused.seen.join() === 'script-src-elem' && scriptSrc === "'self' 'wasm-unsafe-eval'",
        `the policy let a script run, or allows more: ${JSON.stringify(refused)}`);
  for (const file of ['page.js', 'lsystem-viewer.js']) {
    check(!/\beval\(|new Function\(/.test(readFileSync(join(site, file), 'utf8')), `${file} calls eval`);
  }
  // The console reports the refusal: expected here, and only here.
  await new Promise((resolve) => setTimeout(resolve, 200));
  errors.splice(errorsBefore, Infinity,
                ...errors.slice(errorsBefore).filter((e) => !/inline script/.test(e)));
  check(await page.$eval('#canvas', (c) => c.tabIndex) === -1, 'the canvas is a Tab stop');

  step('the pointer on a bud, a press, a press on nothing, and an undo');
  await pointAt(230, 215);
  await compareFrame(desktop(kStartWord, 230, 215).frame, 'start word, pointer on the bud at 13');
  await click(230, 215);
  check(await newest() === kGrownAt13, `press on the bud: ${await newest()}`);
  check(await page.evaluate(() => location.hash) === '#presses=13', 'the address lacks the press');
  await compareFrame(desktop(kGrownAt13, 230, 215).frame, 'grown word, pointer where the bud was');
  // Nothing stands there now: the press is printed, and not kept for undo.
  check(desktop(kGrownAt13, 230, 215).pressed === kGrownAt13, 'the desktop selects something at (230, 215)');
  await click(230, 215);
  check(await newest() === kGrownAt13, `press on nothing: ${await newest()}`);
  await waitOutput(() => page.click('#undo'));
  check(await newest() === kStartWord, `undo: ${await newest()}`);
  check(await page.evaluate(() => location.hash) === '', 'the address keeps an undone press');
  await frames(page, 3);
  await compareFrame(desktop(kStartWord, 230, 215).frame, 'after the undo');
  check(await page.$eval('#undo', (b) => b.disabled), 'undo is still enabled with no press left');

  step('a reload; the pointer on a segment and a press; a right button and a wheel step');
  await page.reload();
  await waitFor('the start word', () => document.getElementById('output').children.length > 0);
  check((await lines()).join('|') === kStartWord, `after a reload: ${await lines()}`);
  await pointAt(282, 188);
  await click(282, 188, { button: 'right' });
  check(await newest() === kPrunedAt21, `right button on the segment: ${await newest()}`);
  await compareFrame(desktop(kPrunedAt21, 282, 188).frame, 'pruned word');
  await pointAt(10, 10);
  await waitOutput(() => page.mouse.wheel({ deltaY: 100 }));
  check(await newest() === kPrunedAt21, `wheel step away from the squares: ${await newest()}`);

  step('a link of its own: words, frames and the saved SVG against the desktop');
  await page.goto(server.url + linkOf(own));
  await waitFor('the start word', () => document.getElementById('output').children.length === 1);
  const ownStart = desktopStartWord(own);
  check(await newest() === ownStart, `own link's first line: ${await newest()} against ${ownStart}`);
  check(await page.title() === `lsystem-viewer: ${ownStart.length} symbols`, `title: ${await page.title()}`);
  check(await page.$eval('#generations', (f) => f.value) === own.generations, 'the form does not show the link');
  // A bud: the last green 20x20 square in the desktop's frame.
  const ownFrame = desktop(ownStart, -1, -1, own).frame;
  const [bx, by] = lastBud(ownFrame, box.width);
  await pointAt(bx, by);
  const atBud = desktop(ownStart, bx, by, own);
  await compareFrame(atBud.frame, `own figure, pointer at (${bx}, ${by})`);
  await click(bx, by);
  check(await newest() === atBud.pressed, `own press: ${await newest()}`);
  const grown = desktop(atBud.pressed, bx, by, own);
  await compareFrame(grown.frame, 'own figure after the press');
  if (pageShot) await page.screenshot({ path: pageShot });
  await page.click('#save-svg');
  const saved = join(work, 'lsystem.svg');
  check(await savedAs(saved, grown.svg), 'the saved SVG is not what --svg writes');

  step('the form: keys typed in it stay there; a start writes the link; Back returns');
  await page.focus('#generations');
  await page.keyboard.down('Control');
  await page.keyboard.press('a');
  await page.keyboard.up('Control');
  await page.keyboard.type('5');
  await frames(page, 3);
  check(/^Running/.test(await statusText()), `typing in the form reached the program: ${await statusText()}`);
  await waitOutput(() => page.keyboard.press('Enter'));
  const five = { ...own, generations: '5' };
  check(await page.evaluate(() => location.hash) === linkOf(five), `link after a start: ${await page.evaluate(() => location.hash)}`);
  check(await newest() === desktopStartWord(five), 'start from the form: not the desktop word');
  // Back returns to the figure before, its press kept in its address.
  await waitOutput(() => page.goBack());
  check(await newest() === atBud.pressed && await page.$eval('#generations', (f) => f.value) === own.generations,
        'Back did not return to the previous figure');
  const bush = { grammar: '{a:aa;o:a[-o]a[++o]-o;}[---o][-o][+o][+++o]', generations: '5',
                 angle: '16', step: '5', origin: '300,390', fit: '1', explore: '1' };
  await waitOutput(() => page.click(`#examples a[href="${linkOf(bush)}"]`));
  check(await page.$eval('#grammar', (f) => f.value) === bush.grammar &&
        await page.evaluate(() => location.hash) === linkOf(bush) &&
        await newest() === desktopStartWord(bush), 'the example of a bush did not start as the desktop');
  await page.setViewport({ width: 700, height: 800 });
  check(await page.evaluate(() => document.documentElement.scrollWidth) <= 700,
        'the page is wider than a 700-pixel window');
  await page.setViewport({ width: 1000, height: 800 });
  await page.$eval('#step', (f) => { f.value = 'abc'; });
  await page.click('#start');
  await frames(page, 3);
  check(await statusText() === "lsystem-viewer: --step 'abc' is not an integer from -16777216 to 16777216, " +
                               'nor with --lines a decimal above 0 up to 1000000',
        `bad value: ${await statusText()}`);
  check(await page.$eval('#step', (f) => f.value) === 'abc', 'the form lost the bad value');
  await compareFrame(new Uint8Array((await canvasBox()).width * (await canvasBox()).height),
                     'a bad value draws nothing');

  step('a key on the figure ends the program; a click then prints nothing; Start runs it again');
  await page.$eval('#step', (f) => { f.value = ''; });
  await waitOutput(() => page.click('#start'));
  await click(1, 1);  // gives the canvas the focus
  await page.keyboard.press('q');
  await waitFor('the end', () => /ended/.test(document.getElementById('status').textContent));
  const count = (await lines()).length;
  await page.mouse.click(box.x + 230, box.y + 215);
  await frames(page, 5);
  check((await lines()).length === count, 'a click after the end printed a line');
  await waitOutput(() => page.click('#start'));
  check(/^Running/.test(await statusText()), `Start did not run it again: ${await statusText()}`);

  step('Fit and Explore: the first view, a wheel step, a drag, keys and a press against the desktop');
  const tree = { fit: '1', explore: '1' };
  await waitOutput(() => page.goto(server.url + linkOf(tree)));
  // Scrolled so that the page could go either way, the canvas still whole in the window.
  const scrolled = () => page.evaluate(() => window.scrollY);
  await page.evaluate(() => window.scrollTo(0, 100));
  const canScroll = await scrolled() === 100 &&
    await page.evaluate(() => document.documentElement.scrollHeight > innerHeight + 200);
  await pointAt(100, 100);
  const fitted = desktop(kStartWord, 100, 100, tree);
  await compareFrame(fitted.frame, 'the fitted figure');
  let [s, tx, ty] = fitted.view;
  // The wheel turned away from the user zooms in by 1.25 about the pointer, which stays put.
  await page.mouse.wheel({ deltaY: -100 });
  [s, tx, ty] = [s * 1.25, 100 - (100 - tx) * 1.25, 100 - (100 - ty) * 1.25];
  await frames(page, 3);
  await compareFrame(desktop(kStartWord, 100, 100, tree, [s, tx, ty]).frame, 'a wheel step in');
  check(await page.title() === `lsystem-viewer: 58 symbols, zoom ${Math.round(s * 100)}%`, `title: ${await page.title()}`);
  check(canScroll && await scrolled() === 100, `the wheel on the figure scrolled the page to ${await scrolled()}`);
  // A drag with the right button pans by as much as the pointer moves, with no context menu. One
  // motion, so that the view takes one addition: a sum of a few rounds differently.
  await page.evaluate(() => {
    window.menus = [];
    addEventListener('contextmenu', (event) => window.menus.push(event.defaultPrevented));
  });
  await page.mouse.down({ button: 'right' });
  await page.mouse.move(...await windowAt(140, 85));
  await page.mouse.up({ button: 'right' });
  [tx, ty] = [tx + 40, ty - 15];
  const menus = await page.evaluate(() => window.menus);
  check(menus.length > 0 && menus.every((prevented) => prevented), `context menus: ${menus}`);
  // The focused figure's keys: down pans up by an eighth of the height, the main keyboard's
  // "=" ("+" shifted) zooms in about the centre, another key is ignored; none scrolls the page.
  for (const key of ['ArrowDown', 'Equal', 'PageDown']) await page.keyboard.press(key);
  ty -= 400 / 8;
  [s, tx, ty] = [s * 1.25, 300 - (300 - tx) * 1.25, 200 - (200 - ty) * 1.25];
  await frames(page, 3);
  const moved = desktop(kStartWord, 140, 85, tree, [s, tx, ty]);
  await compareFrame(moved.frame, 'a drag, a key that pans and one that zooms');
  check(await scrolled() === 100, `keys on the figure scrolled the page to ${await scrolled()}`);
  const [ex, ey] = lastBud(moved.frame, box.width);
  await pointAt(ex, ey);
  const atZoom = desktop(kStartWord, ex, ey, tree, [s, tx, ty]);
  await click(ex, ey);
  check(atZoom.pressed !== kStartWord && await newest() === atZoom.pressed, `press at zoom ${s}: ${await newest()}`);
  await compareFrame(desktop(atZoom.pressed, ex, ey, tree, [s, tx, ty]).frame, 'the press keeps the view');
  // Shift with ] turns a tenth of a degree, the address's angle an exact sum.
  await page.keyboard.down('Shift');
  await page.keyboard.press('BracketRight');
  await page.keyboard.up('Shift');
  await waitFor('a tenth of a degree', () => location.hash.includes('angle=28.74788975654116&'));

  step('the book\'s letters in lines on paper; the angle slider turns the word, the generations slider starts again');
  const book = { grammar: '{F:F+F--F+F;}F--F--F', generations: '2', angle: '60', fit: '1', lines: '1', width: '3',
                 segments: 'F', heading: '15', paper: '1' };
  await waitOutput(() => page.goto(server.url + linkOf(book)));
  await pointAt(1, 1);
  await page.focus('#angle-slider');
  await page.keyboard.press('ArrowRight');
  await frames(page, 3);
  const [bookWord, turned] = [desktopStartWord(book), { ...book, angle: '60.1' }];
  await compareFrame(desktop(bookWord, 1, 1, turned, desktop(bookWord, 1, 1, book).view).frame,
                     'the angle slider a step up', paperShades);
  check(await newest() === bookWord && await page.evaluate(() => location.hash) === linkOf(turned) &&
        (await page.$eval('#command', (c) => c.textContent)).includes(' -a 60.1 '), 'the angle slider\'s link or command');
  await page.focus('#generations-slider');
  await waitOutput(() => page.keyboard.press('ArrowLeft'));
  const fewer = { ...turned, generations: '1' };
  check(await newest() === desktopStartWord(fewer) && await page.evaluate(() => location.hash) === linkOf(fewer),
        `the generations slider: ${await page.evaluate(() => location.hash)}`);

  step('a seed and presses in a link: the word, the address, a reload, an undo and the command line');
  const seeded = { grammar: '{o:a[+ao]-ao;}{o:a[-o]a[+o]o;}ao', stochastic: '7', presses: '42,12' };
  const presses = () => page.evaluate(() => new URLSearchParams(location.hash.slice(1)).get('presses'));
  await waitOutput(() => page.goto(server.url + linkOf(seeded)));
  const seededWord = await newest();
  check(seededWord === desktopStartWord(seeded), `seeded link: ${seededWord}`);
  const entries = await page.evaluate(() => history.length);
  const [qx, qy] = lastBud(desktop(seededWord, -1, -1, seeded).frame, box.width);
  await pointAt(qx, qy);
  await click(qx, qy);
  const pressedWord = await newest();
  const list = await presses();
  check(pressedWord !== seededWord && /^42,12,\d+$/.test(list) &&
        desktopStartWord({ ...seeded, presses: list }) === pressedWord, `the address's presses after a press: ${list}`);
  // The command line, split by a shell, draws the same word on the desktop.
  const line = await page.$eval('#command', (c) => c.textContent);
  const drawn = execFileSync('sh', ['-c', `${line.replace(/^lsystem-viewer /, `${viewer} `)} --svg ${join(work, 'command.svg')}`])
    .toString().replace(/\n$/, '');
  check(line.startsWith('lsystem-viewer ') && drawn === pressedWord, `the command line ${line} draws ${drawn}`);
  await waitOutput(() => page.reload());
  check(await newest() === pressedWord, `a reload of the pressed address: ${await newest()}`);
  await waitOutput(() => page.click('#undo'));
  check(await newest() === seededWord && await presses() === seeded.presses, `undo: ${await presses()}`);
  check(await page.evaluate(() => history.length) === entries, 'presses and undo added history entries');

  step('the book\'s notation: a parametric file, a press, its frames, word, SVG and command line; the gallery; a bad file');
  // A line EOF in a comment: the command line's here-document ends at another delimiter.
  const bookText = '/* a tree\nEOF\n*/\n#define R 0.75\nderivation length: 4\nangle: 30\naxiom: A(40)\n' +
                   'A(s) : s >= 2 -> F(s)[+A(s * R)][-(40)A(s * R)]\n';
  writeFileSync(join(work, 'tree.lsys'), bookText);
  const bookDesktop = { book: join(work, 'tree.lsys'), buds: 'A', fit: '1' };
  await waitOutput(() => page.goto(server.url + linkOf({ book: '1', grammar: bookText, buds: 'A', fit: '1' })));
  const apex = desktop('-', -1, -1, bookDesktop).frame.lastIndexOf(3);  // small buds: a pixel of one
  const [kx, ky] = [apex % box.width, Math.floor(apex / box.width)];
  await pointAt(kx, ky);
  const atApex = desktop('-', kx, ky, bookDesktop);
  await compareFrame(atApex.frame, 'the book\'s tree, pointer on an apex');
  await click(kx, ky);
  await waitFor('the press in the address', () => location.hash.includes('presses='));
  const grownTree = desktop('-', kx, ky, { ...bookDesktop, presses: await presses() }, atApex.view);
  check(atApex.pressed !== desktopStartWord(bookDesktop) && await newest() === atApex.pressed,
        `the book's press: ${await newest()}`);
  await compareFrame(grownTree.frame, 'the book\'s tree after the press');
  rmSync(saved);
  await page.click('#save-svg');
  check(await savedAs(saved, grownTree.svg), 'the book\'s SVG is not what --svg writes');
  const bookLine = await page.$eval('#command', (c) => c.textContent);
  const bookDrawn = execFileSync('sh', ['-c', bookLine.replace(/^lsystem-viewer /, `${viewer} --svg ${join(work, 'command.svg')} `)])
    .toString().replace(/\n$/, '');
  check(bookLine.includes(` <<'EOF1'\n${bookText}EOF1`) && bookDrawn === atApex.pressed, `the book's command line ${bookLine}`);
  // The gallery's pictures, and how many of them are one colour, once none is or after 10 s.
  const [pictures, blank] = await page.evaluate(() => new Promise((resolve) => {
    const all = [...document.querySelectorAll('#examples canvas')];
    const blankCount = () => all.filter((picture) => {
      const pixels = picture.getContext('2d').getImageData(0, 0, picture.width, picture.height).data;
      return pixels.every((value, i) => value === pixels[i % 4]);
    }).length;
    const began = performance.now();
    const poll = () => (blankCount() === 0 || performance.now() - began > 10000
      ? resolve([all.length, blankCount()]) : requestAnimationFrame(poll));
    poll();
  }));
  check(pictures >= 9 && blank === 0, `${blank} of the gallery's ${pictures} pictures are blank`);
  await page.evaluate(() => { location.hash = 'book=1&grammar=axiom%3A%20F%0AF%20-%3E%20F(%0A'; });
  await waitFor('the bad file\'s line', () => /book\.lsys: line 2: /.test(document.getElementById('status').textContent));
  check(await statusText() === 'lsystem-viewer: book.lsys: line 2: an expression is missing', `a bad file: ${await statusText()}`);

  step('a link typed by hand, "?" for "#", its "+" as it is; a word that draws nothing; links past the limits are refused');
  await waitOutput(() => page.goto(`${server.url}?grammar={a:a+a--a+a;}a--a--a&generations=2&angle=60`));
  check(await newest() === desktopWord(['-g', '{a:a+a--a+a;}a--a--a', '-n', '2', '-a', '60']) &&
        await page.evaluate(() => location.search + decodeURIComponent(location.hash)) ===
          '#grammar={a:a+a--a+a;}a--a--a&generations=2&angle=60',
        `a hand-typed link: ${await newest()} at ${await page.evaluate(() => location.href)}`);
  // A refused link stops the figure before: its canvas is cleared and its buttons go.
  await page.evaluate(() => { location.hash = 'fit=2&generations=5'; });
  await waitFor('a refusal', () => /fit is "2"/.test(document.getElementById('status').textContent));
  check(await page.$eval('#save-svg', (b) => b.disabled), 'a refused link leaves the figure before running');
  await compareFrame(new Uint8Array(box.width * box.height), 'a refused link clears the figure');
  // A word that holds a newline is one word: one line of the output, copied whole.
  await waitOutput(() => page.evaluate(() => { location.hash = 'grammar=%7B%7Da%0Ao&generations=0'; }));
  await page.click('#copy');
  await waitFor('the copy', () => /^Copied/.test(document.getElementById('status').textContent));
  check(await newest() === 'a\no' && await page.evaluate(() => navigator.clipboard.readText()) === 'a\no',
        `a word with a newline: ${JSON.stringify(await lines())}`);
  // The same curve written with F, as in most books, draws nothing: the status says why.
  await waitOutput(() => page.evaluate(() => { location.hash = 'grammar={F:F+F--F+F;}F--F--F'; }));
  check(/nothing is drawn: only 'a' \(a segment\) and 'o' \(a bud\)/.test(await statusText()),
        `a word that draws nothing: ${await statusText()}`);
  const asked = Date.now();
  await page.evaluate(() => { location.hash = 'generations=40'; });
  await waitFor('a refusal', () => /33554432/.test(document.getElementById('status').textContent));
  const refusedIn = Date.now() - asked;
  check(refusedIn < 1000, `the refusal of 40 generations took ${refusedIn} ms`);
  await page.$eval('#generations', (f) => { f.value = ''; });
  await waitOutput(() => page.click('#start'));
  check(await newest() === kStartWord, `Start after a refusal: ${await newest()}`);
  await page.evaluate(() => { location.hash = `presses=${'0,'.repeat(100000)}0`; });
  await waitFor('a refusal', () => /more than 100000 presses$/.test(document.getElementById('status').textContent));
  await page.evaluate(() => { location.hash = 'presses=999999'; });
  await waitFor('a refusal', () => /^lsystem-viewer: press 1 of --presses, at index 999999, finds no symbol/
    .test(document.getElementById('status').textContent));

  step('a million symbols: the output stays bounded, the word is copied whole');
  await page.goto(`${server.url}#generations=17`);
  await waitFor('the start word', () => document.getElementById('output').children.length === 1);
  check(/^aa\[\+aa.*\u2026 \(1048570 symbols\)$/.test(await newest()) && (await newest()).length < 10100,
        'a million symbols are not shown cut with their length');
  await page.click('#copy');
  await waitFor('the copy', () => /^Copied/.test(document.getElementById('status').textContent));
  const copied = await page.evaluate(() => navigator.clipboard.readText());
  check(copied.length === 1048570 && copied.startsWith('aa[+aa'), `copied ${copied.length} symbols`);
  await pointAt(595, 395);
  await idle('a million symbols without Explore');
  for (let i = 0; i < 101; ++i) await waitOutput(() => page.mouse.wheel({ deltaY: 100 }));
  const kept = await lines();
  check(kept.length === 100 && kept.every((line) => line.length < 10100),
        `output after 102 words: ${kept.length} lines, longest ${Math.max(...kept.map((l) => l.length))}`);
  step('a growth past the word\'s limit is refused in the status, and the program goes on');
  // The only drawn symbol is the bud at 0, so every press rewrites the whole word from there.
  const huge = { grammar: `{x:${'x'.repeat(60000)};}o${'x'.repeat(40000)}`, generations: '0' };
  await page.goto(server.url + linkOf(huge));
  await waitFor('the start word', () => document.getElementById('output').children.length === 1);
  for (let i = 0; i < 2; ++i) await click(10, 10);
  check(await statusText() === 'lsystem-viewer: the word would be longer than 33554432 symbols; it stays as it was' &&
        (await lines()).length === 3 && (await newest()).length < 10100,
        `a refused growth: ${await statusText()}`);

  step('a phone: the plant fits the screen; a pinch zooms, a drag pans and a tap presses as on the desktop');
  await page.setViewport({ width: 390, height: 844, isMobile: true, hasTouch: true });
  const plant = { grammar: '{X:F+[[X]-X]-F[-FX]+X;F:FF;}X', generations: '6', angle: '25', fit: '1', explore: '1',
                  lines: '1', segments: 'F', buds: 'X', heading: '-25' };
  await waitOutput(() => page.click(`#examples a[href="${linkOf(plant)}"]`));
  await page.evaluate(() => window.scrollTo(0, 0));
  const phone = await canvasBox();
  check(phone.x >= 0 && phone.x + phone.width <= 390 && phone.y + phone.height <= 844, `canvas at ${JSON.stringify(phone)}`);
  const [plantWord, sized] = [desktopStartWord(plant), { ...plant, size: `${phone.width}x${phone.height}` }];
  let [ps, px, py] = desktop(plantWord, -1, -1, sized).view;
  // Fingers at canvas pixels: each list of points is a touch event with those fingers, the last lifts them.
  const touch = async (...events) => {
    const { x: left, y: top } = await canvasBox();
    for (const [i, points] of events.entries()) {
      await cdp.send('Input.dispatchTouchEvent', { type: i === 0 ? 'touchStart' : i < events.length - 1 ? 'touchMove' : 'touchEnd',
        touchPoints: points.map(([x, y], id) => ({ x: Math.ceil(left + x), y: Math.ceil(top + y), id })) });
    }
    await frames(page, 3);
  };
  await compareFrame(desktop(plantWord, -1, -1, sized, [ps, px, py]).frame, 'the plant fitted to a phone');
  if (pageShot) await page.screenshot({ path: join(dirname(pageShot), 'phone-before.png') });
  await touch([[150, 120], [210, 120]], [[150, 120], [240, 120]], []);
  [ps, px, py] = [ps * 1.25, 195 - (195 - px) * 1.25, 120 - (120 - py) * 1.25];
  await compareFrame(desktop(plantWord, -1, -1, sized, [ps, px, py]).frame, 'a pinch');
  if (pageShot) await page.screenshot({ path: join(dirname(pageShot), 'phone-after.png') });
  await touch([[100, 100]], [[140, 85]], []);
  const dragged = desktop(plantWord, -1, -1, sized, [ps, px += 40, py -= 15]);
  await compareFrame(dragged.frame, 'a drag');
  const [tapX, tapY] = lastBud(dragged.frame, phone.width);
  const tapped = desktop(plantWord, tapX, tapY, sized, [ps, px, py]).pressed;
  await waitOutput(() => touch([[tapX, tapY]], []));
  check(tapped !== plantWord, 'the desktop finds nothing to press at the tap');
  await compareFrame(desktop(tapped, -1, -1, sized, [ps, px, py]).frame, 'a tap');
  check(!/--size/.test(await page.$eval('#command', (c) => c.textContent)), 'the command line holds the phone\'s size');
  await idle('the plant on a phone, with Explore');
  check(errors.length === 0, `errors on the page: ${errors.join(' | ')}`);
} catch (error) {
  failures += 1;
  console.error(`FAIL: ${error.stack || error}`);
} finally {
  await cleanUp();
}
console.log(failures === 0 ? 'web test: passed' : `web test: ${failures} failure(s)`);
process.exit(failures === 0 ? 0 : 1);

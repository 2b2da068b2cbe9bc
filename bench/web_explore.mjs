// The page's frame rate with Fit and Explore on the built-in grammar (17 generations, 1,048,570
// symbols, unless --generations says otherwise) in headless Chromium: the frames drawn while the
// pointer moves over the figure once per animation frame (with --pan, while it drags the figure
// with the right button held, which changes the view every frame; with --angle, while the angle
// slider moves half a degree each animation frame), then while nothing happens. --lines draws the
// figure in the line style. Builds the site (web preset) first.
//   node bench/web_explore.mjs [SECONDS] [--generations=N] [--lines] [--pan | --angle]
//   (needs tests/web's Node packages)
import { execFileSync } from 'node:child_process';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { launch, serve } from '../tests/web/browser.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const options = process.argv.slice(2);
const seconds = Number(options.find((o) => !o.startsWith('--')) ?? 5);
const lines = options.includes('--lines');
const angle = options.includes('--angle');
const pan = options.includes('--pan');
const generations = Number((options.find((o) => o.startsWith('--generations=')) ?? '=17').split('=')[1]);
const build = (...args) => execFileSync('cmake', args, { cwd: root, stdio: ['ignore', 'ignore', 'inherit'] });
build('--preset', 'web');
build('--build', '--preset', 'web', '--target', 'lsystem-viewer');

// In the page: for ms milliseconds, counts the animation frames and the frames drawn, each one
// putImageData of the program's screen onto the canvas, with the time of each animation frame
// callback that drew (the program's pass: its events, walk, raster and putImageData), and, when
// move is set, moves the pointer over the canvas once per animation frame, along a circle about
// its centre.
function measure(ms, move, angle, pan) {
  const canvas = document.getElementById('canvas');
  const slider = document.getElementById('angle-slider');
  const drawn = [];
  const passes = [];
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    drawn.push(performance.now());
    return put.apply(this, args);
  };
  // The program asks for its next frame through the global requestAnimationFrame.
  const raf = window.requestAnimationFrame;
  window.requestAnimationFrame = (callback) => raf((now) => {
    const [start, before] = [performance.now(), drawn.length];
    callback(now);
    if (drawn.length > before) passes.push([start, performance.now() - start]);
  });
  return new Promise((resolve) => {
    let frames = 0;
    let began = null;
    const tick = (now) => {
      if (began === null) began = now;
      if (now - began >= ms) {
        CanvasRenderingContext2D.prototype.putImageData = put;
        window.requestAnimationFrame = raf;
        const inside = drawn.map((t) => t >= began);
        resolve({ frames, elapsed: now - began, drawn: drawn.filter((t, i) => inside[i]),
                  passes: passes.filter(([start]) => start >= began).map(([, time]) => time) });
        return;
      }
      frames += 1;
      if (move && angle) {
        slider.value = Number(slider.value) >= 180 ? -180 : Number(slider.value) + 0.5;
        slider.dispatchEvent(new Event('input', { bubbles: true }));
      } else if (move) {
        const box = canvas.getBoundingClientRect();
        const turn = frames * 0.05;
        const at = {
          bubbles: true,
          button: 2,
          buttons: pan ? 2 : 0,
          clientX: box.left + box.width / 2 + Math.cos(turn) * box.width * (pan ? 0.1 : 0.4),
          clientY: box.top + box.height / 2 + Math.sin(turn) * box.height * (pan ? 0.1 : 0.4),
        };
        if (pan && frames === 1) canvas.dispatchEvent(new MouseEvent('mousedown', at));
        canvas.dispatchEvent(new MouseEvent('mousemove', at));
      }
      raf(tick);
    };
    raf(tick);
  });
}

const server = await serve(join(root, 'build-web', 'site'));
const chromium = await launch();
try {
  const page = await chromium.browser.newPage();
  page.setDefaultTimeout(60000);
  await page.setViewport({ width: 1280, height: 800 });
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(`${server.url}#generations=${generations}&fit=1&explore=1${lines ? '&lines=1' : ''}`);
  await page.waitForFunction(() => document.getElementById('output').children.length > 0,
                             { timeout: 300000 });
  const title = await page.title();
  await page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 1000)));  // settles
  const moving = await page.evaluate(measure, seconds * 1000, true, angle, pan);
  const idle = await page.evaluate(measure, seconds * 1000, false, false, false);
  if (errors.length > 0) throw new Error(`errors on the page: ${errors.join(' | ')}`);

  const rate = (count, ms) => (count * 1000 / ms).toFixed(1);
  const sorted = (times) => times.slice().sort((a, b) => a - b);
  const at = (times, q) => (times.length ? times[Math.min(times.length - 1, Math.floor(q * times.length))].toFixed(1) : '-');
  const gaps = sorted(moving.drawn.slice(1).map((t, i) => t - moving.drawn[i]));
  const passes = sorted(moving.passes);
  console.log(`web explore bench: ${await chromium.browser.version()}, "${title}", ${seconds} s each`);
  console.log(`${angle ? 'angle slider' : pan ? 'drag' : 'pointer'} moving: ${moving.drawn.length} frames drawn in ${moving.elapsed.toFixed(0)} ms, ` +
              `${rate(moving.drawn.length, moving.elapsed)} per second ` +
              `(${rate(moving.frames, moving.elapsed)} animation frames per second); ` +
              `between drawn frames median ${at(gaps, 0.5)} ms, 95th percentile ${at(gaps, 0.95)} ms, ` +
              `longest ${at(gaps, 1)} ms; the pass of a drawn frame median ${at(passes, 0.5)} ms, ` +
              `longest ${at(passes, 1)} ms`);
  console.log(`idle: ${idle.drawn.length} frames drawn in ${idle.elapsed.toFixed(0)} ms, ` +
              `${rate(idle.drawn.length, idle.elapsed)} per second ` +
              `(${rate(idle.frames, idle.elapsed)} animation frames per second)`);
  const fps = moving.drawn.length * 1000 / moving.elapsed;
  const target = angle ? 20 : 30;
  console.log(`target of ${target} frames per second while moving: ${fps >= target ? 'met' : 'NOT met'}`);
} finally {
  await chromium.close();
  await server.close();
}

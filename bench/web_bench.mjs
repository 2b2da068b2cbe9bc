// The page's pass and the walk in headless Chromium beside the native benchmark of the same cases,
// timed in one run: builds lsystem_web_bench (web preset) and lsystem_bench (ci preset), runs
// both and prints one table, the walk's checksums and the site's size.
//   node bench/web_bench.mjs        (needs tests/web's Node packages: bash tools/setup.sh test)
import { execFileSync } from 'node:child_process';
import { readdirSync, statSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { launch, serve } from '../tests/web/browser.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const build = (...args) => execFileSync('cmake', args, { cwd: root, stdio: ['ignore', 'ignore', 'inherit'] });
build('--preset', 'web');
build('--build', '--preset', 'web');
build('--preset', 'ci');
build('--build', '--preset', 'ci', '--target', 'lsystem_bench');

const cases = ['pass/58', 'walk/58', 'pass/1048570', 'fitted/1048570', 'walk/1048570'];

// Native: Google Benchmark's median of 7 repetitions, as runs per second, and the walks' sums.
function nativeRates() {
  const out = execFileSync(join(root, 'build-ci', 'bench', 'lsystem_bench'), [
    `--benchmark_filter=^(${cases.join('|')})$`, '--benchmark_repetitions=7',
    '--benchmark_report_aggregates_only=true', '--benchmark_format=json',
  ], { env: { ...process.env, SDL_VIDEODRIVER: 'dummy', SDL_AUDIODRIVER: 'dummy' }, encoding: 'utf8' });
  const perSecond = { ns: 1e9, us: 1e6, ms: 1e3, s: 1 };
  const rates = {};
  const checksums = {};
  for (const b of JSON.parse(out).benchmarks) {
    if (b.aggregate_name !== 'median') continue;
    rates[b.run_name] = perSecond[b.time_unit] / b.real_time;
    if (b.checksum !== undefined) checksums[b.run_name] = b.checksum;
  }
  return { rates, checksums };
}

// The page: the median of 7 rounds of at least 1 s per case, as lsystem_web_bench prints them.
async function pageRates() {
  const server = await serve(join(root, 'build-web', 'bench-site'));
  const chromium = await launch();
  try {
    const page = await chromium.browser.newPage();
    const rates = {};
    const checksums = {};
    const done = new Promise((resolve, reject) => {
      page.on('pageerror', reject);
      page.on('console', (message) => {
        const text = message.text();
        let m;
        if ((m = /^(\w+\/\d+): ([\d.]+) per second/.exec(text))) rates[m[1]] = Number(m[2]);
        if ((m = /^(\w+\/\d+): sum of positions and symbols (-?\d+)/.exec(text))) checksums[m[1]] = Number(m[2]);
        if (text === 'web bench: done') resolve();
      });
    });
    await page.goto(server.url, { timeout: 0 });
    await done;
    return { rates, checksums, version: await chromium.browser.version() };
  } finally {
    await chromium.close();
    await server.close();
  }
}

// The native side runs before and after the page, and the faster of the two counts, so that a
// slow spell of this shared machine during one native run does not flatter the page's ratio.
const nativeBefore = nativeRates();
const web = await pageRates();
const nativeAfter = nativeRates();
const native = { rates: {}, checksums: nativeBefore.checksums };
for (const name of cases) {
  native.rates[name] = Math.max(nativeBefore.rates[name], nativeAfter.rates[name]);
  if (nativeAfter.checksums[name] !== nativeBefore.checksums[name]) native.checksums[name] = NaN;
}
const cell = (text, width) => String(text).padStart(width);
const fixed = (rate) => (rate === undefined ? '-' : rate >= 100 ? rate.toFixed(0) : rate.toFixed(1));
console.log(`web bench: ${web.version} against native lsystem_bench (ci build), runs per second, medians of 7` +
            ' (native: the faster of a run before and a run after the page)');
console.log(`${'case'.padEnd(14)}${cell('page', 12)}${cell('native', 12)}${cell('page/native', 13)}`);
for (const name of cases) {
  const page = web.rates[name];
  const nat = native.rates[name];
  const ratio = page && nat ? (page / nat).toFixed(2) : '-';
  console.log(`${name.padEnd(14)}${cell(fixed(page), 12)}${cell(fixed(nat), 12)}${cell(ratio, 13)}`);
}
let checksumsEqual = true;
for (const name of cases.filter((c) => c.startsWith('walk/'))) {
  const equal = web.checksums[name] === native.checksums[name];
  checksumsEqual &&= equal;
  console.log(`${name} checksum: page ${web.checksums[name]}, native ${native.checksums[name]}` +
              (equal ? ', equal' : ', DIFFERENT'));
}
const site = join(root, 'build-web', 'site');
const files = readdirSync(site).map((name) => [name, statSync(join(site, name)).size]);
console.log(`site: ${files.reduce((sum, [, size]) => sum + size, 0)} bytes in build-web/site (` +
            `${files.map(([name, size]) => `${name} ${size}`).join(', ')})`);
process.exitCode = checksumsEqual ? 0 : 1;

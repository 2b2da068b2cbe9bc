// Builds lsystem_web_bench with the web preset and runs it in headless Chromium; prints its report.
//   node bench/web_bench.mjs        (needs tests/web's Node packages: bash tools/setup.sh test)
import { execFileSync } from 'node:child_process';
import { statSync, readdirSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { launch, serve } from '../tests/web/browser.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const build = (...args) => execFileSync('cmake', args, { cwd: root, stdio: ['ignore', 'ignore', 'inherit'] });
build('--preset', 'web');
build('--build', '--preset', 'web');
build('--build', '--preset', 'web', '--target', 'lsystem_web_bench');

const server = await serve(join(root, 'build-web', 'bench-site'));
const chromium = await launch();
try {
  const page = await chromium.browser.newPage();
  const done = new Promise((resolve, reject) => {
    page.on('pageerror', reject);
    page.on('console', (message) => {
      console.log(message.text());
      if (message.text() === 'web bench: done') resolve();
    });
  });
  console.log(`web bench: ${await chromium.browser.version()}, figures per second, each the median of 7 rounds of at least 1 s`);
  await page.goto(server.url, { timeout: 0 });
  await done;
  const site = join(root, 'build-web', 'site');
  const files = readdirSync(site).map((name) => [name, statSync(join(site, name)).size]);
  console.log(`site: ${files.reduce((sum, [, size]) => sum + size, 0)} bytes in build-web/site (` +
              `${files.map(([name, size]) => `${name} ${size}`).join(', ')})`);
} finally {
  await chromium.close();
  await server.close();
}

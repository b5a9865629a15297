// The class page's speed and memory in Debian's headless Chromium, and the
// terminal's varnel-class on the same files (./dev bench runs it):
//
//   a class      40 pupils, one file each (21 rows: every problem of both programs)
//   a school year  1,000 files of 100 rows (200 pupils, five files each): 100,000 rows
//
// For each: from the files chosen in the page's file picker to the class drawn
// (read, summed and laid out, as the page times it: median of RUNS), the
// page's memory once drawn (the JavaScript heap and the program's memory), and
// varnel-class on the folder (median of RUNS, wall clock).
//
//   node bench/class_bench.mjs [--runs N]
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const requireWeb = createRequire(path.join(here, '..', 'tests', 'web', 'package.json'));
const { chromium } = requireWeb('playwright-core');
const { classFiles, topics } = await import(pathToFileURL(path.join(here, '..', 'tests', 'web', 'class-files.mjs')).href);
const webDir = path.resolve(process.env.VARNEL_WEB_DIR || path.join(here, '..', 'build-web'));
const buildDir = path.resolve(process.env.VARNEL_BUILD_DIR || path.join(here, '..', 'build'));
const runsAt = process.argv.indexOf('--runs');
const RUNS = runsAt > 0 ? Number(process.argv[runsAt + 1]) : 5;

const median = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
const topicsOf = topics(path.join(buildDir, 'varnel-play'));
const cases = [
  { name: 'a class: 40 files, 840 rows', goal: 1000, files: classFiles(topicsOf, { pupils: 40, rows: 21 }) },
  { name: 'a school year: 1,000 files, 100,000 rows', goal: 2000,
    files: classFiles(topicsOf, { pupils: 200, perClass: 40, files: 5, rows: 100 }) },
];

const browser = await chromium.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
                                        args: ['--no-sandbox', '--enable-precise-memory-info'] });
let failed = false;
for (const c of cases) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'varnel-class-bench-'));
  const paths = Object.entries(c.files).map(([name, bytes]) => {
    fs.writeFileSync(path.join(dir, name), bytes);
    return path.join(dir, name);
  });
  const megabytes = Object.values(c.files).reduce((n, b) => n + b.length, 0) / 1e6;
  const drawn = [], read = [];
  let memory = null;
  for (let run = 0; run < RUNS; ++run) {
    const page = await browser.newPage({ viewport: { width: 1366, height: 768 } });
    await page.goto(pathToFileURL(path.join(webDir, 'class.html')).href);
    await page.waitForFunction(() => window.classPage?.loaded);
    await page.setInputFiles('#pick-files', paths);
    await page.waitForFunction(() => window.classPage.timings.length > 0, null, { timeout: 60000 });
    const t = await page.evaluate(() => window.classPage.timings[0]);
    drawn.push(t.drawn);
    read.push(t.read);
    memory = await page.evaluate(() => ({ heap: performance.memory?.usedJSHeapSize ?? 0, program: window.classPage.memory() }));
    await page.close();
  }
  const terminal = [];
  for (let run = 0; run < RUNS; ++run) {
    const from = performance.now();
    const r = spawnSync(path.join(buildDir, 'varnel-class'), ['--from', '2000-01-01', dir], { stdio: 'ignore' });
    terminal.push(performance.now() - from);
    if (r.status !== 0) throw new Error('varnel-class failed');
  }
  fs.rmSync(dir, { recursive: true });
  const shown = median(drawn);
  const over = shown > c.goal;
  failed ||= over;
  console.log(`class page, ${c.name} (${megabytes.toFixed(1)} MB): drawn ${shown.toFixed(0)} ms after the files were ` +
              `chosen (read and summed ${median(read).toFixed(0)} ms; goal under ${c.goal} ms${over ? ': OVER' : ''}); ` +
              `memory ${(memory.heap / 1048576).toFixed(1)} MB of JavaScript heap and ${(memory.program / 1048576).toFixed(1)} ` +
              `MB of the program's; varnel-class ${median(terminal).toFixed(0)} ms`);
}
await browser.close();
process.exit(failed ? 1 : 0);

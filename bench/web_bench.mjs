// The browser pages' start-up and slowest key, in Debian's headless Chromium
// (./dev bench runs it):
//
//   weight       the bytes of each page: served, the page and its program
//                beside it; from disk, the single file
//   first frame  from navigation to the first frame that carries drawing (the
//                main menu), the single files opened from disk at 1366 x 768, with the
//                processor unthrottled and slowed 4 and 6 times (DevTools'
//                Emulation.setCPUThrottlingRate, as a low-end Chromebook);
//                median of LOADS loads, the pages and rates taking turns; an
//                empty page that draws on one canvas at once takes its turn
//                too, as the floor: how quick the browser itself is in the run;
//                two builds of a program are also compared turn by turn; at
//                the highest rate, each page's time as a multiple of the floor's
//   slowest key  at 6 times slower: from each key event of a short practice
//                (the menu's choice, the Enter that starts problem 1, the
//                key pause, a wrong and a right answer) to the next frame the
//                drill hands the canvas; the median over three walks of each
//                walk's slowest key
//
//   node bench/web_bench.mjs [--loads N] [--rates 1,4,6] [--key-rate 6] [--walks 3]
//                            [--json FILE] [PAGE.html ...]
//
// The pages are build-web/varnel1-single.html and varnel2-single.html ($VARNEL_WEB_DIR) unless
// others are named (to compare two builds); an http(s) URL is loaded as it is.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
// playwright-core as pinned for the end-to-end tests.
const { chromium } = createRequire(path.join(here, '..', 'tests', 'web', 'package.json'))('playwright-core');

const args = process.argv.slice(2);
const option = (name, fallback) => {
  const i = args.indexOf(name);
  if (i < 0) return fallback;
  const [, value] = args.splice(i, 2);
  return value;
};
const loads = Number(option('--loads', '5'));
const rates = option('--rates', '1,4,6').split(',').map(Number);
const keyRate = Number(option('--key-rate', '6'));
const walks = Number(option('--walks', '3'));
const jsonOut = option('--json', null);
const webDir = path.resolve(process.env.VARNEL_WEB_DIR || path.join(here, '..', 'build-web'));
const pages = (args.length ? args : ['varnel1-single.html', 'varnel2-single.html'].map((f) => path.join(webDir, f)))
  .map((p) => (/^https?:/.test(p) ? { name: p, url: p } : { name: path.basename(p), file: path.resolve(p),
                                                            url: pathToFileURL(path.resolve(p)).href }));
// Pages of the same name from two builds are told apart by their paths.
const named = (name) => pages.filter((p) => p.name === name).length;
for (const page of pages.filter((p) => p.file && named(p.name) > 1)) page.name = path.relative('.', page.file);
const bankOf = (page) => (/varnel2/.test(page.name) ? 2 : 1);

// The floor: a page with one canvas, drawn on as soon as it is parsed.
const floorFile = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'varnel-bench-')), 'floor.html');
fs.writeFileSync(floorFile, `<!doctype html><meta charset="utf-8"><body style="margin:0;background:#000">
<canvas id="c" width="1229" height="768"></canvas><script>
var varnel = { frames: [] };
document.getElementById('c').getContext('2d').fillRect(0, 0, 100, 100);
varnel.frames.push({ t: performance.now(), ops: 1 });
</script>`);
const floor = { name: 'the floor (an empty page)', url: pathToFileURL(floorFile).href };

const median = (xs) => {
  const s = [...xs].sort((a, b) => a - b);
  return s.length % 2 ? s[(s.length - 1) / 2] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2;
};
const ms = (x) => `${Math.round(x)} ms`;

const browser = await chromium.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
                                        args: ['--no-sandbox'] });

// A fresh page (no cache, no compiled code kept) at the given slow-down.
async function openPage(page, rate) {
  const context = await browser.newContext({ viewport: { width: 1366, height: 768 } });
  const tab = await context.newPage();
  const cdp = await context.newCDPSession(tab);
  await cdp.send('Emulation.setCPUThrottlingRate', { rate });
  // Every key event's time, taken before the page's own listeners see it.
  await tab.addInitScript(() => {
    window.__keyTimes = [];
    window.addEventListener('keydown', (e) => window.__keyTimes.push(e.timeStamp), true);
  });
  // The wait for the first frame asks the page itself, over the DevTools
  // protocol, every 50 ms: a harness that injects its own scripts or polls
  // often would take the slowed processor from the page it measures.
  await tab.goto(page.url, { waitUntil: 'commit' });
  await cdp.send('Runtime.evaluate', { awaitPromise: true, expression: `new Promise((done) => {
    const look = () => (typeof varnel !== 'undefined' && varnel.frames.some((f) => f.ops > 0) ? done()
                                                                                               : setTimeout(look, 50));
    look();
  })` });
  return { context, tab, cdp };
}

async function firstFrame(page, rate) {
  const { context, tab, cdp } = await openPage(page, rate);
  const { result } = await cdp.send('Runtime.evaluate', { expression: 'varnel.frames.find((f) => f.ops > 0).t' });
  const t = result.value;
  await context.close();
  return t;
}

// Waits until the drill sleeps for a key with no new frame for 150 ms.
async function settled(tab) {
  await tab.waitForFunction(() => new Promise((resolve) => {
    const n = varnel.frameCount;
    setTimeout(() => resolve(Module.varnelWake !== null && Module.varnelKeys.length === 0 &&
                             varnel.frameCount === n), 150);
  }), null, { timeout: 60000 });
}

// One walk through the start of a practice; each key's time to the next frame.
async function keyWalk(page, rate) {
  const { context, tab } = await openPage(page, rate);
  await tab.evaluate(() => {
    // Who practises, given today: the practice starts without asking.
    const d = new Date(), today = [d.getFullYear(), d.getMonth() + 1, d.getDate()]
      .map((n) => String(n).padStart(2, '0')).join('-');
    localStorage.setItem('varnel.pupil', JSON.stringify({ class: '', number: '', name: '', asked: today }));
    window.__puts = [];
    const put = Module.varnelPut;
    Module.varnelPut = (...a) => { window.__puts.push(performance.now()); return put(...a); };
  });
  const state = () => tab.evaluate(() => varnel.state());
  const until = async (predicate) => {
    for (const deadline = Date.now() + 60000; !predicate(await state());) {
      if (Date.now() > deadline) throw new Error(`${page.name}: the drill did not get there`);
      await tab.waitForTimeout(50);
    }
  };
  const times = [];
  const press = async (name) => {
    await settled(tab);
    await tab.keyboard.press(name);
    const t = await tab.waitForFunction(() => {
      const k = window.__keyTimes[window.__keyTimes.length - 1];
      const put = window.__puts.find((p) => p > k);
      return put === undefined ? null : put - k;
    }, null, { timeout: 60000, polling: 20 });
    times.push({ key: name, ms: await t.jsonValue() });
  };
  await settled(tab);
  for (const k of ['1', '1', 'Enter']) await press(k);   // practice, from problem 1
  if (bankOf(page) === 1) {
    await until((s) => s.problem_no === 1 && s.practice_runs === 1);
    await press('x');                                    // the key pause
    await until((s) => s.expected_all === '1');
    for (const k of ['0', 'Enter', 'Space', '1', 'Enter']) await press(k);
  } else {
    await until((s) => s.problem_no === 1 && s.blank_count === 2 && s.expected[1][1] !== '');
    const s = await state();
    for (const answer of [s.expected[1][1], s.expected[2][1]]) {
      for (const ch of answer) await press(ch);
      await press('Enter');
    }
  }
  await context.close();
  return times;
}

const result = { weight: {}, first_frame_ms: {}, slowest_key_ms: {} };
for (const page of pages) {
  if (!page.file) continue;
  const dir = path.dirname(page.file), served = path.basename(page.file).replace(/-single\.html$/, '');
  for (const file of [page.file, path.join(dir, `${served}.html`), path.join(dir, `${served}.wasm`)])
    if (fs.existsSync(file)) result.weight[path.relative(webDir, file)] = fs.statSync(file).size;
}
for (const [name, bytes] of Object.entries(result.weight)) console.log(`${name}: ${bytes.toLocaleString('en')} bytes`);

for (const rate of rates) {
  const loaded = [floor, ...pages];
  const times = Object.fromEntries(loaded.map((p) => [p.name, []]));
  for (let i = 0; i < loads; ++i) {
    // Every other turn runs backwards, so that no page always follows the same one.
    for (const page of i % 2 ? [...loaded].reverse() : loaded) times[page.name].push(await firstFrame(page, rate));
  }
  for (const page of loaded) {
    const m = median(times[page.name]);
    (result.first_frame_ms[page.name] ??= {})[`${rate}x`] = Math.round(m);
    console.log(`first menu frame, ${page.name}, CPU ${rate}x slower: ${ms(m)} ` +
                `(${times[page.name].map(Math.round).join(', ')})`);
    // A second build of a program is also set against the first turn by turn:
    // the median of the differences, which the machine's drift sways far less.
    if (page !== floor && rate === Math.max(...rates)) {
      const ratio = m / median(times[floor.name]);
      (result.to_floor ??= {})[page.name] = Math.round(ratio * 100) / 100;
      console.log(`  ${ratio.toFixed(2)} times the floor's`);
    }
    const first = page === floor ? page : pages.find((p) => bankOf(p) === bankOf(page));
    if (page === first) continue;
    const d = times[page.name].map((t, i) => t - times[first.name][i]);
    const dm = median(d);
    console.log(`  against ${first.name} in the same turns: ${dm > 0 ? '+' : ''}${ms(dm)}, ` +
                `quicker in ${d.filter((x) => x < 0).length} of ${d.length}`);
  }
}

for (const page of walks > 0 ? pages : []) {
  const slowest = [];
  for (let i = 0; i < walks; ++i) {
    const times = await keyWalk(page, keyRate);
    slowest.push(times.reduce((a, b) => (b.ms > a.ms ? b : a)));
  }
  const m = median(slowest.map((k) => k.ms));
  result.slowest_key_ms[page.name] = { [`${keyRate}x`]: Math.round(m), keys: slowest.map((k) => k.key) };
  console.log(`slowest key, ${page.name}, CPU ${keyRate}x slower: ${ms(m)} ` +
              `(${slowest.map((k) => `${k.key} ${Math.round(k.ms)}`).join(', ')})`);
}

await browser.close();
fs.rmSync(path.dirname(floorFile), { recursive: true });
if (jsonOut) fs.writeFileSync(jsonOut, JSON.stringify(result, null, 2) + '\n');

// The class page end to end in Chromium, Firefox and WebKit ($VARNEL_ENGINES):
// a class's record files, made by the player for several pupils (one saved
// again as Excel saves it, one handed in twice, one damaged, one whose name is
// markup and a formula), dropped on the page from disk. The grid shows each
// pupil's first attempts, the duplicate counts once, the damaged file is named,
// nothing of a file runs as markup, a cell opens its rows, and the class table
// is saved as CSV. In Chromium the real file picker too, and axe-core.
//
//   VARNEL_WEB_DIR=build-web VARNEL_BUILD_DIR=build node --test tests/web/class.test.mjs
import { describe, test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';
import { classFiles as wholeClass, topics } from './class-files.mjs';
import { launch, selectedEngines } from './engines.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const buildDir = path.resolve(process.env.VARNEL_BUILD_DIR || path.join(here, '..', '..', 'build'));
const play = path.join(buildDir, 'varnel-play');
const HOSTILE = '=HYPERLINK("http://x")<img src=x onerror="window.ran=1">';

// A pupil's practice of varnel1 from problem 2, each problem's attempts as its
// plan says (R right, W "0" in every blank, S every blank with the other sign),
// kept by the player in the record file `file`.
function practise(file, who, plans) {
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'varnel-class-'));
  const state = (keys) => {
    const out = path.join(scratch, 'state.json');
    const run = spawnSync(play, ['--bank', '1', '--time', '09:30:00', '--keys', keys, '--state', out]);
    assert.equal(run.status, 0, String(run.stderr));
    return JSON.parse(fs.readFileSync(out, 'utf8'));
  };
  const flip = (a) => (a.startsWith('-') ? a.slice(1) : '-' + a.replace(/^\+/, ''));
  let keys = '12{Enter}';
  for (const plan of plans) {
    for (const how of plan) {
      const s = state(keys);
      const answers = s.expected.slice(1, s.blank_count + 1).map((e) => (how === 'W' ? '0' : how === 'S' ? flip(e[1]) : e[1]));
      keys += answers.map((a) => a + '{Enter}').join('');
      if (state(keys).problem_done[s.problem_no] !== 1) keys += '{Space}';
    }
    keys += '2';
  }
  const run = spawnSync(play, ['--bank', '1', '--time', '09:30:00', '--keys', keys, '--record', file], {
    env: { ...process.env, VARNEL_CLASS: who[0], VARNEL_NUMBER: who[1], VARNEL_NAME: who[2] },
  });
  assert.equal(run.status, 0, String(run.stderr));
  fs.rmSync(scratch, { recursive: true });
  return fs.readFileSync(file);
}

// The class's files, by the name each is handed in under.
function classFiles() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'varnel-class-files-'));
  const aoi = practise(path.join(dir, 'a.csv'), ['2', '1', 'あおい'], ['R', 'SR']);
  const sora = practise(path.join(dir, 's.csv'), ['2', '5', 'そら'], ['R']);
  const ken = practise(path.join(dir, 'k.csv'), ['2', '12', HOSTILE], ['WWW']);
  const mai = practise(path.join(dir, 'm.csv'), ['1', '3', 'まい'], ['SR']);
  // Excel's CSV: CP932, no byte-order mark.
  const excel = spawnSync('python3', ['-c', 'import sys; sys.stdout.buffer.write(sys.stdin.buffer.read()[3:].decode("utf-8").encode("cp932", "replace"))'],
                          { input: mai });
  assert.equal(excel.status, 0);
  fs.rmSync(dir, { recursive: true });
  return {
    'aoi.csv': aoi, 'sora.csv': sora, 'sora のコピー.csv': sora, 'ken.csv': ken, 'mai-excel.csv': excel.stdout,
    'broken.csv': aoi.subarray(0, aoi.length - 25),
  };
}

// Drops the files on the page, as a teacher drags them from a folder.
async function dropFiles(page, files) {
  await page.evaluate((files) => {
    const dt = new DataTransfer();
    for (const [name, b64] of files) dt.items.add(new File([Uint8Array.from(atob(b64), (c) => c.charCodeAt(0))], name));
    document.dispatchEvent(new DragEvent('drop', { dataTransfer: dt, bubbles: true, cancelable: true }));
  }, Object.entries(files).map(([name, bytes]) => [name, Buffer.from(bytes).toString('base64')]));
  await page.waitFor(() => window.classPage.timings.length > 0, 'the class drawn');
}

// A screenshot as $VARNEL_WEB_DIR/e2e/<engine>-<name>.png, once the browser has painted.
async function shot(page, name) {
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  const dir = path.resolve(process.env.VARNEL_WEB_DIR || path.join(here, '..', '..', 'build-web'), 'e2e');
  fs.mkdirSync(dir, { recursive: true });
  await page.shoot(path.join(dir, `${page.engine}-${name}.png`));
}

// The grid's lines as they show (without what only a screen reader hears).
const gridOf = (page) => page.evaluate(() => [...document.querySelectorAll('#grid tbody tr')].map((tr) =>
  [...tr.cells].map((c) => {
    const shown = c.cloneNode(true);
    shown.querySelectorAll('.unseen').forEach((u) => u.remove());
    return shown.textContent;
  })));

let files, class35;
before(() => {
  files = classFiles();
  class35 = wholeClass(topics(play), { pupils: 35 });
});

for (const name of selectedEngines()) {
  describe(name, () => {
    let engine;
    before(async () => { engine = await launch(name); });
    after(async () => { await engine?.close(); });

    test('a class dropped on the page: first attempts, the duplicate once, the damaged file named, markup shown as text',
         { timeout: 120000 }, async () => {
      const page = await engine.openFile('class.html', { width: 1366, height: 768 });
      try {
        await page.waitFor(() => window.classPage?.loaded, 'the page\'s program');
        await page.evaluate(() => { window.alert = () => { window.ran = 1; }; });
        await dropFiles(page, files);
        // Columns 1-2 to 1-4: ○, × ("符": a sign error), 中断 (the player ended at the next
        // problem) or — not worked; by 組 and 番号.
        assert.deepEqual(await gridOf(page), [
          ['1組 3番 まい', '×符', '中断', '—'],
          ['2組 1番 あおい', '○', '×符', '中断'],
          ['2組 5番 そら', '○', '中断', '—'],
          [`2組 12番 ${HOSTILE}`, '×', '中断', '—'],
        ]);
        assert.equal(await page.evaluate(() => document.querySelectorAll('img').length + (window.ran ?? 0)), 0,
                     'nothing of a file ran as markup');
        const status = await page.evaluate(() => document.getElementById('status').textContent);
        assert.match(status, /broken\.csv（壊れた行が 1 行あります/);
        const saidTwice = await page.evaluate(() => [...document.querySelectorAll('#files tbody tr')]
          .find((tr) => tr.cells[0].textContent === 'sora のコピー.csv').cells[2].textContent);
        assert.equal(saidTwice, "読めました（2 行はほかのファイルと同じため1回だけ数えます）");
        // A cell opens that pupil's rows for that problem.
        await page.evaluate(() => document.querySelector('#grid tbody tr:nth-child(2) td:nth-child(3) button').click());
        const rows = await page.evaluate(() => [...document.querySelectorAll('#cell tbody tr')].map((tr) =>
          [...tr.cells].map((c) => c.textContent)));
        assert.deepEqual(rows.map((r) => [r[1], r[2], r[7], r[8]]), [['×', '正解', '✓', 'aoi.csv']]);
        // The class table as CSV: the record's form, the hostile name kept text.
        await page.evaluate(() => {
          URL.createObjectURL = (blob) => { window.savedBlob = blob; return 'blob:saved'; };
          HTMLAnchorElement.prototype.click = function () { window.savedName = this.download; };
        });
        await page.tap('CSV で保存');
        const saved = await page.evaluate(async () => ({ name: window.savedName, text: await window.savedBlob.text(),
                                                         bom: [...new Uint8Array(await window.savedBlob.arrayBuffer()).slice(0, 3)] }));
        assert.deepEqual(saved.bom, [0xef, 0xbb, 0xbf]);
        assert.match(saved.name, /^クラスの記録-\d{4}-\d\d-\d\d\.csv$/);
        const lines = saved.text.split('\r\n');
        assert.equal(lines[0], '組,番号,名前,varnel1 2,varnel1 3,varnel1 4,解いた問題,1回目○,符号の誤り,中断,秒');
        assert.ok(lines[4].startsWith('2,12,"\u2060=HYPERLINK(""http://x"")<img'), lines[4]);
        // A period set the wrong way round: its end follows its start.
        const period = await page.evaluate(() => {
          const from = document.getElementById('from');
          from.value = '2099-01-02';
          from.dispatchEvent(new Event('change'));
          return [document.getElementById('to').value, document.getElementById('grid-caption').textContent];
        });
        assert.deepEqual(period, ['2099-01-02', '0 人、2099-01-02']);
        await shot(page, 'class-1366');
        assert.deepEqual(await page.errors(), []);
      } finally {
        await page.close();
      }
    });

    test('a class of 35 by keyboard at 1366 x 768 and on an iPad; huge and hostile files named, the page never held',
         { timeout: 120000 }, async () => {
      for (const [size, viewport] of [['1366', { width: 1366, height: 768 }],
                                      ['ipad-portrait', { width: 820, height: 1180, dpr: 2, touch: engine.emulates.touch }]]) {
        const page = await engine.openFile('class.html', viewport);
        try {
          await page.waitFor(() => window.classPage?.loaded, 'the page\'s program');
          await dropFiles(page, class35);
          assert.equal((await gridOf(page)).length, 35);
          // The file picker Tab comes to shows its focus on its own button.
          await page.evaluate(() => document.getElementById('pick-files').focus());
          await page.press('Tab');
          await page.waitFor(() => [...document.querySelectorAll('label.button')]
            .map((l) => getComputedStyle(l).outlineStyle).join() === 'none,solid', 'the focus ring on フォルダーを選ぶ alone');
          // Into the grid by keyboard: its first cell, then one down and one across, Enter.
          await page.evaluate(() => document.querySelector('#grid tbody button[tabindex="0"]').focus());
          // (A key sent reaches the page a moment later: each step waits for what it does.)
          const at = (where) => page.waitFor((where) => `${document.activeElement.dataset.p},${document.activeElement.dataset.c}` === where,
                                             `the grid's focus at ${where}`, 15000, where);
          await page.press('ArrowDown');
          await at('1,0');
          await page.press('ArrowRight');
          await at('1,1');
          await page.press('Enter');
          const title = await page.waitFor(() => document.getElementById('cell-title').textContent, 'the cell\'s rows');
          assert.match(title, /^1組 2番 .*問題2 /, title);
          await page.press('Escape');
          await at('1,1');
          await page.evaluate(() => window.scrollTo(0, document.getElementById('grid-box').offsetTop));
          await shot(page, `class-35-${size}`);
          if (size !== '1366') continue;
          // A 50 MB file, a line of a million commas, bytes of no encoding: each named, the rest read.
          await page.evaluate(() => {
            const dt = new DataTransfer();
            dt.items.add(new File([new Uint8Array(50 * 1024 * 1024)], 'huge.csv'));
            dt.items.add(new File(['日時,プログラム,問題,結果\r\n' + ','.repeat(1000000) + '\r\n'], 'commas.csv'));
            dt.items.add(new File([new Uint8Array([0xff, 0xfe, 0x80, 0x81, 0xe3, 0x81, 0x0d, 0x0a])], 'garbage.csv'));
            document.dispatchEvent(new DragEvent('drop', { dataTransfer: dt, bubbles: true, cancelable: true }));
          });
          await page.waitFor(() => window.classPage.timings.length > 1, 'the hostile files read', 30000);
          const status = await page.evaluate(() => document.getElementById('status').textContent);
          assert.match(status, /huge\.csv（ファイルが大きすぎます（50 MB））/);
          assert.match(status, /commas\.csv（壊れた行が 1 行あります/);
          assert.match(status, /garbage\.csv（練習の記録ではありません/);
          assert.equal((await gridOf(page)).length, 35);
          assert.deepEqual(await page.errors(), []);
        } finally {
          await page.close();
        }
      }
    });
  });
}

// What only Chromium can be asked here: the real file picker, axe-core's audit
// and the print layout.
describe('chromium only', { skip: !selectedEngines().includes('chromium') }, () => {
  test('the file picker, no accessibility violations, and the class printed on A4 landscape one page wide',
       { timeout: 120000 }, async () => {
    const { chromium } = createRequire(import.meta.url)('playwright-core');
    const browser = await chromium.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium', args: ['--no-sandbox'] });
    try {
      const context = await browser.newContext({ viewport: { width: 1366, height: 768 }, bypassCSP: true });
      const page = await context.newPage();
      const webDir = path.resolve(process.env.VARNEL_WEB_DIR || path.join(here, '..', '..', 'build-web'));
      await page.goto(`file://${webDir}/class.html`);
      await page.waitForFunction(() => window.classPage?.loaded);
      const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'varnel-class-pick-'));
      for (const [name, bytes] of Object.entries(class35)) fs.writeFileSync(path.join(dir, name), bytes);
      await page.setInputFiles('#pick-files', Object.keys(class35).map((n) => path.join(dir, n)));
      await page.waitForFunction(() => window.classPage.timings.length > 0);
      assert.equal(await page.locator('#grid tbody tr').count(), 35);
      await page.click('#grid tbody tr:nth-child(3) td:nth-child(4) button');
      await page.addScriptTag({ content: fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8') });
      const found = await page.evaluate(() => axe.run(document, { runOnly: { type: 'tag', values:
        ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22a', 'wcag22aa', 'best-practice'] } })
        .then((r) => r.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`)));
      assert.deepEqual(found, []);
      // Printed: laid out on A4 landscape less its margins, nothing is wider than the page.
      await page.emulateMedia({ media: 'print' });
      await page.setViewportSize({ width: Math.floor((297 - 20) / 25.4 * 96), height: Math.floor((210 - 20) / 25.4 * 96) });
      const [wide, page_] = await page.evaluate(() => [document.documentElement.scrollWidth, innerWidth]);
      assert.ok(wide <= page_, `printed ${wide} px wide on a page of ${page_}`);
      const pdf = await page.pdf({ preferCSSPageSize: true });
      fs.writeFileSync(path.join(webDir, 'e2e', 'class-35-print.pdf'), pdf);
      fs.rmSync(dir, { recursive: true });
    } finally {
      await browser.close();
    }
  });
});

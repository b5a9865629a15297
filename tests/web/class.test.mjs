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

const gridOf = (page) => page.evaluate(() => [...document.querySelectorAll('#grid tbody tr')].map((tr) =>
  [tr.cells[0].textContent, ...[...tr.cells].slice(1).map((c) => c.textContent)]));

let files;
before(() => { files = classFiles(); });

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
        await shot(page, 'class-1366');
        assert.deepEqual(await page.errors(), []);
      } finally {
        await page.close();
      }
    });
  });
}

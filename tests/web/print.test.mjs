// The page's print maker (a program's page opened as "#print") end to end in
// Chromium, Firefox and WebKit ($VARNEL_ENGINES), from disk: problems 2 and 3
// of varnel1 in two versions make the same pages as the desktop's
// `varnel1 --worksheet` with the same clock, each an A4 sheet that prints
// alone; in Chromium the print dialog's PDF has as many pages.
//
//   VARNEL_WEB_DIR=build-web VARNEL_BUILD_DIR=build node --test tests/web/print.test.mjs
import { describe, test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { launch, selectedEngines } from './engines.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const webDir = path.resolve(process.env.VARNEL_WEB_DIR || path.join(here, '..', '..', 'build-web'));
const buildDir = path.resolve(process.env.VARNEL_BUILD_DIR || path.join(here, '..', '..', 'build'));
const CLOCK = '10:20:30';

// The desktop's PDF for the same choice: its pages.
function desktopPages() {
  const pdf = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'varnel-print-')), 'sheets.pdf');
  const made = spawnSync(path.join(buildDir, 'varnel1'), ['--worksheet', '--problems', '2-3', '--versions', '2', '--time', CLOCK,
                                                        '-o', pdf]);
  assert.equal(made.status, 0, String(made.stderr));
  const info = spawnSync('pdfinfo', [pdf], { encoding: 'utf8' }).stdout;
  return Number(info.match(/Pages:\s+(\d+)/)[1]);
}

// Problems 2 and 3, two versions, the clock fixed; made.
async function make(page) {
  await page.waitFor(() => document.getElementById('print-status')?.textContent === '' &&
                           typeof Module._varnel_worksheets === 'function', 'the print maker');
  await page.evaluate((clock) => {
    for (const box of document.querySelectorAll('#print-problems input')) box.checked = ['2', '3'].includes(box.value);
    document.getElementById('print-versions').value = '2';
    document.getElementById('print-time').value = clock;
  }, CLOCK);
  await page.tap('作る');
  await page.waitFor(() => document.querySelectorAll('#print-pages .sheet').length > 0, 'the sheets');
}

let expected;
before(() => { expected = desktopPages(); });

for (const name of selectedEngines()) {
  describe(name, () => {
    let engine;
    before(async () => { engine = await launch(name); });
    after(async () => { await engine?.close(); });

    test('the print maker makes the desktop\'s pages, each an A4 sheet printed alone', { timeout: 120000 }, async () => {
      const page = await engine.openFile('varnel1.html#print', { width: 1366, height: 900 });
      try {
        await make(page);
        const made = await page.evaluate(() => {
          const sheets = [...document.querySelectorAll('#print-pages .sheet')];
          return { count: sheets.length, text: sheets.map((s) => s.textContent).join('|'),
                   status: document.getElementById('print-status').textContent };
        });
        assert.equal(made.count, expected, 'as many pages as the desktop\'s PDF');
        for (const shown of ['第1版', '第2版', '解答　第2版', '次の温度をいいなさい。', '名前'])
          assert.ok(made.text.includes(shown), shown);
        assert.match(made.status, /2 版、\d+ ページできました/);
        // Each sheet an A4 page, 297 mm high (on paper, each on a page of its own).
        const printed = await page.evaluate(() => {
          const mm = document.createElement('div');
          mm.style.height = '297mm';
          document.body.append(mm);
          const sheet = mm.getBoundingClientRect().height;
          mm.remove();
          const sheets = [...document.querySelectorAll('#print-pages .sheet')];
          return { sheet, heights: sheets.map((s) => Math.round(s.getBoundingClientRect().height)) };
        });
        assert.ok(printed.heights.every((h) => Math.abs(h - printed.sheet) <= 1), `${printed.heights} of ${printed.sheet}`);
        assert.deepEqual(await page.errors(), []);
      } finally {
        await page.close();
      }
    });
  });
}

describe('chromium only', { skip: !selectedEngines().includes('chromium') }, () => {
  test('the print dialog\'s PDF has a page for each sheet, A4 portrait; axe-core finds nothing wrong', { timeout: 120000 }, async () => {
    const { chromium } = createRequire(import.meta.url)('playwright-core');
    const browser = await chromium.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium', args: ['--no-sandbox'] });
    try {
      const page = await browser.newPage({ viewport: { width: 1366, height: 900 } });
      await page.goto(pathToFileURL(path.join(webDir, 'varnel1.html')).href + '#print');
      await make({ waitFor: (fn, what) => page.waitForFunction(fn, null, { timeout: 20000 }),
                   evaluate: (fn, arg) => page.evaluate(fn, arg), tap: (label) => page.getByRole('button', { name: label }).click() });
      await page.addScriptTag({ content: fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8') });
      const found = await page.evaluate(() => axe.run(document, { runOnly: { type: 'tag', values:
        ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22a', 'wcag22aa', 'best-practice'] } })
        .then((r) => r.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`)));
      assert.deepEqual(found, [], 'axe-core on the print maker with its pages');
      await page.emulateMedia({ media: 'print' });
      const pdf = await page.pdf({ preferCSSPageSize: true });
      const file = path.join(webDir, 'e2e', 'print-maker.pdf');
      fs.mkdirSync(path.dirname(file), { recursive: true });
      fs.writeFileSync(file, pdf);
      const info = spawnSync('pdfinfo', [file], { encoding: 'utf8' }).stdout;
      assert.equal(Number(info.match(/Pages:\s+(\d+)/)[1]), expected);
      assert.match(info, /Page size:\s+59[45][.\d]* x 84[12][.\d]* pts \(A4\)/);
    } finally {
      await browser.close();
    }
  });
});

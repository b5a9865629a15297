// The browser pages end to end, in Debian's headless Chromium: the menu, one
// problem of each bank played with real key presses, the marks read from the
// page's pixels and from the drill's globals, the keys the page keeps for
// itself, the letterboxed canvas at other window sizes and pixel ratios, the
// pages installed and opened offline from a static host. Screenshots and the
// measured figures go to $VARNEL_WEB_DIR/e2e/.
//
//   VARNEL_WEB_DIR=build-web node --test tests/web/
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { createRequire } from 'node:module';
import { chromium } from 'playwright-core';
import { serve } from './host.mjs';
import { sampleRecord } from './sample-record.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const webDir = path.resolve(process.env.VARNEL_WEB_DIR || path.join(here, '..', '..', 'build-web'));
const outDir = path.join(webDir, 'e2e');
const pageUrl = (bank) => pathToFileURL(path.join(webDir, `varnel${bank}.html`)).href;
// The problem count a program is defined with, in problems/bankN/program.cpp.
const problemCount = (bank) => Number(fs.readFileSync(path.join(here, '..', '..', 'problems', `bank${bank}`, 'program.cpp'),
                                                      'utf8').match(/ProgramDefinition \w+\(\d+, "\w+", (\d+)[,)]/)[1]);

// The palette colours the checks look for.
const TITLE_FILL = [58, 34, 96];    // 10: the title's box on the menu
const BLACK = [0, 0, 0];

let browser;
const figures = {};

before(async () => {
  fs.mkdirSync(outDir, { recursive: true });
  browser = await chromium.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
                                    args: ['--no-sandbox'] });
});

after(async () => {
  await browser?.close();
  if (Object.keys(figures).length)
    fs.writeFileSync(path.join(outDir, 'figures.json'), JSON.stringify(figures, null, 2) + '\n');
});

// A page at its main menu, on a device that knows who practises today.
async function open(bank, { width = 1280, height = 800, dpr = 1 } = {}) {
  const page = await browser.newPage({ viewport: { width, height }, deviceScaleFactor: dpr });
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  await page.goto(pageUrl(bank));
  await menuShown(page);
  await pupilKnown(page);
  return { page, errors };
}

const pupilKnown = (page) => page.evaluate(() => {
  const d = new Date();
  const asked = [d.getFullYear(), d.getMonth() + 1, d.getDate()].map((n) => String(n).padStart(2, '0')).join('-');
  localStorage.setItem('varnel.pupil', JSON.stringify({ class: '', number: '', name: '', asked }));
});

// The first frame that carries drawing, once the globals show the main menu's program.
async function menuShown(page) {
  await page.waitForFunction(() => varnel.frames.some((f) => f.ops > 0) && varnel.state().problem_count > 0,
                             null, { timeout: 30000 });
}

const state = (page) => page.evaluate(() => varnel.state());

async function until(page, predicate, what) {
  const deadline = Date.now() + 15000;
  for (;;) {
    const s = await state(page);
    if (predicate(s)) return s;
    if (Date.now() > deadline) throw new Error(`timed out waiting for ${what}; globals: ${JSON.stringify(s)}`);
    await page.waitForTimeout(50);
  }
}

// The pixels of dot (x, y) of the 1440 x 900 screen, a w x h dot block of them.
async function dots(page, x, y, w = 1, h = 1) {
  return page.evaluate(([x, y, w, h]) => {
    const canvas = document.getElementById('screen');
    const s = canvas.width / 1440;
    const data = canvas.getContext('2d').getImageData(Math.floor(x * s), Math.floor(y * s),
                                                      Math.max(1, Math.round(w * s)), Math.max(1, Math.round(h * s)));
    const out = [];
    for (let i = 0; i < data.data.length; i += 4) out.push([data.data[i], data.data[i + 1], data.data[i + 2]]);
    return out;
  }, [x, y, w, h]);
}

const same = (a, b) => a[0] === b[0] && a[1] === b[1] && a[2] === b[2];
const count = (pixels, colour) => pixels.filter((p) => same(p, colour)).length;

// The first-attempt mark of problem n in the progress grid: a 16-dot cell at
// (240 + 16 (n - 1), 18), drawn in cyan over the grid's blue lines. A circle
// leaves its middle empty, a cross crosses there.
const ink = (p) => p[1] > 160 && p[2] > 160;
async function gridMark(page, n) {
  const x = 240 + 16 * (n - 1), y = 18;
  const cell = await dots(page, x + 1, y + 1, 14, 14);
  if (cell.filter(ink).length < 8) return '';
  const middle = await dots(page, x + 6, y + 6, 4, 4);
  return middle.some(ink) ? '×' : '○';
}

async function keys(page, ...presses) {
  for (const k of presses) await page.keyboard.press(k);
}

// Types what the screen expects for one blank ("-3", "+12", "1/2" never occurs in these two).
async function typeAnswer(page, text) {
  for (const ch of text) await page.keyboard.press(ch);
  await page.keyboard.press('Enter');
}

test('varnel1: menu, then problem 1 answered wrong and then right, marks on the page', async () => {
  const { page, errors } = await open(1);
  const menu = await state(page);
  assert.equal(menu.title_text, 'varnel1');
  assert.equal(menu.problem_count, problemCount(1));
  assert.ok(count(await dots(page, 250, 80, 40, 40), TITLE_FILL) > 100, 'the title box is drawn');
  await page.screenshot({ path: path.join(outDir, 'varnel1-menu.png') });

  await keys(page, '1', '1', 'Enter');                  // practice, from problem 1
  await until(page, (s) => s.problem_no === 1 && s.practice_runs === 1, 'problem 1');
  await page.keyboard.press('x');                       // the key pause before the answer line
  await until(page, (s) => s.expected_all === '1', 'the answer line');
  await typeAnswer(page, '0');
  let s = await until(page, (s) => s.attempt_count === 1 && s.typed[1] === '0' && s.mark_result > 0, 'the first mark');
  assert.notEqual(s.mark_result, 2, '0 is not the answer');
  assert.equal(await gridMark(page, 1), '×');
  await page.screenshot({ path: path.join(outDir, 'varnel1-wrong.png') });

  await page.keyboard.press('Space');
  await typeAnswer(page, '1');
  s = await until(page, (s) => s.attempt_count === 2 && s.mark_result === 2, 'the second mark');
  assert.equal(s.typed[1], '1');
  assert.equal(s.problem_done[1], 1);
  assert.equal(await gridMark(page, 1), '×', 'the grid keeps the first attempt');
  await page.screenshot({ path: path.join(outDir, 'varnel1-right.png') });
  // Reloading in the middle of the practice asks first; staying keeps it.
  const asked = new Promise((resolve) => page.once('dialog', (d) => { resolve(d.type()); d.dismiss(); }));
  page.evaluate(() => { window.stillHere = true; setTimeout(() => location.reload()); }).catch(() => {});
  assert.equal(await asked, 'beforeunload');
  assert.equal(await page.evaluate(() => window.stillHere), true);
  assert.deepEqual(errors, []);
  await page.close();
});

test('varnel2: menu, then problem 1 answered right at the first attempt', async () => {
  const { page, errors } = await open(2);
  assert.equal((await state(page)).problem_count, problemCount(2));
  await page.screenshot({ path: path.join(outDir, 'varnel2-menu.png') });

  await keys(page, '1', '1', 'Enter');
  const s = await until(page, (s) => s.problem_no === 1 && s.blank_count === 2 && s.expected[1][1] !== '', 'problem 1');
  const answers = [s.expected[1][1], s.expected[2][1]];
  await page.screenshot({ path: path.join(outDir, 'varnel2-question.png') });
  for (const a of answers) await typeAnswer(page, a);
  const done = await until(page, (s) => s.problem_done[1] === 1, 'problem 1 finished');
  await page.screenshot({ path: path.join(outDir, 'varnel2-right.png') });
  assert.equal(done.mark_result, 2);
  assert.equal(done.attempt_count, 1);
  assert.deepEqual([done.typed[1], done.typed[2]], answers);
  assert.equal(await gridMark(page, 1), '○');
  assert.equal(await gridMark(page, 2), '', 'problem 2 has no mark yet');
  assert.deepEqual(errors, []);
  await page.close();
});

// The answer line with an input method, as Chromium's own input method events
// bring it: what is composed shows at the cursor, underlined; dropped, the line
// is as it was; committed, it is typed; a key of the keypad takes it first.
test('an input method composes in the answer line only, and what it composes shows until it is committed or dropped', async () => {
  const { page, errors } = await open(1);
  const ime = await page.context().newCDPSession(page);
  const compose = (text) => ime.send('Input.imeSetComposition', { text, selectionStart: text.length,
                                                                  selectionEnd: text.length });
  const focused = () => page.evaluate(() => document.activeElement.id);
  assert.equal(await focused(), 'screen', 'the menu takes keys past the input method');
  await keys(page, '1', '2', 'Enter');                  // varnel1 problem 2: two blanks, asked at once
  await until(page, (s) => s.problem_no === 2 && s.blank_count === 2, 'problem 2');
  await page.waitForFunction(() => document.activeElement.id === 'input');
  // The first blank's cells from (496, 576), and the underline under them.
  const line = () => dots(page, 496, 566, 64, 30);
  const underline = async () => {
    const row = await dots(page, 496, 593, 32, 1);
    return count(row, [255, 255, 255]) / row.length;
  };
  await page.waitForTimeout(100);
  const before = await line();

  const soon = async (test) => {
    for (let i = 0; i < 40 && !await test(); ++i) await page.waitForTimeout(25);
    return test();
  };
  await compose('ー３');
  assert.ok(await soon(async () => await underline() > 0.9), 'the composition underlined at the cursor');
  await page.screenshot({ path: path.join(outDir, 'varnel1-composing.png') });
  await compose('');                                    // dropped
  assert.ok(await soon(async () => JSON.stringify(await line()) === JSON.stringify(before)), 'the line as it was');

  await compose('ー３');
  await ime.send('Input.insertText', { text: '−３' });  // committed
  await page.keyboard.press('Enter');
  let s = await until(page, (s) => s.typed[1] !== '', 'the first blank');
  assert.equal(s.typed[1], '-3');

  await page.click('#pad-toggle');
  await compose('５');
  await page.getByRole('button', { name: '決定', exact: true }).click();
  s = await until(page, (s) => s.attempt_count === 1, 'the answer marked');
  assert.equal(s.typed[2], '5', 'the keypad took the composition before its key');
  await page.waitForFunction(() => document.activeElement.id === 'screen');
  assert.deepEqual(errors, []);
  await page.close();
});

test('the record keeps a problem left with the page, unfinished, and without locks settles only rows not seen for ' +
     'ten minutes; a storage that refuses never stops the drill, and the page says so under the drawing', async () => {
  const { page, errors } = await open(1);
  await keys(page, '1', '2', 'Enter');
  await until(page, (s) => s.problem_no === 2 && s.blank_count === 2, 'problem 2');
  await typeAnswer(page, '0');
  await typeAnswer(page, '0');
  await until(page, (s) => s.attempt_count === 1 && s.mark_result === 1, 'a wrong answer');
  page.once('dialog', (d) => d.accept());            // leaving in the middle of it
  await page.reload();
  await menuShown(page);
  const rows = await page.evaluate(() => JSON.parse(localStorage.getItem('varnel.record')).rows);
  assert.deepEqual(rows.map((r) => [r[6], r[8], r[9], r[10], r[11], r[12]]), [['2', '×', '中断', '1', '1', '0，0']]);
  assert.deepEqual(errors, []);
  await page.close();

  // A browser without locks: rows under way (problems 5 and 6) seen 11 minutes ago and just now.
  const lockless = await browser.newPage({ viewport: { width: 1280, height: 800 } });
  await lockless.addInitScript(() => { delete Navigator.prototype.locks; });
  await lockless.goto(pageUrl(1));
  await menuShown(lockless);
  await lockless.evaluate(([{ columns, rows: [row] }, now]) => {
    for (const [ago, problem] of [[11, '5'], [0, '6']]) {
      localStorage.setItem('varnel.pending.' + problem, JSON.stringify({ columns, row: row.with(6, problem),
                                                                        since: now - ago * 60e3 - 5000, seen: now - ago * 60e3 }));
    }
  }, [sampleRecord(1, [['1', '2', 'a']], '2026-12-10'), Date.now()]);
  await lockless.reload();
  await menuShown(lockless);
  await lockless.waitForFunction(() => localStorage.getItem('varnel.pending.5') === null);
  assert.deepEqual(await lockless.evaluate(() => [typeof navigator.locks, localStorage.getItem('varnel.pending.6') !== null,
                                                  JSON.parse(localStorage.getItem('varnel.record')).rows.map((r) => [r[6], r[16]])]),
                   ['undefined', true, [['5', '5']]]);   // its seconds counted to when it was last seen
  await lockless.close();

  const refused = await browser.newPage({ viewport: { width: 1280, height: 800 } });
  await refused.addInitScript(() => {
    Storage.prototype.setItem = () => { throw new DOMException('the quota is reached', 'QuotaExceededError'); };
  });
  await refused.goto(pageUrl(1));
  await menuShown(refused);
  await keys(refused, '1', 'Enter', '2', 'Enter');   // who practises, kept for this page alone
  const s = await until(refused, (s) => s.problem_no === 2 && s.blank_count === 2, 'problem 2');
  await typeAnswer(refused, s.expected[1][1]);
  await typeAnswer(refused, s.expected[2][1]);
  await until(refused, (s) => s.problem_done[2] === 1, 'problem 2 done');
  await refused.keyboard.press('2');
  await until(refused, (s) => s.problem_no === 3, 'the drill going on');
  const note = await refused.evaluate(() => {
    const box = (id) => document.getElementById(id).getBoundingClientRect();
    const canvas = box('screen'), note = box('storage-note'), buttons = ['record-open', 'pad-toggle'].map(box);
    return { text: document.getElementById('storage-note').textContent, role: document.getElementById('storage-note').role,
             under: note.top - (canvas.top + canvas.height * 680 / 900), height: note.height,
             clear: buttons.every((b) => note.right <= b.left || note.bottom <= b.top) };
  });
  assert.deepEqual([note.text, note.role, note.under >= 0, note.height >= 20, note.clear],
                   ['この端末には記録を保存できません', 'status', true, true, true], JSON.stringify(note));
  await refused.screenshot({ path: path.join(outDir, 'storage-refused.png') });
  await refused.getByRole('button', { name: '記録', exact: true }).click();
  assert.match(await refused.locator('#record-error').textContent(), /記録を保存できません.*QuotaExceededError/);
  assert.match(await refused.locator('#record-who').textContent(), /練習する人：（名前なし）/);
  await refused.close();
});

// ---- assistive technology ------------------------------------------------------

const axeSource = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
const AXE_TAGS = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22a', 'wcag22aa', 'best-practice'];

// What axe-core finds wrong with the page as it stands: "rule: elements".
async function audit(page) {
  if (!await page.evaluate(() => typeof axe !== 'undefined')) await page.addScriptTag({ content: axeSource });
  const found = await page.evaluate((tags) => axe.run(document, { runOnly: { type: 'tag', values: tags } })
    .then((r) => r.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`)), AXE_TAGS);
  return found;
}

test('axe-core finds nothing wrong with either page: menu, who practises, practice, keypad, record', async () => {
  for (const bank of [1, 2]) {
    for (const size of [{ width: 1280, height: 800 }, { width: 820, height: 1180, dpr: 2 }]) {
      const { page } = await open(bank, size);
      const where = (what) => `varnel${bank} ${size.width} x ${size.height}, ${what}`;
      assert.deepEqual(await audit(page), [], where('the menu'));
      await page.evaluate((record) => {   // who practises not known today; a record of two pupils
        localStorage.removeItem('varnel.pupil');
        localStorage.setItem('varnel.record', JSON.stringify(record));
      }, sampleRecord(6, [['1', '2', 'a'], ['1', '3', 'b']], '2026-12-10'));
      await keys(page, '1');
      await page.waitForFunction(() => document.getElementById('pupil').open);
      assert.deepEqual(await audit(page), [], where('who practises'));
      await keys(page, 'Enter', '2', 'Enter');
      await until(page, (s) => s.problem_no === 2 && s.practice_runs === 1, 'problem 2');
      assert.deepEqual(await audit(page), [], where('a practice'));
      await page.click('#pad-toggle');
      await page.waitForFunction(() => !document.getElementById('keypad').hidden);
      assert.deepEqual(await audit(page), [], where('the keypad'));
      await page.click('#record-open');
      assert.deepEqual(await audit(page), [], where('the record'));
      await page.keyboard.press('Escape');
      // (once the view's close event, a task after the key, has been handled)
      const drillHasKeys = () => page.waitForFunction(() => new Promise((done) => setTimeout(() =>
        done(!document.getElementById('record').open && /^(screen|input)$/.test(document.activeElement.id)))));
      await drillHasKeys();
      // The buttons are reached from the keyboard, and give the keys back to the drill.
      const tabbed = [];
      for (let i = 0; i < 2; ++i) {
        await page.keyboard.press('Tab');
        tabbed.push(await page.evaluate(() => document.activeElement.id));
      }
      // Within the keypad the arrows move and Enter presses the key: 1 → 2, a row down, Enter.
      const focused = () => page.evaluate(() => {
        const b = document.activeElement;
        return { text: b.textContent, key: b.dataset.key, top: b.getBoundingClientRect().top };
      });
      await page.keyboard.press('Shift+Tab');
      await page.keyboard.press('ArrowRight');
      const two = await focused();
      await page.keyboard.press('ArrowDown');
      const below = await focused();
      assert.ok(two.text === '2' && below.top > two.top, where(`the keypad by arrows: ${JSON.stringify([two, below])}`));
      await page.keyboard.press('Enter');
      await until(page, (s) => s.answer_text === below.key, `${below.key} typed from the keypad`);
      await page.keyboard.press('Tab');
      await page.keyboard.press('Tab');
      assert.deepEqual(tabbed, ['', 'pad-toggle'], where('Tab'));   // the keypad ('' a key of it), then its toggle
      await page.keyboard.press('Enter');
      assert.equal(await page.evaluate(() => document.getElementById('record').open), true, 'opened by Enter');
      await page.keyboard.press('Escape');
      await drillHasKeys();
      await page.close();
    }
  }
});

// The names in the page's accessibility tree, as DevTools reads it.
async function accessibleText(page) {
  const cdp = await page.context().newCDPSession(page);
  const { nodes } = await cdp.send('Accessibility.getFullAXTree');
  return nodes.filter((n) => !n.ignored).map((n) => n.name?.value ?? '').join('\n');
}

test('the accessibility tree tells the problem, its question, what was typed and the verdict', async () => {
  // varnel1 problem 3 and varnel2 problem 2: their questions hold fractions.
  for (const [bank, problem, question] of [[1, 3, '次の数を、正の符号、負の符号をつけて表しなさい。'],
                                           [2, 2, '次の数の絶対値をいいなさい。']]) {
    const { page, errors } = await open(bank);
    const tree = await accessibleText(page);
    assert.match(tree, new RegExp(`varnel${bank}`), 'the canvas, named');
    assert.match(tree, /答えの入力/, 'the field, named');
    await keys(page, '1', String(problem), 'Enter');
    const s = await until(page, (s) => s.problem_no === problem && s.blank_count > 0 && s.expected[1][1] !== '', 'the problem');
    for (let k = 1; k <= s.blank_count; ++k) await typeAnswer(page, s.expected[k][1]);
    await until(page, (s) => s.problem_done[problem] === 1, 'the problem marked');
    await page.waitForTimeout(100);
    const text = await accessibleText(page);
    for (const [what, expected] of [['its number', `問題${problem}`], ['its question', question],
                                    ['a fraction', '分の'], ['the first blank typed', `1番 ${s.expected[1][1].replace('-', 'マイナス').replace('+', 'プラス')}`],
                                    ['the verdict', '正解']])
      assert.ok(text.includes(expected), `${what} (${expected}) in the tree:\n${text}`);
    assert.deepEqual(errors, []);
    await page.close();
  }
});

test('読み上げ reads the screen in a Japanese voice, and stops at a second press or any key', async () => {
  const plain = await open(2);
  assert.equal(await plain.page.evaluate(() => document.getElementById('read-aloud').hidden), true,
               'no button without a Japanese voice');
  await plain.page.close();

  const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
  await page.addInitScript(() => {   // the browser's speech engine, recording what it is asked to say
    window.said = [];
    window.SpeechSynthesisUtterance = class { constructor(text) { this.text = text; } };
    const engine = { getVoices: () => [{ lang: 'ja-JP', name: 'stub' }], addEventListener() {},
                     speak(u) { window.said.push({ text: u.text, lang: u.lang, rate: u.rate }); },
                     cancel() { window.said.push('cancel'); } };
    Object.defineProperty(window, 'speechSynthesis', { value: engine });
  });
  await page.goto(pageUrl(2));
  await menuShown(page);
  await pupilKnown(page);
  await keys(page, '1', '2', 'Enter');
  await until(page, (s) => s.problem_no === 2 && s.expected[1][1] !== '', 'problem 2');
  await page.waitForFunction(() => document.activeElement.id === 'input');
  const button = page.getByRole('button', { name: '読み上げ', exact: true });
  await button.click();
  let said = await page.evaluate(() => window.said);
  assert.equal(said.length, 1);
  assert.match(said[0].text, /^問題2 次の数の絶対値をいいなさい。 1番 マイナス[\d.]+ 2番 .*分の/);
  assert.deepEqual([said[0].lang, said[0].rate < 1], ['ja-JP', true]);
  assert.equal(await button.getAttribute('aria-pressed'), 'true');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'input', 'the answer keeps the focus');
  await page.screenshot({ path: path.join(outDir, 'varnel2-read-aloud.png') });
  await button.click();                                   // a second press stops it
  said = await page.evaluate(() => window.said);
  assert.deepEqual(said.slice(1), ['cancel']);
  await button.click();
  await page.keyboard.press('3');                         // and so does any key
  said = await page.evaluate(() => window.said);
  assert.deepEqual(said.slice(2).map((x) => x.text ?? x), [said[0].text, 'cancel']);
  assert.equal(await button.getAttribute('aria-pressed'), 'false');
  await page.close();
});

test('the record\'s file bears the local date (08:30 in Japan is that day), the pupil made a safe file name, each ' +
     'field as the desktop writes it; printed, the record is one A4 landscape page wide', async () => {
  const context = await browser.newContext({ viewport: { width: 1366, height: 768 }, timezoneId: 'Asia/Tokyo' });
  const page = await context.newPage();
  await page.clock.setFixedTime(new Date('2026-12-09T23:30:00Z'));
  await page.goto(pageUrl(1));
  await menuShown(page);
  const record = sampleRecord(60, [['3', '12', '山田/花子'], ['3', '7', '佐藤']], '2026-12-10');
  record.rows[0][0] = '2026-12-09 15:00:00';   // the day before: not among today's
  record.rows[2][13] = '+√3';   // text, but a formula to a spreadsheet by its "+"
  await page.evaluate((record) => {
    localStorage.setItem('varnel.record', JSON.stringify(record));
    localStorage.setItem('varnel.pupil', JSON.stringify({ class: '3', number: '12', name: '山田/花子', asked: '2026-12-10' }));
    HTMLAnchorElement.prototype.click = function () { window.saved = { name: this.download, href: this.href }; };
    window.print = () => { window.printed = true; };
  }, record);
  await page.click('#record-open');
  await page.getByRole('button', { name: '今日の分を CSV で保存', exact: true }).click();
  const saved = await page.evaluate(async () => ({ name: window.saved.name, text: await (await fetch(window.saved.href)).text() }));
  const lines = saved.text.split('\r\n');
  assert.equal(saved.name, 'varnel-record-3-12-山田_花子-2026-12-10.csv');
  assert.equal(lines.length, 1 + 29 + 1);
  assert.ok(lines[1].startsWith('2026-12-10 08:04:05,3,12,山田/花子,varnel1,1,4,自然数と整数,○,中断,') &&
            lines[1].includes(',\u2060-3，+5 / 3，5 / -3，+5,\u2060+√3,') && !saved.text.includes("'"), lines[1]);

  await page.getByRole('button', { name: '印刷', exact: true }).click();
  assert.equal(await page.evaluate(() => window.printed), true);
  await page.click('#record-all');
  await page.setViewportSize({ width: 1047, height: 740 });   // A4 landscape less 10 mm margins, at 96 dpi
  await page.emulateMedia({ media: 'print' });
  const printed = await page.evaluate(() => ({ wide: document.documentElement.scrollWidth,
                                               rows: document.querySelectorAll('#record-rows tr').length,
                                               canvas: getComputedStyle(document.getElementById('screen')).display }));
  assert.deepEqual(printed, { wide: 1047, rows: 61, canvas: 'none' });
  const pdf = await page.pdf({ path: path.join(outDir, 'record-print.pdf'), preferCSSPageSize: true, printBackground: true });
  const boxes = [...pdf.toString('latin1').matchAll(/\/MediaBox \[0 0 ([\d.]+) ([\d.]+)\]/g)].map((m) => Math.round(m[1]) > Math.round(m[2]));
  assert.ok(boxes.length >= 2 && boxes.every(Boolean), `A4 landscape pages: ${boxes}`);
  await context.close();
});

test('a browser without Uint8Array.fromBase64 decodes the program with atob', async () => {
  const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
  await page.addInitScript(() => { delete Uint8Array.fromBase64; });
  await page.goto(pageUrl(2));
  await menuShown(page);
  assert.equal(await page.evaluate(() => typeof Uint8Array.fromBase64), 'undefined');
  assert.equal((await state(page)).problem_count, problemCount(2));
  await page.close();
});

test('the page keeps F1-F12, Ctrl+L, Backspace and Enter: no help, reload or going back', async () => {
  const { page } = await open(1);
  await page.evaluate(() => { window.stillHere = 'yes'; });
  const url = page.url();
  const seen = await page.evaluate(() => {
    const names = [];
    window.addEventListener('keydown', (e) => names.push(`${e.key}:${e.defaultPrevented}`), true);
    window.keysSeen = names;
    return true;
  });
  assert.ok(seen);
  for (let n = 1; n <= 12; ++n) await page.keyboard.press(`F${n}`);
  await keys(page, 'Control+l', 'Backspace', 'Enter', 'Control+r', 'Alt+ArrowLeft');
  await page.waitForTimeout(300);
  assert.equal(page.url(), url);
  assert.equal(await page.evaluate(() => window.stillHere), 'yes', 'the page was not reloaded');
  const prevented = await page.evaluate(() => window.keysSeen);
  for (const name of ['F1', 'F5', 'F12', 'Backspace', 'Enter', 'l', 'r', 'ArrowLeft'])
    assert.ok(prevented.includes(`${name}:true`), `${name} kept by the page: ${prevented}`);
  // The menu took none of them as a choice: still the menu, and 2 still works.
  const s = await state(page);
  assert.equal(s.view_mode, 0);
  assert.equal(s.practice_runs, 0);
  await page.keyboard.press('2');
  await until(page, (s) => s.view_mode === 1, 'browsing after 2');
  await page.close();
});

test('the canvas keeps the screen\'s shape, letterboxed, in device pixels', async () => {
  const { page } = await open(1, { width: 1000, height: 900, dpr: 2 });
  const box = async () => page.evaluate(() => {
    const c = document.getElementById('screen');
    const r = c.getBoundingClientRect();
    return { w: c.width, h: c.height, left: r.left, top: r.top, cssW: r.width, cssH: r.height };
  });
  let b = await box();
  assert.equal(b.w, 2000);                      // one canvas pixel for each device pixel
  assert.equal(b.h, 1250);
  assert.equal(b.left, 0);
  assert.ok(Math.abs(b.top - (900 - 625) / 2) <= 0.5, `bars above and below: ${b.top}`);
  assert.ok(count(await dots(page, 250, 80, 40, 40), TITLE_FILL) > 100);
  await page.screenshot({ path: path.join(outDir, 'letterbox-tall-dpr2.png') });

  await page.setViewportSize({ width: 1600, height: 700 });
  await page.waitForFunction(() => document.getElementById('screen').height === 1400);
  b = await box();
  assert.equal(b.w, 2240);
  assert.ok(Math.abs(b.left - (1600 - 1120) / 2) <= 0.5, `bars left and right: ${b.left}`);
  assert.equal(b.top, 0);
  // the same menu drawn afresh at the new scale
  await page.waitForTimeout(100);
  assert.ok(count(await dots(page, 250, 80, 40, 40), TITLE_FILL) > 100);
  assert.ok(count(await dots(page, 1300, 800, 40, 40), BLACK) > 0);
  await page.screenshot({ path: path.join(outDir, 'letterbox-wide-dpr2.png') });
  await page.close();
});

test('idle at the menu the page uses little CPU; page weight', async () => {
  const { page } = await open(1);
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Performance.enable');
  const busy = async () => {
    const { metrics } = await cdp.send('Performance.getMetrics');
    return metrics.find((m) => m.name === 'TaskDuration').value;
  };
  await page.waitForTimeout(1000);
  const t0 = Date.now(), b0 = await busy();
  await page.waitForTimeout(5000);
  const share = (await busy() - b0) / ((Date.now() - t0) / 1000);
  figures.idle_cpu_percent = Math.round(share * 1000) / 10;
  // Served: the page and its program beside it; from disk: the single file.
  const bytes = (...names) => names.reduce((n, name) => n + fs.statSync(path.join(webDir, name)).size, 0);
  figures.page_bytes = { varnel1: bytes('varnel1.html', 'varnel1.wasm'), varnel2: bytes('varnel2.html', 'varnel2.wasm'),
                         varnel1_single: bytes('varnel1-single.html'), varnel2_single: bytes('varnel2-single.html') };
  assert.ok(share < 0.05, `idle main thread busy ${share * 100}% of the time`);
  for (const bytes of Object.values(figures.page_bytes)) assert.ok(bytes < 1e6, `page of ${bytes} bytes`);
  await page.close();
});

// The loads with and without the keypad take turns, so that whatever else the
// machine is doing weighs on both alike.
test('navigation to the first menu frame, median of 5 loads, with and without the keypad', async () => {
  const times = { without_keypad: [], with_keypad: [] };
  for (let i = 0; i < 5; ++i) {
    for (const [name, hasTouch] of [['without_keypad', false], ['with_keypad', true]]) {
      const context = await browser.newContext({ viewport: { width: 1280, height: 800 }, hasTouch });
      const page = await context.newPage();
      await page.goto(pageUrl(1));
      await menuShown(page);
      await page.waitForFunction(() => document.querySelector('#keypad button') !== null);
      const shown = await page.evaluate(() => !document.getElementById('keypad').hidden);
      assert.equal(shown, hasTouch, 'the keypad shown by itself on a touch screen only');
      times[name].push(await page.evaluate(() => varnel.frames.find((f) => f.ops > 0).t));
      await context.close();
    }
  }
  figures.first_menu_frame_ms = {};
  for (const [name, t] of Object.entries(times)) figures.first_menu_frame_ms[name] = Math.round(t.sort((a, b) => a - b)[2]);
});

test('served over http the pages can be installed, and after one visit they open offline', { timeout: 120000 }, async () => {
  // (A host that sends the program under another type: it is compiled once it is in.)
  const server = await serve(webDir, { types: { '.wasm': 'application/octet-stream' } });
  const base = `http://127.0.0.1:${server.address().port}/`;
  const context = await browser.newContext({ viewport: { width: 1280, height: 800 } });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  page.on('console', (m) => { if (m.type() === 'error') errors.push(`${m.text()} (${m.location().url})`); });
  try {
    await page.goto(base + 'varnel2.html');
    await menuShown(page);
    const cdp = await context.newCDPSession(page);
    const { errors: manifestErrors } = await cdp.send('Page.getAppManifest');
    assert.deepEqual(manifestErrors, []);
    const manifest = await page.evaluate(async () => (await fetch(document.querySelector('link[rel=manifest]').href)).json());
    assert.equal(manifest.display, 'standalone');
    assert.equal(manifest.start_url, 'varnel2.html');
    for (const icon of manifest.icons) {
      const got = await page.evaluate(async (src) => {
        const r = await fetch(src);
        return [r.status, r.headers.get('content-type')];
      }, icon.src);
      assert.deepEqual(got, [200, icon.type], icon.src);
    }
    // (The test's browser context is incognito, where nothing is installed.)
    const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
    assert.deepEqual(installabilityErrors.filter((e) => e.errorId !== 'in-incognito'), []);
    await page.evaluate(() => navigator.serviceWorker.ready);

    await new Promise((resolve) => { server.close(resolve); server.closeAllConnections(); });
    await context.setOffline(true);
    for (const [name, bank] of [['varnel1.html', 1], ['varnel2.html', 2]]) {
      await page.goto(base + name);
      await menuShown(page);
      assert.equal((await state(page)).title_text, `varnel${bank}`);
    }
    await page.goto(base);
    assert.deepEqual(await page.evaluate(() => [...document.links].map((a) => a.getAttribute('href'))),
                     ['varnel1.html', 'varnel2.html', 'class.html', 'varnel1.html#print', 'varnel2.html#print']);
    await page.goto(base + 'class.html');   // the teachers' page too
    await page.waitForFunction(() => window.classPage?.loaded &&
                               getComputedStyle(document.body).backgroundColor === 'rgb(255, 255, 255)');
    assert.deepEqual(errors, []);
  } finally {
    server.close();
    await context.close();
  }
});

test('served, the page compiles its program and makes the first screen\'s glyphs itself where its worker cannot, ' +
     'to the same pixels', async () => {
  // The page's worker as it is; no worker at all; a worker that cannot start;
  // one that draws but cannot compile.
  const server = await serve(webDir);
  const setups = {
    worker: null,
    none: () => { window.Worker = undefined; },
    failing: () => {
      window.Worker = class extends Worker {
        constructor() { super(URL.createObjectURL(new Blob(['throw new Error("no text here")']))); }
      };
    },
    uncompiling: () => {
      const made = URL.createObjectURL;
      URL.createObjectURL = (blob) => made(new Blob(['WebAssembly.compileStreaming = undefined;', blob]));
    },
  };
  const shown = {}, compiledByPage = {};
  for (const [name, setup] of Object.entries(setups)) {
    const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
    const errors = [];
    page.on('pageerror', (e) => errors.push(e.message));
    page.on('console', (m) => { if (m.text().startsWith('the page compiles its program itself')) compiledByPage[name] = true; });
    if (setup) await page.addInitScript(setup);
    await page.goto(`http://127.0.0.1:${server.address().port}/varnel1.html`);
    await menuShown(page);
    shown[name] = await page.evaluate(async () => {
      const c = document.getElementById('screen');
      const data = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
      return [...new Uint8Array(await crypto.subtle.digest('SHA-256', data))].join('.');
    });
    assert.deepEqual(errors, [], name);
    await page.close();
  }
  server.close();
  server.closeAllConnections();
  assert.deepEqual(compiledByPage, { none: true, failing: true, uncompiling: true });
  for (const name of ['none', 'failing', 'uncompiling']) assert.equal(shown[name], shown.worker, name);
});

test('ending from the menu ends the program and says so on the page', async () => {
  const { page, errors } = await open(2);
  await page.keyboard.press('3');
  await page.waitForFunction(() => varnel.ended === true, null, { timeout: 10000 });
  const note = await page.evaluate(() => {
    const n = document.getElementById('note');
    return { text: n.textContent, shown: getComputedStyle(n).display !== 'none',
             canvas: getComputedStyle(document.getElementById('screen')).display };
  });
  assert.ok(note.shown);
  assert.match(note.text, /おわりました/);
  assert.equal(note.canvas, 'none');
  // keys after the end go nowhere and break nothing
  await keys(page, '1', 'Enter', 'F1');
  assert.deepEqual(errors, []);
  await page.close();
});

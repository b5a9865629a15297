// The browser pages end to end in Chromium, Firefox and WebKit: every scenario
// below runs in every engine $VARNEL_ENGINES names (all three unless it says
// otherwise), on a page opened from disk at the scenario's viewport and already
// showing the main menu, and ends with no error thrown or logged by the page.
// Screenshots go to $VARNEL_WEB_DIR/e2e/<engine>-<name>.png.
//
//   VARNEL_WEB_DIR=build-web node --test tests/web/scenarios.test.mjs
import { describe, test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launch, selectedEngines } from './engines.mjs';
import { COLUMNS, sampleRecord } from './sample-record.mjs';

// The answers a problem expects, blank by blank, once it has set them all.
const answersOf = (s) => {
  const answers = s.expected.slice(1, s.blank_count + 1).map((e) => e[1]);
  return s.blank_count > 0 && answers.every((a) => a !== '') ? answers : null;
};

// What an input method in kana mode commits for an answer: full-width digits
// and signs, its long vowel mark (or, before a digit, its minus sign) for the
// minus, its full stop for the point, its middle dot for the slash.
const KANA = { '-': 'ー', '.': '。', '+': '＋', '/': '・' };
const kanaOf = (answer, kana = KANA) => [...answer].map((c) => kana[c] ??
  (/[0-9]/.test(c) ? String.fromCharCode(c.charCodeAt(0) + 0xfee0) : c)).join('');

// The keypad's keys for one blank, closed by 決定. A fraction is typed
// denominator first: 分数, the denominator, 決定, the numerator, 決定.
const tapsFor = (answer) => {
  const fraction = answer.match(/^([-+]?)(\d+)\/(\d+)$/);
  const keys = fraction ? [...fraction[1], '分数', ...fraction[3], '決定', ...fraction[2], '決定'] : [...answer];
  return [...keys, '決定'];
};

// Whether the keypad shows, once the page has made its keys.
async function keypadShown(page) {
  await page.waitFor(() => document.querySelector('#keypad button') !== null, 'the keypad\'s keys');
  return page.evaluate(() => !document.getElementById('keypad').hidden);
}
async function showKeypad(page) {
  if (!await keypadShown(page)) await page.tap('キーパッド');
  await page.waitFor(() => !document.getElementById('keypad').hidden, 'the keypad');
}

// The keypad's keys and its toggle against the drill's drawing (the canvas
// above dot line 680) and the window, in CSS pixels; the drill at the largest
// size the window allows, unless it has to give way to the keys.
async function checkLayout(page, what, full = true) {
  const L = await page.evaluate(() => {
    const box = (el) => {
      const r = el.getBoundingClientRect();
      return { name: el.textContent, left: r.left, top: r.top, right: r.right, bottom: r.bottom,
               width: r.width, height: r.height };
    };
    return { w: document.documentElement.clientWidth, h: document.documentElement.clientHeight,
             canvas: box(document.getElementById('screen')),
             declared: varnel.keypad.flat().length + (document.getElementById('read-aloud').hidden ? 2 : 3),
             keys: [...document.querySelectorAll('#keypad button, #pad-toggle, #record-open, #read-aloud')]
               .filter((b) => b.getClientRects().length > 0).map(box) };
  });
  const fits = Math.min(L.w / 1440, L.h / 900) * 1440;
  if (full) assert.ok(Math.abs(L.canvas.width - fits) <= 1, `${what}: the drill ${L.canvas.width} px wide, not ${fits}`);
  else assert.ok(L.canvas.width < fits - 1, `${what}: the drill ${L.canvas.width} px wide, as large as it fits`);
  const drawn = { left: L.canvas.left, right: L.canvas.right, bottom: L.canvas.top + L.canvas.height * 680 / 900 };
  assert.equal(L.keys.length, L.declared, `${what}: every key, the toggle and the buttons beside it shown`);
  for (const k of L.keys) {
    const where = `${what}: ${k.name} at ${k.left},${k.top} ${k.width} x ${k.height}`;
    assert.ok(k.width >= 44 && k.height >= 44, `${where}: under 44 px`);
    assert.ok(k.left >= 0 && k.top >= 0 && k.right <= L.w && k.bottom <= L.h, `${where}: outside the window`);
    assert.ok(k.top >= drawn.bottom || k.right <= drawn.left || k.left >= drawn.right,
              `${where}: over the drawing, which reaches ${drawn.bottom}`);
  }
}

// Whether leaving the page now would ask first: its beforeunload handler cancels the event.
const asksBeforeLeaving = (page) => page.evaluate(() => {
  const e = new Event('beforeunload', { cancelable: true });
  window.dispatchEvent(e);
  return e.defaultPrevented;
});

const IPAD = { dpr: 2, touch: true };
const layouts = [
  { name: 'ipad-landscape', viewport: { width: 1180, height: 820, ...IPAD }, turned: { width: 820, height: 1180 } },
  { name: 'ipad-portrait', viewport: { width: 820, height: 1180, ...IPAD } },
  { name: 'chromebook-1366', viewport: { width: 1366, height: 768 } },
  { name: 'chromebook-1920', viewport: { width: 1920, height: 1080 } },
  // A phone: the keys fold into six columns; turned, the drill gives way to them.
  { name: 'phone-portrait', viewport: { width: 390, height: 844, ...IPAD } },
  { name: 'phone-landscape', viewport: { width: 844, height: 390, ...IPAD }, shrinks: true },
];

// What the page's first versions left on a device: a record per program in
// fifteen columns, a row under way, the name given.
const OLD = ['日時', '名前', 'プログラム', '練習', '問題', '内容', '1回目', '結果', '回数', 'ヒント', '入力', '正答',
             '符号の誤り', '自己採点', '秒'];
const oldRow = (time, program, practice, problem, result) =>
  [time, '山田', program, practice, problem, '', '○', result, '1', '0', '3', '3', '', '', '9'];
const OLD_DEVICE = {
  'varnel1.record': { columns: OLD, rows: [oldRow('2026-11-02 10:00:00', 'varnel1', '5', '3', '正解'),
                                           oldRow('2026-11-04 10:00:00', 'varnel1', '2', '1', '正解')] },
  'varnel2.record': { columns: OLD, rows: [oldRow('2026-11-03 09:00:00', 'varnel2', '1', '2', '不正解')] },
  'varnel1.pending': { columns: OLD, row: oldRow('2026-11-04 10:05:00', 'varnel1', '2', '4', '中断'), since: 0 },
  'varnel.name': '山田',
};

// A device of the scenario's own (some engines keep one profile for every
// page): its storage holds only who practises, given today unless the
// scenario says 'yesterday' (or null: nobody), and the record it gives.
async function device(page, { pupil = { class: '', number: '', name: '' }, record = null }) {
  await page.evaluate(({ pupil, record }) => {
    localStorage.clear();
    const day = new Date();
    if (pupil?.asked === 'yesterday') day.setDate(day.getDate() - 1);
    const asked = [day.getFullYear(), day.getMonth() + 1, day.getDate()].map((n) => String(n).padStart(2, '0')).join('-');
    if (pupil) localStorage.setItem('varnel.pupil', JSON.stringify({ ...pupil, asked }));
    if (record) localStorage.setItem('varnel.record', JSON.stringify(record));
  }, { pupil, record });
}

// The page's dialog (record, pupil) open; closed, once its close event is handled (a task later).
const opened = (page, id) => page.waitFor((id) => document.getElementById(id).open, `${id} open`, 15000, id);
const closed = (page, id) => page.waitFor((id) => new Promise((done) => setTimeout(() => done(!document.getElementById(id).open))),
                                          `${id} closed`, 15000, id);
// The device's record (its rows, oldest first) and the rows under way (their keys).
const keptRows = (page) => page.evaluate(() => JSON.parse(localStorage.getItem('varnel.record'))?.rows ?? []);
const underWay = (page) => page.evaluate(() => Object.keys(localStorage).filter((k) => k.startsWith('varnel.pending.')));
// The problem's answers (from its globals s) typed, each blank closed by Enter.
async function answer(page, s) {
  for (const a of answersOf(s)) await page.press(...a, 'Enter');
}

// bank: 1 or 2; viewport: { width, height, dpr, touch, served } (1280 x 800 at ratio 1 from
// disk unless given; served: from a static host over http, the program beside the page);
// pupil, record: the device's (see device); play(page, engine): the scenario, from the main menu.
const scenarios = [
  {
    name: 'varnel1 served: practice from problem 2 started with keys, its answer typed and marked right',
    bank: 1,
    viewport: { served: true },
    async play(page) {
      assert.equal((await page.state()).title_text, 'varnel1');
      await page.screenshot('varnel1-menu');
      await page.press('1', '2', 'Enter');
      const s = await page.until((s) => s.problem_no === 2 && s.practice_runs === 1 && answersOf(s), 'problem 2');
      const answers = answersOf(s);
      for (const a of answers) await page.press(...a, 'Enter');
      const done = await page.until((s) => s.problem_done[2] === 1, 'problem 2 marked');
      await page.screenshot('varnel1-problem2-right');
      assert.equal(done.mark_result, 2);
      assert.equal(done.attempt_count, 1);
      assert.deepEqual(done.typed.slice(1, answers.length + 1), answers);
    },
  },
  {
    name: 'varnel1: problem 2 answered right with what an input method commits (ー, 。, full-width digits)',
    bank: 1,
    async play(page) {
      await page.press('1', '2', 'Enter');
      const answers = answersOf(await page.until((s) => s.problem_no === 2 && answersOf(s), 'problem 2'));
      const committed = answers.map((a) => kanaOf(a));
      assert.match(committed.join(''), /ー.*。|。.*ー/, `the answers ${answers} have a minus and a point`);
      for (const text of committed) {
        await page.commit(text);
        await page.press('Enter');
      }
      const done = await page.until((s) => s.problem_done[2] === 1, 'problem 2 marked');
      await page.screenshot('varnel1-problem2-kana');
      assert.equal(done.mark_result, 2);
      assert.deepEqual(done.typed.slice(1, answers.length + 1), answers);
    },
  },
  {
    name: 'varnel2: problem 2\'s fractions answered right as an input method commits them (−１・２)',
    bank: 2,
    async play(page) {
      await page.press('1', '2', 'Enter');
      const answers = answersOf(await page.until((s) => s.problem_no === 2 && answersOf(s), 'problem 2'));
      const committed = answers.map((a) => kanaOf(a, { ...KANA, '-': '−' }));
      assert.ok(committed.some((t) => t.includes('・')), `a fraction among ${committed}`);
      for (const text of committed) {
        await page.commit(text);
        await page.press('Enter');
      }
      const done = await page.until((s) => s.problem_done[2] === 1, 'problem 2 marked');
      assert.equal(done.mark_result, 2);
      assert.deepEqual(done.typed.slice(1, answers.length + 1), answers);
    },
  },
  {
    name: 'varnel2 served: problem 2 answered right, fractions and all, by taps on the keypad at ratio 2 in portrait',
    bank: 2,
    viewport: { width: 820, height: 1180, ...IPAD, served: true },
    async play(page, engine) {
      assert.equal(await keypadShown(page), engine.emulates.touch, 'the keypad shows by itself on a touch screen');
      await showKeypad(page);
      for (const key of ['1', '2', '決定']) await page.tap(key);
      const answers = answersOf(await page.until((s) => s.problem_no === 2 && answersOf(s), 'problem 2'));
      assert.ok(answers.some((a) => a.includes('/')), `a fraction among ${answers}`);
      await page.tap('9');
      await page.tap('消す');
      for (const a of answers) for (const key of tapsFor(a)) await page.tap(key);
      const done = await page.until((s) => s.problem_done[2] === 1, 'problem 2 marked');
      await page.screenshot('varnel2-problem2-keypad');
      assert.equal(done.mark_result, 2);
      assert.equal(done.attempt_count, 1);
      assert.deepEqual(done.typed.slice(1, answers.length + 1), answers);
      // The keyboard still types: the next problem chosen with a key.
      await page.press('2');
      await page.until((s) => s.problem_no === 3, 'problem 3 after a typed 2');
      await assert.rejects(page.tap('÷'), /no button named/);
    },
  },
  {
    name: 'the keys go past the input method to the drawing while a key is waited for, to the field for an answer; on a touch screen without the keypad, the system keyboard: its digits, then all of it',
    bank: 1,
    viewport: { width: 1180, height: 820, ...IPAD },
    async play(page, engine) {
      const touch = engine.emulates.touch;
      const keys = () => page.evaluate(() => ({ to: document.activeElement.id,
                                                mode: document.getElementById('input').inputMode,
                                                focuses: window.focuses }));
      // The keys go to the drawing once the first screen is painted, the keypad shown or not.
      await page.waitFor(() => document.activeElement.id === 'screen', 'the drawing focused');
      await page.evaluate(() => {
        window.focuses = 0;
        document.getElementById('input').addEventListener('focus', () => window.focuses++);
      });
      if (await keypadShown(page)) {
        assert.equal((await keys()).mode, 'none');
        await page.tap('キーパッド');
        await page.waitFor(() => document.getElementById('keypad').hidden, 'the keypad hidden');
      }
      await page.evaluate(() => { window.focuses = 0; });
      await page.tap({ x: 400, y: 300 });
      assert.deepEqual(await keys(), touch ? { to: 'input', mode: 'numeric', focuses: 1 }
                                           : { to: 'screen', mode: 'numeric', focuses: 0 });
      await page.press('1', '2', 'Enter');
      await page.until((s) => s.problem_no === 2 && answersOf(s), 'problem 2');
      await page.waitFor(() => document.activeElement.id === 'input', 'the field, for the answer');
      assert.equal((await keys()).mode, '', 'the whole keyboard for an answer');
      await page.press('0', 'Enter', '0', 'Enter');
      await page.until((s) => s.attempt_count === 1 && s.mark_result === 1, 'the answer marked');
      await page.waitFor((to) => document.activeElement.id === to,
                         'the keys past the input method again, at the space prompt', 15000, touch ? 'input' : 'screen');
      assert.equal((await keys()).mode, 'numeric');
    },
  },
  ...layouts.map(({ name, viewport, turned, shrinks }) => ({
    name: `layout ${name} (${viewport.width} x ${viewport.height}): the keypad clear of the drawing, in the window, keys of 44 px or more`,
    bank: 1,
    viewport,
    async play(page) {
      await showKeypad(page);
      await page.press('1', '2', 'Enter');
      await page.until((s) => s.problem_no === 2 && answersOf(s), 'problem 2');
      await checkLayout(page, name, !shrinks);
      await page.screenshot(`layout-${name}`);
      if (turned) {
        await page.resize(turned.width, turned.height);
        await page.settled();
        await checkLayout(page, `${name} turned`);
        await page.screenshot(`layout-${name}-turned`);
      }
    },
  })),
  {
    name: 'one record for both programs: the first versions\' records taken in, practices numbered on after them, ' +
          'today\'s rows or all saved as CSV, cleared after asking',
    bank: 2,
    viewport: { width: 1366, height: 768 },
    pupil: null,
    async play(page) {
      await page.evaluate((old) => {
        for (const [key, value] of Object.entries(old)) localStorage.setItem(key, JSON.stringify(value));
      }, OLD_DEVICE);
      await page.reload();
      await page.waitFor(() => !Object.keys(localStorage).some((k) => /^varnel[12]\.|^varnel\.name$/.test(k)),
                         'the old stores taken in and gone');
      assert.deepEqual((await keptRows(page)).map((r) => r.slice(0, 7).concat(r[9])), [
        ['2026-11-02 10:00:00', '', '', '山田', 'varnel1', '5', '3', '正解'],
        ['2026-11-03 09:00:00', '', '', '山田', 'varnel2', '1', '2', '不正解'],
        ['2026-11-04 10:00:00', '', '', '山田', 'varnel1', '2', '1', '正解'],
        ['2026-11-04 10:05:00', '', '', '山田', 'varnel1', '2', '4', '中断']]);

      // A practice in each program: numbered on from the old rows' highest, one count for both.
      const last = (await page.state()).problem_count;   // so that the main menu comes next
      await page.press('1');
      await opened(page, 'pupil');
      assert.equal(await page.evaluate(() => document.getElementById('pupil-name').value), '山田', 'the old name');
      await page.press('Enter', ...String(last), 'Enter');
      await answer(page, await page.until((s) => s.problem_no === last && answersOf(s), 'the last problem'));
      await page.until((s) => s.problem_done[last] === 1, 'the last problem marked');
      await page.press('3');
      await page.until((s) => s.grid_cells === 0, 'the main menu');
      await page.goto(1);
      await page.press('1', '2', 'Enter');
      await answer(page, await page.until((s) => s.problem_no === 2 && answersOf(s), 'varnel1 problem 2'));
      await page.until((s) => s.problem_done[2] === 1, 'varnel1 problem 2 marked');
      assert.deepEqual((await keptRows(page)).slice(4).map((r) => [r[3], r[4], r[5], r[6], r[9]]),
                       [['山田', 'varnel2', '6', String(last), '正解'], ['山田', 'varnel1', '7', '2', '正解']]);

      const shown = () => page.evaluate(() => [...document.querySelectorAll('#record-rows tr')].slice(1)
        .map((tr) => [...tr.cells].map((c) => c.textContent)));
      await page.tap('記録');
      await opened(page, 'record');
      assert.deepEqual((await shown()).map((r) => [r[2], r[4], r[1]]),   // newest first: 問題, 結果, プログラム
                       [['2', '正解', 'varnel1'], [String(last), '正解', 'varnel2'], ['4', '中断', 'varnel1'],
                        ['1', '正解', 'varnel1'], ['2', '不正解', 'varnel2'], ['3', '正解', 'varnel1']]);
      await page.screenshot('record');
      await page.press('2');   // taken by the record's view, not by the drill

      await page.evaluate(() => {
        HTMLAnchorElement.prototype.click = function () { (window.saved ??= []).push({ name: this.download, href: this.href }); };
      });
      await page.tap('今日の分を CSV で保存');
      await page.tap('すべてを CSV で保存');
      const saved = await page.evaluate(() => Promise.all(window.saved.map(async ({ name, href }) => {
        const bytes = new Uint8Array(await (await fetch(href)).arrayBuffer());
        return { name, bom: [...bytes.slice(0, 3)], lines: new TextDecoder().decode(bytes).split('\r\n') };
      })));
      const file = /^varnel-record-山田-\d{4}-\d\d-\d\d\.csv$/;
      assert.deepEqual(saved.map((f) => [file.test(f.name), f.bom, f.lines.length, f.lines.at(-1)]),
                       [[true, [0xef, 0xbb, 0xbf], 4, ''], [true, [0xef, 0xbb, 0xbf], 8, '']]);
      assert.equal(saved[1].lines[0], COLUMNS.join(','));
      assert.match(saved[1].lines[6], /,山田,varnel1,7,2,/);

      await page.tap('記録を消す');
      assert.equal((await shown()).length, 6, 'asked first');
      await page.tap('やめる');
      await page.tap('記録を消す');
      await page.tap('消す');
      assert.deepEqual(await shown(), []);
      await page.tap('閉じる');
      assert.equal((await page.state()).problem_no, 2, 'the drill took no key while the record was open');
    },
  },
  {
    name: 'a dialog closed by 閉じる, by Esc or by a tap beside it gives the keys back where the pupil was, typing included',
    bank: 1,
    pupil: null,
    async play(page) {
      const closers = [['閉じる', () => page.tap('閉じる')], ['Esc', () => page.press('Escape')],
                       ['a tap beside it', () => page.tap({ x: 4, y: 4 })]];
      // Who practises, asked as a practice starts: closed unanswered, the next practice asks again.
      for (const [how, close] of closers) {
        await page.press('1');
        await opened(page, 'pupil');
        await close();
        await closed(page, 'pupil');
        await page.press('4');
        await page.until((s) => s.work_string === '4', `the start number typed after ${how}`);
        await page.reload();
      }
      // The record's view, over an answer being typed.
      await page.press('1');
      await opened(page, 'pupil');
      await page.press('Enter');
      await closed(page, 'pupil');
      await page.press('2', 'Enter');
      await page.until((s) => s.problem_no === 2 && answersOf(s), 'problem 2');
      await page.waitFor(() => document.activeElement.id === 'input', 'the answer\'s field');
      await page.press('3');
      for (const [i, [how, close]] of closers.entries()) {
        await page.tap('記録');
        await opened(page, 'record');
        await close();
        await closed(page, 'record');
        await page.press(String(4 + i));
        await page.until((s) => s.answer_text === '3456'.slice(0, 2 + i), `${4 + i} typed after ${how}`);
      }
    },
  },
  ...[
    { way: 'keys', viewport: {}, number: '１６番', enter: 'Enter', keys: (page, ...k) => page.press(...k),
      answer: (a) => [...a, 'Enter'] },
    { way: 'taps on the keypad', viewport: { width: 820, height: 1180, ...IPAD }, enter: '決定',
      keys: async (page, ...k) => { for (const key of k) await page.tap(key); }, answer: tapsFor },
  ].map(({ way, viewport, number, enter, keys, answer }) => ({
    name: `who practises, by ${way}: asked at the day's first practice with the last pupil given, confirmed at one ` +
          'press, named on every row; not asked again that day',
    bank: 2,
    viewport,
    pupil: { class: '2', number: '15', name: '山田 花子', asked: 'yesterday' },
    async play(page) {
      await showKeypad(page);
      await keys(page, '1');
      await opened(page, 'pupil');
      const fields = () => page.evaluate(() => ['class', 'number', 'name'].map((f) => document.getElementById('pupil-' + f).value));
      assert.deepEqual(await fields(), ['2', '15', '山田 花子']);
      if (number) {   // 番号 takes digits and 組 is written as a keyboard writes it, from an input method too
        await page.evaluate(() => document.getElementById('pupil-number').select());
        await page.commitText(number);
        await page.evaluate(() => document.getElementById('pupil-class').select());
        await page.commitText('３');
        assert.deepEqual(await fields(), ['3', '16', '山田 花子']);
      }
      await keys(page, enter);
      const last = (await page.state()).problem_count;
      await keys(page, ...String(last), enter);
      const answers = answersOf(await page.until((s) => s.problem_no === last && answersOf(s), 'the last problem'));
      for (const a of answers) await keys(page, ...answer(a));
      await page.until((s) => s.problem_done[last] === 1, 'the last problem marked');
      assert.deepEqual((await keptRows(page))[0].slice(1, 4), number ? ['3', '16', '山田 花子'] : ['2', '15', '山田 花子']);
      await keys(page, '3');
      await page.until((s) => s.grid_cells === 0, 'the main menu');
      await keys(page, '1', '4');
      await page.until((s) => s.work_string === '4', 'the start number, asked at once');
      assert.equal(await page.evaluate(() => document.getElementById('pupil').open), false);
    },
  })),
  {
    name: 'two tabs at once: a start settles the problems under way of tabs that are gone, never an open tab\'s',
    bank: 1,
    viewport: { served: true },
    async play(page) {
      const rows = async () => (await keptRows(page)).map((r) => [r[4], r[6], r[9]]);
      await page.press('1', '2', 'Enter');
      const s = await page.until((s) => s.problem_no === 2 && answersOf(s), 'problem 2');
      const [mine] = await underWay(page);
      // A tab the browser ended an hour ago left problem 7 under way.
      await page.evaluate((mine) => {
        const p = JSON.parse(localStorage.getItem(mine));
        Object.assign(p, { since: p.since - 3600e3, seen: p.seen - 3600e3 }).row[6] = '7';
        localStorage.setItem('varnel.pending.ended', JSON.stringify(p));
      }, mine);
      // A second tab starts: varnel2, in a frame of this one (its keys put in its queue).
      await page.evaluate(() => document.body.append(Object.assign(document.createElement('iframe'),
                                                                   { id: 'other', src: 'varnel2.html' })));
      await page.waitFor(() => localStorage.getItem('varnel.pending.ended') === null, 'the ended tab\'s problem settled', 30000);
      assert.deepEqual([await rows(), await underWay(page)], [[['varnel1', '7', '中断']], [mine]]);
      await page.evaluate(() => {
        const M = document.getElementById('other').contentWindow.Module;
        M.varnelKeys.push('1', '3', 'Enter');
        M.varnelWake?.();
      });
      await page.waitFor(() => Object.keys(localStorage).filter((k) => k.startsWith('varnel.pending.')).length === 2 &&
                               document.getElementById('other').contentDocument.activeElement.id === 'input',
                         'the second tab\'s problem under way, at its answer');
      await page.tap({ x: 700, y: 500 });   // the pupil back at this tab
      // This tab's problem finished, the other's still under way; then the other tab closed.
      await answer(page, s);
      await page.until((s) => s.problem_done[2] === 1, 'problem 2 marked');
      assert.deepEqual([await rows(), (await underWay(page)).length], [[['varnel1', '7', '中断'], ['varnel1', '2', '正解']], 1]);
      await page.evaluate(() => document.getElementById('other').remove());
      await page.waitFor(() => !Object.keys(localStorage).some((k) => k.startsWith('varnel.pending.')), 'the frame\'s row settled');
      assert.deepEqual((await rows()).at(-1), ['varnel2', '3', '中断']);
    },
  },
  ...[['chromebook-1366', { width: 1366, height: 768 }], ['ipad-portrait', { width: 820, height: 1180, ...IPAD }]]
    .map(([name, viewport]) => ({
      name: `the record at ${name}, 60 rows of two pupils: the pupil's own rows unless all are asked for, ` +
            'the first columns in view, the summary at full height counting finished problems',
      bank: 1,
      viewport,
      pupil: { class: '1', number: '12', name: '山田 花子' },
      record: sampleRecord(60, [['1', '12', '山田 花子'], ['1', '7', '佐藤 一郎']], '2026-12-10'),
      async play(page) {
        await page.tap('記録');
        await opened(page, 'record');
        const view = () => page.evaluate(() => {
          const box = (el) => el.getBoundingClientRect();
          const table = (id) => [...document.querySelectorAll(`#${id} tr`)].map((tr) => [...tr.cells]);
          const [head, ...rows] = table('record-rows');
          const [, ...problems] = table('record-summary');
          const summary = document.getElementById('record-summary');
          const col = (name) => head.findIndex((c) => c.textContent === name);
          return {
            first: head.slice(0, 6).map((c) => c.textContent),
            inView: Math.min(box(document.getElementById('record-rows').parentElement).right, innerWidth) -
                    Math.max(...head.slice(0, 6).map((c) => box(c).right)),
            names: [...new Set(rows.map((r) => r[col('名前')].textContent))],
            rows: rows.length,
            finished: rows.filter((r) => r[col('結果')].textContent !== '中断').length,
            counted: problems.reduce((n, r) => n + Number(r[3].textContent), 0),
            squeezed: box(summary.parentElement).height - box(summary).height,
            lowest: Math.min(...problems.map((r) => box(r[0]).height)),
          };
        });
        let v = await view();
        assert.deepEqual(v.first, ['日時', 'プログラム', '問題', '1回目', '結果', '符号の誤り']);
        assert.ok(v.inView >= 0, `the first six columns in view (${v.inView} px to spare)`);
        assert.ok(v.squeezed >= 0 && v.lowest >= 20, `the summary at full height: ${JSON.stringify(v)}`);
        assert.deepEqual([v.names, v.rows, v.counted], [['山田 花子'], 30, v.finished]);
        await page.screenshot(`record-${name}`);
        await page.tap(await page.evaluate(() => {
          const r = document.getElementById('record-all').getBoundingClientRect();
          return { x: r.x + r.width / 2, y: r.y + r.height / 2 };
        }));
        v = await view();
        assert.deepEqual([v.names.sort(), v.rows, v.counted], [['佐藤 一郎', '山田 花子'], 60, v.finished]);
      },
    })),
  {
    name: 'leaving the page asks first during a practice, not at the menu',
    bank: 2,
    async play(page) {
      assert.equal(await asksBeforeLeaving(page), false, 'at the menu');
      await page.press('1', '1', 'Enter');
      await page.until((s) => s.problem_no === 1 && s.practice_runs === 1, 'problem 1');
      assert.equal(await asksBeforeLeaving(page), true, 'in a practice');
    },
  },
];

for (const name of selectedEngines()) {
  describe(name, () => {
    let engine;
    before(async () => { engine = await launch(name); });
    after(async () => { await engine?.close(); });

    for (const scenario of scenarios) {
      test(scenario.name, { timeout: 120000 }, async () => {
        const page = await engine.open(scenario.bank, scenario.viewport);
        try {
          await device(page, scenario);
          await scenario.play(page, engine);
          assert.deepEqual(await page.errors(), []);
        } finally {
          await page.close();
        }
      });
    }
  });
}

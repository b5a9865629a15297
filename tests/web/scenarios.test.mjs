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

// bank: 1 or 2; viewport: { width, height, dpr, touch, served } (1280 x 800 at ratio 1 from
// disk unless given; served: from a static host over http, the program beside the page);
// play(page, engine): the scenario, from the main menu.
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
    name: 'the record lists a practice\'s rows, saves them as CSV with a byte-order mark, keeps them over a reload, and asks before clearing',
    bank: 2,
    viewport: { width: 1366, height: 768 },
    async play(page) {
      await page.evaluate(() => localStorage.clear());   // a device of its own (some engines keep one profile)
      const last = (await page.state()).problem_count;   // so that the main menu comes next
      await page.press('1', ...String(last), 'Enter');
      const answers = answersOf(await page.until((s) => s.problem_no === last && answersOf(s), 'the last problem'));
      for (const a of answers) await page.press(...a, 'Enter');
      await page.until((s) => s.problem_done[last] === 1, 'the last problem marked');
      await page.press('3');
      await page.until((s) => s.grid_cells === 0, 'the main menu');
      const rows = () => page.evaluate(() => [...document.querySelectorAll('#record-rows tr')].slice(1)
        .map((tr) => [...tr.cells].map((c) => c.textContent)));
      await page.tap('記録');
      await page.waitFor(() => document.getElementById('record').open, 'the record');
      const [row] = await rows();
      assert.deepEqual([row.length, row[4], row[6], row[8], row[9]], [17, 'varnel2', String(last), '○', '正解']);
      await page.screenshot('record');
      await page.press('2');   // taken by the record's view, not by the menu (2: browsing)

      await page.evaluate(() => {
        HTMLAnchorElement.prototype.click = function () { window.saved = { name: this.download, href: this.href }; };
      });
      await page.tap('CSV で保存');
      const saved = await page.evaluate(async () => {
        const bytes = new Uint8Array(await (await fetch(window.saved.href)).arrayBuffer());
        return { name: window.saved.name, bom: [...bytes.slice(0, 3)], text: new TextDecoder().decode(bytes) };
      });
      assert.match(saved.name, /^varnel2-record-\d{4}-\d\d-\d\d\.csv$/);
      assert.deepEqual(saved.bom, [0xef, 0xbb, 0xbf]);
      const lines = saved.text.split('\r\n');
      assert.deepEqual([lines.length, lines[0].split(',').length, lines[2]], [3, 17, '']);
      assert.ok(lines[1].includes(`,varnel2,1,${last},`), lines[1]);

      await page.tap('閉じる');
      assert.equal((await page.state()).view_mode, 0, 'the menu took no key while the record was open');
      await page.reload();
      await page.tap('記録');
      await page.waitFor(() => document.getElementById('record').open, 'the record after a reload');
      assert.equal((await rows()).length, 1);
      await page.tap('記録を消す');
      assert.equal((await rows()).length, 1, 'asked first');
      await page.tap('やめる');
      await page.tap('記録を消す');
      await page.tap('すべて消す');
      assert.deepEqual(await rows(), []);
    },
  },
  {
    name: 'the record closed by 閉じる, by Esc or by a tap beside it gives the keys back where the pupil was, typing included',
    bank: 1,
    async play(page) {
      const closers = [['閉じる', () => page.tap('閉じる')], ['Esc', () => page.press('Escape')],
                       ['a tap beside it', () => page.tap({ x: 4, y: 4 })]];
      const opened = (id) => page.waitFor((id) => document.getElementById(id).open, id, 15000, id);
      const closed = (id) => page.waitFor((id) => new Promise((done) => setTimeout(() => done(!document.getElementById(id).open))),
                                          `${id} closed`, 15000, id);
      await page.press('1', '2', 'Enter');
      await page.until((s) => s.problem_no === 2 && answersOf(s), 'problem 2');
      await page.waitFor(() => document.activeElement.id === 'input', 'the answer\'s field');
      await page.press('3');
      for (const [i, [how, close]] of closers.entries()) {
        await page.tap('記録');
        await opened('record');
        await close();
        await closed('record');
        await page.press(String(4 + i));
        await page.until((s) => s.answer_text === '3456'.slice(0, 2 + i), `${4 + i} typed after ${how}`);
      }
    },
  },
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
          await scenario.play(page, engine);
          assert.deepEqual(await page.errors(), []);
        } finally {
          await page.close();
        }
      });
    }
  });
}

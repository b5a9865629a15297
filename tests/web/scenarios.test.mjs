// The browser pages end to end in Chromium, Firefox and WebKit: every scenario
// below runs in every engine $VARNEL_ENGINES names (all three unless it says
// otherwise), on a page opened at the scenario's viewport and already showing
// the main menu. Screenshots go to $VARNEL_WEB_DIR/e2e/<engine>-<name>.png.
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

// bank: 1 or 2; viewport: { width, height, dpr, touch } (1280 x 800 at ratio 1 unless given);
// play(page, engine): the scenario, from the main menu.
const scenarios = [
  {
    name: 'varnel1: practice from problem 2 started with keys, its answer typed and marked right',
    bank: 1,
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
    // The on-screen keypad's buttons will be tapped this way; until the page has
    // them, two stand-ins show that the tap lands on the button of that name.
    name: 'a tap on a button found by its name reaches that button, at ratio 2 in portrait',
    bank: 2,
    viewport: { width: 820, height: 1180, dpr: 2, touch: true },
    async play(page, engine) {
      await page.evaluate(() => {
        window.tapped = [];
        for (const [name, bottom] of [['+', 120], ['決定', 40]]) {
          const b = document.createElement('button');
          b.textContent = name;
          b.style.cssText = `position: fixed; right: 30px; bottom: ${bottom}px; width: 90px; height: 60px`;
          b.addEventListener('click', (e) => window.tapped.push([name, e.isTrusted]));
          b.addEventListener('pointerup', (e) => window.tapped.push([name, e.pointerType]));
          document.body.append(b);
        }
      });
      await page.tap('決定');
      await page.waitFor(() => window.tapped.some((t) => t[1] === true), 'the click');
      const pointer = engine.emulates.touch ? 'touch' : 'mouse';
      assert.deepEqual(await page.evaluate(() => window.tapped), [['決定', pointer], ['決定', true]]);
      await assert.rejects(page.tap('÷'), /no button named/);
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

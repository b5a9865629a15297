// The three browser engines the end-to-end scenarios run in, all from Debian
// packages, behind one small page interface:
//
//   chromium  /usr/bin/chromium, driven by playwright-core
//   firefox   /usr/bin/firefox-esr, driven by puppeteer-core over WebDriver BiDi
//   webkit    WebKit2GTK 4.1 from Python (webkit_driver.py) under Xvfb, its
//             keys, text and clicks sent through X with xdotool
//
// launch(name) gives an engine; engine.open(bank, viewport) gives a page at the
// main menu, engine.openFile(name, viewport) another page as it loads. A page can read the drill's globals (state, until), press named
// keys (press), type text as an input method commits it (commit), tap or click
// a CSS-pixel point or a button found by its accessible name (tap), change the
// window's size (resize), load the page afresh (reload) or the other program's
// page in its place (goto), and save a screenshot as
// $VARNEL_WEB_DIR/e2e/<engine>-<name>.png (screenshot). Errors thrown in the page
// and errors it logs are kept (errors).
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import readline from 'node:readline';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';
import puppeteer from 'puppeteer-core';
import { serve } from './host.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const webDir = path.resolve(process.env.VARNEL_WEB_DIR || path.join(here, '..', '..', 'build-web'));
const outDir = path.join(webDir, 'e2e');

// The page of a program (1 or 2) or another page of build-web/ (by its file
// name), from disk (a program's page hands over to its single file), or served
// over http.
let host = null;
async function pageUrl(page, served) {
  const [file, hash] = (typeof page === 'number' ? `varnel${page}.html` : page).split('#');
  const after = hash === undefined ? '' : '#' + hash;   // ("varnel1.html#print": its print maker)
  if (!served) return pathToFileURL(path.join(webDir, file)).href + after;
  host ??= await serve(webDir);
  host.unref();
  return `http://127.0.0.1:${host.address().port}/${file}${after}`;
}

const ENGINES = ['chromium', 'firefox', 'webkit'];

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// What every engine's page shares; each engine supplies evaluate, press,
// commitText, tapAt, buttonAt, setSize, reopen, navigate, shoot, errors and close.
class Page {
  constructor(engine, viewport) {
    this.engine = engine;
    this.viewport = viewport;
  }

  // Polls fn in the page until it returns something true, and returns that.
  async waitFor(fn, what, timeout = 15000, arg = undefined) {
    const deadline = Date.now() + timeout;
    for (;;) {
      const value = await this.evaluate(fn, arg);
      if (value) return value;
      if (Date.now() > deadline) throw new Error(`${this.engine}: timed out waiting for ${what}`);
      await sleep(50);
    }
  }

  // The first frame that carries drawing, once the globals show the main menu's program.
  menuShown() {
    return this.waitFor(() => typeof varnel !== 'undefined' && varnel.frames.some((f) => f.ops > 0) &&
                              varnel.state().problem_count > 0, 'the main menu', 30000);
  }

  state() { return this.evaluate(() => varnel.state()); }

  // Text as an input method commits it, into the answer's field once the drill
  // takes typed text (it has the focus then, and only then).
  async commit(text) {
    await this.waitFor(() => document.activeElement.id === 'input', 'the answer\'s field');
    return this.commitText(text);
  }

  async until(predicate, what, timeout = 15000) {
    const deadline = Date.now() + timeout;
    for (;;) {
      const s = await this.state();
      if (predicate(s)) return s;
      if (Date.now() > deadline)
        throw new Error(`${this.engine}: timed out waiting for ${what}; globals: ${JSON.stringify(s)}`);
      await sleep(50);
    }
  }

  // Named keys one after another: "Enter", "Backspace", "Space", "F1".."F12",
  // "Control+l", or one printable character ("2", "-", ".").
  async press(...names) {
    for (const name of names) await this.pressKey(name);
  }

  // Taps (or, where the engine has no touch, clicks) a CSS-pixel point { x, y },
  // or the centre of the one button whose accessible name is target, once the
  // page shows it (within 3 s).
  async tap(target) {
    let point = target;
    for (const deadline = Date.now() + 3000; typeof target === 'string';) {
      point = await this.buttonAt(target);
      if (point || Date.now() > deadline) break;
      await sleep(50);
    }
    if (!point) throw new Error(`${this.engine}: no button named ${JSON.stringify(target)}`);
    await this.tapAt(point.x, point.y);
  }

  // The page loaded afresh (where nothing asks first: not during a practice), at its main menu.
  async reload() {
    await this.reopen();
    await this.menuShown();
  }

  // Program bank's page in this one's place, from the same place (disk or host), at its main menu.
  async goto(bank) {
    await this.navigate(await pageUrl(bank, this.viewport.served));
    await this.menuShown();
  }

  // The window becomes width x height CSS pixels (a tablet turned round).
  async resize(width, height) {
    await this.setSize(width, height);
    this.viewport = { ...this.viewport, width, height };
    await this.waitFor(([w, h]) => document.documentElement.clientWidth === w &&
                                   document.documentElement.clientHeight === h, `a ${width} x ${height} window`,
                       15000, [width, height]);
  }

  // Once the drill has drawn everything and sleeps waiting for a key (or has
  // ended), with no new frame for 100 ms, and the browser has painted it.
  async settled() {
    await this.waitFor(() => new Promise((resolve) => {
      const frames = varnel.frameCount;
      setTimeout(() => resolve(varnel.ended || (Module.varnelWake !== null && Module.varnelKeys.length === 0 &&
                                                varnel.frameCount === frames)), 100);
    }), 'the drill to wait for a key');
    await this.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
  }

  async screenshot(name) {
    await this.settled();
    fs.mkdirSync(outDir, { recursive: true });
    const file = path.join(outDir, `${this.engine}-${name}.png`);
    await this.shoot(file);
    return file;
  }
}

const centre = (box) => box && { x: box.x + box.width / 2, y: box.y + box.height / 2 };

// ---- Chromium ---------------------------------------------------------------

class ChromiumPage extends Page {
  constructor(page, viewport) {
    super('chromium', viewport);
    this.page = page;
    this.thrown = [];
    page.on('pageerror', (e) => this.thrown.push(e.message));
    page.on('console', (m) => { if (m.type() === 'error') this.thrown.push(m.text()); });
  }
  evaluate(fn, arg) { return this.page.evaluate(fn, arg); }
  pressKey(name) { return this.page.keyboard.press(name); }
  commitText(text) { return this.page.keyboard.insertText(text); }
  tapAt(x, y) { return this.viewport.touch ? this.page.touchscreen.tap(x, y) : this.page.mouse.click(x, y); }
  // (While a dialog of the page is open, only its own buttons can be pressed.)
  async buttonAt(name) {
    const dialogs = this.page.locator('dialog[open]');
    const within = (await dialogs.count()) ? dialogs.last() : this.page;
    const button = within.getByRole('button', { name, exact: true });
    return (await button.count()) === 1 ? centre(await button.boundingBox()) : null;
  }
  setSize(width, height) { return this.page.setViewportSize({ width, height }); }
  reopen() { return this.page.reload(); }
  navigate(url) { return this.page.goto(url); }
  shoot(file) { return this.page.screenshot({ path: file }); }
  async errors() { return this.thrown; }
  close() { return this.page.context().close(); }
}

async function launchChromium() {
  const browser = await chromium.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
                                          args: ['--no-sandbox'] });
  return {
    name: 'chromium',
    emulates: { dpr: true, touch: true },
    async open(bank, viewport) {
      const context = await browser.newContext({ viewport: { width: viewport.width, height: viewport.height },
                                                 deviceScaleFactor: viewport.dpr, hasTouch: viewport.touch });
      const page = new ChromiumPage(await context.newPage(), viewport);
      await page.page.goto(await pageUrl(bank, viewport.served));
      return page;
    },
    close: () => browser.close(),
  };
}

// ---- Firefox ------------------------------------------------------------------

// Puppeteer's names where they differ from Playwright's: the keys of a chord,
// the last pressed while the others are held.
const PUPPETEER_KEYS = { Space: [' '], 'Control+l': ['Control', 'l'] };

class FirefoxPage extends Page {
  constructor(page, viewport) {
    super('firefox', viewport);
    this.page = page;
    this.thrown = [];
    page.on('pageerror', (e) => this.thrown.push(e.message));
    page.on('console', (m) => { if (m.type() === 'error') this.thrown.push(m.text()); });
  }
  evaluate(fn, arg) { return this.page.evaluate(fn, arg); }
  async pressKey(name) {
    const keys = PUPPETEER_KEYS[name] ?? [name];
    const held = keys.slice(0, -1);
    for (const k of held) await this.page.keyboard.down(k);
    await this.page.keyboard.press(keys[keys.length - 1]);
    for (const k of held.reverse()) await this.page.keyboard.up(k);
  }
  // BiDi has no input-method command: the text is inserted into the focused
  // field as one edit, as a commit is (Puppeteer's own sendCharacter does the
  // same a character at a time).
  commitText(text) { return this.page.evaluate((t) => document.execCommand('insertText', false, t), text); }
  tapAt(x, y) { return this.viewport.touch ? this.page.touchscreen.tap(x, y) : this.page.mouse.click(x, y); }
  async buttonAt(name) {
    const within = (await this.page.$$('dialog[open]')).at(-1) ?? this.page;
    const found = await within.$$(`::-p-aria([name=${JSON.stringify(name)}][role="button"])`);
    return found.length === 1 ? centre(await found[0].boundingBox()) : null;
  }
  setSize(width, height) {
    return this.page.setViewport({ width, height, deviceScaleFactor: this.viewport.dpr });
  }
  reopen() { return this.page.reload(); }
  navigate(url) { return this.page.goto(url); }
  shoot(file) { return this.page.screenshot({ path: file }); }
  async errors() { return this.thrown; }
  close() { return this.page.close(); }
}

// Firefox 153 has no BiDi touch emulation (emulation.setTouchOverride), so a
// page that asks for touch opens in a second Firefox whose preferences make it
// a touch device: touch events, navigator.maxTouchPoints, (pointer: coarse).
const FIREFOX_TOUCH_PREFS = {
  'dom.w3c_touch_events.enabled': 1,
  'dom.w3c_touch_events.legacy_apis.enabled': true,
  'dom.maxtouchpoints.testing.value': 1,   // as Chromium's touch emulation reports
  'ui.primaryPointerCapabilities': 1,
  'ui.allPointerCapabilities': 1,
};

async function launchFirefox() {
  const start = (prefs) => puppeteer.launch({
    browser: 'firefox', protocol: 'webDriverBiDi', headless: true,
    executablePath: process.env.FIREFOX || '/usr/bin/firefox-esr', extraPrefsFirefox: prefs,
  });
  const browsers = { plain: await start({}), touch: null };
  return {
    name: 'firefox',
    emulates: { dpr: true, touch: true },
    async open(bank, viewport) {
      let browser = browsers.plain;
      if (viewport.touch) browser = browsers.touch ??= await start(FIREFOX_TOUCH_PREFS);
      const page = await browser.newPage();
      await page.setViewport({ width: viewport.width, height: viewport.height, deviceScaleFactor: viewport.dpr });
      const wrapped = new FirefoxPage(page, viewport);
      await page.goto(await pageUrl(bank, viewport.served));
      return wrapped;
    },
    async close() {
      for (const b of Object.values(browsers)) await b?.close();
    },
  };
}

// ---- WebKit -------------------------------------------------------------------

// X keysyms of the named keys; a single character is typed as itself.
const KEYSYMS = { Enter: 'Return', Backspace: 'BackSpace', Delete: 'Delete', Space: 'space',
                  'Control+l': 'ctrl+l', Tab: 'Tab', Escape: 'Escape', ArrowUp: 'Up', ArrowDown: 'Down',
                  ArrowLeft: 'Left', ArrowRight: 'Right' };
for (let n = 1; n <= 12; ++n) KEYSYMS[`F${n}`] = `F${n}`;

// One webkit_driver.py process, under its own Xvfb, for each page.
class WebKitPage extends Page {
  constructor(viewport) {
    super('webkit', viewport);
    const scale = viewport.dpr;
    if (!Number.isInteger(scale)) throw new Error(`webkit: GTK scales by whole device pixel ratios, not ${scale}`);
    // The screen holds the window at any size the tests may give it.
    const screen = `${Math.max(1920, viewport.width) * scale}x${Math.max(1200, viewport.height) * scale}x24`;
    const env = { ...process.env, GDK_SCALE: String(scale), GDK_BACKEND: 'x11', NO_AT_BRIDGE: '1' };
    delete env.WAYLAND_DISPLAY;
    this.proc = spawn('xvfb-run', ['-a', '-s', `-screen 0 ${screen}`, '/usr/bin/python3',
                                   path.join(here, 'webkit_driver.py'), String(viewport.width), String(viewport.height)],
                      { env, detached: true, stdio: ['pipe', 'pipe', 'pipe'] });
    this.stderr = '';
    this.proc.stderr.on('data', (d) => { this.stderr = (this.stderr + d).slice(-4000); });
    this.waiting = new Map();
    this.nextId = 1;
    this.exited = new Promise((resolve) => this.proc.on('exit', resolve));
    this.exited.then(() => {
      for (const { reject } of this.waiting.values())
        reject(new Error(`webkit: the driver ended\n${this.stderr}`));
      this.waiting.clear();
    });
    this.ready = new Promise((resolve, reject) => this.waiting.set(0, { resolve, reject }));
    readline.createInterface({ input: this.proc.stdout }).on('line', (line) => {
      const msg = JSON.parse(line);
      const waiter = this.waiting.get(msg.id);
      this.waiting.delete(msg.id);
      if (msg.ok) waiter?.resolve(msg.value);
      else waiter?.reject(new Error(`webkit: ${msg.error}`));
    });
  }

  // A command and its answer; none comes within a minute only if the driver hangs.
  send(cmd, args = {}) {
    const id = this.nextId++;
    let timer;
    return new Promise((resolve, reject) => {
      this.waiting.set(id, { resolve, reject });
      timer = setTimeout(() => {
        this.waiting.delete(id);
        reject(new Error(`webkit: no answer to ${cmd}\n${this.stderr}`));
      }, 60000);
      this.proc.stdin.write(JSON.stringify({ id, cmd, ...args }) + '\n');
    }).finally(() => clearTimeout(timer));
  }

  evaluate(fn, arg) {
    return this.send('call', { body: `return (${fn})(${arg === undefined ? '' : JSON.stringify(arg)});` });
  }
  pressKey(name) {
    if (KEYSYMS[name]) return this.send('key', { keysyms: [KEYSYMS[name]] });
    if ([...name].length === 1) return this.send('type', { text: name });
    throw new Error(`webkit: no key named ${name}`);
  }
  // As in Firefox, the text is inserted into the focused field as one edit.
  // (xdotool would type each character through a key mapped to it for the
  // moment, and the view now and then reads a key before its new mapping:
  // a character is dropped or repeated.)
  commitText(text) { return this.evaluate((t) => document.execCommand('insertText', false, t), text); }
  tapAt(x, y) { return this.send('click', { x, y }); }
  // WebKitGTK has no accessibility query here; the name is worked out as the
  // accessibility tree would for a plain button: aria-label, else its text;
  // while a modal dialog is open, only its own buttons are in the tree (the
  // page's dialogs open over each other in the order they stand in it).
  buttonAt(name) {
    return this.evaluate((name) => {
      const within = [...document.querySelectorAll('dialog[open]')].pop() ?? document;
      const named = [...within.querySelectorAll('button, [role="button"]')].filter((b) => {
        const label = b.getAttribute('aria-label') ?? b.textContent;
        return label.trim().replace(/\s+/g, ' ') === name && b.getClientRects().length > 0;
      });
      if (named.length !== 1) return null;
      const r = named[0].getBoundingClientRect();
      return { x: r.x + r.width / 2, y: r.y + r.height / 2 };
    }, name);
  }
  setSize(width, height) { return this.send('resize', { width, height }); }
  reopen() { return this.send('open', { url: this.url }); }
  navigate(url) {
    this.url = url;
    return this.reopen();
  }
  shoot(file) { return this.send('screenshot', { path: file }); }
  errors() { return this.evaluate(() => window.__varnelErrors); }

  async close() {
    if (this.proc.exitCode === null) {
      this.proc.stdin.end();
      let timer;
      const late = new Promise((resolve) => { timer = setTimeout(resolve, 10000, false); });
      const ended = await Promise.race([this.exited.then(() => true), late]);
      clearTimeout(timer);
      if (!ended) process.kill(-this.proc.pid, 'SIGKILL');   // the driver's own process group
    }
  }
}

async function launchWebKit() {
  const pages = new Set();
  return {
    name: 'webkit',
    emulates: { dpr: true, touch: false },   // a whole device pixel ratio (GTK's scale); clicks for taps
    async open(bank, viewport) {
      const page = new WebKitPage(viewport);
      pages.add(page);
      page.exited.then(() => pages.delete(page));
      try {
        await page.ready;
        page.url = await pageUrl(bank, viewport.served);
        await page.send('open', { url: page.url });
      } catch (e) {
        await page.close();
        throw e;
      }
      return page;
    },
    // Pages a failed scenario left open.
    async close() {
      for (const page of pages) await page.close();
    },
  };
}

const LAUNCHERS = { chromium: launchChromium, firefox: launchFirefox, webkit: launchWebKit };

// The engine, with open(bank, { width, height, dpr, touch }) giving a page at the main menu.
export async function launch(name) {
  const engine = await LAUNCHERS[name]();
  const open = engine.open;
  // Another page of build-web/ (class.html), as it loads.
  engine.openFile = (file, { width = 1280, height = 800, dpr = 1, touch = false, served = false } = {}) =>
    open(file, { width, height, dpr, touch, served });
  engine.open = async (bank, { width = 1280, height = 800, dpr = 1, touch = false, served = false } = {}) => {
    const page = await open(bank, { width, height, dpr, touch, served });
    try {
      await page.menuShown();
    } catch (e) {
      await page.close();
      throw e;
    }
    return page;
  };
  return engine;
}

// The engines to run: $VARNEL_ENGINES ("chromium firefox webkit") or all three.
export function selectedEngines() {
  const names = (process.env.VARNEL_ENGINES ?? ENGINES.join(' ')).split(/[\s,]+/).filter(Boolean);
  for (const n of names) if (!ENGINES.includes(n)) throw new Error(`unknown engine ${n}; known: ${ENGINES}`);
  return names;
}

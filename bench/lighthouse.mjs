// The pages as a school's pupils meet them, served from a static host over a
// slow network, scored by Lighthouse (pinned in bench/package.json) in
// Debian's headless Chromium (./dev bench runs it):
//
//   mobile   a mid-range phone: slow 4G, the processor 4 times slower
//   desktop  a desktop window on a fast line
//
// Lighthouse simulates both from a trace of one real load. The server sends
// build-web/ as every common static host does (tests/web/host.mjs): HTML,
// JavaScript, WebAssembly and the manifest gzip-compressed, the program as
// application/wasm, the PNG icons as they are. For each
// page and preset it prints the performance score and the five metrics, the
// median of RUNS runs (each metric's own median).
//
//   node bench/lighthouse.mjs [--runs 3] [--json FILE] [PAGE.html ...]
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import lighthouse from 'lighthouse';
import desktopConfig from 'lighthouse/core/config/desktop-config.js';
import * as chromeLauncher from 'chrome-launcher';
import { serve } from '../tests/web/host.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const args = process.argv.slice(2);
const option = (name, fallback) => {
  const i = args.indexOf(name);
  if (i < 0) return fallback;
  const [, value] = args.splice(i, 2);
  return value;
};
const runs = Number(option('--runs', '3'));
const jsonOut = option('--json', null);
const webDir = path.resolve(process.env.VARNEL_WEB_DIR || path.join(here, '..', 'build-web'));
const pages = args.length ? args : ['varnel1.html', 'varnel2.html'];

const server = await serve(webDir, { gzip: true });
const base = `http://127.0.0.1:${server.address().port}/`;

const METRICS = { FCP: 'first-contentful-paint', LCP: 'largest-contentful-paint', TBT: 'total-blocking-time',
                  CLS: 'cumulative-layout-shift', SI: 'speed-index' };
const median = (xs) => {
  const s = [...xs].sort((a, b) => a - b);
  return s.length % 2 ? s[(s.length - 1) / 2] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2;
};
const shown = (key, v) => (key === 'CLS' ? v.toFixed(3) : key === 'TBT' ? `${Math.round(v)} ms` : `${(v / 1000).toFixed(2)} s`);

async function audit(url, preset) {
  const chrome = await chromeLauncher.launch({ chromePath: process.env.CHROMIUM || '/usr/bin/chromium',
                                               chromeFlags: ['--headless=new', '--no-sandbox', '--disable-gpu'] });
  try {
    const { lhr } = await lighthouse(url, { port: chrome.port, onlyCategories: ['performance'], logLevel: 'error' },
                                     preset === 'desktop' ? desktopConfig : undefined);
    if (lhr.runtimeError) throw new Error(`${url}: ${lhr.runtimeError.message}`);
    return { score: Math.round(lhr.categories.performance.score * 100),
             ...Object.fromEntries(Object.entries(METRICS).map(([k, id]) => [k, lhr.audits[id].numericValue])) };
  } finally {
    await chrome.kill();
  }
}

const result = {};
try {
  for (const preset of ['mobile', 'desktop']) {
    for (const page of pages) {
      const got = [];
      for (let i = 0; i < runs; ++i) got.push(await audit(base + page, preset));
      const m = Object.fromEntries(['score', ...Object.keys(METRICS)].map((k) => [k, median(got.map((g) => g[k]))]));
      (result[page] ??= {})[preset] = { ...m, runs: got };
      console.log(`lighthouse ${preset}, ${page} served gzipped: performance ${m.score} (${got.map((g) => g.score).join(', ')}), ` +
                  Object.keys(METRICS).map((k) => `${k} ${shown(k, m[k])}`).join(', '));
    }
  }
} finally {
  server.close();
}
if (jsonOut) fs.writeFileSync(jsonOut, JSON.stringify(result, null, 2) + '\n');

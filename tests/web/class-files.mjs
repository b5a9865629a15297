// Record files of a whole class (or a school year), in the form the programs
// write, for the class page's screenshots and its benchmark: each pupil works
// the problems of both programs, some right at once, some with a sign error,
// some left unfinished. The problems' topics are the programs' own, read from
// rows the player makes.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

const COLUMNS = ['日時', '組', '番号', '名前', 'プログラム', '練習', '問題', '内容', '1回目', '結果', '回数', 'ヒント',
                 '入力', '正答', '符号の誤り', '自己採点', '秒'];
const FAMILY = ['佐藤', '鈴木', '高橋', '田中', '伊藤', '渡辺', '山本', '中村', '小林', '加藤', '吉田', '山田', '佐々木', '山口'];
const GIVEN = ['あおい', 'はると', 'ゆい', 'そうた', 'めい', 'ゆうと', 'さくら', 'りく', 'ひな', 'かいと', 'えま', 'れん'];

// { varnel1: [topic of 1, ...], varnel2: [...] }, from the 中断 row the player leaves at each problem.
export function topics(play) {
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'varnel-topics-'));
  const all = {};
  for (const [bank, count] of [[1, 11], [2, 10]]) {
    all[`varnel${bank}`] = [];
    for (let n = 1; n <= count; ++n) {
      const file = path.join(scratch, `${bank}-${n}.csv`);
      const run = spawnSync(play, ['--bank', String(bank), '--time', '09:00:00', '--keys', `1${n}{Enter}`, '--record', file]);
      if (run.status !== 0) throw new Error(`varnel-play: ${run.stderr}`);
      const line = fs.readFileSync(file, 'utf8').split('\r\n')[1];
      all[`varnel${bank}`].push(line.split(',')[7]);
    }
  }
  fs.rmSync(scratch, { recursive: true });
  return all;
}

// A field as the programs write it (the invisible mark before what a
// spreadsheet would change; quoted where it must be).
const field = (f) => {
  const text = /^[=+\-@]/.test(f) || (/\d/.test(f) && /^[\x20-\x7e，]*$/.test(f) && !/^(0|[1-9]\d{0,9})$/.test(f) &&
               !/^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d$/.test(f)) ? '\u2060' + f : f;
  return /[",\r\n]/.test(text) ? `"${text.replace(/"/g, '""')}"` : text;
};

// A deterministic pseudo-random sequence (the same class every run).
function random(seed) {
  let s = seed >>> 0;
  return () => ((s = (Math.imul(s ^ (s >>> 15), 0x2c1b3c6d) + 0x6d2b79f5) >>> 0) / 4294967296);
}

// The files: `pupils` pupils in classes of `perClass`, each with `files` files
// (practices on `files` days) of `rows` rows; { name: bytes }.
export function classFiles(topicsOf, { pupils = 35, perClass = 40, files = 1, rows = 21, day = new Date() } = {}) {
  const rnd = random(pupils * 1000 + files);
  const problems = Object.entries(topicsOf).flatMap(([program, list]) => list.map((topic, i) => [program, i + 1, topic]));
  const two = (n) => String(n).padStart(2, '0');
  const out = {};
  for (let p = 0; p < pupils; ++p) {
    const klass = String(1 + Math.floor(p / perClass)), number = String(1 + (p % perClass));
    const name = `${FAMILY[p % FAMILY.length]} ${GIVEN[(p * 7) % GIVEN.length]}`;
    const weak = rnd() < 0.25;   // a quarter of the class finds it hard
    for (let f = 0; f < files; ++f) {
      const d = new Date(day);
      d.setDate(d.getDate() - (files - 1 - f) * 2);
      const date = `${d.getFullYear()}-${two(d.getMonth() + 1)}-${two(d.getDate())}`;
      const lines = [COLUMNS.join(',')];
      for (let r = 0; r < rows; ++r) {
        const [program, problem, topic] = problems[r % problems.length];
        const right = rnd() < (weak ? 0.35 : 0.8), sign = !right && rnd() < 0.5, left = rnd() < 0.05;
        const answer = `${Math.floor(rnd() * 20) - 10}`;
        const typed = right ? answer : sign ? String(-Number(answer)) : '0';
        const attempts = left ? 1 : right ? 1 : 2 + Math.floor(rnd() * 2);
        const t = 9 * 3600 + r * 45;
        const row = [`${date} ${two(Math.floor(t / 3600))}:${two(Math.floor(t / 60) % 60)}:${two(t % 60)}`, klass, number,
                     name, program, String(f + 1), String(problem), topic, right ? '○' : '×',
                     left ? '中断' : right || attempts === 2 ? '正解' : '不正解', String(attempts),
                     String(right ? 0 : attempts - 1), typed, answer, sign ? '✓' : '', '', String(10 + Math.floor(rnd() * 80))];
        lines.push(row.map(field).join(','));
      }
      out[`${klass}-${number}-${f + 1}.csv`] = Buffer.from('\ufeff' + lines.join('\r\n') + '\r\n');
    }
  }
  return out;
}

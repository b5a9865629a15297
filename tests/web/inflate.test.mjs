// The page's own inflater (web/inflate.js), used where the browser has no
// DecompressionStream, against Node's zlib: every kind of block gzip writes.
//
//   node --test tests/web/inflate.test.mjs
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const inflate = new Function(`${fs.readFileSync(path.join(here, '..', '..', 'web', 'inflate.js'), 'utf8')}
return varnelInflate;`)();

// Bytes that compress as a program does: runs, repeats near and far, and noise.
function sample(size, seed) {
  const out = Buffer.alloc(size);
  let x = seed;
  for (let i = 0; i < size; ++i) {
    x = (x * 1103515245 + 12345) >>> 0;
    const r = x >>> 16;
    out[i] = r % 4 === 0 && i > 300 ? out[i - 1 - (r % 300)] : r % 7 === 0 ? 0 : r & 0xff;
  }
  return out;
}

test('inflates stored, fixed and dynamic blocks, and gzip headers with a name', () => {
  const cases = [
    ['empty', Buffer.alloc(0), {}],
    ['short text (fixed codes)', Buffer.from('varnel 正の数・負の数'), {}],
    ['stored blocks', sample(150000, 1), { level: 0 }],
    ['dynamic codes over several blocks', sample(300000, 2), { level: 9 }],
    ['long runs (distance 1, length 258)', Buffer.alloc(70000, 7), { level: 9 }],
  ];
  for (const [what, bytes, options] of cases) {
    const packed = zlib.gzipSync(bytes, options);
    assert.deepEqual(Buffer.from(inflate(packed)), bytes, what);
  }
  // A header with a file name (gzip's FNAME), as the gzip tool writes it.
  const named = zlib.gzipSync(Buffer.from('abc'));
  const withName = Buffer.concat([named.subarray(0, 3), Buffer.from([8]), named.subarray(4, 10),
                                  Buffer.from('varnel1.wasm\0'), named.subarray(10)]);
  assert.deepEqual(Buffer.from(inflate(withName)), Buffer.from('abc'));
  assert.throws(() => inflate(Buffer.from('not gzip at all')), /not gzip/);
  assert.throws(() => inflate(zlib.gzipSync(sample(5000, 3)).subarray(0, 1000)), /cut short|bad gzip/);
});

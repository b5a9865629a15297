// Unpacks gzip bytes (RFC 1952 around RFC 1951) into a Uint8Array, for the
// browsers without DecompressionStream (Safari before 16.4): the page carries
// its program gzipped. Slow beside the browser's own, and only used without it.
function varnelInflate(src) {
  if (src[0] !== 0x1f || src[1] !== 0x8b || src[2] !== 8) throw new Error('not gzip');
  const flags = src[3];
  let pos = 10;
  if (flags & 4) pos += 2 + (src[pos] | src[pos + 1] << 8);   // extra field
  if (flags & 8) while (src[pos++]);                         // name
  if (flags & 16) while (src[pos++]);                        // comment
  if (flags & 2) pos += 2;                                   // header CRC
  const n = src.length;
  const out = new Uint8Array((src[n - 4] | src[n - 3] << 8 | src[n - 2] << 16 | src[n - 1] << 24) >>> 0);
  let o = 0, buffer = 0, held = 0;
  const bits = (count) => {
    while (held < count) {
      if (pos >= n) throw new Error('gzip data cut short');
      buffer |= src[pos++] << held;
      held += 8;
    }
    const value = buffer & ((1 << count) - 1);
    buffer >>>= count;
    held -= count;
    return value;
  };
  // A canonical Huffman code from its code lengths: how many codes of each
  // length, and the symbols in code order.
  const code = (lengths) => {
    const count = new Uint16Array(16), offset = new Uint16Array(16), symbols = new Uint16Array(lengths.length);
    for (const l of lengths) count[l]++;
    count[0] = 0;
    for (let l = 1; l < 16; ++l) offset[l] = offset[l - 1] + count[l - 1];
    lengths.forEach((l, s) => { if (l) symbols[offset[l]++] = s; });
    return { count, symbols };
  };
  const symbol = (c) => {
    for (let len = 1, value = 0, first = 0, index = 0; len < 16; ++len) {
      value |= bits(1);
      const k = c.count[len];
      if (value - first < k) return c.symbols[index + value - first];
      index += k;
      first = (first + k) << 1;
      value <<= 1;
    }
    throw new Error('bad gzip code');
  };
  const LENGTH = [3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163,
                  195, 227, 258];
  const LENGTH_BITS = [0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0];
  const DISTANCE = [1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385, 513, 769, 1025, 1537, 2049,
                    3073, 4097, 6145, 8193, 12289, 16385, 24577];
  const DISTANCE_BITS = [0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12,
                         13, 13];
  const ORDER = [16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15];
  let last;
  do {
    last = bits(1);
    const type = bits(2);
    if (type === 0) {                    // stored: from the next byte on
      buffer = held = 0;
      const len = src[pos] | src[pos + 1] << 8;
      out.set(src.subarray(pos + 4, pos + 4 + len), o);
      pos += 4 + len;
      o += len;
      continue;
    }
    let literals, distances;
    if (type === 1) {                    // the fixed codes
      const lengths = [];
      for (let s = 0; s < 288; ++s) lengths.push(s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8);
      literals = code(lengths);
      distances = code(new Array(30).fill(5));
    } else if (type === 2) {             // codes of its own, themselves coded
      const nLiterals = bits(5) + 257, nDistances = bits(5) + 1, nLengths = bits(4) + 4;
      const lengthLengths = new Array(19).fill(0);
      for (let i = 0; i < nLengths; ++i) lengthLengths[ORDER[i]] = bits(3);
      const lengthCode = code(lengthLengths);
      const lengths = [];
      while (lengths.length < nLiterals + nDistances) {
        const s = symbol(lengthCode);
        if (s < 16) lengths.push(s);
        else if (s === 16) for (let r = 3 + bits(2), prev = lengths[lengths.length - 1]; r > 0; --r) lengths.push(prev);
        else for (let r = s === 17 ? 3 + bits(3) : 11 + bits(7); r > 0; --r) lengths.push(0);
      }
      literals = code(lengths.slice(0, nLiterals));
      distances = code(lengths.slice(nLiterals));
    } else {
      throw new Error('bad gzip block');
    }
    for (let s = symbol(literals); s !== 256; s = symbol(literals)) {
      if (s < 256) {
        out[o++] = s;
        continue;
      }
      const len = LENGTH[s - 257] + bits(LENGTH_BITS[s - 257]);
      const d = symbol(distances);
      const back = DISTANCE[d] + bits(DISTANCE_BITS[d]);
      for (let i = 0; i < len; ++i, ++o) out[o] = out[o - back];
    }
  } while (!last);
  if (o !== out.length) throw new Error('gzip data cut short');
  return out;
}

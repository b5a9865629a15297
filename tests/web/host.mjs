// build-web/ on a static host, as a school would put it: each file as it is,
// with its type, nothing else. types: what differs from the usual types;
// gzip: compressed as common hosts send text and WebAssembly (level 6, a web
// server's default) to a browser that accepts it, the images as they are.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import zlib from 'node:zlib';

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css', '.png': 'image/png',
                '.svg': 'image/svg+xml', '.webmanifest': 'application/manifest+json', '.wasm': 'application/wasm' };

// Resolves to the listening server (port: server.address().port).
export function serve(dir, { types = {}, gzip = false } = {}) {
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://host').pathname).replace(/\/$/, '/index.html');
    const file = path.join(dir, path.normalize(name));
    if (!file.startsWith(dir + path.sep) || !fs.statSync(file, { throwIfNoEntry: false })?.isFile()) {
      res.writeHead(404).end();
      return;
    }
    const type = { ...TYPES, ...types }[path.extname(file)] ?? 'application/octet-stream';
    if (gzip && type !== 'image/png' && /\bgzip\b/.test(req.headers['accept-encoding'] ?? '')) {
      res.writeHead(200, { 'content-type': type, 'content-encoding': 'gzip', vary: 'Accept-Encoding' });
      res.end(zlib.gzipSync(fs.readFileSync(file), { level: 6 }));
      return;
    }
    res.writeHead(200, { 'content-type': type });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

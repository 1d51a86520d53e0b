// A static file server on 127.0.0.1 for the browser tests and the web benchmark.
// Nothing is cached, so a rebuilt site is always what the next page load sees.

import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';

export const MIME_TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.htm': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.json': 'application/json; charset=utf-8',
  '.map': 'application/json; charset=utf-8',
  '.bin': 'application/octet-stream',
  '.data': 'application/octet-stream',
  '.ogg': 'audio/ogg',
  '.opus': 'audio/ogg; codecs=opus',
  '.mp3': 'audio/mpeg',
  '.wav': 'audio/wav',
  '.webm': 'video/webm',
  '.png': 'image/png',
  '.jpg': 'image/jpeg',
  '.ico': 'image/x-icon',
  '.svg': 'image/svg+xml',
  '.txt': 'text/plain; charset=utf-8',
  '.ttf': 'font/ttf',
  '.woff2': 'font/woff2',
};

export function mimeType(file) {
  return MIME_TYPES[path.extname(file).toLowerCase()] || 'application/octet-stream';
}

// Serves `root` (a folder) or several folders under URL prefixes: { '/': dirA, '/demo/': dirB }.
// `headers` are added to every answer; { crossOriginIsolated: true } adds the two headers a
// threaded (SharedArrayBuffer) wasm build needs. Resolves to { url, port, close() }.
export async function serveFolder(root, { headers = {}, crossOriginIsolated = false } = {}) {
  const mounts = Object.entries(typeof root === 'string' ? { '/': root } : root)
    .map(([prefix, dir]) => [prefix.endsWith('/') ? prefix : prefix + '/', path.resolve(dir)])
    .sort((a, b) => b[0].length - a[0].length); // longest prefix wins
  for (const [, dir] of mounts) {
    if (!fs.statSync(dir).isDirectory()) throw new Error(`not a folder: ${dir}`);
  }
  const extra = { ...headers };
  if (crossOriginIsolated) {
    extra['Cross-Origin-Opener-Policy'] = 'same-origin';
    extra['Cross-Origin-Embedder-Policy'] = 'require-corp';
  }

  const server = http.createServer((req, res) => {
    const send = (status, body, type = 'text/plain; charset=utf-8', more = {}) => {
      res.writeHead(status, { 'Content-Type': type, 'Cache-Control': 'no-store', ...extra, ...more });
      res.end(req.method === 'HEAD' ? undefined : body);
    };
    if (req.method !== 'GET' && req.method !== 'HEAD') return send(405, 'method not allowed\n');

    let pathname;
    try {
      pathname = decodeURIComponent(new URL(req.url, 'http://127.0.0.1').pathname);
    } catch {
      return send(400, 'bad path\n');
    }
    const mount = mounts.find(([prefix]) => pathname.startsWith(prefix) || pathname + '/' === prefix);
    if (!mount) return send(404, 'not found\n');
    if (pathname + '/' === mount[0]) return send(301, '', undefined, { Location: mount[0] });
    const [prefix, dir] = mount;
    let file = path.join(dir, pathname.slice(prefix.length));
    // A path that climbs out of the served folder is refused, not resolved.
    if (file !== dir && !file.startsWith(dir + path.sep)) return send(403, 'forbidden\n');

    fs.stat(file, (err, st) => {
      if (!err && st.isDirectory()) {
        if (!pathname.endsWith('/')) return send(301, '', undefined, { Location: pathname + '/' });
        file = path.join(file, 'index.html');
        try {
          st = fs.statSync(file);
        } catch (e) {
          err = e;
        }
      }
      if (err || !st.isFile()) return send(404, 'not found\n');

      const type = mimeType(file);
      const common = { 'Content-Type': type, 'Cache-Control': 'no-store', 'Accept-Ranges': 'bytes', ...extra };
      // Media elements ask for ranges; answering them keeps <audio> seekable.
      const range = /^bytes=(\d*)-(\d*)$/.exec(req.headers.range || '');
      let start = 0;
      let end = st.size - 1;
      let status = 200;
      if (range && (range[1] !== '' || range[2] !== '')) {
        if (range[1] === '') {
          start = Math.max(0, st.size - Number(range[2]));
        } else {
          start = Number(range[1]);
          end = range[2] === '' ? end : Math.min(end, Number(range[2]));
        }
        if (start > end || start >= st.size) {
          res.writeHead(416, { ...common, 'Content-Range': `bytes */${st.size}` });
          return res.end();
        }
        status = 206;
        common['Content-Range'] = `bytes ${start}-${end}/${st.size}`;
      }
      res.writeHead(status, { ...common, 'Content-Length': end - start + 1 });
      if (req.method === 'HEAD' || st.size === 0) return res.end();
      fs.createReadStream(file, { start, end }).pipe(res);
    });
  });

  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(0, '127.0.0.1', resolve);
  });
  const { port } = server.address();
  let closed = null;
  return {
    port,
    url: `http://127.0.0.1:${port}/`,
    close() {
      // Keep-alive connections from the browser would hold close() open; cut them.
      closed ??= new Promise((resolve) => {
        server.close(() => resolve());
        server.closeAllConnections();
      });
      return closed;
    },
  };
}

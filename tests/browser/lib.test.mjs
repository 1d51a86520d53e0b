// The harness's own parts that need no browser: the file server and the image comparisons.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import {
  serveFolder, MIME_TYPES, makeImage, pixel, crop, meanAbsDiff, equalOverMask, encodePng,
  decodePng, savePng, loadPng,
} from './lib/index.mjs';

// A raw GET, so that paths reach the server exactly as written (fetch would tidy them).
function get(port, rawPath, headers = {}) {
  return new Promise((resolve, reject) => {
    const req = http.request({ host: '127.0.0.1', port, path: rawPath, headers }, (res) => {
      const chunks = [];
      res.on('data', (c) => chunks.push(c));
      res.on('end', () => resolve({ status: res.statusCode, headers: res.headers, body: Buffer.concat(chunks) }));
    });
    req.on('error', reject);
    req.end();
  });
}

test('the server gives each file its type, never lets it be cached, and stays in its folder', async (t) => {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvane-serve-'));
  const other = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvane-serve-'));
  t.after(() => {
    fs.rmSync(root, { recursive: true, force: true });
    fs.rmSync(other, { recursive: true, force: true });
  });
  const types = ['.html', '.js', '.wasm', '.json', '.bin', '.ogg', '.opus', '.mp3', '.webm', '.png'];
  for (const ext of types) fs.writeFileSync(path.join(root, `f${ext}`), `content of ${ext}`);
  fs.mkdirSync(path.join(root, 'sub'));
  fs.writeFileSync(path.join(root, 'sub', 'index.html'), 'sub index');
  fs.writeFileSync(path.join(other, 'secret.txt'), 'not for the page');
  fs.writeFileSync(path.join(other, 'index.html'), 'other index');

  const server = await serveFolder({ '/': root, '/other/': other });
  try {
    assert.match(server.url, /^http:\/\/127\.0\.0\.1:\d+\/$/);
    for (const ext of types) {
      const res = await get(server.port, `/f${ext}`);
      assert.equal(res.status, 200, ext);
      assert.equal(res.headers['content-type'], MIME_TYPES[ext], ext);
      assert.equal(res.headers['cache-control'], 'no-store', ext);
      assert.equal(res.body.toString(), `content of ${ext}`);
    }
    assert.equal(MIME_TYPES['.wasm'], 'application/wasm');
    assert.equal((await get(server.port, '/sub/')).body.toString(), 'sub index');
    assert.equal((await get(server.port, '/sub')).status, 301);
    assert.equal((await get(server.port, '/other/')).body.toString(), 'other index');
    assert.equal((await get(server.port, '/missing.js')).status, 404);
    // Escaped separators decode into a climb out of the folder, which is refused.
    const climb = await get(server.port, `/..%2f${path.basename(other)}%2fsecret.txt`);
    assert.equal(climb.status, 403);

    const part = await get(server.port, '/f.ogg', { Range: 'bytes=3-6' });
    assert.equal(part.status, 206);
    assert.equal(part.headers['content-range'], `bytes 3-6/${'content of .ogg'.length}`);
    assert.equal(part.body.toString(), 'tent');
  } finally {
    await server.close();
  }
  // Stopped means stopped: nothing answers on the port any more.
  await assert.rejects(get(server.port, '/f.html'));
});

test('images compare by mean difference over a region and exactly over a mask', (t) => {
  const a = makeImage(4, 3, [10, 20, 30, 255]);
  const b = makeImage(4, 3, [10, 20, 30, 255]);
  b.data.set([14, 20, 10, 255], (1 * 4 + 2) * 4); // pixel (2, 1)
  assert.deepEqual(pixel(b, 2, 1), [14, 20, 10, 255]);
  assert.deepEqual(meanAbsDiff(a, b), [4 / 12, 0, 20 / 12, 0]);
  assert.deepEqual(meanAbsDiff(a, b, { x: 2, y: 1, width: 1, height: 1 }), [4, 0, 20, 0]);
  assert.deepEqual(meanAbsDiff(a, b, { x: 0, y: 0, width: 2, height: 3 }), [0, 0, 0, 0]);
  assert.throws(() => meanAbsDiff(a, b, { x: 3, y: 0, width: 2, height: 1 }), RangeError);

  const left = equalOverMask(a, b, (x) => x < 2);
  assert.deepEqual(left, { equal: true, compared: 6, differing: 0, first: null });
  const all = equalOverMask(a, b, { x: 0, y: 0, width: 4, height: 3 });
  assert.equal(all.equal, false);
  assert.equal(all.differing, 1);
  assert.deepEqual(all.first, { x: 2, y: 1, a: [10, 20, 30, 255], b: [14, 20, 10, 255] });
  // A mask picture: black or transparent pixels are left out.
  const mask = makeImage(4, 3, [255, 255, 255, 255]);
  mask.data.set([0, 0, 0, 255], (1 * 4 + 2) * 4);
  assert.equal(equalOverMask(a, b, mask).equal, true);
  assert.equal(equalOverMask(a, b, mask).compared, 11);

  assert.deepEqual(crop(b, { x: 2, y: 1, width: 2, height: 1 }).data, Uint8Array.from([14, 20, 10, 255, 10, 20, 30, 255]));

  const round = decodePng(encodePng(b));
  assert.equal(equalOverMask(round, b, { x: 0, y: 0, width: 4, height: 3 }).equal, true);
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvane-png-'));
  t.after(() => fs.rmSync(dir, { recursive: true, force: true }));
  savePng(b, path.join(dir, 'b.png'));
  assert.deepEqual([...loadPng(path.join(dir, 'b.png')).data], [...b.data]);
});

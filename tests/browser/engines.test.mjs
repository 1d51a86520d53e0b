// The same few checks in each browser engine (QV_ENGINE: chromium, firefox or webkit): the
// picture at three moments against the capture's, the sound from the answer's click, F1 into
// fullscreen and back and Escape to end, and no error in the console.
//
// QUORVANE_SITE names the built site (default build-web/site), QUORVANE_CAPTURE_EXE the Linux
// capture program (default build/quorvane-capture). Firefox and WebKit need a display, and
// Firefox a sound server: CTest runs them under with-xvfb and with-pulseaudio.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import {
  serveFolder, withEngine, captureStills, stillImage, meanAbsDiff, equalOverMask, ink,
  BOOT_TEXT, WIDTH, HEIGHT, ENGINES,
} from './lib/index.mjs';


const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const site = process.env.QUORVANE_SITE ?? path.join(root, 'build-web/site');
const captureExe = process.env.QUORVANE_CAPTURE_EXE ?? path.join(root, 'build/quorvane-capture');
const engine = process.env.QV_ENGINE ?? 'chromium';
assert.ok(ENGINES.includes(engine), `QV_ENGINE=${engine} is none of ${ENGINES.join(', ')}`);

// The mean absolute difference a channel allowed between each engine's frame and the capture's
// (an edge rasterised a little otherwise). Measured, the largest of the three moments: 0.018 in
// Chromium (SwiftShader), 0.000 in Firefox and WebKit (llvmpipe, as the capture).
const BOUND = { chromium: 0.1, firefox: 0.1, webkit: 0.1 };
const FPS = 60;
const TIMES = [5.5, 31, 50];

let server;
before(async () => {
  assert.ok(fs.existsSync(path.join(site, 'quorvane.wasm')), `no site in ${site}`);
  server = await serveFolder(site);
});
after(async () => server?.close());

// The page's answer buttons: Yes first, No second.
const NO = '#box-buttons button:nth-child(2)';

test(`${engine}: the frames at three moments match the capture's stills`, async (t) => {
  const theirs = captureStills(captureExe, TIMES, FPS);
  await withEngine(engine, {}, async (page) => {
    await page.goto(`${server.url}index.html?fps=${FPS}&stills=${TIMES.join(',')}`);
    await page.waitFor('the question', () => window.quorvane && window.quorvane.ready);
    await page.click(NO);
    await page.waitFor('the stills', (n) => Object.keys(window.quorvane.stills).length === n ||
                                         window.quorvane.state === 'ended', TIMES.length,
                       { timeout: 300_000 });
    const ours = await page.evaluate(() => window.quorvane.stills);
    for (const seconds of TIMES) {
      const ms = Math.round(seconds * 1000);
      assert.ok(ours[ms], `${engine}: no still at ${seconds} s`);
      const image = stillImage(ours[ms]);
      assert.deepEqual([image.width, image.height], [WIDTH, HEIGHT], `${engine}: still size`);
      const diff = Math.max(...meanAbsDiff(image, theirs[ms],
                                           { x: 0, y: 0, width: WIDTH, height: HEIGHT }).slice(0, 3));
      t.diagnostic(`${engine}, ${seconds} s: mean absolute difference ${diff.toFixed(3)} a channel`);
      assert.ok(diff < BOUND[engine], `${engine}, ${seconds} s: mean difference ${diff.toFixed(3)}`);
      if (seconds > 30) continue;  // the boot text stands until 29 s
      for (const band of BOOT_TEXT) {
        const same = equalOverMask(ink(image), ink(theirs[ms]), band);
        assert.ok(same.compared > 0 && same.equal,
                  `${engine}, ${seconds} s, text at ${band.y}: ${JSON.stringify(same.first)}`);
      }
    }
    assert.deepEqual(await page.errors(), [], `${engine}: console errors`);
  });
});

test(`${engine}: the answer's click starts the sound, and the music with the first frame`, async () => {
  await withEngine(engine, {}, async (page) => {
    await page.goto(`${server.url}index.html`);
    await page.waitFor('the question', () => window.quorvane && window.quorvane.ready);
    await page.click(NO);
    const state = await page.waitFor('the music',
      () => window.quorvane.sound !== null && window.quorvane.frames > 10 &&
            document.body.dataset.audio === 'running' &&
            { sound: window.quorvane.sound, audio: document.body.dataset.audio });
    assert.equal(state.sound.isDefault, false, `${engine}: the music, not the default sound`);
    assert.ok(state.sound.startFrame <= 1, `${engine}: music started at frame ${state.sound.startFrame}`);
    assert.deepEqual(await page.errors(), [], `${engine}: console errors`);
  });
});

test(`${engine}: F1 into fullscreen and back, then Escape ends the demo`, async () => {
  await withEngine(engine, {}, async (page) => {
    await page.goto(`${server.url}index.html`);
    await page.waitFor('the question', () => window.quorvane && window.quorvane.ready);
    await page.click(NO);
    await page.waitFor('the first frames', () => window.quorvane.frames > 5);
    await page.holdKey('F1', 3);
    await page.waitFor('fullscreen after F1', () => {
      const element = document.fullscreenElement || document.webkitFullscreenElement;
      return !!element && element.id === 'player' &&
             document.querySelector('#stage canvas.covering') !== null;
    });
    await page.holdKey('F1', 3);
    await page.waitFor('the window after F1 again', () => {
      const element = document.fullscreenElement || document.webkitFullscreenElement;
      return !element && document.querySelector('#stage canvas.covering') === null &&
             document.querySelector('#stage canvas') !== null;
    });
    await page.waitFor('frames in the window', (n) => window.quorvane.frames > n,
                       await page.evaluate(() => window.quorvane.frames + 5));
    await page.holdKey('Escape', 3);
    const ended = await page.waitFor('the end after Escape',
      () => window.quorvane.state === 'ended' &&
            { exitCode: window.quorvane.exitCode,
              said: document.getElementById('ended').hidden ? ''
                    : document.getElementById('ended-text').textContent });
    assert.equal(ended.exitCode, 0, `${engine}: exit status`);
    assert.match(ended.said, /has ended \(exit status 0\)/, `${engine}: what the page says`);
    assert.deepEqual(await page.errors(), [], `${engine}: console errors`);
  });
});

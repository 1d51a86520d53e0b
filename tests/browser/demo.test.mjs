// The demo's page in Debian's Chromium, as a visitor meets it: the picture against the capture's
// stills of the same moments, the music, F1 and Escape, and what the page says when it cannot
// run or a file is missing.
//
// QUORVANE_SITE names the built site (default build-web/site), QUORVANE_CAPTURE_EXE the Linux
// capture program (default build/quorvane-capture), which runs in its folder beside Data/.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import {
  serveFolder, withBrowser, openPage, clickElement, waitForStateQuiet, quietEvaluate, holdKey,
  watchConsole,
  readCanvas, meanAbsDiff, equalOverMask, pixel, stillImage, BOOT_TEXT, ink, captureStills,
  WIDTH, HEIGHT,
} from './lib/index.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const site = process.env.QUORVANE_SITE ?? path.join(root, 'build-web/site');
const captureExe = process.env.QUORVANE_CAPTURE_EXE ?? path.join(root, 'build/quorvane-capture');
const musicName = 'Data/tUrBiLo - Pelvarn.wav';

let server;
before(async () => {
  assert.ok(fs.existsSync(path.join(site, 'quorvane.wasm')),
            `no site in ${site}: build it with cmake --preset web && cmake --build --preset web`);
  server = await serveFolder(site);
});
after(async () => server?.close());

const FPS = 60;

test('the frames of five moments match the capture\'s stills of the same moments', async (t) => {
  const times = [5.5, 19, 31, 50, 95];
  const theirs = captureStills(captureExe, times, FPS);
  await withBrowser({ width: 900, height: 700 }, async (browser) => {
    const { page, console: log } = await openPage(
        browser, `${server.url}index.html?fps=${FPS}&stills=${times.join(',')}`,
        { predicate: (q) => q.ready });
    await clickElement(page, '#box-buttons button:nth-child(2)');  // No: the window
    await waitForStateQuiet(page, (q, n) => Object.keys(q.stills).length === n || q.state === 'ended',
                            { arg: times.length, timeout: 300_000 });
    const pageStills = await quietEvaluate(page, () => window.quorvane.stills);
    for (const seconds of times) {
      const ms = Math.round(seconds * 1000);
      const ours = stillImage(pageStills[ms]);
      assert.equal(ours.width, theirs[ms].width);
      assert.equal(ours.height, theirs[ms].height);
      const whole = { x: 0, y: 0, width: WIDTH, height: HEIGHT };
      // SwiftShader and llvmpipe rasterise the same triangles a little differently along
      // their edges; measured between the two: at most 0.018 a channel on these frames.
      const diff = Math.max(...meanAbsDiff(ours, theirs[ms], whole).slice(0, 3));
      t.diagnostic(`${seconds} s: mean absolute difference ${diff.toFixed(3)} a channel`);
      assert.ok(diff < 0.1, `${seconds} s: mean difference ${diff.toFixed(3)}`);
    }
    // The boot text over the upright screen: the same pixels are ink, glyph for glyph.
    for (const seconds of [5.5, 31]) {
      const ms = Math.round(seconds * 1000);
      for (const band of BOOT_TEXT) {
        const same = equalOverMask(ink(stillImage(pageStills[ms])), ink(theirs[ms]), band);
        assert.ok(same.compared > 0 && same.equal,
                  `${seconds} s, text at ${band.y}: ${JSON.stringify(same.first)}`);
      }
    }
    assert.deepEqual(log.errors, []);
  });
});

// The music's length from its WAV header: data bytes over bytes a second.
function wavSeconds(file) {
  const bytes = fs.readFileSync(file);
  let at = 12;
  let rate = 0;
  let frameBytes = 0;
  while (at + 8 <= bytes.length) {
    const id = bytes.toString('latin1', at, at + 4);
    const size = bytes.readUInt32LE(at + 4);
    if (id === 'fmt ') {
      rate = bytes.readUInt32LE(at + 12);
      frameBytes = bytes.readUInt16LE(at + 20);
    } else if (id === 'data') {
      return size / frameBytes / rate;
    }
    at += 8 + size + (size & 1);
  }
  throw new Error(`${file} has no data chunk`);
}

test('the answer starts the sound, and the music starts at the first frame', async () => {
  await withBrowser({ width: 900, height: 700 }, async (browser) => {
    const { page, console: log } = await openPage(browser, `${server.url}index.html`,
                                                  { predicate: (q) => q.ready });
    // Read without a gesture: until a person answers, the page may play nothing.
    assert.equal(await quietEvaluate(page, () => document.body.dataset.audio), 'suspended');
    await clickElement(page, '#box-buttons button:nth-child(2)');
    // The duration is known once the whole file is decoded.
    const state = await waitForStateQuiet(page, (q) => q.sound !== null && q.frames > 10 &&
                                                       q.sound.duration !== null &&
                                                       document.body.dataset.audio === 'running');
    const music = wavSeconds(path.join(path.dirname(captureExe), musicName));
    // MP3 decodes to whole frames of 1152 samples at 44.1 kHz, 26 ms at the most.
    assert.ok(Math.abs(state.sound.duration - music) < 0.03,
              `decoded ${state.sound.duration} s, the WAV holds ${music} s`);
    assert.equal(state.sound.isDefault, false);
    assert.ok(state.sound.startFrame <= 1, `started at frame ${state.sound.startFrame}`);
    assert.deepEqual(log.errors, []);
  });
});

test('F1 fills the screen with the picture in pillars and back; Escape ends the demo', async () => {
  await withBrowser({ width: 1920, height: 1080, fullscreen: true }, async (browser) => {
    const { page, console: log } = await openPage(browser, `${server.url}index.html`,
                                                  { predicate: (q) => q.ready });
    await clickElement(page, '#box-buttons button:nth-child(2)');
    await waitForStateQuiet(page, (q) => q.frames > 5);
    await holdKey(page, 'F1', 3);
    await waitForStateQuiet(page, () => !!document.fullscreenElement &&
                                        document.querySelector('#stage canvas.covering') !== null);
    const canvasSize = () => quietEvaluate(page, () => {
      const canvas = document.querySelector('#stage canvas');
      return { width: canvas.width, height: canvas.height };
    });
    const covering = await canvasSize();
    assert.deepEqual(covering, { width: 1920, height: 1080 });
    await waitForStateQuiet(page, (q, n) => q.frames > n, { arg: 5 });
    const screen = await readCanvas(page, '#stage canvas');
    // 640x480 kept 4:3 on 1920x1080: 1440x1080 in the middle, 240 black columns each side.
    for (const [x, y] of [[0, 540], [239, 10], [1680, 1079], [1919, 540]]) {
      assert.deepEqual(pixel(screen, x, y).slice(0, 3), [0, 0, 0], `pillar at ${x},${y}`);
    }
    for (const [x, y] of [[240, 540], [1679, 540], [960, 5]]) {
      assert.notDeepEqual(pixel(screen, x, y).slice(0, 3), [0, 0, 0], `picture at ${x},${y}`);
    }
    await holdKey(page, 'F1', 3);
    await waitForStateQuiet(page, () => !document.fullscreenElement &&
                                        document.querySelector('#stage canvas.covering') === null &&
                                        document.querySelector('#stage canvas') !== null);
    const windowed = await canvasSize();
    assert.deepEqual(windowed, { width: WIDTH, height: HEIGHT });
    await holdKey(page, 'Escape', 3);
    const ended = await waitForStateQuiet(page, (q) => q.state === 'ended' && q);
    assert.equal(ended.exitCode, 0);
    assert.match(await quietEvaluate(page, () => document.getElementById('ended').hidden ? ''
                     : document.getElementById('ended-text').textContent),
                 /has ended \(exit status 0\)/);
    assert.deepEqual(log.errors, []);
  });
});

// Every k x k block of the image is of one colour: how many are not.
function mixedBlocks(image, k) {
  let mixed = 0;
  for (let y = 0; y + k <= image.height; y += k) {
    for (let x = 0; x + k <= image.width; x += k) {
      const first = pixel(image, x, y).join();
      let same = true;
      for (let j = 0; j < k && same; ++j) {
        for (let i = 0; i < k && same; ++i) same = pixel(image, x + i, y + j).join() === first;
      }
      if (!same) ++mixed;
    }
  }
  return mixed;
}

const canvasOnScreen = (page) => quietEvaluate(page, () => {
  const canvas = document.querySelector('#stage canvas');
  const box = canvas.getBoundingClientRect();
  return { width: canvas.width, height: canvas.height, left: box.left, top: box.top,
           right: box.right, bottom: box.bottom, viewportWidth: window.innerWidth,
           viewportHeight: window.innerHeight,
           scrollWidth: document.documentElement.scrollWidth };
});

test('at two device pixels a CSS pixel the window is 1280x960 pixels of 2x2 blocks', async () => {
  await withBrowser({ viewport: { width: 900, height: 700 }, deviceScaleFactor: 2 },
                    async (browser) => {
    const { page, console: log } = await openPage(browser, `${server.url}index.html`,
                                                  { predicate: (q) => q.ready });
    await clickElement(page, '#box-buttons button:nth-child(2)');
    await waitForStateQuiet(page, (q) => q.frames > 5);
    const shown = await canvasOnScreen(page);
    assert.deepEqual([shown.width, shown.height], [2 * WIDTH, 2 * HEIGHT]);
    assert.deepEqual([shown.right - shown.left, shown.bottom - shown.top], [WIDTH, HEIGHT]);
    const picture = await readCanvas(page, '#stage canvas');
    assert.deepEqual([picture.width, picture.height], [2 * WIDTH, 2 * HEIGHT]);
    assert.equal(mixedBlocks(picture, 2), 0);
    assert.deepEqual(log.errors, []);
  });
});

test('on a phone held upright the whole picture is in view and the page never scrolls sideways',
     async () => {
  await withBrowser({ viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, isMobile: true,
                      hasTouch: true }, async (browser) => {
    const { page, console: log } = await openPage(browser, `${server.url}index.html`,
                                                  { predicate: (q) => q.ready });
    await page.locator('#box-buttons button:nth-child(2)').tap();
    await waitForStateQuiet(page, (q) => q.frames > 5);
    const shown = await canvasOnScreen(page);
    assert.equal(shown.viewportWidth, 390);
    assert.equal(shown.scrollWidth, shown.viewportWidth);
    assert.ok(shown.left >= 0 && shown.right <= shown.viewportWidth && shown.top >= 0 &&
              shown.bottom <= shown.viewportHeight, JSON.stringify(shown));
    const cssWidth = shown.right - shown.left;
    const cssHeight = shown.bottom - shown.top;
    assert.ok(Math.abs(cssWidth * 3 / 4 - cssHeight) < 1, JSON.stringify(shown));
    // The drawing buffer has the device's pixels of that size.
    assert.equal(shown.width, Math.round(cssWidth * 3));
    assert.equal(shown.height, Math.round(cssHeight * 3));
    assert.deepEqual(log.errors, []);
  });
});

test('without WebGL the page says so in one sentence', async () => {
  await withBrowser({ width: 900, height: 700, args: ['--disable-webgl', '--disable-3d-apis'] },
                    async (browser) => {
    const { page } = await openPage(browser, `${server.url}index.html`,
                                    { predicate: (q) => q.state === 'ended' });
    const said = await quietEvaluate(page, () => document.getElementById('status').textContent);
    assert.match(said, /^This demo needs WebGL, which this browser does not offer or has turned off\.$/);
  });
});

test('an answer before the music is decoded starts it from its head; the whole goes on in step', async () => {
  await withBrowser({ width: 900, height: 700 }, async (browser) => {
    const page = await browser.newPage();
    const log = watchConsole(page);
    // The whole file is held back until the demo has drawn its first frames.
    let release;
    const held = new Promise((resolve) => { release = resolve; });
    await page.route('**/*Pelvarn.mp3', async (route) => { await held; await route.continue(); });
    await page.goto(`${server.url}index.html`);
    await waitForStateQuiet(page, (q) => q.ready);
    await clickElement(page, '#box-buttons button:nth-child(2)');
    const early = await waitForStateQuiet(page, (q) => q.sound !== null && q.frames > 10 &&
                                                       document.body.dataset.audio === 'running' &&
                                                       q);
    assert.equal(early.sound.fromHead, true, 'the music starts from its head');
    assert.equal(early.sound.isDefault, false);
    assert.ok(early.sound.startFrame <= 1, `started at frame ${early.sound.startFrame}`);
    assert.equal(early.sound.handOver, null, 'no hand-over before the whole file came');

    // Times on the audio clock, which the music keeps whatever the load on the machine.
    const audioTime = () => quietEvaluate(page, () => window.quorvane.audio.currentTime);
    const releasedAt = await audioTime();
    release();
    const late = await waitForStateQuiet(page, (q) => q.sound.handOver !== null);
    const seenAt = await audioTime();
    const music = wavSeconds(path.join(path.dirname(captureExe), musicName));
    assert.ok(Math.abs(late.sound.duration - music) < 0.03, `${late.sound.duration} s`);
    // The whole takes over at the point the music has reached, a moment after it came, and
    // before the head runs out.
    const { offset, seamless } = late.sound.handOver;
    const playedBefore = releasedAt - late.sound.startedAt;
    const playedAfter = seenAt - late.sound.startedAt;
    assert.ok(offset >= playedBefore && offset <= playedAfter + 0.1,
              `the whole starts ${offset} s in; the music had played ${playedBefore} to ${playedAfter} s`);
    assert.equal(seamless, true, `hand-over at ${offset} s`);
    assert.equal(late.state, 'running');
    assert.deepEqual(log.errors, []);
  });
});

test('a missing music file gives the default sound and the demo carries on', async () => {
  await withBrowser({ width: 900, height: 700 }, async (browser) => {
    const page = await browser.newPage();
    await page.route('**/*.mp3', (route) => route.fulfill({ status: 404, body: '' }));
    await page.goto(`${server.url}index.html`);
    await waitForStateQuiet(page, (q) => q.ready);
    await clickElement(page, '#box-buttons button:nth-child(2)');
    const state = await waitForStateQuiet(page, (q) => q.sound !== null && q.frames > 30 && q);
    assert.equal(state.sound.isDefault, true);
    assert.equal(state.state, 'running');
    assert.ok(state.sound.duration > 0.2 && state.sound.duration < 0.5, `${state.sound.duration} s`);
  });
});

#!/usr/bin/env node
// Web benchmark: the demo's page against a hand-written WebGL 1 baseline, in one engine.
//
//   node bench/web/run.mjs [SITE] [options]
//
// SITE is the demo's built site folder; without it the baseline is measured against itself,
// which shows the run works and how far two identical pages differ. Options:
//   --page FILE      the demo's page inside SITE (default index.html)
//   --query Q        appended to the demo page's address, e.g. '?at=33' to skip ahead
//   --part NAME      the part to measure (default main), as the page names it
//   --part-wait S    seconds to wait for that part (default 90: the main part starts at 33 s)
//   --rounds N       rounds, each opening both pages in turn (default 3); figures are medians
//   --seconds S      seconds of frames measured per page and round (default 3)
//   --scale N        device pixels per CSS pixel (default 1): both pages draw at the device's
//                    pixels, the demo through its core's scaler, the baseline directly
//                    (Chromium and Firefox; WebKit has only its own)
//   --engine NAME    chromium (default), firefox or webkit; the last two need a display, and
//                    Firefox a sound server: run them under tests/support/with-xvfb and
//                    tests/browser/with-pulseaudio
//   --not-isolated   serve without COOP/COEP. By default both pages are cross-origin isolated,
//                    which a threaded (SharedArrayBuffer) build needs anyway and which gives
//                    performance.now() 5 us steps instead of 100 us: a frame's work here is
//                    a fraction of a millisecond
// It needs `npm ci` in tests/browser and the engine's browser (scripts/install-deps).
//
// It prints one line per figure, `<figure> <demo> <baseline> <ratio>`, the ratio being
// demo / baseline (a frame rate under 1 or a time above 1 means the demo is behind):
//   fps                 frames the page drew per second of page time
//   frame_work_ms       median time of the page's own work per frame
//   click_to_frame_ms   from the click that starts the page to the end of its first frame
// Details of the run go to standard error.
//
// What a page provides, in window.quorvane (the baseline, bench/web/baseline, does all of it):
//   ready        true once the page waits for the click that starts it
//   part         name of the part on screen; measuring starts when it is --part ('main')
//   frames       number of frames drawn so far
//   frameWorkMs  one number per drawn frame: milliseconds of the page's own work in it, from
//                performance.now() where the frame's callback starts its work to
//                performance.now() after the frame's last drawing call
//   frameEndMs   one number per drawn frame: that second performance.now() reading
//                (both arrays in step, appended each frame; keep at least the last 1000)
// and exactly one element with the attribute data-bench-click: what a person clicks to start
// (for the demo, the "No" answer, so that it runs in its 640x480 window). The click's time is
// the event's timeStamp, caught before the page's own listeners see it.

import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { parseArgs } from 'node:util';
import { serveFolder, withEngine, ENGINES } from '../../tests/browser/lib/index.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));

const { values: opts, positionals } = parseArgs({
  allowPositionals: true,
  options: {
    page: { type: 'string', default: 'index.html' },
    query: { type: 'string', default: '' },
    part: { type: 'string', default: 'main' },
    'part-wait': { type: 'string', default: '90' },
    rounds: { type: 'string', default: '3' },
    seconds: { type: 'string', default: '3' },
    scale: { type: 'string', default: '1' },
    engine: { type: 'string', default: 'chromium' },
    'not-isolated': { type: 'boolean', default: false },
  },
});
if (positionals.length > 1) {
  console.error('usage: node bench/web/run.mjs [SITE] [--page FILE] [--query Q] [--rounds N] [--seconds S]');
  process.exit(2);
}
const site = positionals[0] ? path.resolve(positionals[0]) : null;
const rounds = Math.max(1, Number(opts.rounds));
const seconds = Number(opts.seconds);
const partWaitMs = Number(opts['part-wait']) * 1000;
const scale = Number(opts.scale);
const engine = opts.engine;
if (!ENGINES.includes(engine)) {
  console.error(`bench/web: --engine is one of ${ENGINES.join(', ')}`);
  process.exit(2);
}

const median = (xs) => {
  const s = [...xs].sort((a, b) => a - b);
  return s.length === 0 ? NaN : s.length % 2 ? s[s.length >> 1] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2;
};

// Catches the starting click before any listener of the page: window, capture phase, first.
function recordClick() {
  window.__qvBench = { clickAt: null };
  window.addEventListener('click', (e) => {
    if (window.__qvBench.clickAt === null) window.__qvBench.clickAt = e.timeStamp;
  }, true);
}

async function measure(url, name) {
  return withEngine(engine, { width: 1280, height: 720, scale }, async (page) => {
    await page.goto(url);
    await page.waitFor(`${name} ready`, () => !!window.quorvane && window.quorvane.ready === true,
                       undefined, { timeout: 60_000 });
    await page.evaluate(recordClick);
    const isolated = await page.evaluate(() => self.crossOriginIsolated);

    await page.click('[data-bench-click]');
    // The first frame whose drawing ended after the click.
    const clickToFrame = await page.evaluate((timeout) => new Promise((resolve, reject) => {
      const deadline = performance.now() + timeout;
      const check = () => {
        const clickAt = window.__qvBench.clickAt;
        const ends = (window.quorvane && window.quorvane.frameEndMs) || [];
        const end = clickAt === null ? undefined : ends.find((t) => t > clickAt);
        if (end !== undefined) return resolve(end - clickAt);
        if (performance.now() > deadline) return reject(new Error('no frame drawn after the click'));
        requestAnimationFrame(check);
      };
      check();
    }), 25_000);

    await page.waitFor(`${name} part ${opts.part}`, (part) => window.quorvane.part === part,
                       opts.part, { timeout: partWaitMs });
    // Past the first frames of the part, where shaders get compiled.
    await page.evaluate(() => new Promise((resolve) => {
      let seen = 0;
      const tick = () => (++seen >= 60 ? resolve() : requestAnimationFrame(tick));
      requestAnimationFrame(tick);
    }));

    // Frames counted between two animation frames of the page, `seconds` apart.
    const run = await page.evaluate((ms) => new Promise((resolve) => {
      const q = window.quorvane;
      requestAnimationFrame((start) => {
        const framesAtStart = q.frames;
        const tick = (now) => {
          if (now - start < ms) return requestAnimationFrame(tick);
          const frames = q.frames - framesAtStart;
          resolve({ frames, ms: now - start, work: q.frameWorkMs.slice(-frames) });
        };
        requestAnimationFrame(tick);
      });
    }), seconds * 1000);

    const errors = await page.errors();
    if (errors.length) throw new Error(`${name} page errors: ${errors.join('; ')}`);
    return {
      fps: (run.frames * 1000) / run.ms,
      frameWorkMs: median(run.work),
      clickToFrameMs: clickToFrame,
      isolated,
    };
  });
}

const mounts = { '/baseline/': path.join(here, 'baseline'), '/demo/': site ?? path.join(here, 'baseline') };
const server = await serveFolder(mounts, { crossOriginIsolated: !opts['not-isolated'] });
try {
  const urls = {
    baseline: `${server.url}baseline/index.html`,
    demo: site ? `${server.url}demo/${opts.page}${opts.query}` : `${server.url}demo/index.html`,
  };
  const version = await withEngine(engine, { scale }, async (page) => {
    await page.goto(urls.baseline);
    return page.evaluate(() => navigator.userAgent);
  });
  console.error(`# ${engine}: ${version}; demo ${site ?? '(the baseline itself)'}; ${rounds} rounds of ${seconds} s; ${scale} device pixels a CSS pixel`);

  const results = { demo: [], baseline: [] };
  for (let round = 0; round < rounds; round++) {
    // Alternating which goes first evens out a machine that speeds up or slows down.
    const order = round % 2 ? ['demo', 'baseline'] : ['baseline', 'demo'];
    for (const name of order) {
      const r = await measure(urls[name], name);
      results[name].push(r);
      console.error(`# round ${round + 1} ${name}: ${r.fps.toFixed(1)} fps, work ${r.frameWorkMs.toFixed(3)} ms, ` +
        `click to frame ${r.clickToFrameMs.toFixed(1)} ms${r.isolated ? '' : ' (not isolated: coarse timer)'}`);
    }
  }

  const figures = [
    ['fps', 'fps', 1],
    ['frame_work_ms', 'frameWorkMs', 3],
    ['click_to_frame_ms', 'clickToFrameMs', 1],
  ];
  for (const [figure, key, digits] of figures) {
    const demo = median(results.demo.map((r) => r[key]));
    const baseline = median(results.baseline.map((r) => r[key]));
    console.log(`${figure} ${demo.toFixed(digits)} ${baseline.toFixed(digits)} ${(demo / baseline).toFixed(2)}`);
  }
} finally {
  await server.close();
}

// Page helpers: wait for what the page says it is doing, drive it as a person would, and
// read it back.
//
// User activation: in Chromium every Playwright call that runs script in the page
// (evaluate, waitForFunction, and also page.title(), locator reads and screenshots) is sent
// as a user gesture, so after any of them the page counts as interacted with and, for
// instance, an AudioContext may start without the click under test. The *Quiet helpers below
// run script through a CDP session's Runtime.evaluate with userGesture: false instead, which
// leaves navigator.userActivation untouched; console messages (watchConsole) are passive too.
// Use the quiet ones for anything read before the click a test is about.

import { decodePng } from './image.mjs';

const sessions = new WeakMap();

async function cdpSession(page) {
  let session = sessions.get(page);
  if (!session) {
    session = page.context().newCDPSession(page);
    sessions.set(page, session);
  }
  return session;
}

// Runs fn(arg) in the page's main world without a user gesture and gives back its value
// (awaited if it is a promise; JSON-serialisable values only).
export async function quietEvaluate(page, fn, arg) {
  const session = await cdpSession(page);
  const expression = typeof fn === 'function' ? `(${fn})(${JSON.stringify(arg ?? null)})` : String(fn);
  const { result, exceptionDetails } = await session.send('Runtime.evaluate', {
    expression,
    awaitPromise: true,
    returnByValue: true,
    userGesture: false,
  });
  if (exceptionDetails) {
    const text = exceptionDetails.exception?.description ?? exceptionDetails.text;
    throw new Error(`in page: ${text}`);
  }
  return result.value;
}

// The page's state object is window[global] (window.quorvane unless told otherwise); a
// predicate gets (state, arg) and is called once per animation frame until it holds. Both
// waits give back a JSON copy of the state at that frame.
function stateProbe(predicate, global) {
  return `(s => { const state = window[${JSON.stringify(global)}];
    return state !== undefined && state !== null && (${predicate})(state, s)
      ? JSON.parse(JSON.stringify(state)) : false; })`;
}

// Waits with page.waitForFunction. Counts as a user gesture (see above).
export async function waitForState(page, predicate, { arg, global = 'quorvane', timeout = 30_000 } = {}) {
  const handle = await page.waitForFunction(`${stateProbe(predicate, global)}(${JSON.stringify(arg ?? null)})`,
    undefined, { polling: 'raf', timeout });
  return handle.jsonValue();
}

// The same wait without a user gesture: the polling runs in the page and answers once.
export async function waitForStateQuiet(page, predicate, { arg, global = 'quorvane', timeout = 30_000 } = {}) {
  const poll = `new Promise((resolve, reject) => {
    const probe = ${stateProbe(predicate, global)};
    const deadline = performance.now() + ${Number(timeout)};
    const check = () => {
      let found;
      try { found = probe(${JSON.stringify(arg ?? null)}); } catch (e) { return reject(e); }
      if (found !== false) return resolve(found);
      if (performance.now() > deadline) {
        return reject(new Error('no such state within ${Number(timeout)} ms; last: ' +
          JSON.stringify(window[${JSON.stringify(global)}])));
      }
      requestAnimationFrame(check);
    };
    check();
  })`;
  // A page that stops running frames would never answer; this bounds the wait all the same.
  let timer;
  const stalled = new Promise((_, reject) => {
    timer = setTimeout(() => reject(new Error(`page gave no answer within ${timeout} ms`)), timeout + 5000);
  });
  try {
    return await Promise.race([quietEvaluate(page, poll), stalled]);
  } finally {
    clearTimeout(timer);
  }
}

// Collects console messages and page errors from now on. waitFor(pattern) answers with the
// first message, earlier or later, whose text matches; it reads nothing from the page itself.
export function watchConsole(page) {
  const messages = [];
  const errors = [];
  const waiters = [];
  const onMessage = (text) => {
    messages.push(text);
    for (const w of [...waiters]) {
      if (w.pattern.test(text)) {
        waiters.splice(waiters.indexOf(w), 1);
        w.resolve(text);
      }
    }
  };
  page.on('console', (m) => {
    if (m.type() === 'error') errors.push(m.text());
    onMessage(m.text());
  });
  page.on('pageerror', (e) => errors.push(String(e)));
  return {
    messages,
    errors,
    waitFor(pattern, { timeout = 30_000 } = {}) {
      const seen = messages.find((t) => pattern.test(t));
      if (seen !== undefined) return Promise.resolve(seen);
      return new Promise((resolve, reject) => {
        const w = { pattern, resolve: (t) => { clearTimeout(w.timer); resolve(t); } };
        w.timer = setTimeout(() => {
          waiters.splice(waiters.indexOf(w), 1);
          reject(new Error(`no console message matching ${pattern} within ${timeout} ms`));
        }, timeout);
        waiters.push(w);
      });
    },
  };
}

// Opens url in a new tab of the browser (from launchBrowser), with its console watched, and
// when given a predicate waits quietly for that state. Gives { page, console, state }.
export async function openPage(browser, url, { predicate, ...waitOptions } = {}) {
  const page = await browser.newPage();
  const log = watchConsole(page);
  await page.goto(url);
  const state = predicate ? await waitForStateQuiet(page, predicate, waitOptions) : undefined;
  return { page, console: log, state };
}

// Waits for n animation frames of the page, counted in the page, without a gesture.
export function waitFrames(page, n) {
  return quietEvaluate(page, (count) => new Promise((resolve) => {
    let seen = 0;
    const tick = () => (++seen >= count ? resolve(seen) : requestAnimationFrame(tick));
    requestAnimationFrame(tick);
  }), n);
}

// Presses key and keeps it down for `frames` animation frames before releasing it. A key
// pressed and released at once can fall between two frames and never be seen by a program
// that reads the keyboard once per frame. The key-down has reached the page before the
// frames are counted, so a per-frame reader sees it down in at least `frames` frames.
export async function holdKey(page, key, frames) {
  await page.keyboard.down(key);
  try {
    await waitFrames(page, frames);
  } finally {
    await page.keyboard.up(key);
  }
}

// Clicks the element as a person would (it is a user gesture: fullscreen and audio may
// start from it).
export async function clickElement(page, selector, options) {
  await page.locator(selector).first().click(options);
}

// The element's pixels as they are on screen, RGBA, one pixel per device pixel (per CSS pixel
// at a device scale of 1, as the harness runs unless told otherwise). A screenshot is taken rather than reading the canvas back,
// so WebGL needs no preserveDrawingBuffer. It is a Playwright call: it counts as a gesture.
export async function readCanvas(page, selector = 'canvas') {
  const png = await page.locator(selector).first().screenshot({ caret: 'hide' });
  return decodePng(png);
}

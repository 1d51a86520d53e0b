// The three browser engines a visitor may have, each behind the same few calls, so that one
// test file checks them all alike:
//   chromium  Debian's Chromium, headless, through playwright-core (browser.mjs)
//   firefox   Debian's Firefox ESR through puppeteer-core over WebDriver BiDi; it needs a
//             display (headless it offers no WebGL here) and a sound server (with-pulseaudio)
//   webkit    WebKitGTK's MiniBrowser through WebKitWebDriver (classic WebDriver) and
//             selenium-webdriver; it needs a display
//
// openEngine(name, { width, height, scale }) resolves to a session (scale: device pixels a CSS
// pixel, emulated by Chromium and set by Firefox's preference; WebKit has only its own):
//   goto(url)                 loads the page and starts collecting its console errors
//   evaluate(fn, arg)         fn(arg) in the page, awaited; JSON values only
//   waitFor(step, fn, arg)    polls fn(arg) in the page until it is truthy and gives that
//                             value; a timeout names the step and the engine
//   click(selector)           a person's click (a user gesture)
//   holdKey(key, frames)      the key down for that many of the page's frames, then up
//   errors()                  the page's console errors so far
//   close()
import { spawn } from 'node:child_process';
import net from 'node:net';
import { launchBrowser } from './browser.mjs';
import { quietEvaluate } from './page.mjs';

export const ENGINES = ['chromium', 'firefox', 'webkit'];

const FIREFOX = process.env.QV_FIREFOX || '/usr/bin/firefox-esr';
const MINIBROWSER = process.env.QV_MINIBROWSER ||
  '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

// In the page: waits for n animation frames.
const FRAMES = (n) => new Promise((resolve) => {
  let seen = 0;
  const tick = () => (++seen >= n ? resolve(seen) : requestAnimationFrame(tick));
  requestAnimationFrame(tick);
});

// Console errors as the page itself sees them, for an engine whose driver cannot report them.
function recordErrors() {
  if (window.__qvErrors) return;
  window.__qvErrors = [];
  const error = console.error.bind(console);
  console.error = (...args) => {
    window.__qvErrors.push(args.map(String).join(' '));
    error(...args);
  };
  window.addEventListener('error', (e) => window.__qvErrors.push(String(e.message)));
  window.addEventListener('unhandledrejection', (e) => window.__qvErrors.push(String(e.reason)));
}

function withWaits(session, name) {
  session.waitFor = async (step, fn, arg, { timeout = 60_000 } = {}) => {
    const deadline = Date.now() + timeout;
    let last;
    for (;;) {
      last = await session.evaluate(fn, arg);
      if (last) return last;
      if (Date.now() > deadline) {
        throw new Error(`${name}: ${step}: not within ${timeout} ms (last ${JSON.stringify(last)})`);
      }
      await session.evaluate(FRAMES, 2);
    }
  };
  session.holdKey = async (key, frames) => {
    await session.keyDown(key);
    try {
      await session.evaluate(FRAMES, frames);
    } finally {
      await session.keyUp(key);
    }
  };
  return session;
}

async function openChromium({ width, height, scale }) {
  const browser = await launchBrowser(scale === 1 ? { width, height }
    : { width, height, viewport: { width, height }, deviceScaleFactor: scale });
  const page = await browser.newPage();
  const errors = [];
  page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
  page.on('pageerror', (e) => errors.push(String(e)));
  return {
    goto: (url) => page.goto(url),
    evaluate: (fn, arg) => quietEvaluate(page, fn, arg),
    click: (selector) => page.locator(selector).first().click(),
    keyDown: (key) => page.keyboard.down(key),
    keyUp: (key) => page.keyboard.up(key),
    errors: () => errors,
    close: () => browser.close(),
  };
}

async function openFirefox({ width, height, scale }) {
  const { default: puppeteer } = await import('puppeteer-core');
  const browser = await puppeteer.launch({
    browser: 'firefox',
    executablePath: FIREFOX,
    headless: false,
    args: [`--width=${width}`, `--height=${height}`],
    // Fullscreen at once, without the notice and the transition a person would see.
    extraPrefsFirefox: {
      'full-screen-api.warning.timeout': 0,
      'full-screen-api.transition-duration.enter': '0 0',
      'full-screen-api.transition-duration.leave': '0 0',
      ...(scale === 1 ? {} : { 'layout.css.devPixelsPerPx': String(scale) }),
    },
  });
  // A tab of its own, brought to the front: Firefox lets only the selected tab go fullscreen.
  const page = await browser.newPage();
  await page.bringToFront();
  const errors = [];
  page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
  page.on('pageerror', (e) => errors.push(String(e)));
  return {
    goto: (url) => page.goto(url),
    evaluate: (fn, arg) => page.evaluate(fn, arg),
    click: (selector) => page.click(selector),
    keyDown: (key) => page.keyboard.down(key),
    keyUp: (key) => page.keyboard.up(key),
    errors: () => errors,
    close: () => browser.close(),
  };
}

function freePort() {
  return new Promise((resolve, reject) => {
    const probe = net.createServer();
    probe.on('error', reject);
    probe.listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

async function openWebKit({ width, height, scale }) {
  if (scale !== 1) throw new Error('webkit: MiniBrowser has no other device scale than its own');
  const { Builder, By, Key } = await import('selenium-webdriver');
  const port = await freePort();
  const service = spawn('WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore' });
  const gone = new Promise((resolve) => service.on('exit', resolve));
  let driver;
  try {
    // The service answers once it listens.
    for (let tries = 0; ; ++tries) {
      const listening = await new Promise((resolve) => {
        const socket = net.connect(port, '127.0.0.1', () => { socket.end(); resolve(true); });
        socket.on('error', () => resolve(false));
      });
      if (listening) break;
      if (tries > 200 || service.exitCode !== null) throw new Error('webkit: WebKitWebDriver did not start');
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
    driver = await new Builder().forBrowser('MiniBrowser').usingServer(`http://127.0.0.1:${port}`)
      .withCapabilities({
        browserName: 'MiniBrowser',
        'webkitgtk:browserOptions': { binary: MINIBROWSER, args: ['--automation'] },
      }).build();
    await driver.manage().window().setRect({ width, height });
  } catch (e) {
    service.kill();
    throw e;
  }
  const keys = { F1: Key.F1, Escape: Key.ESCAPE };
  const evaluate = (fn, arg) => driver.executeAsyncScript(
    `const done = arguments[arguments.length - 1];
     Promise.resolve((${fn})(${JSON.stringify(arg ?? null)})).then(done, (e) => done({ __error: String(e) }));`)
    .then((value) => {
      if (value && value.__error) throw new Error(`in page: ${value.__error}`);
      return value;
    });
  return {
    goto: async (url) => {
      await driver.get(url);
      await evaluate(recordErrors);
    },
    evaluate,
    click: async (selector) => (await driver.findElement(By.css(selector))).click(),
    keyDown: (key) => driver.actions().keyDown(keys[key] ?? key).perform(),
    keyUp: (key) => driver.actions().keyUp(keys[key] ?? key).perform(),
    errors: () => evaluate(() => window.__qvErrors || []),
    close: async () => {
      try {
        await driver.quit();
      } finally {
        service.kill();
        await gone;
      }
    },
  };
}

const OPENERS = { chromium: openChromium, firefox: openFirefox, webkit: openWebKit };

export async function openEngine(name, options = {}) {
  const open = OPENERS[name];
  if (!open) throw new Error(`no such engine: ${name} (one of ${ENGINES.join(', ')})`);
  const session = await open({ width: options.width ?? 1024, height: options.height ?? 768,
                               scale: options.scale ?? 1 });
  return withWaits(session, name);
}

// Runs fn(session) in the engine and closes it afterwards, whether fn succeeded or threw.
export async function withEngine(name, options, fn) {
  const session = await openEngine(name, options);
  try {
    return await fn(session);
  } finally {
    await session.close();
  }
}

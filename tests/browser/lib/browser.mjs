// Starts Debian's Chromium through playwright-core, headless, with WebGL on SwiftShader.
// Playwright never fetches a browser of its own here: the executable is always the system one.

import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';

export const CHROMIUM = process.env.QV_CHROMIUM || '/usr/bin/chromium';

// What every run passes, and why:
// - --headless=new: the real browser without a window (Playwright's own --headless is dropped
//   in favour of this, so the mode is named, not implied by the version);
// - --no-sandbox: we run as root, where Chromium's sandbox refuses to start;
// - background networking, component updates, sync, first-run and QUIC off: this network is
//   closed, and their connection attempts are refused or hang;
// - ANGLE on SwiftShader, allowed explicitly: there is no GPU, and this gives WebGL 1 at the
//   display's 60 Hz;
// - --screen-info sets the screen the page sees (window.screen and the fullscreen size);
//   headless otherwise reports an 800x600 screen whatever the window size.
export function chromiumArgs({ width, height, screen, fullscreen }) {
  const args = [
    '--headless=new',
    '--no-sandbox',
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
    '--no-first-run',
    '--disable-quic',
    '--use-gl=angle',
    '--use-angle=swiftshader',
    '--enable-unsafe-swiftshader',
    `--window-size=${width},${height}`,
    `--screen-info={${screen.width}x${screen.height}}`,
  ];
  // Headless Chromium gives a fullscreen element only the viewport (the window less its
  // hidden toolbar, 1920x993 in a 1920x1080 window) and never resizes the window for it.
  // A window started fullscreen has a viewport of the whole screen, so requestFullscreen()
  // then makes the element exactly the screen size, as on a desktop.
  if (fullscreen) args.push('--start-fullscreen');
  return args;
}

// Launches a browser with its own fresh profile. Options:
//   width, height   window size (default 1280x720)
//   screen          { width, height } of the screen (default: the window size)
//   fullscreen      start the window fullscreen, for requestFullscreen() checks at screen size
//   args            more Chromium switches
//   viewport        a Playwright viewport to emulate; by default none, so the page sees the
//                   real window and screen and fullscreen behaves as the browser does it
//   deviceScaleFactor, isMobile, hasTouch
//                   a device to emulate with the viewport: its pixels per CSS pixel, a phone's
//                   layout viewport, touch events
// Resolves to { context, newPage(), close() }. close() is safe to call more than once and
// removes the profile folder.
export async function launchBrowser(options = {}) {
  const width = options.width ?? 1280;
  const height = options.height ?? 720;
  const screen = options.screen ?? { width, height };
  const userDataDir = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvane-chromium-'));
  let context;
  try {
    context = await chromium.launchPersistentContext(userDataDir, {
      executablePath: CHROMIUM,
      headless: true,
      ignoreDefaultArgs: ['--headless'],
      args: [...chromiumArgs({ width, height, screen, fullscreen: !!options.fullscreen }), ...(options.args ?? [])],
      viewport: options.viewport ?? null,
      deviceScaleFactor: options.deviceScaleFactor,
      isMobile: options.isMobile,
      hasTouch: options.hasTouch,
      timeout: options.timeout ?? 60_000,
    });
  } catch (e) {
    fs.rmSync(userDataDir, { recursive: true, force: true });
    throw e;
  }

  let closing = null;
  const close = () => {
    closing ??= (async () => {
      try {
        await context.close();
      } finally {
        // The profile is written until the process has gone; close() waits for that.
        fs.rmSync(userDataDir, { recursive: true, force: true, maxRetries: 5, retryDelay: 100 });
      }
    })();
    return closing;
  };

  return {
    context,
    userDataDir,
    // The persistent context opens with one blank tab; the first page reuses it.
    async newPage() {
      const blank = context.pages().find((p) => p.url() === 'about:blank' && !p.__qvTaken);
      const page = blank ?? (await context.newPage());
      page.__qvTaken = true;
      return page;
    },
    close,
  };
}

// Runs fn(browser) and closes the browser afterwards, whether fn succeeded or threw.
export async function withBrowser(options, fn) {
  const browser = await launchBrowser(options);
  try {
    return await fn(browser);
  } finally {
    await browser.close();
  }
}

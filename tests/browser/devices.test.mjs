// The page as people meet it beyond a desktop keyboard: on a phone by touch, with the screen
// kept awake while the demo runs, and embedded in another site's page.
//
// QUORVANE_SITE names the built site (default build-web/site).
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import {
  serveFolder, withBrowser, openPage, waitForStateQuiet, quietEvaluate, holdKey,
} from './lib/index.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const site = process.env.QUORVANE_SITE ?? path.join(root, 'build-web/site');

let server;
before(async () => {
  assert.ok(fs.existsSync(path.join(site, 'quorvane.wasm')), `no site in ${site}`);
  server = await serveFolder(site);
});
after(async () => server?.close());

const phone = { viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, isMobile: true,
                hasTouch: true };

test('on a phone the question, F1 and Escape are all a tap away', async () => {
  await withBrowser(phone, async (browser) => {
    const { page, console: log } = await openPage(browser, `${server.url}index.html`,
                                                  { predicate: (q) => q.ready });
    await page.locator('#box-buttons button:nth-child(2)').tap();
    await waitForStateQuiet(page, (q) => q.frames > 5);
    const f1 = page.getByRole('button', { name: 'F1: switch between fullscreen and the window' });
    const escape = page.getByRole('button', { name: 'Escape: quit the demo' });
    // Big enough for a finger, and below the picture, not over it.
    const picture = await page.locator('#stage').boundingBox();
    for (const control of [f1, escape]) {
      const box = await control.boundingBox();
      assert.ok(box.width >= 44 && box.height >= 44, `control of ${JSON.stringify(box)}`);
      assert.ok(box.y >= picture.y + picture.height, 'the control is below the picture');
    }
    await f1.tap();
    await waitForStateQuiet(page, () => !!document.fullscreenElement &&
                                        document.querySelector('#stage canvas.covering') !== null);
    await f1.tap();
    await waitForStateQuiet(page, () => !document.fullscreenElement &&
                                        document.querySelector('#stage canvas.covering') === null &&
                                        document.querySelector('#stage canvas') !== null);
    await escape.tap();
    const ended = await waitForStateQuiet(page, (q) => q.state === 'ended' && q);
    assert.equal(ended.exitCode, 0);
    assert.deepEqual(log.errors, []);
  });
});

// The browser drops a wake lock when the page is hidden. Headless pages are never hidden, so
// the test hides the page as the browser would: it says so and lets the lock go.
function hideAndShow() {
  let hidden = false;
  Object.defineProperty(document, 'hidden', { configurable: true, get: () => hidden });
  Object.defineProperty(document, 'visibilityState', {
    configurable: true, get: () => (hidden ? 'hidden' : 'visible') });
  return (async () => {
    hidden = true;
    await Promise.all(window.__wakeLocks.map((lock) => lock.release()));
    document.dispatchEvent(new Event('visibilitychange'));
    await new Promise((resolve) => requestAnimationFrame(resolve));
    hidden = false;
    document.dispatchEvent(new Event('visibilitychange'));
  })();
}

test('the screen is kept awake while the demo runs, again after it was hidden, not after', async () => {
  await withBrowser({ width: 900, height: 700 }, async (browser) => {
    const page = await browser.newPage();
    // Every lock the page is granted, for the test to hide the page with.
    await page.addInitScript(() => {
      window.__wakeLocks = [];
      if (!navigator.wakeLock) return;
      const request = navigator.wakeLock.request.bind(navigator.wakeLock);
      navigator.wakeLock.request = (type) => request(type).then((lock) => {
        window.__wakeLocks.push(lock);
        return lock;
      });
    });
    await page.goto(`${server.url}index.html`);
    await waitForStateQuiet(page, (q) => q.ready);
    await page.locator('#box-buttons button:nth-child(2)').click();
    const running = await waitForStateQuiet(page, (q) => q.wakeLock.held && q.frames > 5 && q);
    assert.equal(running.wakeLock.requests, 1, 'one request while running');
    await quietEvaluate(page, hideAndShow);
    const again = await waitForStateQuiet(page, (q) => q.wakeLock.held && q.wakeLock.releases >= 1 && q);
    assert.equal(again.wakeLock.requests, 2, 'asked again once shown');
    await page.getByRole('button', { name: 'Escape: quit the demo' }).click();
    const ended = await waitForStateQuiet(page, (q) => q.state === 'ended' && !q.wakeLock.held && q);
    assert.equal(ended.wakeLock.wanted, false);
    assert.equal(ended.wakeLock.releases, 2, 'let go at the end');
  });
});

// Another site's page holding the demo in an iframe, with or without leave to go fullscreen.
async function embedded(browser, allow) {
  const page = await browser.newPage();
  await page.setContent(`<!DOCTYPE html><title>A portal</title>
    <iframe src="${server.url}index.html" width="700" height="640" ${allow}></iframe>`);
  const frame = page.frames().find((f) => f.url().startsWith(server.url));
  await frame.waitForFunction(() => window.quorvane && window.quorvane.ready);
  return { page, frame };
}

test('embedded without leave to go fullscreen, Yes gives the question that offers the window', async () => {
  await withBrowser({ width: 900, height: 800 }, async (browser) => {
    const { page, frame } = await embedded(browser, '');
    await frame.locator('#box-buttons button:nth-child(1)').click();  // Yes
    await frame.waitForFunction(() => window.quorvane.ready &&
        document.getElementById('box-caption').textContent === 'Zentor GL');
    await frame.locator('#box-buttons button:nth-child(1)').click();  // Yes: the window
    await frame.waitForFunction(() => window.quorvane.frames > 5 &&
        document.querySelector('#stage canvas:not(.covering)') !== null);
    // Keys reach the demo once it has been clicked.
    await frame.locator('#stage').click();
    await holdKey(page, 'Escape', 3);
    await frame.waitForFunction(() => window.quorvane.state === 'ended' && window.quorvane.exitCode === 0);
  });
});

test('embedded with allow="fullscreen", Yes fills the screen', async () => {
  await withBrowser({ width: 900, height: 800, fullscreen: true }, async (browser) => {
    const { frame } = await embedded(browser, 'allow="fullscreen"');
    await frame.locator('#box-buttons button:nth-child(1)').click();
    await frame.waitForFunction(() => window.quorvane.frames > 5 &&
        document.fullscreenElement === document.getElementById('player'));
  });
});

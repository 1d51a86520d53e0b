// The browser test harness in one import:
//   import { serveFolder, launchBrowser, openPage, ... } from './lib/index.mjs';
export * from './server.mjs';
export * from './browser.mjs';
export * from './page.mjs';
export * from './image.mjs';
export * from './scene.mjs';
export * from './engines.mjs';

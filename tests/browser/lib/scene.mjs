// What the tests know of the demo's picture: the page's stills as images, where the boot text
// lies, which pixels are its ink, and the capture's stills of the same moments to compare with.

import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { loadPng, pixel } from './image.mjs';

export const WIDTH = 640;
export const HEIGHT = 480;

// The page's stills are RGBA rows bottom first, base64; the capture's PNGs top first.
export function stillImage(still) {
  const bytes = Buffer.from(still.rgba, 'base64');
  const data = Buffer.alloc(bytes.length);
  const row = still.width * 4;
  for (let y = 0; y < still.height; ++y) {
    bytes.copy(data, (still.height - 1 - y) * row, y * row, (y + 1) * row);
  }
  return { width: still.width, height: still.height, data };
}

// Where a point (x, y, z) in front of the camera lands in the 640x480 window, through the
// demo's projection (45 degrees vertically, 4:3), top-down rows as in a PNG.
function windowPoint(x, y, z) {
  const f = 1 / Math.tan((45 / 2) * Math.PI / 180);
  const ndcX = (f / (WIDTH / HEIGHT)) * x / -z;
  const ndcY = f * y / -z;
  return { x: (ndcX + 1) / 2 * WIDTH, y: HEIGHT - (ndcY + 1) / 2 * HEIGHT };
}

// The band of a line of boot text: from its raster position (on the baseline) up by the
// glyphs' height and down by their descent.
function textBand(x, y, z) {
  const at = windowPoint(x, y, z);
  const top = Math.floor(at.y) - 18;
  return { x: Math.floor(at.x) - 2, y: top, width: WIDTH - 2 - Math.floor(at.x), height: 24 };
}

// The bands of the three lines of boot text over the upright screen.
export const BOOT_TEXT = [[-0.355, 0.27], [-0.4, 0.2], [-0.4, 0.13]].map(([x, y]) => textBand(x, y, -1));

// The image's ink as a mask. Two GLs may round a colour's last bit differently (0.21 of 255 is
// 53 or 54), so a pixel is ink where it is nearer the text's boot blue than the screen's blue.
export function ink(image) {
  const bootBlue = [0.5, 0.5, 0.9].map((c) => c * 255);
  const screenBlue = [0.21, 0.2, 0.62].map((c) => c * 255);
  const distance = (p, c) => Math.hypot(p[0] - c[0], p[1] - c[1], p[2] - c[2]);
  const mask = { width: image.width, height: image.height,
                 data: Buffer.alloc(image.width * image.height * 4) };
  for (let y = 0; y < image.height; ++y) {
    for (let x = 0; x < image.width; ++x) {
      const p = pixel(image, x, y);
      const v = distance(p, bootBlue) < distance(p, screenBlue) ? 255 : 0;
      mask.data.fill(v, (y * image.width + x) * 4, (y * image.width + x) * 4 + 4);
    }
  }
  return mask;
}

// The capture's stills of the demo at these seconds (on a fixed clock of `fps`), as images by
// demo millisecond. The capture runs in its own folder, beside its Data/.
export function captureStills(captureExe, seconds, fps) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvane-stills-'));
  try {
    execFileSync(captureExe, ['--fps', String(fps), '--frames-at', seconds.join(','),
                              '--frames-dir', folder],
                 { cwd: path.dirname(captureExe), stdio: 'pipe', timeout: 600_000 });
    const stills = {};
    for (const s of seconds) {
      const ms = Math.round(s * 1000);
      stills[ms] = loadPng(path.join(folder, `${String(ms).padStart(6, '0')}.png`));
    }
    return stills;
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

// RGBA images as { width, height, data } with data a Uint8Array/Buffer of width*height*4 bytes,
// row by row from the top, and the comparisons the tests make on them.

import fs from 'node:fs';
import pngjs from 'pngjs';

const { PNG } = pngjs;

// pngjs hands back every colour type as 8-bit RGBA, which is the one layout used here.
export function decodePng(buffer) {
  const png = PNG.sync.read(buffer);
  return { width: png.width, height: png.height, data: png.data };
}

export function encodePng(image) {
  const png = new PNG({ width: image.width, height: image.height });
  Buffer.from(image.data.buffer, image.data.byteOffset, image.data.byteLength).copy(png.data);
  return PNG.sync.write(png);
}

export const loadPng = (file) => decodePng(fs.readFileSync(file));
export const savePng = (image, file) => fs.writeFileSync(file, encodePng(image));

export function makeImage(width, height, fill = [0, 0, 0, 255]) {
  const data = new Uint8Array(width * height * 4);
  for (let i = 0; i < data.length; i += 4) data.set(fill, i);
  return { width, height, data };
}

export function pixel(image, x, y) {
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) {
    throw new RangeError(`pixel ${x},${y} outside ${image.width}x${image.height}`);
  }
  const i = (y * image.width + x) * 4;
  return [image.data[i], image.data[i + 1], image.data[i + 2], image.data[i + 3]];
}

function regionOf(region, ...images) {
  const r = region ?? { x: 0, y: 0, width: images[0].width, height: images[0].height };
  for (const image of images) {
    if (r.x < 0 || r.y < 0 || r.width <= 0 || r.height <= 0 ||
        r.x + r.width > image.width || r.y + r.height > image.height) {
      throw new RangeError(`region ${JSON.stringify(r)} outside a ${image.width}x${image.height} image`);
    }
  }
  return r;
}

export function crop(image, region) {
  const r = regionOf(region, image);
  const out = makeImage(r.width, r.height);
  for (let y = 0; y < r.height; y++) {
    const from = ((r.y + y) * image.width + r.x) * 4;
    out.data.set(image.data.subarray(from, from + r.width * 4), y * r.width * 4);
  }
  return out;
}

// Mean absolute difference of each channel, [r, g, b, a], over a region (default: all of
// image a) taken at the same place in both images.
export function meanAbsDiff(a, b, region) {
  const r = regionOf(region, a, b);
  const sum = [0, 0, 0, 0];
  for (let y = r.y; y < r.y + r.height; y++) {
    let ia = (y * a.width + r.x) * 4;
    let ib = (y * b.width + r.x) * 4;
    for (let x = 0; x < r.width; x++, ia += 4, ib += 4) {
      for (let c = 0; c < 4; c++) sum[c] += Math.abs(a.data[ia + c] - b.data[ib + c]);
    }
  }
  const n = r.width * r.height;
  return sum.map((s) => s / n);
}

// Whether a and b are identical at every pixel the mask selects. The mask is an image of the
// same size (a pixel is selected where it is not transparent and not black), a function
// (x, y) => boolean, or a region { x, y, width, height }. Gives { equal, compared, differing,
// first } with first the first differing pixel and both its values.
export function equalOverMask(a, b, mask) {
  if (a.width !== b.width || a.height !== b.height) {
    throw new RangeError(`sizes differ: ${a.width}x${a.height} and ${b.width}x${b.height}`);
  }
  let selected;
  if (typeof mask === 'function') {
    selected = mask;
  } else if (mask && mask.data) {
    if (mask.width !== a.width || mask.height !== a.height) throw new RangeError('mask size differs');
    selected = (x, y) => {
      const i = (y * mask.width + x) * 4;
      return mask.data[i + 3] > 0 && mask.data[i] + mask.data[i + 1] + mask.data[i + 2] > 0;
    };
  } else {
    const r = regionOf(mask, a);
    selected = (x, y) => x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height;
  }
  let compared = 0;
  let differing = 0;
  let first = null;
  for (let y = 0; y < a.height; y++) {
    for (let x = 0; x < a.width; x++) {
      if (!selected(x, y)) continue;
      compared++;
      const i = (y * a.width + x) * 4;
      if (a.data[i] !== b.data[i] || a.data[i + 1] !== b.data[i + 1] ||
          a.data[i + 2] !== b.data[i + 2] || a.data[i + 3] !== b.data[i + 3]) {
        differing++;
        first ??= { x, y, a: pixel(a, x, y), b: pixel(b, x, y) };
      }
    }
  }
  return { equal: differing === 0, compared, differing, first };
}

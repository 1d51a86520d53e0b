// The web benchmark's runner, measuring its baseline against itself: it must run through and
// print its three figures. What the numbers are is the benchmark's business, not a test's.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const runner = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../bench/web/run.mjs');

test('the web benchmark runs with the baseline alone and prints one line per figure', async () => {
  const { stdout, stderr } = await new Promise((resolve, reject) => {
    execFile(process.execPath, [runner, '--rounds', '1', '--seconds', '1'], { timeout: 240_000 },
      (error, out, err) => (error ? reject(Object.assign(error, { stderr: err })) : resolve({ stdout: out, stderr: err })));
  });
  const lines = stdout.trim().split('\n');
  assert.deepEqual(lines.map((l) => l.split(' ')[0]), ['fps', 'frame_work_ms', 'click_to_frame_ms'], stdout);
  for (const line of lines) {
    const [, demo, baseline, ratio] = line.split(' ');
    assert.equal(line.split(' ').length, 4, line);
    for (const n of [demo, baseline, ratio]) assert.ok(Number.isFinite(Number(n)) && Number(n) > 0, line);
  }
  assert.match(stderr, /round 1 baseline: .* fps/);
  assert.match(stderr, /round 1 demo: .* fps/);
  assert.doesNotMatch(stderr, /not isolated/);
});

"""Ten minutes of demo time, sped up: resident memory stays flat once the first minute is over
(frames allocate nothing, so growth would be a leak)."""
import time
import unittest

import checks
from demo import Demo

SPEED = 20
DEMO_MINUTES = 10
GROWTH_LIMIT_KIB = 1024


class SoakMemory(unittest.TestCase):
    def test_ten_minutes_flat(self):
        with Demo(speed=SPEED) as demo:
            window = demo.start()
            samples = []
            while demo.demo_now() < DEMO_MINUTES * 60000:
                self.assertTrue(demo.alive(), demo.stderr_text())
                samples.append((demo.demo_now(), demo.rss_kib()))
                time.sleep(0.5)
            shots = checks.capture_until(demo, demo.demo_now() + 15000, [])
            self.assertTrue(checks.seen(shots, "main:creditsEnd"), checks.summary(shots))
            self.assertEqual(checks.mismatches(shots), [], checks.summary(shots))
            self.assertEqual(demo.quit(window), 0)
        after_first_minute = [kib for ms, kib in samples if ms >= 60000]
        growth = max(after_first_minute) - after_first_minute[0]
        self.assertLess(growth, GROWTH_LIMIT_KIB,
                        "resident memory grew by %d KiB: %s" % (growth, after_first_minute[::10]))


if __name__ == "__main__":
    unittest.main(verbosity=2)

"""The whole demo sequence in one windowed run, read from screenshots against the clock:
boot screen with its blinking cursor, the tumble, the loading line, the open box and the
credits lines that change at 70, 80 and 90 seconds."""
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent / "lib"))
import checks  # noqa: E402
import xdisplay  # noqa: E402
from demo import Demo  # noqa: E402

SPEED = 5


class Sequence(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with Demo(speed=SPEED) as demo:
            demo.start(fullscreen=False)
            cls.shots = checks.capture_until(demo, 96000, [])
            xdisplay.key(demo.window, "Escape")
            cls.status = demo.wait(30)

    def test_every_capture_shows_what_the_clock_decides(self):
        bad = checks.mismatches(self.shots)
        self.assertEqual(bad, [], "\n".join(bad))

    def test_boot_screen_with_blinking_cursor(self):
        boot = checks.seen(self.shots, "boot", hi=11500)
        self.assertGreaterEqual(len(boot), 3, checks.summary(self.shots))
        blinks = {s[1] for s in checks.seen(self.shots, "boot", hi=29000)}
        self.assertEqual(blinks, {True, False}, "the cursor should be seen both on and off")

    def test_rectangle_tumbles_between_11_5_and_27_s(self):
        inside = [s for s in self.shots if s[2] > 11500 and s[3] < 27000]
        tumbling = [s for s in inside if s[0] == "tumble"]
        self.assertGreaterEqual(len(inside), 3)
        self.assertGreaterEqual(len(tumbling), 0.75 * len(inside), checks.summary(inside))

    def test_loading_line_between_29_and_33_s(self):
        # When each of these was shown is checked against the clock by the first test.
        self.assertTrue(checks.seen(self.shots, "loading"), checks.summary(self.shots))
        self.assertTrue([s for s in checks.seen(self.shots, "boot") if s[3] > 27000],
                        "the rectangle should stand upright again from 27 s")

    def test_credits_change_at_70_80_and_90_s(self):
        for tid in ("T5", "T6", "T7", "T8"):
            self.assertTrue(checks.seen(self.shots, "main:" + tid),
                            "%s not seen: %s" % (tid, checks.summary(self.shots)))
        unreadable = checks.seen(self.shots, "main:?")
        self.assertLessEqual(len(unreadable), 0.1 * len(checks.seen(self.shots, "main:T5") or [1]) + 2,
                             checks.summary(unreadable))

    def test_escape_ends_with_status_0(self):
        self.assertEqual(self.status, 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)

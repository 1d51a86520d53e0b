"""F1 in a run started windowed: to fullscreen and back, before and after 33 s. The sequence
carries on where it was: the boot screen never comes back after 33 s and the credits still
change on time. Fullscreen covers the 1280x1024x24 screen with the picture doubled, the screen
keeping its size; the window manager marks it. Under a window manager."""
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent / "lib"))
import checks  # noqa: E402
import xdisplay  # noqa: E402
from demo import TITLE, Demo  # noqa: E402

SPEED = 5
# Demo times of the four switches: to fullscreen and back in the boot phase, then in the main part.
SWITCHES = (6000, 20000, 45000, 72000)
# One frame after a switch before 33 s is cleared black; allow it for a moment of host time.
BLACK_FRAME_WINDOW = 1.0


class ModeSwitch(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.shots, cls.modes, cls.switched = [], [], []
        cls.screen = xdisplay.randr_size()
        with Demo(speed=SPEED) as demo:
            window = demo.start(fullscreen=False)
            cls.modes.append(cls.mode_of(window))
            for at in SWITCHES:
                checks.capture_until(demo, at, cls.shots, window=window)
                before = time.monotonic()
                xdisplay.key(window, "F1")
                window = xdisplay.wait_window(TITLE, 30, demo.alive, exclude=(window,))
                if window is None:
                    raise AssertionError("no new window after F1 at %d ms (modes so far %s):\n%s"
                                         % (at, cls.modes, demo.stderr_text()))
                demo.window = window
                cls.switched.append((demo.elapsed(before, time.monotonic())))
                cls.modes.append(cls.mode_of(window))
            checks.capture_until(demo, 93000, cls.shots, window=window)
            xdisplay.key(window, "Escape")
            cls.status = demo.wait(30)

    @classmethod
    def mode_of(cls, window):
        """The window's mode once it has settled at one of the two sizes (bounded: a window
        manager may resize a new window once more after mapping it)."""
        settled = ((640, 480), cls.screen)
        for _ in range(100):
            geometry = xdisplay.geometry(window)
            if geometry and geometry[2:] in settled:
                break
            time.sleep(0.05)
        full = "_NET_WM_STATE_FULLSCREEN" in xdisplay.net_wm_state(window)
        screen = xdisplay.randr_size()
        if full and geometry == (0, 0) + cls.screen and screen == cls.screen:
            return "fullscreen", geometry[2:]
        if not full and screen == cls.screen:
            return "windowed", geometry[2:]
        return "unclear: fullscreen state %s at %s on %s" % (full, geometry, screen), geometry[2:]

    def test_modes_alternate_windowed_640x480_and_covering_the_screen(self):
        expected = [("windowed", (640, 480)), ("fullscreen", self.screen)] * 2 + [("windowed", (640, 480))]
        self.assertEqual(self.modes, expected)

    def test_sequence_carries_on_across_switches(self):
        def black_after_switch(lo, hi):
            return {"black", "blank"} if any(s_lo <= hi and lo <= s_hi + BLACK_FRAME_WINDOW * SPEED * 1000
                                    for s_lo, s_hi in self.switched) else set()
        bad = checks.mismatches(self.shots, black_after_switch)
        self.assertEqual(bad, [], checks.summary(self.shots))

    def test_boot_phase_goes_on_between_the_early_switches(self):
        self.assertTrue(checks.seen(self.shots, "tumble"), checks.summary(self.shots))
        self.assertTrue(checks.seen(self.shots, "loading"), checks.summary(self.shots))

    def test_credits_change_on_time_after_the_late_switches(self):
        for tid, lo in (("T5", 45000), ("T6", 72000), ("T7", 80000), ("T8", 90000)):
            self.assertTrue(checks.seen(self.shots, "main:" + tid, lo),
                            "%s not seen: %s" % (tid, checks.summary(self.shots)))

    def test_escape_ends_with_status_0(self):
        self.assertEqual(self.status, 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)

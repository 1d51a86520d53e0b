"""The two keys held or pressed together: holding F1 switches mode at every auto-repeat and
the program stays up; Escape with F1 switches once more and then ends with status 0.
Runs on an 800x600x16 screen that also offers 640x480, under a window manager."""
import time
import unittest

import checks
import xdisplay
from demo import TITLE, Demo

SPEED = 5
# With the server's auto-repeat every repeat is a switch, and each switch a new window: F1 is
# held until this many windows have been seen, however long a busy machine takes to make them.
WINDOWS = 4
HOLD_LIMIT_SECONDS = 120.0


class Keys(unittest.TestCase):
    def test_holding_f1_switches_at_every_repeat(self):
        with Demo(speed=SPEED) as demo:
            window = demo.start()
            seen = {window}
            xdisplay.key_down(window, "F1")
            end = time.monotonic() + HOLD_LIMIT_SECONDS
            while len(seen) < WINDOWS and time.monotonic() < end and demo.alive():
                seen.update(xdisplay.windows(TITLE))
                time.sleep(0.02)
            xdisplay.key_up("F1")
            self.assertGreaterEqual(len(seen), WINDOWS, "windows seen: %d" % len(seen))
            demo.window = self.settled_window(demo)
            # The window the switching ended with draws the sequence where the clock is (or
            # the one black frame of a fresh context).
            first = demo.drawn()
            self.assertEqual(checks.mismatches([first], lambda lo, hi: {"black"}), [],
                             checks.summary([first]))
            self.assertEqual(demo.quit(), 0)

    def settled_window(self, demo):
        """The window the switching ends with. A repeat the program took before the release
        switches once more, and the window found just before is gone: the one to go on with
        is the one that takes the keyboard focus."""
        end = time.monotonic() + HOLD_LIMIT_SECONDS
        while time.monotonic() < end:
            window = xdisplay.wait_window(TITLE, 30, demo.alive)
            self.assertIsNotNone(window, "the program should stay up:\n" + demo.stderr_text())
            try:
                xdisplay.focus(window, timeout=5)
                return window
            except AssertionError:
                pass  # switched away once more, or slow to take the focus: look again
        self.fail("no window of the program took the keyboard focus")

    def test_escape_with_f1_switches_then_ends(self):
        with Demo(speed=SPEED) as demo:
            window = demo.start()
            xdisplay.key_down(window, "F1", "Escape")
            status = demo.wait(30)
            xdisplay.key_up("F1", "Escape")
            self.assertEqual(status, 0, demo.stderr_text())
            self.assertEqual(xdisplay.windows(TITLE), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)

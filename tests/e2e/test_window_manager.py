"""What a user does through the window manager: the title bar's close button ends the demo
with status 0; minimising stops nothing but the drawing, so after a restore the scene is the
one the clock has reached meanwhile."""
import time
import unittest

import checks
import xdisplay
from demo import Demo

SPEED = 5


class WindowManager(unittest.TestCase):
    def test_close_button_ends_with_status_0(self):
        with Demo(speed=SPEED) as demo:
            window = demo.start()
            self.assertGreater(xdisplay.frame_top(window), 0,
                               "the window manager should have decorated the window")
            xdisplay.close(window)
            self.assertEqual(demo.wait(30), 0, demo.stderr_text())

    def test_minimised_window_resumes_where_the_clock_is(self):
        with Demo(speed=SPEED) as demo:
            window = demo.start()
            xdisplay.minimise(window)
            # The manager marks the window hidden after it has unmapped it, which is all that
            # the minimise waits for.
            end = time.monotonic() + 30
            while ("_NET_WM_STATE_HIDDEN" not in xdisplay.net_wm_state(window)
                   and time.monotonic() < end):
                time.sleep(0.02)
            self.assertIn("_NET_WM_STATE_HIDDEN", xdisplay.net_wm_state(window))
            demo.sleep_until(40000)
            self.assertTrue(demo.alive(), "the program should run on while minimised")
            xdisplay.restore(window)
            # The first frame drawn after the restore already belongs to the main part.
            first = demo.drawn()
            self.assertTrue(first.scene.startswith("main:"), checks.summary([first]))
            self.assertEqual(checks.mismatches([first]), [], checks.summary([first]))
            self.assertEqual(demo.quit(window), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)

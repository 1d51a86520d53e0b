"""Yes at the start on a screen smaller than 640x480, where the mode cannot fit: the fallback
question; Yes there gives a windowed run, No ends the program after "Program will now close."
with status 1."""
import unittest

import xdisplay
from demo import TITLE, Demo


class FullscreenFallback(unittest.TestCase):
    def test_yes_to_the_fallback_runs_in_a_window(self):
        with Demo() as demo:
            demo.answer("Start FullScreen?", True)
            pressed = demo.answer("Zentor GL", True)
            window = xdisplay.wait_window(TITLE, 60, demo.alive)
            self.assertIsNotNone(window, demo.stderr_text())
            demo.window = window
            demo.t0 = demo.first_frame(pressed, 60)
            self.assertEqual(xdisplay.geometry(window)[2:], (640, 480))
            self.assertEqual(xdisplay.randr_size(), (600, 400), "no mode change")
            self.assertNotIn("_NET_WM_STATE_FULLSCREEN", xdisplay.net_wm_state(window))
            self.assertEqual(demo.quit(window), 0)

    def test_no_to_the_fallback_closes_with_status_1(self):
        with Demo() as demo:
            demo.answer("Start FullScreen?", True)
            demo.answer("Zentor GL", False)
            # "Program will now close." comes in a box of its own, captioned ERROR.
            demo.answer("ERROR", True)
            self.assertEqual(demo.wait(30), 1)
            self.assertEqual(xdisplay.windows(TITLE), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)

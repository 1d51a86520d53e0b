"""Yes at the start on a 640x480x16 screen: the demo covers the display and runs; Escape
ends it with status 0."""
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent / "lib"))
import checks  # noqa: E402
import xdisplay  # noqa: E402
from demo import Demo  # noqa: E402


class StartFullscreen(unittest.TestCase):
    def test_yes_runs_fullscreen(self):
        with Demo(speed=5) as demo:
            window = demo.start(fullscreen=True)
            self.assertIsNone(xdisplay.wait_window("Zentor GL", 0.5, pattern=xdisplay.box_pattern("Zentor GL")),
                              "the mode exists: no fallback question")
            self.assertEqual(xdisplay.geometry(window), (0, 0, 640, 480))
            shots = checks.capture_until(demo, 14000, [])
            self.assertEqual(checks.mismatches(shots), [], checks.summary(shots))
            self.assertTrue(checks.seen(shots, "boot"), checks.summary(shots))
            xdisplay.key(window, "Escape")
            self.assertEqual(demo.wait(30), 0)
            self.assertEqual(xdisplay.screen_size(), (640, 480))


if __name__ == "__main__":
    unittest.main(verbosity=2)

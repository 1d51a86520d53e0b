"""F1 in a run started windowed, to fullscreen and back twice, on a 1280x1024x24 screen under a
window manager: each window has the geometry of its mode (640x480, or covering the screen,
marked fullscreen, the screen keeping its size) and shows the boot screen where the projection
puts it. What the sequence does across switches is read from exact frames elsewhere; here the
clock runs at half speed, so the whole run stays in the boot phase."""
import time
import unittest

import xdisplay
from demo import Demo

SPEED = 0.5
SWITCHES = 4
# A window manager may resize a new window once more after mapping it.
SETTLE_TIMEOUT = 10.0


class ModeSwitch(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.modes, cls.pictures = [], []
        cls.screen = xdisplay.randr_size()
        with Demo(speed=SPEED) as demo:
            demo.start(fullscreen=False)
            cls.observe(demo)
            for _ in range(SWITCHES):
                demo.switch()
                cls.observe(demo)
            cls.status = demo.quit()

    @classmethod
    def observe(cls, demo):
        cls.modes.append(cls.mode_of(demo.window))
        cls.pictures.append(cls.picture(demo))

    @classmethod
    def mode_of(cls, window):
        """The window's mode once it has settled at one of the two sizes."""
        settled = ((640, 480), cls.screen)
        deadline = time.monotonic() + SETTLE_TIMEOUT
        geometry = xdisplay.geometry(window)
        while not (geometry and geometry[2:] in settled) and time.monotonic() < deadline:
            time.sleep(0.05)
            geometry = xdisplay.geometry(window)
        full = "_NET_WM_STATE_FULLSCREEN" in xdisplay.net_wm_state(window)
        screen = xdisplay.randr_size()
        if full and geometry == (0, 0) + cls.screen and screen == cls.screen:
            return "fullscreen", geometry[2:]
        if not full and screen == cls.screen:
            return "windowed", geometry[2:]
        return "unclear: fullscreen state %s at %s on %s" % (full, geometry, screen), geometry[2:]

    @staticmethod
    def picture(demo):
        """The scene of the new window once it has drawn a frame past the fresh context's
        black one (bounded by the boot phase, which the half-speed clock makes long)."""
        seen = []
        while demo.demo_now() < 11000:
            shot = demo.shot()
            if shot is not None:
                seen.append(shot.scene)
                if shot.scene not in ("blank", "black"):
                    break
        return seen[-1] if seen else "nothing captured"

    def test_modes_alternate_windowed_640x480_and_covering_the_screen(self):
        expected = [("windowed", (640, 480)), ("fullscreen", self.screen)] * 2 + [("windowed", (640, 480))]
        self.assertEqual(self.modes, expected)

    def test_every_window_shows_the_boot_screen(self):
        self.assertEqual(self.pictures, ["boot"] * (SWITCHES + 1))

    def test_escape_ends_with_status_0(self):
        self.assertEqual(self.status, 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)

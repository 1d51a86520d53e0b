"""Yes at the start: the demo's 640x480 picture covers the whole screen, scaled sharp with its
4:3 shape kept and black bars, while the real screen size never changes, not even when the
program is killed. Runs on any screen size at least 640x480; every expected position comes
from the screen size and the projection."""
import signal
import unittest

import camera
import scenes
import xdisplay
from demo import Demo
from image import BLACK, SCREEN_BLUE, near, placement, unscaled

# Slow enough that the boot screen still stands when a whole screen has been read back.
SPEED = 1.5
# Demo time well into the main part, where the box's shading spans many colours.
MAIN_PART = 36000


def black_rows(img, first, last):
    return all(img.data[r * img.width * 3:(r + 1) * img.width * 3].count(0) == img.width * 3
               for r in range(first, last))


def black_columns(img, first, last):
    return all(img.data[(r * img.width + first) * 3:(r * img.width + last) * 3].count(0)
               == (last - first) * 3 for r in range(img.height))


def blue_span(pixels):
    """First and last index of screen blue in a run of pixels."""
    hits = [i for i, p in enumerate(pixels) if near(p, SCREEN_BLUE)]
    return (hits[0], hits[-1] + 1) if hits else (None, None)


class StartFullscreen(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.screen_before = xdisplay.randr_size()
        with Demo(speed=SPEED) as demo:
            cls.window = demo.start(fullscreen=True)
            cls.fallback = xdisplay.wait_window("Zentor GL", 0.5, pattern=xdisplay.box_pattern("Zentor GL"))
            cls.geometry = xdisplay.geometry(cls.window)
            cls.boot = xdisplay.root_screenshot()
            cls.boot_scene = scenes.classify(unscaled(cls.boot))[0]
            cls.screen_during = xdisplay.randr_size()
            demo.sleep_until(MAIN_PART)
            cls.main = xdisplay.root_screenshot()
            cls.main_scene = scenes.classify(unscaled(cls.main))[0]
            demo.proc.send_signal(signal.SIGKILL)
            demo.wait(30)
            cls.stderr = demo.stderr_text()
        cls.screen_after = xdisplay.randr_size()
        cls.left, cls.top, cls.width, cls.height, cls.whole = placement(*cls.screen_before)

    def test_window_covers_the_screen_and_the_screen_size_never_changes(self):
        self.assertIsNone(self.fallback, "the mode fits the desktop: no fallback question")
        self.assertEqual(self.geometry, (0, 0) + self.screen_before)
        self.assertEqual(self.screen_during, self.screen_before)
        self.assertEqual(self.screen_after, self.screen_before, "after SIGKILL")

    def test_boot_screen_fills_the_picture_with_black_bars(self):
        self.assertEqual(self.boot_scene, "boot")
        img, left, top, width, height = self.boot, self.left, self.top, self.width, self.height
        self.assertTrue(black_rows(img, 0, top) and black_rows(img, top + height, img.height),
                        "bars above and below")
        self.assertTrue(black_columns(img, 0, left) and black_columns(img, left + width, img.width),
                        "pillars left and right")
        middle = top + height // 2
        row = [img.pixel(c, middle) for c in range(img.width)]
        lit = [c for c, p in enumerate(row) if p != BLACK]
        self.assertEqual((lit[0], lit[-1] + 1), (left, left + width), "picture columns")
        column = [img.pixel(img.width // 2, r) for r in range(img.height)]
        lit = [r for r, p in enumerate(column) if p != BLACK]
        self.assertEqual((lit[0], lit[-1] + 1), (top, top + height), "picture rows")

    def test_rectangle_edges_are_the_projection_scaled(self):
        scale = self.width / camera.WIDTH
        rect_left, rect_top, rect_right, rect_bottom = camera.SCREEN_RECT
        row = round(self.top + (rect_top + rect_bottom) / 2 * scale)
        col = round(self.left + (rect_left + rect_right) / 2 * scale)
        across = blue_span([self.boot.pixel(c, row) for c in range(self.boot.width)])
        down = blue_span([self.boot.pixel(col, r) for r in range(self.boot.height)])
        # Rounding to the program's pixels, then to the screen's.
        slack = scale + 1
        for got, want in zip(across + down, (self.left + rect_left * scale, self.left + rect_right * scale,
                                             self.top + rect_top * scale, self.top + rect_bottom * scale)):
            self.assertIsNotNone(got)
            self.assertLessEqual(abs(got - want), slack, "edges %s %s" % (across + down, want))

    def test_whole_factor_gives_square_blocks_and_16_bit_colours(self):
        if self.width != self.whole * camera.WIDTH:
            self.skipTest("the screen is no whole multiple of 640x480")
        k, img = self.whole, self.boot
        for r in range(self.top, self.top + self.height, k):
            line = img.data[(r * img.width + self.left) * 3:(r * img.width + self.left + self.width) * 3]
            for j in range(1, k):
                nxt = img.data[((r + j) * img.width + self.left) * 3:
                               ((r + j) * img.width + self.left + self.width) * 3]
                self.assertEqual(line, nxt, "rows %d and %d differ" % (r, r + j))
            for j in range(1, k):
                for ch in range(3):
                    self.assertEqual(line[ch::3 * k], line[3 * j + ch::3 * k], "columns in row %d" % r)

        self.assertTrue(self.main_scene.startswith("main:"), self.main_scene)
        levels = [set(), set(), set()]
        for r in range(self.top, self.top + self.height):
            line = self.main.data[(r * self.main.width + self.left) * 3:
                                  (r * self.main.width + self.left + self.width) * 3]
            for ch in range(3):
                levels[ch].update(line[ch::3])
        counts = [len(s) for s in levels]
        self.assertLessEqual(counts[0], 32, counts)
        self.assertLessEqual(counts[1], 64, counts)
        self.assertLessEqual(counts[2], 32, counts)
        # The box's shading does use the depth it has.
        self.assertGreater(counts[1], 32, counts)


if __name__ == "__main__":
    unittest.main(verbosity=2)

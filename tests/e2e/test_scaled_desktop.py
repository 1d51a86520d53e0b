"""A desktop scaled by its Xft.dpi resource, as GNOME and KDE set it: the demo's window is its
640x480 client area times the scale on screen, its picture scaled sharp to fill it, and F1 to
fullscreen and back returns to that size. At 200% every program pixel is a 2x2 block, and the
picture is the capture's still of the same moment, repeated."""
import tempfile
import unittest
from pathlib import Path

import capture
import scenes
import timeline
import xdisplay
from demo import Demo

# Slow enough that the boot screen stands through the whole run.
SPEED = 0.5
# Boot frames at 60 fps with the cursor shown and hidden.
CURSOR_ON = next(n for n in range(300, 330) if timeline.cursor_shown(n))
CURSOR_OFF = next(n for n in range(300, 330) if not timeline.cursor_shown(n))
# Pixels a window's boot screen may differ from the capture's still: the same program drew both
# at 24 bits, and none differed when measured.
DIFFERENT_PIXELS = 0


def block_colours_differ(img, k):
    """How many k x k blocks of the image are not of one colour."""
    bad = 0
    for r in range(0, img.height - k + 1, k):
        for c in range(0, img.width - k + 1, k):
            first = img.pixel(c, r)
            if any(img.pixel(c + i, r + j) != first for j in range(k) for i in range(k)):
                bad += 1
    return bad


def every_kth(img, k):
    """The picture the program drew, one pixel from each k x k block."""
    from image import Image
    out = bytearray()
    for r in range(0, img.height, k):
        for c in range(0, img.width, k):
            out += bytes(img.pixel(c, r))
    return Image(img.width // k, img.height // k, bytes(out))


def differing(a, b):
    return sum(a.pixel(c, r) != b.pixel(c, r) for r in range(a.height) for c in range(a.width))


class ScaledDesktop(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scale = xdisplay.desktop_scale()
        cls.expected = (round(640 * cls.scale), round(480 * cls.scale))
        cls.screen = xdisplay.randr_size()
        with Demo(speed=SPEED) as demo:
            window = demo.start(fullscreen=False)
            cls.first = xdisplay.geometry(window)[2:]
            cls.shot = None
            k = round(cls.scale)
            while k == cls.scale and cls.shot is None and demo.demo_now() < timeline.TUMBLE_FROM:
                got = xdisplay.screenshot(window, raw=True)
                if got and got.image.width == cls.expected[0] and \
                        scenes.classify(every_kth(got.image, k))[0] == "boot":
                    cls.shot = got.image
            full = demo.switch()
            cls.full = xdisplay.geometry(full)[2:]
            back = demo.switch()
            cls.back = xdisplay.geometry(back)[2:]
            cls.status = demo.quit()

    def test_window_is_the_client_area_times_the_scale_and_again_after_f1_twice(self):
        self.assertEqual(self.first, self.expected)
        self.assertEqual(self.full, self.screen)
        self.assertEqual(self.back, self.expected)
        self.assertEqual(self.status, 0)

    def test_at_a_whole_scale_each_pixel_is_a_block_of_the_captures_picture(self):
        k = round(self.scale)
        if k != self.scale:
            self.skipTest("the scale is not a whole number")
        self.assertIsNotNone(self.shot, "no boot screen was seen")
        self.assertEqual(block_colours_differ(self.shot, k), 0)
        picture = every_kth(self.shot, k)
        with tempfile.TemporaryDirectory() as stills:
            times = [capture.time_of(n) for n in (CURSOR_ON, CURSOR_OFF)]
            with capture.workdir() as work:
                status, err = capture.run(["--frames-at", ",".join("%g" % (t / 1e3) for t in times),
                                           "--frames-dir", stills], work)
            self.assertEqual(status, 0, err)
            on, off = (capture.still(Path(stills) / ("%06d.png" % t)) for t in times)
        still = on if scenes.cursor(picture) else off
        different = differing(picture, still)
        print("pixels unlike the capture's still: %d" % different)
        self.assertLessEqual(different, DIFFERENT_PIXELS)


if __name__ == "__main__":
    unittest.main(verbosity=2)

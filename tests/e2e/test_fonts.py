"""Fonts as a user's system may have them. With no usable font at all, the program says so in
one line (naming the face, weight and height it asked for) and draws the boot screen without
its text; with only a font that is not Arial's metric twin, that font's glyphs are drawn."""
import math
import shutil
import tempfile
import unittest
from pathlib import Path

import camera
import scenes
import textwidth
import xdisplay
from demo import Demo
from image import BOOT_BLUE, near

# fonts-dejavu-core's bold sans: installed by scripts/install-deps, and nothing like Arial.
DEJAVU_DIR = Path("/usr/share/fonts/truetype/dejavu")
DEJAVU_BOLD = DEJAVU_DIR / "DejaVuSans-Bold.ttf"
# Bitmap placement and glyph rounding move a line's ends by a few pixels.
WIDTH_SLACK = 4


def fontconfig_file(folder, font_dirs):
    """A fontconfig configuration that offers only the fonts in font_dirs (none if empty)."""
    lines = ['<?xml version="1.0"?>', '<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">',
             "<fontconfig>"]
    lines += ["  <dir>%s</dir>" % d for d in font_dirs]
    lines += ["  <cachedir>%s</cachedir>" % (Path(folder) / "cache"), "</fontconfig>"]
    path = Path(folder) / "fonts.conf"
    path.write_text("\n".join(lines) + "\n")
    return str(path)


def ink_columns(img, name):
    """Columns of boot-blue pixels on the line's rows, from a little left of its raster
    position to the screen rectangle's right edge (the text is boot blue on the rectangle,
    the same colour as the background around it)."""
    col0, row0 = camera.TEXT_ORIGINS[name]
    right = math.floor(camera.SCREEN_RECT[2]) - 3
    cols = []
    for row in range(math.floor(row0) - 16, math.floor(row0) + 5):
        for col in range(max(0, math.floor(col0) - 20), right):
            if near(img.pixel(col, row), BOOT_BLUE):
                cols.append(col)
    return cols


def boot_frames(demo, wanted=2):
    """Captures that show the light boot background and the upright screen rectangle, until
    there are `wanted` of them; the tumble at 11.5 s bounds the wait."""
    frames = []
    while len(frames) < wanted and demo.demo_now() < 11000:
        if not demo.alive():
            raise AssertionError("the program ended early:\n" + demo.stderr_text())
        got = xdisplay.screenshot(demo.window)
        if got is None:
            continue
        if scenes.background(got.image) == "light" and scenes.rectangle(got.image) == "upright":
            frames.append(got.image)
    return frames


class Fonts(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="quorvane-fonts-")
        self.addCleanup(shutil.rmtree, self.folder, True)

    def test_no_usable_font_one_line_and_the_boot_screen_without_text(self):
        conf = fontconfig_file(self.folder, [])
        with Demo(env={"FONTCONFIG_FILE": conf}) as demo:
            demo.start()
            frames = boot_frames(demo)
            status = demo.quit()
            errors = [line for line in demo.stderr_text().splitlines() if line.strip()]
        self.assertEqual(status, 0, errors)
        self.assertGreaterEqual(len(frames), 2, "the boot screen was not drawn")
        for img in frames:
            for name in scenes.BOOT_LINES:
                self.assertEqual(ink_columns(img, name), [], "%s has ink without a font" % name)
        self.assertEqual(len(errors), 1, errors)
        line = errors[0]
        for asked in ('"Arial"', "700", "-20", "not be drawn"):
            self.assertIn(asked, line)

    def test_only_a_non_arial_font_its_glyphs_are_drawn(self):
        self.assertTrue(DEJAVU_BOLD.exists(), "fonts-dejavu-core is not installed")
        conf = fontconfig_file(self.folder, [str(DEJAVU_DIR)])
        with Demo(env={"FONTCONFIG_FILE": conf}) as demo:
            demo.start()
            frames = boot_frames(demo)
            status = demo.quit()
            errors = demo.stderr_text()
        self.assertEqual(status, 0, errors)
        self.assertEqual(errors.strip(), "", "a font was there to be used")
        self.assertGreaterEqual(len(frames), 2, "the boot screen was not drawn")
        img = frames[-1]
        for name in scenes.BOOT_LINES:
            self.assertGreater(len(ink_columns(img, name)), 4 * len(scenes.TEXTS[name]),
                               "%s has next to no ink" % name)
        # The first line ends on the rectangle in either face: its ink is DejaVu's width.
        cols = ink_columns(img, "bootTitle")
        measured = max(cols) + 1 - min(cols)
        dejavu = textwidth.ink_width(scenes.TEXTS["bootTitle"], str(DEJAVU_BOLD))
        arial = textwidth.ink_width(scenes.TEXTS["bootTitle"])
        self.assertGreater(abs(dejavu - arial), 2 * WIDTH_SLACK, "the two faces must be told apart")
        self.assertLessEqual(abs(measured - dejavu), WIDTH_SLACK,
                             "the first line is %d px wide; DejaVu gives %.1f, Arial %.1f" % (measured, dejavu, arial))


if __name__ == "__main__":
    unittest.main(verbosity=2)

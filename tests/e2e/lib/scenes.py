"""Reads a screenshot of the demo's client area and says which scene it shows.

Every expected position comes from camera.py (the projection of the scene's coordinates) and
every expected text width from textwidth.py; nothing here is a remembered pixel value.
"""
import math

import camera
import textwidth
from image import BLACK, BOOT_BLUE, SCREEN_BLUE, near

TEXTS = {
    "bootTitle": "#### COMMODORE 64 BASIC V2 ####",
    "bootMemory": "64K RAM SYSTEM 38911 BASIC BYTES FREE",
    "bootReady": "READY.",
    "loadingLine": "RUN KAZ. LOADING....",
    "creditsTitle": "KAZ XII - God is a demomaker!",
    "creditsMusic": "Musik: tUrBiLo - Pelvarn",
    "creditsDemo": "Demo af: Dravok [QLM]",
    "creditsEnd": "Slut :-)",
}
BOOT_LINES = ("bootTitle", "bootMemory", "bootReady")
CREDITS = ("creditsTitle", "creditsMusic", "creditsDemo", "creditsEnd")

# Capital letters of a 20-pixel face stand about 15 pixels above the baseline.
_CAP_ROWS = 16
# Bitmap placement, side bearings and glyph rounding move a line's ends by a few pixels.
_TEXT_SLACK = 6
# Rounding of the rectangle's edges and the 16-bit screens' dithering-free quantisation.
_EDGE = 3
_GRID = 8


def _text_zone(name):
    col, row = camera.TEXT_ORIGINS[name]
    width = textwidth.ink_width(TEXTS[name])
    return col - _TEXT_SLACK, row - _CAP_ROWS - 2, col + width + _TEXT_SLACK, row + 2


def _inside(zone, col, row, margin=0):
    left, top, right, bottom = zone
    return left - margin <= col < right + margin and top - margin <= row < bottom + margin


def background(img):
    """'light', 'black' or 'other', from the window's corners: the upright rectangle never
    reaches them, the tumbling one covers a few at most."""
    samples = [img.pixel(c, r) for c in (2, 12, img.width - 13, img.width - 3)
               for r in (2, 12, img.height - 13, img.height - 3)]
    for name, colour in (("light", BOOT_BLUE), ("black", BLACK)):
        if sum(near(p, colour) for p in samples) >= 0.75 * len(samples):
            return name
    return "other"


def rectangle(img):
    """'upright' when screen blue fills exactly the projected rectangle (text zones aside),
    'moved' when screen blue is elsewhere, 'absent' when there is next to none."""
    zones = [_text_zone(t) for t in BOOT_LINES + ("loadingLine",)] + [camera.CURSOR]
    left, top, right, bottom = camera.SCREEN_RECT
    inner = (left + _EDGE, top + _EDGE, right - _EDGE, bottom - _EDGE)
    outer = (left - _EDGE, top - _EDGE, right + _EDGE, bottom + _EDGE)
    blue = inside_ok = inside_n = outside_ok = outside_n = 0
    for row in range(_GRID // 2, img.height, _GRID):
        for col in range(_GRID // 2, img.width, _GRID):
            is_blue = near(img.pixel(col, row), SCREEN_BLUE)
            blue += is_blue
            if _inside(inner, col, row):
                if not any(_inside(z, col, row, 2) for z in zones):
                    inside_n += 1
                    inside_ok += is_blue
            elif not _inside(outer, col, row):
                outside_n += 1
                outside_ok += not is_blue
    if inside_ok >= 0.99 * inside_n and outside_ok >= 0.99 * outside_n:
        return "upright"
    return "moved" if blue > 0.02 * (img.width // _GRID) * (img.height // _GRID) else "absent"


def boot_line(img, name):
    """True when the line's ink (boot blue on the rectangle) starts and ends where the raster
    position and the font's widths put it."""
    col0, row0 = camera.TEXT_ORIGINS[name]
    width = textwidth.ink_width(TEXTS[name])
    cols = []
    for row in range(math.floor(row0) - _CAP_ROWS, math.floor(row0) + 1):
        for col in range(max(0, math.floor(col0) - 20), min(img.width, math.ceil(col0 + width) + 20)):
            if near(img.pixel(col, row), BOOT_BLUE):
                cols.append(col)
    if len(cols) < 4 * len(TEXTS[name]):
        return False
    return abs(min(cols) - col0) <= _TEXT_SLACK and abs(max(cols) + 1 - (col0 + width)) <= _TEXT_SLACK


def cursor(img):
    """True when the block cursor fills its projected square."""
    left, top, right, bottom = camera.CURSOR
    cells = [(c, r) for r in range(math.ceil(top) + 1, math.floor(bottom) - 1)
             for c in range(math.ceil(left) + 1, math.floor(right) - 1)]
    hits = sum(near(img.pixel(c, r), BOOT_BLUE) for c, r in cells)
    return hits >= 0.95 * len(cells)


def box_fills_frame(img):
    """The open box covers the whole frame: at most a handful of pixels of the boot phase's
    light blue or screen blue, where a gradient passes through them."""
    stray = sum(n for colour, n in img.colour_counts().items()
                if near(colour, BOOT_BLUE, 1) or near(colour, SCREEN_BLUE, 1))
    return stray <= 40


def _credits_candidates(img, candidates):
    """For each of the most common colours that could be the credits line (its pixels in one
    row band no taller than a line, starting where the raster position puts it): the nearest
    credit by width, whether the width matches it, and the measured width."""
    first, last = camera.CREDITS_LEFT_RANGE
    for colour, count in img.colour_counts().most_common(candidates):
        if count < 120:
            return
        spots = img.positions_of(colour)
        cols = [c for c, _ in spots]
        rows = [r for _, r in spots]
        if max(rows) - min(rows) > 24 or not first - _TEXT_SLACK <= min(cols) <= last + _TEXT_SLACK:
            continue
        width = max(cols) + 1 - min(cols)
        best = min(CREDITS, key=lambda t: abs(textwidth.ink_width(TEXTS[t]) - width))
        yield best, abs(textwidth.ink_width(TEXTS[best]) - width) <= 4, width


def credits(img):
    """(text name, measured width) of the credits line, or None; the name is '?' when the
    likeliest colour is not as wide as any credit. Its bitmap pixels all share one colour
    within one text line, while the box's shading spreads each colour over the frame."""
    for best, matches, width in _credits_candidates(img, 12):
        return (best if matches else "?", width)
    return None


def credits_line(img, candidates=12):
    """(text name, measured width) of the credits line, or None, looking past the box's colours:
    on a 16-bit screen the box's shading falls into bands of one colour each, which can
    outnumber the line's pixels, so the first colour as wide as a credit is taken."""
    for best, matches, width in _credits_candidates(img, candidates):
        if matches:
            return (best, width)
    return None


def classify(img):
    """(scene, cursor shown) of a screenshot. The scene is one of 'boot', 'loading', 'tumble',
    'empty' (the light background with no rectangle: edge-on in the tumble, or the clear at
    33 s), 'black' (the upright boot screen on the black clear of a fresh context),
    'main:creditsTitle' ... 'main:creditsEnd', 'main:?' (the box, credits unreadable), 'blank'
    (a window not drawn into yet, a bare clear, or one caught mid-resize) or 'unknown'."""
    try:
        return _classify(img)
    except IndexError:
        # A window caught mid-resize (a restore, a mode switch) is smaller than the places a
        # frame is read at: not a frame of the demo yet.
        return "blank", False


def _classify(img):
    bg = background(img)
    if bg in ("light", "black"):
        rect = rectangle(img)
        if rect == "upright":
            lines = [boot_line(img, t) for t in BOOT_LINES]
            if all(lines):
                if bg == "black":
                    return "black", cursor(img)
                if boot_line(img, "loadingLine"):
                    return "loading", cursor(img)
                return "boot", cursor(img)
        elif bg == "light":
            # Seen edge-on the tumbling rectangle all but vanishes, as it does at 33 s exactly.
            return ("tumble" if rect == "moved" else "empty"), False
    if img.colour_counts().most_common(1)[0][1] > img.width * img.height // 2:
        # One colour over half the window: a window not drawn into yet, or a bare clear.
        return "blank", False
    if box_fills_frame(img):
        found = credits(img)
        return "main:" + (found[0] if found else "?"), False
    return "unknown", False

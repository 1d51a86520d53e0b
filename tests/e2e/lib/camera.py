"""Where the demo's camera puts the scene on its 640x480 client area.

The projection is the demo's: vertical field of view 45 degrees, aspect 640/480, the model-view
translations of each scene item. Results are in image coordinates: column from the left, row
from the top, both in pixels, fractional (pixel (c, r) covers [c, c+1) x [r, r+1)).
"""
import math

WIDTH, HEIGHT = 640, 480
FOV_Y_DEGREES = 45.0
ASPECT = WIDTH / HEIGHT
_FOCAL = 1.0 / math.tan(math.radians(FOV_Y_DEGREES) / 2)


def to_image(x, y, z):
    ndc_x = _FOCAL / ASPECT * x / -z
    ndc_y = _FOCAL * y / -z
    return (ndc_x + 1) / 2 * WIDTH, (1 - ndc_y) / 2 * HEIGHT


def box(x0, y0, x1, y1, z):
    """Image bounds (left, top, right, bottom) of an upright rectangle at depth z."""
    left, top = to_image(x0, y1, z)
    right, bottom = to_image(x1, y0, z)
    return left, top, right, bottom


# The dark-blue screen rectangle, drawn upright outside the tumble, translated to z = -2.3.
SCREEN_RECT = box(-1.1, -0.8, 1.1, 0.8, -2.3)

# The block cursor: translate (0, 0, -1), then (-0.8, 0.1, 0), its vertices at z = -1.
CURSOR = box(-0.8 + 0.0, 0.1 + 0.0, -0.8 + 0.05, 0.1 + 0.1, -1 - 1)

# Raster positions of the boot lines (the glyph origin is on the baseline) and of the loading
# line, which is placed under the translation to z = -2.3.
TEXT_ORIGINS = {
    "bootTitle": to_image(-0.355, 0.27, -1),
    "bootMemory": to_image(-0.4, 0.2, -1),
    "bootReady": to_image(-0.4, 0.13, -1),
    "loadingLine": to_image(-0.92, 0.15, -2.3),
}

# The credits line's raster position wobbles: x = 0.05 cos A - 0.45, y = 0.35 sin B, at z = -1.
CREDITS_LEFT_RANGE = (to_image(-0.5, 0, -1)[0], to_image(-0.4, 0, -1)[0])

"""Screenshots as the harness reads them: a PPM decoder and the demo's named colours."""
from collections import Counter


class Image:
    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data
        self._counts = None

    def pixel(self, col, row):
        i = (row * self.width + col) * 3
        return self.data[i], self.data[i + 1], self.data[i + 2]

    def colour_counts(self):
        """How many pixels have each exact colour (computed once: a full pass is slow in Python)."""
        if self._counts is None:
            d = self.data
            self._counts = Counter(d[i:i + 3] for i in range(0, len(d), 3))
        return self._counts

    def positions_of(self, colour):
        """(col, row) of every pixel of exactly this colour."""
        out, d, start = [], self.data, 0
        while True:
            i = d.find(colour, start)
            if i < 0:
                return out
            if i % 3 == 0:
                out.append(((i // 3) % self.width, (i // 3) // self.width))
                start = i + 3
            else:
                start = i + 1


def parse_ppm(blob):
    """Decodes binary PPM (P6), 8 or 16 bits per channel; 16-bit samples keep their high byte."""
    fields, pos = [], 0
    while len(fields) < 4:
        while blob[pos:pos + 1].isspace():
            pos += 1
        if blob[pos:pos + 1] == b"#":
            pos = blob.index(b"\n", pos) + 1
            continue
        end = pos
        while not blob[end:end + 1].isspace():
            end += 1
        fields.append(blob[pos:end])
        pos = end
    if fields[0] != b"P6":
        raise ValueError("not a binary PPM")
    width, height, maxval = int(fields[1]), int(fields[2]), int(fields[3])
    pixels = blob[pos + 1:]
    if maxval > 255:
        pixels = pixels[0::2]
    if len(pixels) < width * height * 3:
        raise ValueError("truncated PPM")
    return Image(width, height, bytes(pixels[:width * height * 3]))


def placement(screen_width, screen_height, width=640, height=480):
    """Where an emulated fullscreen picture of width x height lands on a screen: the largest
    rectangle of its shape, centred, as (left, top, width, height), and the largest whole
    factor not above the scale (the nearest-neighbour step of the sharp scaling)."""
    if screen_width * height <= screen_height * width:
        w, h = screen_width, (screen_width * height + width // 2) // width
    else:
        w, h = (screen_height * width + height // 2) // height, screen_height
    return ((screen_width - w) // 2, (screen_height - h) // 2, w, h,
            max(1, min(w // width, h // height)))


def unscaled(img, width=640, height=480):
    """The program's own picture read back from a capture of a whole fullscreen window: each
    program pixel taken at its centre in the scaled picture."""
    left, top, w, h, _ = placement(img.width, img.height, width, height)
    out = bytearray(width * height * 3)
    cols = [(left + (c * 2 + 1) * w // (2 * width)) * 3 for c in range(width)]
    for r in range(height):
        row = (top + (r * 2 + 1) * h // (2 * height)) * img.width * 3
        base = r * width * 3
        for c, col in enumerate(cols):
            out[base + c * 3:base + c * 3 + 3] = img.data[row + col:row + col + 3]
    return Image(width, height, bytes(out))


def rgb8(colour):
    return tuple(round(c * 255) for c in colour)


# The scene's colours, as the GL colour calls give them.
BOOT_BLUE = rgb8((0.5, 0.5, 0.9))
SCREEN_BLUE = rgb8((0.21, 0.2, 0.62))
BLACK = (0, 0, 0)

# A 16-bit screen keeps 5 or 6 bits per channel, so a colour may land up to 8 levels away.
TOLERANCE = 12


def near(px, colour, tol=TOLERANCE):
    return all(abs(a - b) <= tol for a, b in zip(px, colour))

"""How wide a line of the demo's text is on screen, from the font file the stand-in resolves.

The demo asks for bold "Arial" at a character height of 20 pixels; fontconfig maps that to a
metric-compatible face. The ink of a line runs from the first glyph's left edge to the last
glyph's right edge, with each glyph advancing by its rounded advance width.
"""
import struct
import subprocess

CHARACTER_HEIGHT = 20


def font_file():
    try:
        path = subprocess.run(["fc-match", "-f", "%{file}", "Arial:bold"], capture_output=True,
                              text=True, timeout=20).stdout.strip()
    except OSError:
        path = ""
    return path or "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf"


class _Font:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.blob = f.read()
        count = struct.unpack_from(">H", self.blob, 4)[0]
        self.tables = {}
        for i in range(count):
            tag, _, offset, length = struct.unpack_from(">4sIII", self.blob, 12 + 16 * i)
            self.tables[tag.decode("latin-1")] = offset
        head = self.tables["head"]
        self.units_per_em = struct.unpack_from(">H", self.blob, head + 18)[0]
        self.long_loca = struct.unpack_from(">h", self.blob, head + 50)[0] == 1
        self.metric_count = struct.unpack_from(">H", self.blob, self.tables["hhea"] + 34)[0]
        self.cmap = self._read_cmap()

    def _read_cmap(self):
        base = self.tables["cmap"]
        count = struct.unpack_from(">H", self.blob, base + 2)[0]
        for i in range(count):
            platform, encoding, offset = struct.unpack_from(">HHI", self.blob, base + 4 + 8 * i)
            sub = base + offset
            if (platform, encoding) == (3, 1) and struct.unpack_from(">H", self.blob, sub)[0] == 4:
                return self._format4(sub)
        raise ValueError("font has no Unicode BMP character map")

    def _format4(self, sub):
        segs = struct.unpack_from(">H", self.blob, sub + 6)[0] // 2
        ends = struct.unpack_from(">%dH" % segs, self.blob, sub + 14)
        starts = struct.unpack_from(">%dH" % segs, self.blob, sub + 16 + 2 * segs)
        deltas = struct.unpack_from(">%dh" % segs, self.blob, sub + 16 + 4 * segs)
        range_at = sub + 16 + 6 * segs
        ranges = struct.unpack_from(">%dH" % segs, self.blob, range_at)
        table = {}
        for s in range(segs):
            for code in range(starts[s], min(ends[s], 255) + 1):
                if ranges[s] == 0:
                    glyph = (code + deltas[s]) & 0xFFFF
                else:
                    at = range_at + 2 * s + ranges[s] + 2 * (code - starts[s])
                    glyph = struct.unpack_from(">H", self.blob, at)[0]
                    glyph = (glyph + deltas[s]) & 0xFFFF if glyph else 0
                table[code] = glyph
        return table

    def advance(self, glyph):
        i = min(glyph, self.metric_count - 1)
        return struct.unpack_from(">H", self.blob, self.tables["hmtx"] + 4 * i)[0]

    def x_extent(self, glyph):
        loca = self.tables["loca"]
        if self.long_loca:
            start, end = struct.unpack_from(">II", self.blob, loca + 4 * glyph)
        else:
            start, end = (2 * v for v in struct.unpack_from(">HH", self.blob, loca + 2 * glyph))
        if start == end:
            return None
        x_min, _, x_max = struct.unpack_from(">hhh", self.blob, self.tables["glyf"] + start + 2)
        return x_min, x_max


_font = None
_other_fonts = {}


def ink_width(text, path=None):
    """Expected width in pixels of the line's ink, first inked column to last, inclusive; in
    the face the demo's request resolves to, or in the font file at path."""
    global _font
    if path is not None:
        if path not in _other_fonts:
            _other_fonts[path] = _Font(path)
        font = _other_fonts[path]
    else:
        if _font is None:
            _font = _Font(font_file())
        font = _font
    return _ink_width(font, text)


def _ink_width(font, text):
    scale = CHARACTER_HEIGHT / font.units_per_em
    pen, left, right = 0, None, None
    for ch in text:
        glyph = font.cmap.get(ord(ch), 0)
        extent = font.x_extent(glyph)
        if extent:
            glyph_left, glyph_right = pen + extent[0] * scale, pen + extent[1] * scale
            left = glyph_left if left is None else min(left, glyph_left)
            right = glyph_right if right is None else max(right, glyph_right)
        pen += round(font.advance(glyph) * scale)
    return right - left

"""Runs quorvane-capture as a user would, with no display, and decodes what it wrote with the
ffmpeg and ffprobe tools.

Every run gets its own working directory; music="built" links the generated soundtrack there
as Data/, music=None leaves Data/ out.
"""
import json
import math
import os
import subprocess
import tempfile
from pathlib import Path

import image

REPO = Path(__file__).resolve().parents[3]
MUSIC_NAME = "tUrBiLo - Pelvarn.wav"


def frame_at(ms, fps=60):
    """The first frame rendered at or after demo time ms: frame n has the clock at
    floor(n * 1000 / fps) ms (60 fps is the capture's default rate)."""
    return math.ceil(ms * fps / 1000)


def time_of(frame, fps=60):
    """The demo time frame n is rendered at."""
    return math.floor(frame * 1000 / fps)


def executable():
    return Path(os.environ.get("QUORVANE_CAPTURE_EXE", REPO / "build" / "quorvane-capture"))


def built_music():
    return Path(os.environ.get("QUORVANE_MUSIC", executable().parent / "Data" / MUSIC_NAME))


def headless_env(extra=None):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env.update(extra or {})
    return env


def workdir(music="built"):
    """A fresh working directory (a TemporaryDirectory; its .name is the path)."""
    work = tempfile.TemporaryDirectory(prefix="quorvane-capture-")
    if music == "built":
        (Path(work.name) / "Data").mkdir()
        (Path(work.name) / "Data" / MUSIC_NAME).symlink_to(built_music())
    return work


def run(args, cwd, env=None, timeout=600, program=None):
    """(exit status, stderr text) of one capture run (of the built program, or this one)."""
    program = program or executable()
    done = subprocess.run([str(program), *args], cwd=cwd, env=headless_env(env),
                          stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=timeout)
    return done.returncode, done.stderr.decode(errors="replace")


def ffmpeg(args, timeout=300):
    return subprocess.run(["ffmpeg", "-v", "error", "-nostdin", *args], stdout=subprocess.PIPE,
                          check=True, timeout=timeout).stdout


def probe(path):
    """ffprobe's streams (frames counted by decoding) and format, as dicts."""
    out = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-show_streams",
                          "-show_format", "-of", "json", str(path)],
                         stdout=subprocess.PIPE, check=True, timeout=300).stdout
    return json.loads(out)


def frames(path, numbers):
    """Decoded frames by number (from 0), as image.Image, in the order of the numbers."""
    wanted = sorted(set(numbers))
    select = "+".join("eq(n\\,%d)" % n for n in wanted)
    blob = ffmpeg(["-i", str(path), "-vf", "select=" + select, "-vsync", "0", "-f", "image2pipe",
                   "-vcodec", "ppm", "-"])
    images, pos = [], 0
    while pos < len(blob):
        img = image.parse_ppm(blob[pos:])
        images.append(img)
        pos = blob.index(b"255\n", pos) + 4 + img.width * img.height * 3
    by_number = dict(zip(wanted, images))
    return [by_number[n] for n in numbers]


def still(path):
    """A PNG still, decoded."""
    return image.parse_ppm(ffmpeg(["-i", str(path), "-f", "image2pipe", "-vcodec", "ppm", "-"]))


def all_frames_raw(path):
    return ffmpeg(["-i", str(path), "-f", "rawvideo", "-pix_fmt", "rgb24", "-"])


def audio_mono(path, rate):
    """The first audio stream as mono 16-bit samples at `rate` Hz, a list of ints."""
    raw = ffmpeg(["-i", str(path), "-vn", "-ac", "1", "-ar", str(rate), "-f", "s16le", "-"])
    return [int.from_bytes(raw[i:i + 2], "little", signed=True) for i in range(0, len(raw) - 1, 2)]


def best_lag(signal, reference, max_lag):
    """The shift of signal against reference (in samples) with the highest normalised
    correlation, searched over -max_lag..max_lag."""
    def norm(xs):
        return math.sqrt(sum(x * x for x in xs)) or 1.0
    best, best_score = None, -2.0
    n = len(signal)
    for lag in range(-max_lag, max_lag + 1):
        part = reference[max_lag + lag:max_lag + lag + n]
        score = sum(a * b for a, b in zip(signal, part)) / (norm(signal) * norm(part))
        if score > best_score:
            best, best_score = lag, score
    return best, best_score

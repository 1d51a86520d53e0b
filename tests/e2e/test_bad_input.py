"""Bad surroundings: no music file or a corrupt one (the default sound plays instead and the
demo runs), a music path that blocks (the first frame comes all the same), no audio device
(the demo runs silent), no display (one clear line, status 1)."""
import os
import struct
import unittest

from demo import Demo, built_music


def corrupt_wav():
    """A RIFF/WAVE header whose chunk sizes claim far more than the file holds."""
    fmt = struct.pack("<HHIIHH", 1, 2, 44100, 44100 * 4, 4, 16)
    return (b"RIFF" + struct.pack("<I", 0xFFFFFFF0) + b"WAVE" + b"fmt " + struct.pack("<I", 0x7FFFFFFF)
            + fmt + b"data" + struct.pack("<I", 0xFFFFFFFF) + b"\x11\x22" * 100)


def audible_seconds(raw_path):
    """Seconds of non-silent output in SDL's disk driver file (16-bit or float frames: any
    non-zero byte counts), and the file's total length in bytes."""
    data = raw_path.read_bytes() if raw_path.exists() else b""
    return sum(1 for i in range(0, len(data), 4096) if data[i:i + 4096].strip(b"\x00")), len(data)


class BadInput(unittest.TestCase):
    """Each run starts from the start-up question, waits for the boot screen (the first frame
    of which start() waits for), and ends with Escape."""

    def test_sound_plays_the_music_or_the_default(self):
        heard = {}
        for case, music in (("music", "built"), ("missing", None), ("corrupt", corrupt_wav())):
            with self.subTest(case), Demo(music=music, audio="disk") as demo:
                demo.start()
                # Long enough that the music outlasts the default sound's 0.3 s many times.
                demo.wait_for_sound(2.5)
                self.assertEqual(demo.quit(), 0, demo.stderr_text())
                heard[case] = audible_seconds(demo.audio_file)
        # The disk driver keeps writing while the program runs; all three produced output.
        for case, (blocks, size) in heard.items():
            self.assertGreater(size, 0, case)
            self.assertGreater(blocks, 0, "%s: nothing audible" % case)
        # The default sound is short; the soundtrack runs through the whole run.
        self.assertGreater(heard["music"][0], 3 * heard["missing"][0], heard)
        self.assertGreater(heard["music"][0], 3 * heard["corrupt"][0], heard)

    def test_music_path_that_blocks(self):
        # A FIFO nobody writes to: opening it for reading, or reading it, waits forever. The
        # music is loaded off the main thread, so the frames come and Escape ends the program.
        with Demo(music="fifo", audio="disk") as demo:
            demo.start()
            self.assertEqual(demo.quit(), 0, demo.stderr_text())

    def test_no_audio_device(self):
        for driver in (None, "no-such-driver"):
            with self.subTest(driver=driver), Demo(audio=driver) as demo:
                demo.start()
                self.assertEqual(demo.quit(), 0, demo.stderr_text())

    def test_no_display(self):
        with Demo(env={"DISPLAY": None, "WAYLAND_DISPLAY": None}) as demo:
            status = demo.wait(30)
            lines = [line for line in demo.stderr_text().splitlines() if line.strip()]
            self.assertEqual(status, 1)
            self.assertEqual(len(lines), 1, lines)
            self.assertIn("display", lines[0].lower())


if __name__ == "__main__":
    unittest.main(verbosity=2)

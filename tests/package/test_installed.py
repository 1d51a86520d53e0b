"""The installed package as a user meets it, run from the home folder, where nothing of the
build is: the menu entry and its icons, the software-centre entry, the demo playing its music
and the capture recording it. The package was installed with apt before this runs."""
import configparser
import os
import shutil
import struct
import subprocess
import unittest
import wave
from pathlib import Path

import capture
from demo import Demo

APP_ID = "org.quorvane.Quorvane"
DESKTOP_ENTRY = Path("/usr/share/applications/%s.desktop" % APP_ID)
METAINFO = Path("/usr/share/metainfo/%s.metainfo.xml" % APP_ID)
HOME = Path.home()


def user_path():
    """The PATH an ordinary user's login shell gets (root's has no games folder)."""
    return subprocess.run(["su", "-l", "nobody", "-s", "/bin/sh", "-c", 'printf %s "$PATH"'],
                          capture_output=True, text=True, check=True).stdout


def installed(program):
    found = shutil.which(program, path=user_path())
    if found is None:
        raise AssertionError("%s is not on a user's PATH" % program)
    return found


def png_size(path):
    with open(path, "rb") as f:
        header = f.read(24)
    assert header[:8] == b"\x89PNG\r\n\x1a\n", path
    return struct.unpack(">II", header[16:24])


def music_as_played():
    """The music as the sound device plays it: its mono 16-bit samples, each in both channels
    of a 44.1 kHz stereo frame."""
    with wave.open(os.environ["QUORVANE_MUSIC"]) as wav:
        assert (wav.getnchannels(), wav.getsampwidth(), wav.getframerate()) == (1, 2, 44100)
        mono = wav.readframes(wav.getnframes())
    return b"".join(mono[i:i + 2] * 2 for i in range(0, len(mono), 2))


def without_leading_silence(data):
    start = next((i for i in range(0, len(data) - 1, 2) if data[i:i + 2] != b"\0\0"), len(data))
    return data[start - start % 4:]


class Installed(unittest.TestCase):
    def test_menu_entry_validates_and_names_the_installed_program_and_icons(self):
        check = subprocess.run(["desktop-file-validate", str(DESKTOP_ENTRY)], capture_output=True,
                               text=True)
        self.assertEqual((check.returncode, check.stdout + check.stderr), (0, ""))
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(DESKTOP_ENTRY)
        desktop = entry["Desktop Entry"]
        self.assertEqual(installed(desktop["Exec"].split()[0]), "/usr/games/quorvane")
        self.assertIn("Game", desktop["Categories"].split(";"))
        for size in (16, 32, 48, 64, 128, 256):
            icon = Path("/usr/share/icons/hicolor/%dx%d/apps/%s.png" % (size, size, desktop["Icon"]))
            self.assertEqual(png_size(icon), (size, size), icon)

    def test_metainfo_validates(self):
        check = subprocess.run(["appstreamcli", "validate", "--no-net", str(METAINFO)],
                               capture_output=True, text=True)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)

    def test_demo_started_from_home_plays_its_music(self):
        with Demo(music=None, audio="disk", exe=installed("quorvane"), cwd=HOME) as demo:
            demo.start()
            demo.wait_for_sound(2.5)
            self.assertEqual(demo.quit(), 0, demo.stderr_text())
            heard = without_leading_silence(demo.audio_file.read_bytes())
        # Two seconds of it, from its first sound, byte for byte.
        length = 2 * 44100 * 4
        self.assertGreaterEqual(len(heard), length, "less than 2 s of music was heard")
        self.assertTrue(heard[:length] == without_leading_silence(music_as_played())[:length],
                        "what played is not the music")

    def test_capture_started_from_home_records_the_music(self):
        video = HOME / "q.mp4"
        try:
            status, err = capture.run(["--seconds", "2", "-o", str(video)], HOME,
                                      program=installed("quorvane-capture"))
            self.assertEqual(status, 0, err)
            rate = 4800
            heard = capture.audio_mono(video, rate)
        finally:
            video.unlink(missing_ok=True)
        self.assertGreaterEqual(len(heard), int(1.9 * rate))
        # The music, not the default sound: the same sound at the same moments (a frame's
        # slack either way).
        music = capture.audio_mono(os.environ["QUORVANE_MUSIC"], rate)
        start, length, max_lag = rate // 2, rate, rate // 60
        lag, score = capture.best_lag(heard[start:start + length],
                                      music[start - max_lag:start + length + max_lag], max_lag)
        self.assertGreater(score, 0.8, "the soundtrack should be the music")


if __name__ == "__main__":
    unittest.main(verbosity=2)

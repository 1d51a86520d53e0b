"""quorvane-capture, the demo recorded on a virtual clock with no display: the video's streams
and length, what its frames show at exact demo times, the music in sync, identical runs,
lossless stills, and what it does with bad input. Every run has DISPLAY and WAYLAND_DISPLAY
unset."""
import subprocess
import unittest
import wave
from pathlib import Path

import capture
import scenes
import timeline
from capture import best_lag, frame_at, time_of
from timeline import cursor_shown


class Video36s(unittest.TestCase):
    """One 36 s capture at 30 fps serves the stream, scene and sync checks."""
    FPS, SECONDS = 30, 36

    @classmethod
    def setUpClass(cls):
        cls.work = capture.workdir()
        cls.path = Path(cls.work.name) / "demo.mp4"
        cls.status, cls.stderr = capture.run(["--fps", str(cls.FPS), "--seconds", str(cls.SECONDS),
                                              "-o", cls.path.name], cls.work.name)

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def setUp(self):
        self.assertEqual(self.status, 0, self.stderr)

    def test_h264_640x480_at_30_fps_with_aac_for_36_s(self):
        info = capture.probe(self.path)
        video = [s for s in info["streams"] if s["codec_type"] == "video"]
        audio = [s for s in info["streams"] if s["codec_type"] == "audio"]
        self.assertEqual(len(video), 1)
        self.assertEqual((video[0]["codec_name"], video[0]["width"], video[0]["height"],
                          video[0]["pix_fmt"], video[0]["r_frame_rate"]),
                         ("h264", 640, 480, "yuv420p", "%d/1" % self.FPS))
        self.assertEqual(int(video[0]["nb_read_frames"]), self.FPS * self.SECONDS)
        self.assertEqual([(s["codec_name"], s["sample_rate"], s["channels"]) for s in audio],
                         [("aac", "48000", 2)])
        self.assertLessEqual(abs(float(info["format"]["duration"]) - self.SECONDS), 1 / self.FPS)
        self.assertEqual(len(self.stderr.strip().splitlines()), 1,
                         "only the summary line, when not on a terminal:\n" + self.stderr)

    def test_frames_show_the_scene_of_their_exact_time(self):
        moments = (5500, 31000, 35000)
        numbers = [frame_at(ms, self.FPS) for ms in moments]
        boot, loading, box = capture.frames(self.path, numbers)
        self.assertEqual(scenes.classify(boot), ("boot", cursor_shown(numbers[0])))
        self.assertEqual(scenes.classify(loading)[0], "loading")
        # The credits' exact colour does not survive the codec; the box filling the frame does.
        self.assertTrue(scenes.box_fills_frame(box))
        self.assertIn(scenes.classify(box)[0], timeline.scenes_at(35000))

    def test_music_in_sync_around_33_s(self):
        rate, frame_samples = 4800, 4800 // self.FPS
        with wave.open(str(capture.built_music())) as wav:
            self.assertGreater(wav.getnframes() / wav.getframerate(), 34)
        heard = capture.audio_mono(self.path, rate)
        music = capture.audio_mono(capture.built_music(), rate)
        start, length, max_lag = int(32.8 * rate), int(0.4 * rate), 3 * frame_samples
        lag, score = best_lag(heard[start:start + length],
                              music[start - max_lag:start + length + max_lag], max_lag)
        self.assertGreater(score, 0.8, "the soundtrack should be the music")
        self.assertLessEqual(abs(lag), frame_samples, "offset %d samples at %d Hz" % (lag, rate))


class Repeatable(unittest.TestCase):
    def test_two_captures_decode_to_identical_frames(self):
        with capture.workdir() as work:
            for name in ("a.mp4", "b.mp4"):
                status, err = capture.run(["--fps", "30", "--seconds", "2", "-o", name], work)
                self.assertEqual(status, 0, err)
            a, b = (capture.all_frames_raw(Path(work) / n) for n in ("a.mp4", "b.mp4"))
            self.assertEqual(len(a), 60 * 640 * 480 * 3)
            self.assertTrue(a == b, "the two captures differ")

    def test_stills_are_exact_and_repeatable(self):
        moments = (5500, 31000, 40000)
        times = ",".join("%g" % (ms / 1000) for ms in moments)
        with capture.workdir() as work:
            for folder in ("one", "two"):
                status, err = capture.run(["--frames-at", times, "--frames-dir", folder], work)
                self.assertEqual(status, 0, err)
            for ms in moments:
                one, two = (capture.still(Path(work) / f / ("%06d.png" % ms)) for f in ("one", "two"))
                self.assertEqual((one.width, one.height), (640, 480))
                self.assertTrue(one.data == two.data, "stills at %d ms differ" % ms)
                expected = {5500: ("boot", cursor_shown(frame_at(5500, 60))),
                            31000: ("loading", False),
                            40000: ("main:" + timeline.credits_at(40000), False)}[ms]
                self.assertEqual(scenes.classify(one), expected, "at %d ms" % ms)

    def test_scripted_f1_switches_mode_at_its_frame(self):
        # The fresh context clears black once: exactly the frame after the switch.
        switch = frame_at(5000, 60)
        before, after, later = (time_of(n) for n in (switch, switch + 1, switch + 2))
        with capture.workdir() as work:
            status, err = capture.run(
                ["--answer", "yes", "--frames-at", "%g,%g,%g" % (before / 1e3, after / 1e3, later / 1e3),
                 "--frames-dir", "s"], work, env={"QUORVANE_CAPTURE_KEYS": "F1@5000"})
            self.assertEqual(status, 0, err)
            shown = [scenes.classify(capture.still(Path(work) / "s" / ("%06d.png" % ms)))[0]
                     for ms in (before, after, later)]
        self.assertEqual(shown, ["boot", "black", "boot"])


class BadInput(unittest.TestCase):
    def test_missing_music_gives_the_default_sound_then_silence(self):
        with capture.workdir(music=None) as work:
            status, err = capture.run(["--fps", "30", "--seconds", "2", "-o", "quiet.mp4"], work)
            self.assertEqual(status, 0, err)
            rate = 48000
            heard = capture.audio_mono(Path(work) / "quiet.mp4", rate)
        self.assertGreater(max(abs(s) for s in heard[:rate // 4]), 1000, "no default sound")
        self.assertLess(max(abs(s) for s in heard[rate // 2:]), 64, "not silent after it")
        self.assertGreater(len(heard), 1.9 * rate)

    def test_unwritable_output_and_bad_options_leave_nothing(self):
        # A bad option, a video type it cannot write among them, is a usage error (status 2)
        # that points at --help; a folder that is not there is found only when the run starts.
        usage, failed = 2, 1
        cases = ((["-o", "no-such-folder/out.mp4"], failed), (["-o", "out.avi"], usage),
                 (["--fps", "0"], usage), (["--scale", "two"], usage),
                 (["--answer", "maybe"], usage), (["--frames-at", "5"], usage),
                 (["--bogus"], usage))
        with capture.workdir(music=None) as work:
            for args, expected in cases:
                status, err = capture.run(args, work)
                self.assertEqual(status, expected, "%s: %r" % (args, err))
                self.assertEqual("(see --help)" in err, expected == usage, "%s: %r" % (args, err))
                self.assertEqual(len(err.strip().splitlines()), 1, "%s: %r" % (args, err))
                self.assertEqual(list(Path(work).iterdir()), [], args)

    def test_help_leaves_out_the_test_seam(self):
        done = subprocess.run([str(capture.executable()), "--help"], env=capture.headless_env(),
                              capture_output=True, text=True, timeout=60)
        self.assertEqual(done.returncode, 0, done.stderr)
        for option in ("--fps", "--seconds", "--scale", "--answer", "-o", "--frames-at",
                       "--frames-dir"):
            self.assertIn(option, done.stdout)
        self.assertNotIn("KEYS", done.stdout)


if __name__ == "__main__":
    unittest.main(verbosity=2)

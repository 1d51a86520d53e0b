"""What the demo draws at a given demo time, read from stills of exact frames: the capture runs
the real program on a virtual clock, so a frame's demo time is known to the millisecond and a
scene is checked on both sides of each of its thresholds. Mode switches are driven by F1 at
chosen demo times. No display is needed."""
import unittest
from pathlib import Path

import capture
import scenes
import timeline
from capture import frame_at, time_of
from timeline import cursor_shown


def tumble_angle(ms):
    """Degrees the rectangle has turned by the frame at ms: 2 per frame strictly inside
    11.5..27 s."""
    frames = [n for n in range(frame_at(timeline.TUMBLE_FROM), frame_at(ms) + 1)
              if timeline.TUMBLE_FROM < time_of(n) < timeline.TUMBLE_TO]
    return 2.0 * len(frames)


def stills(times, env=None, answer="no"):
    """{ms: (scene, cursor)} for the frames drawn at exactly these demo times."""
    with capture.workdir() as work:
        status, err = capture.run(["--answer", answer, "--frames-at",
                                   ",".join("%g" % (ms / 1000) for ms in times),
                                   "--frames-dir", "stills"], work, env=env)
        if status != 0:
            raise AssertionError("the capture failed (%d): %s" % (status, err))
        return {ms: scenes.classify(capture.still(Path(work) / "stills" / ("%06d.png" % ms)))
                for ms in times}


class Sequence(unittest.TestCase):
    """The whole sequence in one windowed run, each threshold from both sides."""
    # Demo times that are frame times at 60 fps, so the still is the frame drawn exactly then.
    TIMES = (1000, 1300, 5500, 11500, 12000, 15000, 26983, 27000, 28000, 29000, 29016, 31000,
             32983, 33000, 33016, 40000, 69983, 70000, 79983, 80000, 89983, 90000, 92000)

    @classmethod
    def setUpClass(cls):
        for ms in cls.TIMES:
            assert time_of(frame_at(ms)) == ms, "%d ms is not a frame time" % ms
        cls.seen = stills(cls.TIMES)

    def expect(self, ms, scene, cursor=False):
        self.assertEqual(self.seen[ms], (scene, cursor), "at %d ms" % ms)

    def test_boot_screen_with_the_cursor_of_its_pulse(self):
        for ms in (1000, 1300, 5500, 11500, 27000, 28000):
            self.expect(ms, "boot", cursor_shown(frame_at(ms)))
        self.assertEqual({cursor_shown(frame_at(ms)) for ms in (1000, 1300, 5500, 11500, 27000, 28000)},
                         {True, False}, "the chosen frames should show the cursor on and off")

    def test_rectangle_tumbles_strictly_inside_11_5_to_27_s(self):
        for ms in (12000, 15000, 26983):
            angle = tumble_angle(ms) % 360
            self.assertTrue(10 < angle < 350, "%d ms: %g degrees looks upright" % (ms, angle))
            self.expect(ms, "tumble")

    def test_loading_line_strictly_after_29_s_and_no_cursor_from_29_s(self):
        self.expect(29000, "boot")
        for ms in (29016, 31000, 32983):
            self.expect(ms, "loading")

    def test_only_the_clear_at_33_s_exactly_then_the_box(self):
        self.expect(33000, "empty")
        self.expect(33016, "main:creditsTitle")
        self.expect(40000, "main:creditsTitle")

    def test_credits_change_at_70_80_and_90_s_exactly(self):
        for ms in (69983, 70000, 79983, 80000, 89983, 90000, 92000):
            self.expect(ms, "main:" + timeline.credits_at(ms))


class ModeSwitches(unittest.TestCase):
    """F1 into fullscreen in the boot phase and back into a window in the main part: the new
    context clears black once, and the sequence carries on where it was."""
    EARLY, LATE = 8000, 45000

    @classmethod
    def setUpClass(cls):
        cls.switch = {ms: frame_at(ms) for ms in (cls.EARLY, cls.LATE)}
        cls.times = sorted({time_of(n + k) for n in cls.switch.values() for k in (0, 1, 2)} |
                           {31000, 40000, 70000, 90000})
        cls.seen = stills(cls.times, env={"QUORVANE_CAPTURE_KEYS": "F1@%d,F1@%d" % (cls.EARLY,
                                                                                  cls.LATE)})

    def test_a_switch_in_the_boot_phase_costs_one_black_frame(self):
        n = self.switch[self.EARLY]
        self.assertEqual([self.seen[time_of(n + k)][0] for k in (0, 1, 2)],
                         ["boot", "black", "boot"])

    def test_the_sequence_goes_on_in_fullscreen(self):
        self.assertEqual(self.seen[31000][0], "loading")
        self.assertEqual(self.seen[40000][0], "main:creditsTitle")

    def test_after_a_switch_in_the_main_part_the_credits_keep_their_times(self):
        n = self.switch[self.LATE]
        self.assertEqual([self.seen[time_of(n + k)][0] for k in (0, 1, 2)],
                         ["main:creditsTitle"] * 3)
        self.assertEqual(self.seen[70000][0], "main:creditsMusic")
        self.assertEqual(self.seen[90000][0], "main:creditsEnd")


if __name__ == "__main__":
    unittest.main(verbosity=2)

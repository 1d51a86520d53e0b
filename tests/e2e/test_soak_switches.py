"""200 switches between fullscreen and a window in one run of the AddressSanitizer build:
every teardown must give back what its creation took. LeakSanitizer reports at exit; the
suppressions file names only system libraries."""
import os
import re
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent / "lib"))
import xdisplay  # noqa: E402
from demo import TITLE, Demo  # noqa: E402

SWITCHES = 200
SUPPRESSIONS = Path(__file__).parent / "lsan.supp"


def sanitizer_env():
    return {
        # A sanitizer's own exit code tells its findings apart from the program's statuses.
        "ASAN_OPTIONS": "detect_leaks=1:exitcode=86:abort_on_error=0:halt_on_error=1",
        "LSAN_OPTIONS": "suppressions=%s:print_suppressions=1:exitcode=86" % SUPPRESSIONS,
    }


class SoakSwitches(unittest.TestCase):
    def test_switches_leak_nothing(self):
        xdisplay.add_mode(640, 480)
        with Demo(env=sanitizer_env()) as demo:
            window = demo.start()
            for n in range(SWITCHES):
                new = None
                # A window just mapped may not have the keyboard yet: press again until it has.
                for _ in range(20):
                    xdisplay.key(window, "F1")
                    new = xdisplay.wait_window(TITLE, 3, demo.alive, exclude=(window,))
                    if new is not None or not demo.alive():
                        break
                self.assertIsNotNone(new, "switch %d failed:\n%s" % (n + 1, demo.stderr_text()[-4000:]))
                window = new
            xdisplay.key(window, "Escape")
            status = demo.wait(300)
            report = demo.stderr_text()
            ours = [line for line in report.splitlines()
                    if re.search(r"\s#\d+ .* (src|tests)/", line)]
            self.assertNotIn("ERROR: AddressSanitizer", report, report[-6000:])
            self.assertNotIn("ERROR: LeakSanitizer", report, report[-6000:])
            self.assertEqual(ours, [])
            self.assertEqual(status, 0, report[-6000:])


if __name__ == "__main__":
    if not os.environ.get("QUORVANE_EXE"):
        sys.exit("QUORVANE_EXE must name the AddressSanitizer build of the program")
    unittest.main(verbosity=2)

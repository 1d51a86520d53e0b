"""200 switches between fullscreen and a window in one run of the AddressSanitizer build:
every teardown must give back what its creation took, and the last window still draws the
credits line (text that vanished after the 64th window once). LeakSanitizer reports at exit;
the suppressions file names only system libraries. Mesa's driver is unloaded before that report,
so what it still held shows as frames of an unknown module: such a leak cannot come from the
program, whose own frames always resolve, and is not held against it."""
import os
import re
import sys
import time
import unittest
from pathlib import Path

import scenes
import xdisplay
from demo import Demo

SWITCHES = int(os.environ.get("QUORVANE_SOAK_SWITCHES", "200"))
SUPPRESSIONS = Path(__file__).parent / "lsan.supp"


def sanitizer_env():
    return {
        # A sanitizer's own exit code tells its findings apart from the program's statuses.
        "ASAN_OPTIONS": "detect_leaks=1:exitcode=86:abort_on_error=0:halt_on_error=1",
        "LSAN_OPTIONS": "suppressions=%s:print_suppressions=0:exitcode=23" % SUPPRESSIONS,
    }


def unattributable(block):
    """A leak whose every allocating frame beyond the allocator lies in an unloaded module."""
    frames = re.findall(r"^\s*#(\d+) 0x[0-9a-f]+ +(.*)$", block, re.M)
    callers = [where for n, where in frames if n != "0"]
    return bool(callers) and all("<unknown module>" in where for where in callers)


class SoakSwitches(unittest.TestCase):
    def test_switches_leak_nothing(self):
        with Demo(env=sanitizer_env()) as demo:
            demo.start()
            for _ in range(SWITCHES):
                demo.switch()
            # The picture after the last switch: the box and the credits line, its pixels all
            # there (as wide as one of the credits), in the main part of the sequence.
            demo.sleep_until(34000)
            seen = []
            deadline = time.monotonic() + 60
            while time.monotonic() < deadline and demo.alive():
                got = xdisplay.screenshot(demo.window)
                if got is None:
                    continue
                line = scenes.credits_line(got.image)
                seen.append(line)
                if line is not None:
                    break
            self.assertTrue(seen and seen[-1] is not None,
                            "no credits line after %d switches: %s" % (SWITCHES, seen[-10:]))
            status = demo.quit()
            report = demo.stderr_text()
            self.assertNotIn("ERROR: AddressSanitizer", report, report[-6000:])
            leaks = [block for block in report.split("\n\n")
                     if re.match(r"\s*(Direct|Indirect) leak of", block)]
            attributable = [block for block in leaks if not unattributable(block)]
            self.assertEqual(attributable, [], report[-6000:])
            # Leaks alone end the process with LeakSanitizer's status 23; anything else is ours.
            self.assertIn(status, (0, 23) if leaks else (0,), report[-6000:])


if __name__ == "__main__":
    if not os.environ.get("QUORVANE_EXE"):
        sys.exit("QUORVANE_EXE must name the AddressSanitizer build of the program")
    unittest.main(verbosity=2)

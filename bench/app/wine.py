"""The peer: our Windows build under wine64 on the current X display, as a Linux user who
downloads the zip runs it. Wine's own trace of its SwapBuffers, time-stamped on the same
monotonic clock as ours, says when each frame is presented.

    wine.py TREE PREFIX ROUNDS

prints the medians as "name value" lines (the names of the swap probe's figures), and
"unavailable name why" where a figure cannot be taken on this display:
  first_frame_ms  from the start of `wine quorvane.exe` to its first presented frame, less
                  the time the start-up question stood on screen before the key answered it
                  (our probe answers it at once)
  switch_ms       from the F1 key to the first frame presented in the new window (ours is
                  timed from the old window's destruction, a frame later at most)
  fps             frames per second fullscreen, from Wine's own count
"""
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import xdisplay

SWAP = re.compile(r"^(\d+\.\d+):[0-9a-f]+:trace:wgl:glxdrv_wglSwapBuffers", re.M)
NEW_FORMAT = re.compile(r"^(\d+\.\d+):[0-9a-f]+:trace:wgl:set_win_format", re.M)
FPS = re.compile(r"trace:fps:wglSwapBuffers @ approx ([\d.]+)fps")
QUESTION = "Start FullScreen?"
# The question the program asks when the display has no 640x480 mode to switch to.
NO_MODE = "Zentor GL"
CANNOT_SWITCH = "Wine switches the real display, and this one has no 640x480 mode"
TITLE = "Quorvane"


class Run:
    def __init__(self, tree, prefix):
        self.env = env = dict(os.environ, WINEPREFIX=prefix, WINEARCH="win64",
                   WINEDLLOVERRIDES="mscoree,mshtml=", WINEDEBUG="+timestamp,+wgl,fps")
        self.trace = tempfile.NamedTemporaryFile(prefix="quorvane-wine-", suffix=".trace")
        self.started = time.monotonic()
        self.proc = subprocess.Popen(["wine", "quorvane.exe"], cwd=tree, env=env,
                                     stdout=subprocess.DEVNULL, stderr=self.trace)

    def alive(self):
        return self.proc.poll() is None

    def text(self):
        return Path(self.trace.name).read_text(errors="replace")

    def swaps(self):
        return [float(t) for t in SWAP.findall(self.text())]

    def answer(self, yes):
        """Answers the start-up question by key; the seconds it stood on screen."""
        box = xdisplay.wait_window(QUESTION, 60, self.alive, pattern=xdisplay.box_pattern(QUESTION))
        if box is None:
            raise RuntimeError("no start-up question")
        shown = time.monotonic()
        xdisplay.key(box, "y" if yes else "n")  # Wine's box takes its buttons' letters
        return time.monotonic() - shown

    def wait(self, condition, timeout=60):
        deadline = time.monotonic() + timeout
        while not condition():
            if time.monotonic() > deadline or not self.alive():
                raise RuntimeError("Wine's program never got there")
            time.sleep(0.05)

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        if self.alive():
            self.proc.kill()
        self.proc.wait()
        self.trace.close()


def no_mode_asked():
    return bool(xdisplay.windows(NO_MODE, pattern=xdisplay.box_pattern(NO_MODE)))


def start_and_switch(tree, prefix):
    """The start figure, and the two switches' (None where the display has no 640x480 mode)."""
    run = Run(tree, prefix)
    try:
        stood = run.answer(False)
        run.wait(lambda: run.swaps())
        first = (run.swaps()[0] - run.started - stood) * 1000
        window = xdisplay.wait_window(TITLE, 60, run.alive)
        time.sleep(1)
        switches = []
        for _ in range(2):
            formats = len(NEW_FORMAT.findall(run.text()))
            pressed = time.monotonic()

            def switched():
                made = [float(t) for t in NEW_FORMAT.findall(run.text())[formats:]]
                return bool(made) and any(t > made[0] for t in run.swaps()) or no_mode_asked()

            xdisplay.press_until(window, "F1", switched, "a frame in the new window")
            if no_mode_asked():
                return first, None
            made = float(NEW_FORMAT.findall(run.text())[formats])
            shown = min(t for t in run.swaps() if t > made)
            switches.append((shown - pressed) * 1000)
            window = xdisplay.wait_window(TITLE, 60, run.alive)
            time.sleep(1)
        return first, switches
    finally:
        run.stop()


def fullscreen_fps(tree, prefix):
    run = Run(tree, prefix)
    try:
        run.answer(True)
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline and run.alive():
            counts = [float(f) for f in FPS.findall(run.text())]
            # Wine's first count is of no frames; the second still holds the start.
            if len(counts) >= 3:
                return counts[2], None
            if no_mode_asked():
                return None, CANNOT_SWITCH
            time.sleep(0.1)
        return None, "no frame count from Wine"
    finally:
        run.stop()


def main():
    tree, prefix = (str(Path(a).resolve()) for a in sys.argv[1:3])
    rounds = int(sys.argv[3])
    subprocess.run(["xset", "r", "off"], capture_output=True)
    firsts, switches, fps, why = [], [], [], None
    for _ in range(rounds):
        first, pair = start_and_switch(tree, prefix)
        firsts.append(first)
        switches.extend(pair or [])
        value, why = fullscreen_fps(tree, prefix)
        if value is not None:
            fps.append(value)
    print("first_frame_ms %.3f" % statistics.median(firsts))
    print("samples first_frame_ms" + "".join(" %.1f" % v for v in firsts))
    if switches:
        print("switch_ms %.3f" % statistics.median(switches))
        print("samples switch_ms" + "".join(" %.1f" % v for v in switches))
    else:
        print("unavailable switch_ms %s" % CANNOT_SWITCH)
    if fps:
        print("fps %.3f" % statistics.median(fps))
        print("samples fps" + "".join(" %.1f" % v for v in fps))
    else:
        print("unavailable fps %s" % why)


if __name__ == "__main__":
    main()

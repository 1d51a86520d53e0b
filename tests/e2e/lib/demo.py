"""Starts the real program the way a user does, with its clock sped up, and watches it.

The clock runs faster through libfaketime (CLOCK_MONOTONIC included), so the 95-second sequence
takes a fraction of that; the harness converts host time back into demo time.
"""
import os
import shutil
import signal
import subprocess
import tempfile
import time
from collections import namedtuple
from pathlib import Path

import scenes
import xdisplay

REPO = Path(__file__).resolve().parents[3]
FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1"
MUSIC_NAME = "tUrBiLo - Pelvarn.wav"
TITLE = "Quorvane"
# A frame on screen may have been drawn a little before the capture read it.
FRAME_SLACK = 0.15
# Bytes a second of the sound device the program opens (44.1 kHz, stereo, 16-bit), which SDL's
# disk driver writes at the pace of real time.
DISK_BYTES_PER_SECOND = 44100 * 2 * 2

# A capture as the tests judge it: the scene it shows, whether the cursor is on, the bounds of
# its demo time in milliseconds, and the picture (None once it is no longer needed).
Shot = namedtuple("Shot", "scene cursor lo hi image")


def _run_quiet(*args):
    subprocess.run(list(args), capture_output=True, timeout=20)


def executable():
    return Path(os.environ.get("QUORVANE_EXE", REPO / "build" / "quorvane"))


def built_music():
    return Path(os.environ.get("QUORVANE_MUSIC", executable().parent / "Data" / MUSIC_NAME))


class Demo:
    """One run of the program in its own working directory.

    music: "built" (the generated soundtrack), None (no Data folder), "fifo" (a named pipe
    that nobody writes to, where opening or reading it blocks) or bytes (file contents).
    cwd: the program's working folder, when not its own fresh one (which then keeps only its
    output: stdout, stderr and the disk driver's audio.raw).
    """

    def __init__(self, speed=1, music="built", audio="dummy", env=None, exe=None, cwd=None):
        self.speed = speed
        self.dir = Path(tempfile.mkdtemp(prefix="quorvane-e2e-"))
        self.audio_file = self.dir / "audio.raw"
        if music is not None:
            (self.dir / "Data").mkdir()
            target = self.dir / "Data" / MUSIC_NAME
            if music == "built":
                os.symlink(built_music(), target)
            elif music == "fifo":
                os.mkfifo(target)
            else:
                target.write_bytes(music)
        run_env = dict(os.environ)
        run_env.pop("FAKETIME_DONT_FAKE_MONOTONIC", None)
        if audio is None:
            run_env.pop("SDL_AUDIODRIVER", None)
        else:
            run_env["SDL_AUDIODRIVER"] = audio
        run_env["SDL_DISKAUDIOFILE"] = str(self.audio_file)
        if speed != 1:
            run_env["LD_PRELOAD"] = FAKETIME
            run_env["FAKETIME"] = "+0 x%g" % speed
            run_env["FAKETIME_NO_CACHE"] = "1"
            # File times stay true: with faked ones, fontconfig finds every directory changed
            # since its cache was written, rescans all fonts (most of a second) and rewrites
            # the system cache with faked times, which the next program then rescans in turn.
            run_env["NO_FAKE_STAT"] = "1"
        for name, value in (env or {}).items():
            if value is None:
                run_env.pop(name, None)
            else:
                run_env[name] = value
        self.stdout = open(self.dir / "stdout", "w+")
        self.stderr = open(self.dir / "stderr", "w+")
        self.proc = subprocess.Popen([str(exe or executable())], cwd=cwd or self.dir, env=run_env,
                                     stdout=self.stdout, stderr=self.stderr)
        self.window = None
        self.t0 = None

    # -- the process ----------------------------------------------------------------------

    def alive(self):
        return self.proc.poll() is None

    def wait(self, timeout=60):
        """Exit status, or None when the program is still running after the timeout."""
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def stderr_text(self):
        self.stderr.flush()
        self.stderr.seek(0)
        return self.stderr.read()

    def wait_for_sound(self, seconds, timeout=60):
        """Waits until the disk driver has written this many seconds of output."""
        wanted = seconds * DISK_BYTES_PER_SECOND
        deadline = time.monotonic() + timeout
        while not (self.audio_file.exists() and self.audio_file.stat().st_size >= wanted):
            if time.monotonic() > deadline or not self.alive():
                raise AssertionError("no %g s of sound were written" % seconds)
            time.sleep(0.05)

    def rss_kib(self):
        with open("/proc/%d/status" % self.proc.pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        return None

    def close(self):
        if self.alive():
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait()
        self.stdout.close()
        self.stderr.close()
        shutil.rmtree(self.dir, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # -- the two keys ----------------------------------------------------------------------

    def quit(self, window=None, timeout=60):
        """Escape, held until the program has ended; its exit status."""
        xdisplay.press_until(window or self.window, "Escape", lambda: not self.alive(),
                             "the end of the program", timeout)
        return self.proc.wait()

    def switch(self, window=None, timeout=60):
        """F1, held until the window of the other mode is mapped; returns that window.
        The display's auto-repeat is turned off first: a held F1 would switch again at every
        repeat."""
        old = window or self.window
        _run_quiet("xset", "r", "off")
        found = []

        def switched():
            found[:] = [w for w in xdisplay.windows(TITLE) if w != old]
            return bool(found) or not self.alive()

        xdisplay.press_until(old, "F1", switched, "a new window after F1", timeout)
        if not found:
            raise AssertionError("the program ended on F1:\n" + self.stderr_text())
        self.window = found[0]
        return self.window

    # -- message boxes and the window ------------------------------------------------------

    def answer(self, caption, yes, timeout=60):
        """Waits for the box with this caption and answers it from the keyboard (Return for
        Yes or OK, Escape for No). Returns the host time just before the key."""
        box = xdisplay.wait_window(caption, timeout, self.alive,
                                   pattern=xdisplay.box_pattern(caption))
        if box is None:
            raise AssertionError("no message box %r appeared (program %s)" %
                                 (caption, "running" if self.alive() else "exited"))
        pressed = time.monotonic()
        xdisplay.key(box, "Return" if yes else "Escape")
        return pressed

    def start(self, fullscreen=False, timeout=60, exact=True):
        """Answers the start-up question, waits for the window and its first frame. A run that
        needs the timeline's start only as a bound (the soaks) passes exact=False: it then
        waits for any drawn scene rather than the upright boot screen, which at a high speed
        lasts a fraction of a second that a busy machine's screenshots can miss."""
        pressed = self.answer("Start FullScreen?", fullscreen, timeout)
        self.window, not_before = self.wait_shown(pressed, timeout)
        self.t0 = self.first_frame(not_before, timeout, exact)
        return self.window

    def wait_shown(self, not_before, timeout):
        """The demo window once it is shown, and the host time of the last look that did not
        find it yet: the timeline starts with the first frame, drawn only after the window is
        shown, so not before that look. (A program that draws at once leaves no blank capture
        to bound its start; this bound keeps the start known that closely all the same.)"""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            looked = time.monotonic()
            found = xdisplay.windows(TITLE)
            if found:
                return found[0], not_before
            not_before = looked
            if not self.alive():
                break
            time.sleep(0.02)
        raise AssertionError("the demo window did not appear:\n" + self.stderr_text())

    def first_frame(self, not_before, timeout, exact=True):
        """Host-time bounds (lo, hi) of the timeline's start: the last capture without the
        boot screen and the first with it (not exact: the window's showing and the first
        capture of any scene)."""
        lo = not_before
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            shot = xdisplay.screenshot(self.window)
            if shot and exact and scenes.rectangle(shot.image) == "upright":
                return max(lo - FRAME_SLACK, not_before), shot.end
            if shot and not exact and scenes.classify(shot.image)[0] not in ("blank", "unknown"):
                return not_before, shot.end
            if shot:
                lo = shot.start
            if not self.alive():
                break
        raise AssertionError("the boot screen never appeared")

    def elapsed(self, start, end):
        """Demo-time bounds in milliseconds of a frame captured between these host times."""
        lo = (start - FRAME_SLACK - self.t0[1]) * self.speed * 1000
        hi = (end - self.t0[0]) * self.speed * 1000
        return lo, hi

    def demo_now(self):
        """Lower bound of the demo time now."""
        return self.elapsed(time.monotonic() + FRAME_SLACK, 0)[0]

    def sleep_until(self, ms):
        """Sleeps until the demo time is surely past ms."""
        while self.demo_now() < ms:
            time.sleep(0.02)

    def drawn(self, timeout=30):
        """The first capture of the window that shows a frame: a window just mapped or
        restored is blank until the program draws into it. Fails after the timeout, naming
        what was seen."""
        deadline = time.monotonic() + timeout
        seen = []
        while time.monotonic() < deadline and self.alive():
            got = self.shot()
            if got is not None and got.scene != "blank":
                return got
            seen.append(got.scene if got else "no capture")
            if got is None:
                # The program may have replaced its window meanwhile (a mode switch).
                current = xdisplay.windows(TITLE)
                if current and self.window not in current:
                    self.window = current[0]
        raise AssertionError("the window showed no frame within %g s: %s" % (timeout, seen[-10:]))

    def shot(self, window=None):
        """A Shot of the window (the demo's own by default), or None when it went away."""
        got = xdisplay.screenshot(window or self.window)
        if got is None:
            return None
        scene, cur = scenes.classify(got.image)
        lo, hi = self.elapsed(got.start, got.end)
        return Shot(scene, cur, lo, hi, got.image)

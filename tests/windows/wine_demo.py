"""Runs the 64-bit quorvane.exe under wine64 on the current X display and drives it from the
keyboard, as a user would:

    wine_demo.py windowed   n PREFIX TREE   No at the start: a window with a 640x480 client area
    wine_demo.py fullscreen y PREFIX TREE   Yes on a 640x480x16 screen: the mode is there
    wine_demo.py fallback   y PREFIX TREE   Yes on a larger screen: the mode is refused, the
                                            fallback question is answered Yes, a window follows

Each waits for the boot screen where the projection puts it, then ends with Escape: status 0.
"""
import os
import subprocess
import sys
import time

import scenes
import xdisplay

TITLE = "Quorvane"
# Wine's first start of a program in a prefix, and its boxes, are slow on a loaded machine.
APPEAR_TIMEOUT = 120
# The boot screen stands upright until the tumble at 11.5 s of the demo's clock.
BOOT_SCREEN_TIMEOUT = 10
EXIT_TIMEOUT = 60


def fail(message):
    sys.exit("FAIL: " + message)


def wine_env(prefix):
    env = dict(os.environ)
    # A private 64-bit prefix, quiet, and no offers to install Mono or Gecko (their dialogs
    # would wait for a user).
    env.update(WINEPREFIX=prefix, WINEARCH="win64", WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=")
    return env


def wait_for(title, alive):
    window = xdisplay.wait_window(title, APPEAR_TIMEOUT, alive)
    if window is None:
        fail("no window %r appeared (program %s)" % (title, "running" if alive() else "ended"))
    return window


def client_area(window):
    """Absolute (x, y, width, height): Wine's X window is the client area itself."""
    out = subprocess.run(["xwininfo", "-id", str(window)], capture_output=True, text=True).stdout
    values = {}
    for line in out.splitlines():
        name, _, value = line.strip().partition(":")
        values[name] = value.strip()
    return tuple(int(values[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y",
                                         "Width", "Height"))


def wait_for_boot_screen(window, alive):
    """The first frame is cleared black and a window may show nothing for a moment: waits
    for the light-blue background with the screen rectangle upright where the projection puts
    it, which the tumble ends at 11.5 s. (Its text is not judged: Wine's glyph lists differ.)"""
    deadline = time.monotonic() + BOOT_SCREEN_TIMEOUT
    seen = []
    while time.monotonic() < deadline and alive():
        shot = xdisplay.screenshot(window)
        if shot is not None:
            found = (scenes.background(shot.image), scenes.rectangle(shot.image))
            if found == ("light", "upright"):
                return
            seen.append("%s background, rectangle %s" % found)
    fail("the boot screen never appeared; seen: %s" % "; ".join(seen))


def main(mode, answer, prefix, tree):
    env = wine_env(prefix)
    # The music is found relative to the current folder: Data/ beside quorvane.exe.
    program = subprocess.Popen(["wine", "quorvane.exe"], cwd=tree, env=env)
    alive = lambda: program.poll() is None  # noqa: E731
    try:
        xdisplay.key(wait_for("Start FullScreen?", alive), answer)
        if mode == "fallback":
            xdisplay.key(wait_for("Zentor GL", alive), "y")
        window = wait_for(TITLE, alive)
        if mode == "fullscreen" and xdisplay.windows("Zentor GL"):
            fail("the fullscreen mode was refused")
        x, y, width, height = client_area(window)
        print('window "%s": %dx%d at %d,%d' % (TITLE, width, height, x, y))
        if (width, height) != (640, 480):
            fail("client area %dx%d, not 640x480" % (width, height))
        if mode == "fullscreen" and (x, y) != (0, 0):
            fail("a fullscreen window at %d,%d, not at the screen's corner" % (x, y))
        wait_for_boot_screen(window, alive)
        print("the boot screen is drawn where the projection puts it")

        xdisplay.press_until(window, "Escape", lambda: not alive(), "the end of the program",
                             EXIT_TIMEOUT)
        status = program.wait()
        if status != 0:
            fail("exit status %d after Escape, not 0" % status)
        print("ended with status 0")
    finally:
        if program.poll() is None:
            program.kill()
        subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main(*sys.argv[1:])

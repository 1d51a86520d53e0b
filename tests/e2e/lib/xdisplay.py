"""The X display as a user meets it: finding windows, pressing keys, screenshots."""
import re
import subprocess
import time
from collections import namedtuple

from image import parse_ppm, unscaled

# A screenshot of a window, between two readings of the host's monotonic clock.
Capture = namedtuple("Capture", "start end image")


def _run(*args, timeout=20):
    return subprocess.run(list(args), capture_output=True, text=True, timeout=timeout)


def windows(title, pattern=None):
    """Ids of the mapped windows whose title is exactly this text (or matches the pattern).
    Read from xwininfo: xdotool's name search misses titles stored as UTF-8 only, as SDL's
    message boxes store theirs."""
    wanted = re.compile(pattern or "^" + re.escape(title) + "$")
    tree = _run("xwininfo", "-root", "-tree").stdout
    found = []
    for wid, name in re.findall(r'^\s*(0x[0-9a-f]+) "(.*)": \(', tree, re.M):
        if wanted.search(name) and "IsViewable" in _run("xwininfo", "-id", wid).stdout:
            found.append(int(wid, 16))
    return found


def box_pattern(caption):
    return "^" + re.escape(caption) + "$"


def wait_window(title, timeout=30.0, alive=None, exclude=(), pattern=None):
    """The first mapped window with this title (and not in exclude); None on timeout or when
    alive() turns false."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = [w for w in windows(title, pattern) if w not in exclude]
        if found:
            return found[0]
        if alive is not None and not alive():
            return None
        time.sleep(0.05)
    return None


# How long a window may take to get the keyboard: a window just mapped, or a window manager
# still busy with it, hands the focus over late on a loaded machine.
FOCUS_TIMEOUT = 30.0


def focused():
    """The window the X server gives the keyboard to now, or None."""
    out = _run("xdotool", "getwindowfocus", "-f").stdout.strip()
    return int(out) if out.isdigit() else None


def focus(window, timeout=FOCUS_TIMEOUT):
    """Gives the window the keyboard focus and returns once the server reports it there.
    Keys typed after that reach the window: its FocusIn is queued before them."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            _run("xdotool", "windowfocus", "--sync", str(window), timeout=2)
        except subprocess.TimeoutExpired:
            pass  # --sync waits for the focus forever; it is asked again below
        if focused() == window:
            return
        if time.monotonic() > deadline:
            raise AssertionError("window 0x%x did not get the keyboard focus within %g s"
                                 % (window, timeout))


def key(window, *keys):
    """Gives the window the focus and types the keys (press and release each)."""
    focus(window)
    _run("xdotool", "key", "--delay", "30", *keys)


def press_until(window, key, done, what, timeout=60.0):
    """Holds the key down on the focused window until done() turns true. The demo reads its
    keys between frames: a press released again before the next frame is never seen, so the
    key stays down until what it does has happened. Fails saying what was awaited."""
    focus(window)
    _run("xdotool", "keydown", key)
    try:
        deadline = time.monotonic() + timeout
        while not done():
            if time.monotonic() > deadline:
                raise AssertionError("%s did not happen within %g s of pressing %s"
                                     % (what, timeout, key))
            time.sleep(0.02)
    finally:
        _run("xdotool", "keyup", key)


def key_down(window, *keys):
    focus(window)
    _run("xdotool", "keydown", *keys)


def key_up(*keys):
    _run("xdotool", "keyup", *keys)


def geometry(window):
    """(x, y, width, height) of the window on the screen, or None once it has gone."""
    out = _run("xdotool", "getwindowgeometry", "--shell", str(window)).stdout
    values = dict(line.split("=", 1) for line in out.split() if "=" in line)
    try:
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
    except KeyError:
        return None


def net_wm_state(window):
    return _run("xprop", "-id", str(window), "_NET_WM_STATE").stdout


def frame_top(window):
    """Height of the window manager's title bar above the window (0 without decorations)."""
    out = _run("xprop", "-id", str(window), "_NET_FRAME_EXTENTS").stdout
    numbers = [int(n) for n in re.findall(r"\d+", out.split("=", 1)[-1])] if "=" in out else []
    return numbers[2] if len(numbers) == 4 else 0


# Far above what reading a window takes, even on a loaded machine.
SCREENSHOT_TIMEOUT = 15


def screenshot(window, raw=False):
    """A Capture(start, end, image) of the window's contents, times on the host's monotonic
    clock; None when the window went away meanwhile. A window larger than the program's
    640x480 (covering the screen, or on a scaled desktop) shows its picture scaled: it is read
    back at 640x480, unless raw is set."""
    start = time.monotonic()
    try:
        shot = subprocess.run(["import", "-window", str(window), "-depth", "8", "ppm:-"],
                              capture_output=True, timeout=SCREENSHOT_TIMEOUT)
    except subprocess.TimeoutExpired:
        # import waits for a click forever when the window is gone before it could read it.
        return None
    end = time.monotonic()
    if shot.returncode != 0 or not shot.stdout:
        return None
    try:
        img = parse_ppm(shot.stdout)
    except ValueError:
        return None
    if not raw and (img.width > 640 or img.height > 480):
        img = unscaled(img)
    return Capture(start, end, img)


def root_screenshot():
    """The whole screen, as the user sees it."""
    shot = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                          capture_output=True, timeout=30)
    return parse_ppm(shot.stdout)


def desktop_scale():
    """The desktop's scale as its X resources give it (Xft.dpi over 96), 1 without one."""
    m = re.search(r"^Xft\.dpi:\s*([0-9.]+)", _run("xrdb", "-query").stdout, re.M)
    return float(m.group(1)) / 96 if m else 1.0


def randr_size():
    """The screen size RandR reports as current."""
    m = re.search(r"current (\d+) x (\d+)", _run("xrandr").stdout)
    return (int(m.group(1)), int(m.group(2))) if m else None


def minimise(window):
    _run("xdotool", "windowminimize", "--sync", str(window), timeout=30)


def restore(window):
    _run("xdotool", "windowactivate", "--sync", str(window), timeout=30)


def close(window):
    """Asks the window manager to close the window, as its title bar's close button does
    (_NET_CLOSE_WINDOW, which the manager turns into WM_DELETE_WINDOW)."""
    _run("wmctrl", "-i", "-c", hex(window))

"""What the clock decides: which scenes may be on screen at a given demo time.

A screenshot's demo time is only known within an interval (when the first frame came, how long
the capture took, a frame shown a little after it was drawn), so a scene is accepted when the
timeline allows it anywhere in that interval.
"""
TUMBLE_FROM, TUMBLE_TO = 11500, 27000
CURSOR_UNTIL = 29000
LOADING_FROM = 29000
MAIN_FROM = 33000
CREDITS_CHANGES = ((70000, "creditsMusic"), (80000, "creditsDemo"), (90000, "creditsEnd"))


def credits_at(ms):
    shown = "creditsTitle"
    for start, name in CREDITS_CHANGES:
        if ms >= start:
            shown = name
    return shown


def scenes_at(ms):
    if ms > MAIN_FROM:
        return {"main:" + credits_at(ms), "main:?"}
    if ms == MAIN_FROM:
        return {"empty"}
    scenes = {"loading"} if ms > LOADING_FROM else {"boot"}
    if TUMBLE_FROM < ms < TUMBLE_TO:
        # At whole turns the tumbling rectangle passes upright again for a frame or two.
        scenes |= {"tumble", "boot", "empty"}
    return scenes


def allowed(lo, hi, step=25):
    """Scenes the timeline shows somewhere in [lo, hi] milliseconds."""
    out = set()
    ms = max(0, int(lo))
    while ms < hi:
        out |= scenes_at(ms)
        ms += step
    out |= scenes_at(int(max(hi, 0)))
    return out


def cursor_shown(frame):
    """Whether boot frame n (from the first frame) shows the cursor: the pulse climbs by 0.08 per
    frame to 1.04 (13 updates) and falls back to 0 (26); frame n draws it after n + 1 updates,
    while the pulse is above 0.5, which is for (n + 1) mod 26 in 7..19."""
    return 7 <= (frame + 1) % 26 <= 19


def cursor_allowed(lo):
    return lo < CURSOR_UNTIL

"""Assertions shared by the end-to-end tests: screenshots against the timeline."""
import time

import timeline


def mismatches(shots, extra=None):
    """Descriptions of the captures whose scene the clock does not allow at their time.

    extra(lo, hi) may name further scenes allowed there (the black frame after a switch)."""
    bad = []
    for scene, cur, lo, hi, _ in shots:
        allowed = timeline.allowed(lo, hi) | (extra(lo, hi) if extra else set())
        if scene not in allowed:
            bad.append("%s at %.1f..%.1f s (allowed %s)" % (scene, lo / 1000, hi / 1000,
                                                           sorted(allowed)))
        elif cur and not timeline.cursor_allowed(lo):
            bad.append("cursor at %.1f..%.1f s" % (lo / 1000, hi / 1000))
    return bad


def seen(shots, scene, lo=None, hi=None):
    """Captures showing this scene, optionally only those surely within [lo, hi] ms."""
    return [s for s in shots if s.scene == scene
            and (lo is None or s.lo >= lo) and (hi is None or s.hi <= hi)]


def capture_until(demo, until_ms, shots, pause=0.0, window=None):
    """Appends captures to shots until the demo time is surely past until_ms."""
    while demo.demo_now() < until_ms:
        if not demo.alive():
            raise AssertionError("the program ended early:\n" + demo.stderr_text())
        got = demo.shot(window)
        if got:
            shots.append(got._replace(image=None))
        if pause:
            time.sleep(pause)
    return shots


def summary(shots):
    return ", ".join("%s%s@%.1f" % (s.scene, "+c" if s.cursor else "", s.lo / 1000) for s in shots)

#!/usr/bin/python3
"""How fast quorvane-capture makes the default video (640x480, 60 fps, as long as the music):
demo seconds per wall second, as a ratio to real time, and against a run of the same length
in the same session that only renders (one still at the end: no read-back, no encoding).
Also the size of the video, and the processor time each run took: on a machine others are
using, demo seconds per processor second over the cores is what an idle machine would give.
Needs no display.

    bench/capture/run.py [build-dir] [rounds]
"""
import os
import resource
import subprocess
import sys
import tempfile
import time
import wave
from pathlib import Path

MUSIC = "tUrBiLo - Pelvarn.wav"


def cpu_of_children():
    used = resource.getrusage(resource.RUSAGE_CHILDREN)
    return used.ru_utime + used.ru_stime


def timed(args, cwd, env):
    """(wall seconds, processor seconds) of one run."""
    start, cpu = time.monotonic(), cpu_of_children()
    subprocess.run(args, cwd=cwd, env=env, check=True, stderr=subprocess.DEVNULL)
    return time.monotonic() - start, cpu_of_children() - cpu


def main():
    build = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parents[2] / "build").resolve()
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    exe, music = build / "quorvane-capture", build / "Data" / MUSIC
    for f in (exe, music):
        if not f.exists():
            sys.exit("bench: %s is missing; build quorvane-capture and the soundtrack" % f)
    with wave.open(str(music)) as w:
        seconds = w.getnframes() / w.getframerate()
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    with tempfile.TemporaryDirectory() as work:
        (Path(work) / "Data").mkdir()
        (Path(work) / "Data" / MUSIC).symlink_to(music)
        videos, renders = [], []
        for i in range(rounds):
            videos.append(timed([str(exe)], work, env))
            renders.append(timed([str(exe), "--frames-at", "%.3f" % seconds, "--frames-dir", "s"],
                                 work, env))
            print("round %d: video %.1f s (%.1f s of processor), render only %.1f s (%.1f s)"
                  % (i + 1, *videos[-1], *renders[-1]))
        size = (Path(work) / "quorvane.mp4").stat().st_size
    (video, video_cpu), (render, render_cpu) = min(videos), min(renders)
    cores = os.cpu_count() or 1
    print()
    print("default video: %.1f s of demo, %.1f MiB" % (seconds, size / 2**20))
    print("video:       %5.1f s wall, %.2fx real time; at most %.2fx on %d idle cores"
          % (video, seconds / video, seconds * cores / video_cpu, cores))
    print("render only: %5.1f s wall, %.2fx real time; at most %.2fx on %d idle cores"
          % (render, seconds / render, seconds * cores / render_cpu, cores))
    print("video / render-only speed: %.2f" % (render / video))


if __name__ == "__main__":
    main()

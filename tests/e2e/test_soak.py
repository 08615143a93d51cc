"""Random clicks on the controls and random keys for a while: the program must
stay up, keep presenting frames and not grow in memory.

VANTREL_SOAK_SECONDS sets the duration (default 60); VANTREL_SOAK_SEED the
random seed (default below; printed, so a run can be repeated). Memory is
compared between a baseline taken once the program has warmed up (after a
quarter of the run, at most after the first minute) and the end.

Two things would pass for a leak without being one. Qt's style keeps
pictures of drawn controls in a cache of bounded size (10 MiB by default),
keyed by palette; the presets recolour their buttons on every change, so
each preset click adds entries until the cache is full. The run therefore
starts by clicking through the presets until it is. And glibc keeps freed
large blocks (the per-frame picture buffers) for reuse once its mmap
threshold has risen, which makes RSS jump by megabytes at random; a fixed
threshold hands such blocks straight back, so RSS follows what the program
holds.

The long run is started by hand, outside ctest's time limit:
    VANTREL_BIN=build/app/vantrel VANTREL_SOAK_SECONDS=600 python3 tests/e2e/test_soak.py
"""

import os
import random
import shutil
import time

from harness import XSession, case, check, main
import robust_util as ru
from robust_util import TITLE

DEFAULT_SECONDS = 60
DEFAULT_SEED = 20240611
EVENTS_PER_BATCH = 5  # events sent by one xdotool process
BATCH_INTERVAL = 0.2  # seconds: 25 events a second
CHECK_INTERVAL = 5  # seconds between two looks at the frame trace
RSS_GROWTH_LIMIT = 5 * 1024  # KiB (5 MiB)
MMAP_THRESHOLD = 128 * 1024  # bytes: glibc's default starting value, kept fixed
WARMUP_PRESET_CLICKS = 450  # about 33 KiB of cached button pictures each

# Everything a click may land on; the "TAVORIN öffnen" button starts an
# external program and the menu bar can end the program, so neither is here.
CLICK_TARGETS = (
    ru.PRESETS
    + [ru.PIXEL_SCALA, ru.MUSTER, ru.KONTRASTLEISTE]
    + [ru.SPEED_ARROWS, ru.DISTANCE_ARROWS] + ru.COLOUR_ARROWS
    + [ru.SPEED_EDIT, ru.DISTANCE_EDIT] + ru.COLOUR_EDITS
)
KEYS = [str(d) for d in range(10)] + ["Up", "Down", "Tab", "space", "BackSpace"]


def next_event(rng, win):
    """One event as xdotool commands."""
    if rng.random() < 0.4:
        target = rng.choice(CLICK_TARGETS)
        x, y = win.point(target.inside(rng))
        # xdotool sleeps its delay after every click and key; a person is
        # slower anyway, and the program gets each press and release apart.
        return ["mousemove", str(x), str(y), "click", "--delay", "0", "1"]
    return ["key", "--delay", "4", rng.choice(KEYS)]


def fill_style_cache(s, win, app, rng):
    """Clicks the presets in turn, one click per xdotool run so that the
    program paints each change (paints of quick clicks would coalesce)."""
    before = ru.rss_kib(app.pid)
    started = time.monotonic()
    for i in range(WARMUP_PRESET_CLICKS):
        x, y = win.point(ru.PRESETS[i % len(ru.PRESETS)].inside(rng))
        ru.xdotool(s, ["mousemove", str(x), str(y), "click", "--delay", "0", "1"])
        time.sleep(0.02)
    after = ru.rss_kib(app.pid)
    print(
        f"  warm-up: {WARMUP_PRESET_CLICKS} preset clicks in {time.monotonic() - started:.1f} s, "
        f"RSS {before} -> {after} KiB",
        flush=True,
    )


def path_without(program, path):
    """PATH without the directories that hold program."""
    dirs = [d for d in path.split(os.pathsep) if d and not os.path.isfile(os.path.join(d, program))]
    return os.pathsep.join(dirs)


@case
def random_input_keeps_program_running_and_small():
    seconds = float(os.environ.get("VANTREL_SOAK_SECONDS", DEFAULT_SECONDS))
    seed = int(os.environ.get("VANTREL_SOAK_SEED", DEFAULT_SEED))
    baseline_at = min(60.0, seconds / 4)
    print(
        f"  seed {seed}, {seconds:g} s after a warm-up, memory baseline after {baseline_at:g} s, "
        f"MALLOC_MMAP_THRESHOLD_={MMAP_THRESHOLD}",
        flush=True,
    )
    rng = random.Random(seed)
    with XSession() as s:
        # An empty working directory and a search path without the external
        # program: even a stray click on its button starts nothing.
        cwd = os.path.join(s.env["TMPDIR"], "soak-cwd")
        os.mkdir(cwd)
        search_path = path_without("mivu.exe", s.env.get("PATH", ""))
        check(shutil.which("mivu.exe", path=search_path) is None, "mivu.exe is on the search path")
        env = {
            "VANTREL_FRAME_TRACE": "1",
            "PATH": search_path,
            "MALLOC_MMAP_THRESHOLD_": str(MMAP_THRESHOLD),
        }
        app = s.start(env_extra=env, cwd=cwd)
        win = ru.Window(s, s.wait_window(TITLE, timeout=10, pid=app.pid))
        s.activate(win.wid)
        fill_style_cache(s, win, app, rng)

        started = time.monotonic()
        end = started + seconds
        next_batch = started
        next_check = started + CHECK_INTERVAL
        rates_seen = len(ru.trace_rates(app))
        baseline = None
        events = 0
        while True:
            now = time.monotonic()
            if now >= end:
                break
            check(
                app.running(), f"program ended after {now - started:.1f} s: " + app.describe_exit()
            )
            if baseline is None and now - started >= baseline_at:
                baseline = ru.rss_kib(app.pid)
                print(f"  baseline RSS {baseline} KiB after {now - started:.1f} s", flush=True)
            if now >= next_check:
                rates = ru.trace_rates(app)
                check(
                    len(rates) > rates_seen,
                    f"no frame rate reported between {now - started - CHECK_INTERVAL:.0f} s "
                    f"and {now - started:.0f} s: frames stopped",
                )
                check(rates[-1] > 0, f"frame rate {rates[-1]} at {now - started:.0f} s")
                rates_seen = len(rates)
                next_check += CHECK_INTERVAL
            if now >= next_batch:
                chain = []
                for _ in range(EVENTS_PER_BATCH):
                    chain += next_event(rng, win)
                ru.xdotool(s, chain)
                events += EVENTS_PER_BATCH
                next_batch += BATCH_INTERVAL
                if next_batch < now:  # behind: do not try to catch up in a burst
                    next_batch = now
            time.sleep(max(0.0, min(next_batch, next_check, end) - time.monotonic()))

        elapsed = time.monotonic() - started
        check(app.running(), "program ended at the end of the run: " + app.describe_exit())
        final = ru.rss_kib(app.pid)
        check(baseline is not None, f"the run of {seconds:g} s is too short for a baseline")
        rates = ru.trace_rates(app)[1:] or [0]  # the first is reported before any measuring
        growth = final - baseline
        print(
            f"  baseline RSS {baseline} KiB (after {baseline_at:g} s), final RSS {final} KiB, "
            f"growth {growth} KiB; {events} events in {elapsed:.1f} s = {events / elapsed:.1f}/s; "
            f"frame rates min {min(rates)} max {max(rates)} last {rates[-1]}",
            flush=True,
        )
        check(growth < RSS_GROWTH_LIMIT, f"RSS grew by {growth} KiB, limit {RSS_GROWTH_LIMIT} KiB")


if __name__ == "__main__":
    main()

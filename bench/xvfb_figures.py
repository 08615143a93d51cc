"""Figures of the real program under Xvfb, printed side by side in one run.

Starts the program on its own Xvfb with a window manager (tests/e2e/harness.py) with
VANTREL_FRAME_TRACE set, lets it run, and prints:
  - time from process start to the first presented frame,
  - frames per second sustained (median of the measured rates after the first two windows);
    Xvfb has no vertical blank, so only the 1 ms tick and the cost of a frame limit it,
  - CPU use of the process while running, in per cent of one core,
  - peak resident memory (VmHWM).

Usage: VANTREL_BIN=build/app/vantrel python3 bench/xvfb_figures.py [seconds]
"""

import os
import re
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from harness import XSession  # noqa: E402


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    ticks = int(fields[11]) + int(fields[12])  # utime + stime
    return ticks / os.sysconf("SC_CLK_TCK")


def peak_rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 10.0
    with XSession() as s:
        app = s.start(env_extra={"VANTREL_FRAME_TRACE": "1"})
        s.wait_window("^Vantrel$", timeout=15, pid=app.pid)
        time.sleep(2.0)  # let the first measuring windows close
        cpu0 = cpu_seconds(app.pid)
        t0 = time.monotonic()
        time.sleep(seconds)
        cpu1 = cpu_seconds(app.pid)
        t1 = time.monotonic()
        peak = peak_rss_kib(app.pid)
        log = app.output()

    first = re.search(r"vantrel-trace first-frame-ms ([0-9.]+)", log)
    rates = [int(r) for r in re.findall(r"vantrel-trace rate (\d+)", log)]
    rates = [r for r in rates if r > 0][2:]
    print(f"first presented frame after start: {first.group(1) if first else '?'} ms")
    print(f"frames per second under Xvfb (median of {len(rates)} one-second samples): "
          f"{statistics.median(rates) if rates else '?'}")
    print(f"CPU use while running: {100.0 * (cpu1 - cpu0) / (t1 - t0):.0f} % of one core")
    print(f"peak resident memory: {peak / 1024:.1f} MiB")


if __name__ == "__main__":
    main()

"""Helpers for the robustness and soak cases: where the controls are, reading an
edit box through the clipboard, putting text on the clipboard, starting copies
of the program with a changed environment or all at the same moment, and
reading the program's frame trace and memory.

Positions are in client coordinates: pixels from the top-left corner of the
area below the menu bar.
"""

import os
import re
import subprocess
import time

from harness import App, Failure, Timeout, check, die_with_parent, wait_until

TITLE = "^Vantrel$"
MENU_BAR_HEIGHT = 18  # pixels above the client area


class Area:
    def __init__(self, left, top, width, height):
        self.left = left
        self.top = top
        self.width = width
        self.height = height

    def centre(self):
        return self.left + self.width // 2, self.top + self.height // 2

    def inside(self, rng, margin=2):
        """A random point at least margin pixels inside the rectangle."""
        return (
            rng.randint(self.left + margin, self.left + self.width - 1 - margin),
            rng.randint(self.top + margin, self.top + self.height - 1 - margin),
        )


def _in_box(box, left, top, width, height):
    return Area(box[0] + left, box[1] + top, width, height)


SPEED_BOX = (672, 16)  # group box "Geschwindigkeit"
SCHLIEREN_BOX = (672, 144)  # group box "Schlierenpixel-Test"
FOREGROUND_BOX = (672, 336)  # group box "Vordergrundfarbe"
BACKGROUND_BOX = (781, 336)  # group box "Hintergrundfarbe"

SPEED_EDIT = _in_box(SPEED_BOX, 18, 28, 39, 21)
SPEED_ARROWS = _in_box(SPEED_BOX, 18 + 39, 28, 17, 21)
SPEED_STEP = 5  # pixels/second per arrow step
DISTANCE_EDIT = _in_box(SCHLIEREN_BOX, 16, 52, 41, 21)
DISTANCE_ARROWS = _in_box(SCHLIEREN_BOX, 16 + 41, 52, 16, 21)
PIXEL_SCALA = _in_box(SCHLIEREN_BOX, 16, 24, 81, 17)
MUSTER = _in_box(SCHLIEREN_BOX, 144, 24, 57, 17)
KONTRASTLEISTE = Area(816, 104, 89, 17)
PRESETS = [Area(672, 248 + 24 * row, 121, 25) for row in range(3)]
COLOUR_EDITS = [_in_box(FOREGROUND_BOX, 16, 24 + 32 * row, 41, 21) for row in range(3)] + [
    _in_box(BACKGROUND_BOX, 19, 24 + 32 * row, 41, 21) for row in range(3)
]
COLOUR_ARROWS = [Area(e.left + 41, e.top, 16, 21) for e in COLOUR_EDITS]
COLOUR_STEP = 5  # per arrow step
BACKGROUND_RED_EDIT = COLOUR_EDITS[3]
DRAWING_AREA = Area(16, 16, 640, 480)


class Window:
    """The main window: turns client coordinates into screen coordinates."""

    def __init__(self, session, wid):
        self.session = session
        self.wid = wid
        g = session.wait_geometry_stable(wid)
        self.x = g.x
        self.y = g.y + MENU_BAR_HEIGHT

    def point(self, area_or_xy):
        x, y = area_or_xy.centre() if isinstance(area_or_xy, Area) else area_or_xy
        return self.x + x, self.y + y

    def click(self, area_or_xy):
        self.session.click(*self.point(area_or_xy))


# ---------------------------------------------------------------- clipboard


def put_on_clipboard(session, text, timeout=5):
    """Makes xclip own the CLIPBOARD with text until someone else takes it
    over (then xclip ends by itself; it also ends with the X server)."""
    owner = subprocess.Popen(
        ["xclip", "-quiet", "-selection", "clipboard", "-i"],
        stdin=subprocess.PIPE,
        stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL,
        env=session.env,
        start_new_session=True,
        preexec_fn=die_with_parent,
    )
    owner.stdin.write(text.encode())
    owner.stdin.close()
    _owners.append(owner)
    try:
        wait_until(lambda: session.selection() == text, timeout, "xclip to own the clipboard")
    except Timeout:
        stop_clipboard_owners()
        raise
    return owner


_owners = []


def stop_clipboard_owners():
    while _owners:
        owner = _owners.pop()
        if owner.poll() is None:
            owner.kill()
        owner.wait(timeout=5)


def edit_text(session):
    """Text of the focused edit box: select all, copy, read the clipboard.

    The copy is seen to have happened when our clipboard owner (xclip, which
    ends once it loses the clipboard) is gone: a sentinel is put there first
    unless text we put there for a paste is still owned by xclip. In that case
    the copy also comes after the paste has fetched its text, since the
    program handles the keys in order. An empty box copies nothing and reads
    as ''."""
    if not any(o.poll() is None for o in _owners):
        put_on_clipboard(session, f"<sentinel {time.monotonic_ns()}>")
    session.key("ctrl+a", "ctrl+c")
    try:
        wait_until(lambda: all(o.poll() is not None for o in _owners), 3, "the copy")
    except Timeout:
        stop_clipboard_owners()
        return ""  # nothing selected: the box is empty
    stop_clipboard_owners()
    return session.selection()


# ---------------------------------------------------------------- starting copies


def start_copies(session, count, env=None, cwd=None):
    """Starts count copies of the program, all blocked on one pipe until every
    one of them is waiting, then released together. env replaces the session
    environment (use session.env as the base). Returns the App objects; they
    are torn down with the session."""
    program = os.environ.get("VANTREL_BIN")
    check(program and os.access(program, os.X_OK), f"VANTREL_BIN={program!r} is not executable")
    env = dict(session.env if env is None else env)
    logs = os.path.join(session.env["TMPDIR"], "robust-logs")
    os.makedirs(logs, exist_ok=True)
    gate_read, gate_write = os.pipe()
    apps = []
    try:
        for _ in range(count):
            out_path = os.path.join(logs, f"copy{len(session.apps)}.log")
            with open(out_path, "wb") as out:
                proc = subprocess.Popen(
                    # Reads until the gate closes, lets go of it, becomes the program.
                    ["sh", "-c", 'read -r _ <&3; exec 3<&-; exec "$0" "$@"', program],
                    stdin=subprocess.DEVNULL,
                    stdout=out,
                    stderr=subprocess.STDOUT,
                    env=env,
                    cwd=cwd or session.env["HOME"],
                    pass_fds=(gate_read,),
                    start_new_session=True,
                    preexec_fn=die_with_parent,
                )
            app = App(proc, out_path, [])
            session.apps.append(app)
            apps.append(app)
        os.close(gate_read)
        gate_read = -1
        _wait_blocked_on_pipe([a.pid for a in apps], timeout=3)
    finally:
        if gate_read >= 0:
            os.close(gate_read)
        os.close(gate_write)  # every waiting shell reads end of file now
    return apps


def _wait_blocked_on_pipe(pids, timeout):
    def blocked(pid):
        try:
            with open(f"/proc/{pid}/wchan") as f:
                return "pipe" in f.read()
        except OSError:
            return False

    # Where the kernel hides wchan the copies are let go after the deadline:
    # still together, only less exactly at once.
    try:
        wait_until(lambda: all(blocked(p) for p in pids), timeout, "all copies to wait at the gate")
    except Timeout:
        pass


def xdotool(session, args, timeout=10):
    """Runs one xdotool command chain (several commands in one process)."""
    try:
        done = subprocess.run(
            ["xdotool", *args],
            env=session.env,
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.PIPE,
            timeout=timeout,
        )
    except subprocess.TimeoutExpired:
        raise Failure(f"xdotool {' '.join(args)} did not finish within {timeout} s")
    if done.returncode != 0:
        raise Failure(f"xdotool {' '.join(args)} failed: {done.stderr.decode(errors='replace')}")


def sanitised_display(display):
    return re.sub(r"[^0-9A-Za-z_-]", "_", display)


def lock_path(directory, display):
    return os.path.join(directory, f"Vantrel.{sanitised_display(display)}.lock")


# ---------------------------------------------------------------- measuring


def rss_kib(pid):
    """Resident set size of pid in KiB (VmRSS)."""
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise Failure(f"no VmRSS in /proc/{pid}/status")


_RATE = re.compile(r"^vantrel-trace rate (-?\d+)$", re.M)


def trace_rates(app):
    """The frame rates the program reported so far (one a second)."""
    return [int(v) for v in _RATE.findall(app.output())]


def wait_ended(proc, timeout, step=0.01):
    """Returns the seconds until proc ended, or None if it still runs at the
    deadline."""
    started = time.monotonic()
    while time.monotonic() - started < timeout:
        if proc.poll() is not None:
            return time.monotonic() - started
        time.sleep(step)
    return time.monotonic() - started if proc.poll() is not None else None


def server_process(session):
    """The session's Xvfb process, for the cases that take the server away
    under the running program (the session's teardown copes with a dead
    server)."""
    return session._xvfb

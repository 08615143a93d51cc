"""Runs the program on a private X server with a window manager and drives it.

Every case gets its own Xvfb (display number chosen by the server), its own
openbox with a fixed configuration, and its own HOME, XDG_RUNTIME_DIR and
TMPDIR, so cases can run in parallel without sharing the program's
single-instance lock or settings. Every wait has a deadline: a broken program
makes a case fail with a message, never hang.

A test file is a script:

    from harness import XSession, case, check, main

    @case
    def window_appears():
        with XSession() as s:
            app = s.start()
            s.wait_window("^Vantrel$", timeout=10)

    if __name__ == "__main__":
        main()

MainWindow knows where the controls and the drawing area of the program's
window are; reference_pictures() gives the stored test pictures to compare
screenshots with; DamageWatch counts and times the frames the program shows.

Standard library only; the X tools come from Debian (see tools/install-deps.sh),
and DamageWatch reaches libX11 and libXdamage through ctypes.
"""

import collections
import ctypes
import ctypes.util
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time
import traceback

# Openbox places windows that do not ask for a position at the top left, so a
# window that shows up centred was centred by the program, not by the window
# manager. Alt+F4 closes like a user would; clicks focus and raise.
_OPENBOX_RC = """<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus>
    <focusNew>yes</focusNew>
    <followMouse>no</followMouse>
  </focus>
  <placement>
    <policy>Smart</policy>
    <center>no</center>
  </placement>
  <desktops>
    <number>1</number>
  </desktops>
  <keyboard>
    <keybind key="A-F4">
      <action name="Close"/>
    </keybind>
  </keyboard>
  <mouse>
    <context name="Client">
      <mousebind button="Left" action="Press">
        <action name="Focus"/>
        <action name="Raise"/>
      </mousebind>
      <mousebind button="Right" action="Press">
        <action name="Focus"/>
        <action name="Raise"/>
      </mousebind>
    </context>
    <context name="Close">
      <mousebind button="Left" action="Click">
        <action name="Close"/>
      </mousebind>
    </context>
  </mouse>
</openbox_config>
"""

# Variables that would change how the program scales, which platform plugin
# it picks, or which desktop it thinks it runs on.
_SCRUBBED_ENV = (
    "WAYLAND_DISPLAY",
    "QT_SCALE_FACTOR",
    "QT_SCREEN_SCALE_FACTORS",
    "QT_AUTO_SCREEN_SCALE_FACTOR",
    "QT_ENABLE_HIGHDPI_SCALING",
    "QT_FONT_DPI",
    "QT_STYLE_OVERRIDE",
    "QT_QPA_PLATFORMTHEME",
    "XDG_CURRENT_DESKTOP",
    "XDG_SESSION_TYPE",
    "DESKTOP_SESSION",
    "SESSION_MANAGER",
    "DBUS_SESSION_BUS_ADDRESS",
    "XAUTHORITY",
)

_POLL = 0.05  # seconds between two looks while waiting

_current_case = None  # name of the running case, used for failure folders



_prctl = ctypes.CDLL(None, use_errno=True).prctl  # resolved here, never in a forked child
_PR_SET_PDEATHSIG = 1


def die_with_parent():
    """Runs in each child before exec: when the test process dies (a CTest time-out, a
    kill), the kernel ends the child too, so no Xvfb or program is left behind."""
    _prctl(_PR_SET_PDEATHSIG, int(signal.SIGTERM))


class Failure(AssertionError):
    """A check failed; the message says what was expected and what was seen."""


class Timeout(Failure):
    """Something awaited did not happen before its deadline."""


# ---------------------------------------------------------------- checks


def check(condition, message):
    if not condition:
        raise Failure(message)


def check_equal(actual, expected, what):
    if actual != expected:
        raise Failure(f"{what}: expected {expected!r}, got {actual!r}")


def check_near(actual, expected, tolerance, what):
    if abs(actual - expected) > tolerance:
        raise Failure(f"{what}: expected {expected} (+-{tolerance}), got {actual}")


def check_pixels(session, shown, expected, what):
    """Fails unless two pictures are equal pixel for pixel, naming the first
    differing pixels; both are kept with the failed case's artifacts."""
    if shown == expected:
        return
    samples, count = shown.differences(expected)
    name = re.sub(r"\W+", "_", what)
    session.save_pixels(shown, f"{name}-shown")
    session.save_pixels(expected, f"{name}-expected")
    raise Failure(f"{what}: {count} pixels differ, e.g. {'; '.join(samples)}")


def wait_until(predicate, timeout, what):
    """Polls predicate until it returns something truthy and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise Timeout(f"timed out after {timeout} s waiting for {what}")
        time.sleep(_POLL)


# ---------------------------------------------------------------- runner

_CASES = []


def case(fn):
    """Registers a test case; cases run in the order they are defined."""
    _CASES.append(fn)
    return fn


def main(argv=None):
    """Runs the registered cases (or those named on the command line), prints
    one line per case and 'N passed, N failed' last, and exits non-zero when
    any case failed."""
    global _current_case
    names = sys.argv[1:] if argv is None else argv
    unknown = [n for n in names if n not in {fn.__name__ for fn in _CASES}]
    if unknown:
        print(f"unknown case(s): {', '.join(unknown)}")
        print("0 passed, 1 failed")
        sys.exit(2)
    selected = [fn for fn in _CASES if not names or fn.__name__ in names]
    passed = 0
    failed = 0
    for fn in selected:
        _current_case = fn.__name__
        started = time.monotonic()
        try:
            fn()
        except Failure as e:
            failed += 1
            print(f"FAIL {fn.__name__} ({time.monotonic() - started:.1f} s): {e}", flush=True)
        except Exception:  # an error in the test or the harness counts as a failure
            failed += 1
            print(f"FAIL {fn.__name__} ({time.monotonic() - started:.1f} s): error", flush=True)
            traceback.print_exc(file=sys.stdout)
        else:
            passed += 1
            print(f"PASS {fn.__name__} ({time.monotonic() - started:.1f} s)", flush=True)
        finally:
            _current_case = None
    print(f"{passed} passed, {failed} failed", flush=True)
    sys.exit(1 if failed else 0)


# ---------------------------------------------------------------- values

class Geometry(collections.namedtuple("Geometry", "x y width height left right top bottom")):
    """Client window in root coordinates plus the frame the window manager
    draws around it (left/right/top/bottom border widths)."""

    @property
    def outer_x(self):
        return self.x - self.left

    @property
    def outer_y(self):
        return self.y - self.top

    @property
    def outer_width(self):
        return self.width + self.left + self.right

    @property
    def outer_height(self):
        return self.height + self.top + self.bottom


Rect = collections.namedtuple("Rect", "x y width height")


class Pixels:
    """An RGB picture of the screen: .at(x, y) -> (r, g, b), each 0..255.
    Pixels grabbed from the screen carry .taken, the monotonic time halfway
    through the grab, and .taken_within, how long the grab took (seconds)."""

    def __init__(self, width, height, data):
        self.width = width
        self.height = height
        self._data = bytes(data)
        self.taken = None
        self.taken_within = None

    def __eq__(self, other):
        if not isinstance(other, Pixels):
            return NotImplemented
        return (self.width, self.height, self._data) == (other.width, other.height, other._data)

    def crop(self, x, y, width, height):
        """The part from (x, y) on, width x height, which must lie inside."""
        inside = 0 <= x and 0 <= y and 0 <= width and 0 <= height
        if not inside or x + width > self.width or y + height > self.height:
            raise IndexError(f"{width}x{height}+{x}+{y} is not inside {self.width}x{self.height}")
        rows = [
            self._data[((y + r) * self.width + x) * 3 : ((y + r) * self.width + x + width) * 3]
            for r in range(height)
        ]
        part = Pixels(width, height, b"".join(rows))
        part.taken = self.taken
        part.taken_within = self.taken_within
        return part

    def row(self, y):
        """Row y as a list of (r, g, b)."""
        return [self.at(x, y) for x in range(self.width)]

    def differences(self, other, limit=5):
        """Up to limit pixels where two pictures of equal size differ, as
        'x,y: (r, g, b) != (r, g, b)' texts, and how many differ in all."""
        if (self.width, self.height) != (other.width, other.height):
            raise ValueError(
                f"sizes differ: {self.width}x{self.height} and {other.width}x{other.height}"
            )
        found = []
        count = 0
        if self._data == other._data:
            return found, count
        for y in range(self.height):
            start = y * self.width * 3
            end = start + self.width * 3
            if self._data[start:end] == other._data[start:end]:
                continue
            for x in range(self.width):
                if self.at(x, y) != other.at(x, y):
                    count += 1
                    if len(found) < limit:
                        found.append(f"{x},{y}: {self.at(x, y)} != {other.at(x, y)}")
        return found, count

    def to_ppm(self):
        return b"P6\n%d %d\n255\n" % (self.width, self.height) + self._data

    @staticmethod
    def from_xwd(blob):
        """Parses an xwd dump of a 24- or 32-bit TrueColor screen directly
        (much faster than a converter); None for any other layout."""
        if len(blob) < 100:
            return None
        head = struct.unpack(">25I", blob[:100])
        header_size, version, fmt = head[0:3]
        width, height = head[4], head[5]
        byte_order = head[7]
        bits_per_pixel, bytes_per_line, visual_class = head[11:14]
        masks = head[14:17]
        ncolors = head[19]
        if (version, fmt) != (7, 2) or visual_class not in (4, 5):
            return None
        if masks != (0xFF0000, 0x00FF00, 0x0000FF):
            return None
        # Least significant byte first: B, G, R (, pad); otherwise (pad,) R, G, B.
        # With windows of several visuals on the screen (the drawing area's
        # OpenGL window) xwd stores 3 bytes a pixel in rows of bytes_per_line.
        if bits_per_pixel == 32:
            size = 4
            offsets = (2, 1, 0) if byte_order == 0 else (1, 2, 3)
        elif bits_per_pixel == 24:
            size = 3
            offsets = (2, 1, 0) if byte_order == 0 else (0, 1, 2)
        else:
            return None
        start = header_size + 12 * ncolors
        raw = blob[start : start + bytes_per_line * height]
        if len(raw) != bytes_per_line * height:
            raise ValueError("xwd data cut short")
        used = size * width
        if bytes_per_line != used:
            starts = range(0, bytes_per_line * height, bytes_per_line)
            raw = b"".join(raw[r : r + used] for r in starts)
        data = bytearray(3 * width * height)
        for channel, offset in enumerate(offsets):
            data[channel::3] = raw[offset::size]
        return Pixels(width, height, data)

    def at(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"pixel ({x}, {y}) outside {self.width}x{self.height}")
        i = (y * self.width + x) * 3
        return tuple(self._data[i : i + 3])

    @staticmethod
    def from_ppm(blob):
        """Parses binary PPM (P6); 16-bit samples are scaled down to 8 bits."""
        fields = []
        pos = 0
        while len(fields) < 4:
            while pos < len(blob) and blob[pos : pos + 1].isspace():
                pos += 1
            if blob[pos : pos + 1] == b"#":
                pos = blob.index(b"\n", pos) + 1
                continue
            start = pos
            while pos < len(blob) and not blob[pos : pos + 1].isspace():
                pos += 1
            fields.append(blob[start:pos])
        pos += 1  # the single whitespace byte that ends the header
        if fields[0] != b"P6":
            raise ValueError(f"not a binary PPM: {fields[0]!r}")
        width, height, maxval = (int(f) for f in fields[1:])
        count = width * height * 3
        if maxval < 256:
            data = blob[pos : pos + count]
            if maxval != 255:
                data = bytes(v * 255 // maxval for v in data)
        else:
            raw = blob[pos : pos + 2 * count]
            data = bytes(
                ((raw[2 * i] << 8 | raw[2 * i + 1]) * 255 + maxval // 2) // maxval
                for i in range(count)
            )
        if len(data) != count:
            raise ValueError("PPM data cut short")
        return Pixels(width, height, data)


class App:
    """One started copy of the program."""

    def __init__(self, proc, out_path, args):
        self.proc = proc
        self.args = args
        self._out_path = out_path

    @property
    def pid(self):
        return self.proc.pid

    def running(self):
        return self.proc.poll() is None

    def output(self):
        """Everything the program wrote to stdout and stderr so far."""
        try:
            with open(self._out_path, errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def describe_exit(self):
        tail = self.output().strip().splitlines()[-15:]
        text = "\n    ".join(tail) if tail else "(no output)"
        return f"pid {self.pid} exited with code {self.proc.returncode}; output:\n    {text}"


# ---------------------------------------------------------------- session


def _kill_group(proc, grace):
    """SIGTERM to the process group, SIGKILL after grace seconds."""
    if proc is None:
        return
    for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, 5)):
        if proc.poll() is not None:
            break
        try:
            os.killpg(proc.pid, sig)
        except ProcessLookupError:
            break
        try:
            proc.wait(timeout=wait)
        except subprocess.TimeoutExpired:
            continue
    # Children left behind in the group after the leader died.
    try:
        os.killpg(proc.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass


class XSession:
    """A private X server with openbox, torn down on exit.

    with XSession(depth=24, width=1280, height=1024) as s:
        app = s.start()
        wid = s.wait_window("^Vantrel$", timeout=10)
    """

    def __init__(self, depth=24, width=1280, height=1024, name=None):
        self.depth = depth
        self.width = width
        self.height = height
        self.name = name or _current_case or "session"
        self.display = None
        self.apps = []
        self._xvfb = None
        self._wm = None
        self._root = None
        self._shots = []

    # ------------------------------------------------------------ lifecycle

    def __enter__(self):
        try:
            self._setup()
        except BaseException:
            self._teardown(failed=True)
            raise
        return self

    def __exit__(self, exc_type, exc, tb):
        self._teardown(failed=exc_type is not None)
        return False

    def _setup(self):
        self._root = tempfile.mkdtemp(prefix="vantrel-e2e-")
        dirs = {}
        for sub in ("home", "runtime", "config", "cache", "data", "tmp", "logs"):
            dirs[sub] = os.path.join(self._root, sub)
            os.mkdir(dirs[sub], 0o700)
        os.chmod(dirs["runtime"], 0o700)  # mkdir's mode is masked by umask
        self._dirs = dirs

        base = {k: v for k, v in os.environ.items() if k not in _SCRUBBED_ENV}
        base.update(
            HOME=dirs["home"],
            XDG_RUNTIME_DIR=dirs["runtime"],
            XDG_CONFIG_HOME=dirs["config"],
            XDG_CACHE_HOME=dirs["cache"],
            XDG_DATA_HOME=dirs["data"],
            TMPDIR=dirs["tmp"],
            LC_ALL="C.UTF-8",
        )
        self._base_env = base
        self._start_xvfb()
        self.env = dict(base, DISPLAY=self.display)
        self._start_wm()

    def _start_xvfb(self):
        read_fd, write_fd = os.pipe()
        log = open(os.path.join(self._dirs["logs"], "Xvfb.log"), "wb")
        try:
            self._xvfb = subprocess.Popen(
                [
                    "Xvfb",
                    "-displayfd", str(write_fd),
                    "-screen", "0", f"{self.width}x{self.height}x{self.depth}",
                    "-dpi", "96",
                    "-nolisten", "tcp",
                    "-noreset",
                ],
                pass_fds=(write_fd,),
                stdin=subprocess.DEVNULL,
                stdout=log,
                stderr=subprocess.STDOUT,
                env=self._base_env,
                start_new_session=True,
                preexec_fn=die_with_parent,
            )
        finally:
            os.close(write_fd)
            log.close()
        # The server writes its display number once it accepts connections.
        text = b""
        deadline = time.monotonic() + 15
        try:
            while not text.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or self._xvfb.poll() is not None:
                    raise Failure("Xvfb did not start: " + self._log_tail("Xvfb.log"))
                ready, _, _ = select.select([read_fd], [], [], left)
                if ready:
                    chunk = os.read(read_fd, 64)
                    if not chunk:
                        raise Failure("Xvfb closed -displayfd: " + self._log_tail("Xvfb.log"))
                    text += chunk
        finally:
            os.close(read_fd)
        self.display = ":" + text.decode().strip()

    def _start_wm(self):
        rc = os.path.join(self._dirs["config"], "openbox-rc.xml")
        with open(rc, "w") as f:
            f.write(_OPENBOX_RC)
        log = open(os.path.join(self._dirs["logs"], "openbox.log"), "wb")
        try:
            self._wm = subprocess.Popen(
                ["openbox", "--sm-disable", "--config-file", rc],
                stdin=subprocess.DEVNULL,
                stdout=log,
                stderr=subprocess.STDOUT,
                env=self.env,
                start_new_session=True,
                preexec_fn=die_with_parent,
            )
        finally:
            log.close()

        def wm_ready():
            if self._wm.poll() is not None:
                raise Failure("openbox exited: " + self._log_tail("openbox.log"))
            out = self._run(["xprop", "-root", "-notype", "_NET_SUPPORTING_WM_CHECK"], check=False)
            return "window id #" in out

        wait_until(wm_ready, 10, "openbox to manage the screen")

    def _teardown(self, failed):
        if failed and self._xvfb is not None and self._xvfb.poll() is None:
            self._keep_artifacts()
        for app in self.apps:
            _kill_group(app.proc, grace=1)
        _kill_group(self._wm, grace=2)
        _kill_group(self._xvfb, grace=3)
        if self._root:
            shutil.rmtree(self._root, ignore_errors=True)

    def _keep_artifacts(self):
        """Saves a screenshot, the window tree and all logs of a failed case."""
        root = os.environ.get("VANTREL_E2E_ARTIFACTS") or os.path.join(
            tempfile.gettempdir(), "vantrel-e2e-failures"
        )
        stamp = time.strftime("%Y%m%d-%H%M%S")
        folder = os.path.join(root, f"{self.name}-{stamp}-{os.getpid()}")
        try:
            os.makedirs(folder, exist_ok=True)
            try:
                self._grab(os.path.join(folder, "screen.png"))
            except Exception as e:  # the screenshot is a help, not the verdict
                print(f"  (no failure screenshot: {e})")
            tree = self._run(["xwininfo", "-root", "-tree"], check=False)
            with open(os.path.join(folder, "windows.txt"), "w") as f:
                f.write(tree)
            for i, app in enumerate(self.apps):
                with open(os.path.join(folder, f"app{i}-pid{app.pid}.log"), "w") as f:
                    f.write(f"args: {app.args}\nexit: {app.proc.poll()}\n\n{app.output()}")
            for log in os.listdir(self._dirs["logs"]):
                if log.startswith("app"):
                    continue  # written above with the arguments and exit code
                shutil.copy(os.path.join(self._dirs["logs"], log), folder)
            for shot in self._shots:
                if os.path.exists(shot):
                    shutil.copy(shot, folder)
            print(f"  failure artifacts of {self.name}: {folder}", flush=True)
        except OSError as e:
            print(f"  could not keep failure artifacts in {folder}: {e}", flush=True)

    def _log_tail(self, name):
        try:
            with open(os.path.join(self._dirs["logs"], name), errors="replace") as f:
                return " | ".join(f.read().strip().splitlines()[-10:]) or "(empty log)"
        except OSError:
            return "(no log)"

    def make_dir(self, name):
        """A new empty directory of this session (removed with it)."""
        path = os.path.join(self._root, "work", name)
        os.makedirs(path)
        return path

    # ------------------------------------------------------------ tools

    def _run(self, cmd, timeout=10, check=True, binary=False, input=None):
        """Runs an X tool against this display and returns its stdout."""
        try:
            done = subprocess.run(
                cmd,
                env=self.env,
                input=input,
                stdout=subprocess.PIPE,
                stderr=subprocess.PIPE,
                timeout=timeout,
            )
        except subprocess.TimeoutExpired:
            raise Failure(f"{' '.join(cmd)} did not finish within {timeout} s")
        if check and done.returncode != 0:
            err = done.stderr.decode(errors="replace").strip()
            raise Failure(f"{' '.join(cmd)} failed ({done.returncode}): {err}")
        return done.stdout if binary else done.stdout.decode(errors="replace")

    # ------------------------------------------------------------ program

    def start(self, args=(), env_extra=None, cwd=None):
        """Starts the program (VANTREL_BIN) on this display."""
        program = os.environ.get("VANTREL_BIN")
        check(program, "VANTREL_BIN is not set")
        check(os.access(program, os.X_OK), f"VANTREL_BIN={program} is not an executable file")
        env = dict(self.env)
        env.update(env_extra or {})
        out_path = os.path.join(self._dirs["logs"], f"app{len(self.apps)}.log")
        with open(out_path, "wb") as out:
            proc = subprocess.Popen(
                [program, *args],
                stdin=subprocess.DEVNULL,
                stdout=out,
                stderr=subprocess.STDOUT,
                env=env,
                cwd=cwd or self._dirs["home"],
                start_new_session=True,
                preexec_fn=die_with_parent,
            )
        app = App(proc, out_path, list(args))
        self.apps.append(app)
        return app

    def wait_exit(self, app, timeout):
        """Waits for the program to end and returns its exit code."""
        proc = app.proc if isinstance(app, App) else app
        try:
            return proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"pid {proc.pid} still running {timeout} s later")

    # ------------------------------------------------------------ windows

    def windows(self, name_regex=None, pid=None, visible=True):
        """Window ids whose title matches name_regex (Python re.search, case
        sensitive) and, if given, whose _NET_WM_PID is pid. Visible windows are
        the top-level ones that the window manager manages: Qt gives native
        child windows (the drawing area) the program's pid and at times its
        title, and they must not pass for a window of their own."""
        cmd = ["xdotool", "search"]
        if visible:
            cmd.append("--onlyvisible")
        if pid is not None:
            cmd += ["--pid", str(pid)]
        if name_regex is not None:
            cmd += ["--name", name_regex]
        elif pid is None:
            cmd += ["--name", "."]
        out = self._run(cmd, check=False)  # exits 1 when nothing matches
        ids = [int(line) for line in out.split() if line.isdigit()]
        if visible:
            ids = [w for w in ids if self._managed(w)]
        if name_regex is None:
            return ids
        # xdotool matches case-insensitively; the title must match exactly.
        pattern = re.compile(name_regex)
        return [w for w in ids if pattern.search(self.window_name(w))]

    def wait_window(self, name_regex, timeout=10, pid=None, visible=True):
        """Waits for a window whose title matches and returns its id. Fails at
        once when the program it belongs to has exited."""

        def look():
            found = self.windows(name_regex, pid=pid, visible=visible)
            if found:
                return found[0]
            watched = [a for a in self.apps if pid is None or a.pid == pid]
            if watched and all(not a.running() for a in watched):
                raise Failure(
                    f"no window {name_regex!r}: program ended before showing it; "
                    + watched[-1].describe_exit()
                )
            return None

        try:
            return wait_until(look, timeout, f"a window named {name_regex!r}")
        except Timeout as e:
            names = [self.window_name(w) for w in self.windows()]
            raise Timeout(f"{e}; visible windows: {names}") from None

    def wait_no_window(self, name_regex, timeout=5, pid=None):
        wait_until(
            lambda: not self.windows(name_regex, pid=pid),
            timeout,
            f"windows named {name_regex!r} to go away",
        )

    def popups(self, pid):
        """Visible override-redirect windows of the program (menus, tool
        tips): its windows that sit directly on the root window, where the
        window manager does not reparent them."""
        out = self._run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], check=False)
        found = []
        for w in (int(line) for line in out.split() if line.isdigit()):
            tree = self._run(["xwininfo", "-tree", "-id", str(w)], check=False)
            if re.search(r"^\s*Parent window id: .*\(the root window\)", tree, re.M):
                found.append(w)
        return found

    def _managed(self, wid):
        # The window manager puts WM_STATE on every client window it manages.
        out = self._run(["xprop", "-id", str(wid), "-notype", "WM_STATE"], check=False)
        return "window state:" in out

    def children(self, wid):
        """All windows inside wid (children, grandchildren, ...) as
        {id: Rect} with x and y in root coordinates."""
        tree = self._run(["xwininfo", "-tree", "-id", str(wid)])
        found = {}
        for m in re.finditer(
            r"^\s*(0x[0-9a-fA-F]+)\s.*?\s(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)\s*$",
            tree,
            re.M,
        ):
            w, h, x, y = (int(v) for v in m.group(2, 3, 4, 5))
            found[int(m.group(1), 16)] = Rect(x, y, w, h)
        return found

    def window_name(self, wid):
        return self._run(["xdotool", "getwindowname", str(wid)], check=False).rstrip("\n")

    def window_pid(self, wid):
        out = self._run(["xdotool", "getwindowpid", str(wid)], check=False).strip()
        return int(out) if out.isdigit() else None

    def window_types(self, wid):
        """_NET_WM_WINDOW_TYPE atoms, e.g. ['_NET_WM_WINDOW_TYPE_DIALOG']."""
        out = self._run(["xprop", "-id", str(wid), "-notype", "_NET_WM_WINDOW_TYPE"], check=False)
        if "=" not in out:
            return []
        return [a.strip() for a in out.split("=", 1)[1].split(",")]

    def geometry(self, wid):
        """Position and size of the client area in root coordinates, plus the
        frame the window manager put around it."""
        info = self._run(["xwininfo", "-id", str(wid)])

        def field(label):
            m = re.search(rf"^\s*{label}:\s*(-?\d+)", info, re.M)
            if not m:
                raise Failure(f"xwininfo for {wid} lacks {label!r}")
            return int(m.group(1))

        extents = self._run(
            ["xprop", "-id", str(wid), "-notype", "_NET_FRAME_EXTENTS"], check=False
        )
        frame = [0, 0, 0, 0]
        if "=" in extents:
            frame = [int(v) for v in extents.split("=", 1)[1].split(",")]
        return Geometry(
            field("Absolute upper-left X"),
            field("Absolute upper-left Y"),
            field("Width"),
            field("Height"),
            *frame,
        )

    def wait_geometry_stable(self, wid, timeout=5, quiet=0.3):
        """Returns the geometry once it has not changed for `quiet` seconds
        (programs and window managers often move or resize right after
        mapping)."""
        deadline = time.monotonic() + timeout
        last = self.geometry(wid)
        since = time.monotonic()
        while time.monotonic() < deadline:
            time.sleep(_POLL)
            now = self.geometry(wid)
            if now != last:
                last = now
                since = time.monotonic()
            elif time.monotonic() - since >= quiet:
                return now
        raise Failure(f"window {wid} kept moving or resizing for {timeout} s; last {last}")

    def active_window(self):
        out = self._run(["xdotool", "getactivewindow"], check=False).strip()
        return int(out) if out.isdigit() else None

    def activate(self, wid, timeout=5):
        """Asks the window manager to focus wid and waits until it has."""
        self._run(["xdotool", "windowactivate", str(wid)], check=False)
        wait_until(lambda: self.active_window() == wid, timeout, f"window {wid} to become active")

    # ------------------------------------------------------------ input
    # Input goes through XTEST like a real keyboard and mouse, so the window
    # manager's shortcuts (alt+F4) work and the program cannot tell it apart.

    def key(self, *keys, wid=None):
        """Presses key combinations such as 'Return' or 'alt+F4'; with wid,
        that window is activated first."""
        if wid is not None:
            self.activate(wid)
        self._run(["xdotool", "key", "--delay", "40", *keys])

    def type(self, text):
        self._run(["xdotool", "type", "--delay", "30", "--", text], timeout=30)

    def move_mouse(self, x, y):
        # Not xdotool's --sync: it waits forever when the pointer is already there.
        self._run(["xdotool", "mousemove", str(x), str(y)])
        wait_until(
            lambda: self.mouse_location() == (x, y), 2, f"the pointer to reach ({x}, {y})"
        )

    def mouse_location(self):
        out = self._run(["xdotool", "getmouselocation", "--shell"])
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"])

    def click(self, x, y, button=1, repeat=1):
        """Clicks at absolute root coordinates; repeat=2 is a double click."""
        self.move_mouse(x, y)
        self._run(["xdotool", "click", "--repeat", str(repeat), "--delay", "80", str(button)])

    def selection(self, which="clipboard"):
        """Text of the CLIPBOARD (or PRIMARY) selection, '' when nobody owns it."""
        return self._run(["xclip", "-o", "-selection", which], timeout=5, check=False)

    def text_at(self, x, y):
        """Text of the paragraph under (x, y) in a label that can be selected
        with the mouse (message boxes): a triple click selects it, and X11
        puts a mouse selection on PRIMARY."""
        self.click(x, y, repeat=3)
        try:
            return wait_until(lambda: self.selection("primary"), 2, "a selection")
        except Timeout:
            return ""

    # ------------------------------------------------------------ pictures


    def message_text(self, wid):
        """Text of a message box: a triple click on its dark writing (right of
        the icon, in the upper half) selects the paragraph onto PRIMARY. Tries a
        few points, since one may fall between two words."""
        g = self.geometry(wid)
        pixels = self.pixels()
        ink = [
            (x, y)
            for y in range(g.y, g.y + g.height // 2)
            for x in range(g.x + g.width // 4, g.x + g.width)
            if sum(pixels.at(x, y)) < 3 * 80
        ]
        check(ink, f"no writing found in the message box at {g}")
        for x, y in (ink[len(ink) // 2], ink[len(ink) // 4], ink[3 * len(ink) // 4]):
            text = self.text_at(x, y)
            if text:
                return text
        return ""

    def screenshot(self, path, wid=None):
        """Saves the screen as PNG; with wid, only that window and its frame.
        Screenshots of a failed case are copied to its failure folder."""
        self._grab(path, wid)
        self._shots.append(os.path.abspath(path))
        return path

    def _grab(self, path, wid=None):
        cmd = ["import", "-silent", "-window", "root"]
        if wid is not None:
            g = self.geometry(wid)
            cmd += ["-crop", f"{g.outer_width}x{g.outer_height}+{g.outer_x}+{g.outer_y}", "+repage"]
        self._run(cmd + [path], timeout=30)

    def pixels(self, wid=None):
        """Reads the whole screen back as RGB; with wid, only what is shown
        inside that window (pixel (0, 0) is its top-left corner, overlapping
        windows included). .taken tells when (see Pixels)."""
        target = ["-root"] if wid is None else ["-id", str(wid)]
        started = time.monotonic()
        xwd = self._run(["xwd", *target, "-silent"], timeout=30, binary=True)
        ended = time.monotonic()
        pixels = Pixels.from_xwd(xwd)
        if pixels is None:
            ppm = self._run(
                ["convert", "xwd:-", "-depth", "8", "ppm:-"], timeout=30, binary=True, input=xwd
            )
            pixels = Pixels.from_ppm(ppm)
        pixels.taken = (started + ended) / 2
        pixels.taken_within = ended - started
        return pixels

    def save_pixels(self, pixels, name):
        """Writes pixels as NAME.ppm next to the session's logs, which a failed
        case keeps in its failure folder; returns the path."""
        path = os.path.join(self._dirs["logs"], f"{name}.ppm")
        with open(path, "wb") as f:
            f.write(pixels.to_ppm())
        return path


# ---------------------------------------------------------------- the program's window

_PICTURE_NAMES = ("Laufschrift", "Scala", "Muster", "Kontrastbild")
_pictures = None


def reference_pictures():
    """The four stored test pictures, {name: Pixels}, as the program's own
    code makes them (written by the tool named in VANTREL_DUMP_PICTURES).
    Transparent pictures come with black where they let the background
    through."""
    global _pictures
    if _pictures is None:
        tool = os.environ.get("VANTREL_DUMP_PICTURES")
        check(tool, "VANTREL_DUMP_PICTURES is not set")
        check(os.access(tool, os.X_OK), f"VANTREL_DUMP_PICTURES={tool} is not an executable file")
        with tempfile.TemporaryDirectory(prefix="vantrel-pictures-") as folder:
            done = subprocess.run([tool, folder], capture_output=True, timeout=30)
            check(done.returncode == 0, f"{tool} failed: {done.stderr.decode(errors='replace')}")
            pictures = {}
            for name in _PICTURE_NAMES:
                with open(os.path.join(folder, f"{name}.ppm"), "rb") as f:
                    pictures[name] = Pixels.from_ppm(f.read())
        _pictures = pictures
    return _pictures


class MainWindow:
    """The program's main window on a session: positions of its controls in
    client coordinates (below the menu bar, as the layout gives them) and
    looks at its drawing area, the 640 x 480 native child window."""

    AREA_WIDTH = 640  # pixels
    AREA_HEIGHT = 480  # pixels
    AREA_LEFT = 16  # pixels, client coordinates
    AREA_TOP = 16  # pixels, client coordinates

    def __init__(self, session, app, timeout=10):
        self.session = session
        self.app = app
        self.wid = session.wait_window("^Vantrel$", timeout=timeout, pid=app.pid)
        self.geometry = session.wait_geometry_stable(self.wid)

        def area_window():
            found = [
                (w, r)
                for w, r in session.children(self.wid).items()
                if (r.width, r.height) == (self.AREA_WIDTH, self.AREA_HEIGHT)
            ]
            return found[0] if len(found) == 1 else None

        self.area_id, self.area = wait_until(
            area_window, timeout, "the 640x480 drawing area window"
        )
        self.menu_height = self.area.y - self.geometry.y - self.AREA_TOP
        check(
            self.area.x - self.geometry.x == self.AREA_LEFT,
            f"drawing area at x {self.area.x - self.geometry.x} of the client, "
            f"not {self.AREA_LEFT}",
        )

    def point(self, x, y):
        """Root coordinates of the client point (x, y)."""
        return self.geometry.x + x, self.geometry.y + self.menu_height + y

    def click(self, x, y, **kwargs):
        """Clicks the client point (x, y)."""
        self.session.click(*self.point(x, y), **kwargs)

    def click_centre(self, left, top, width, height):
        """Clicks the middle of a control given by its client rectangle."""
        self.click(left + width // 2, top + height // 2)

    def pixels(self):
        """The window's client area, menu bar included, as shown now; the
        client point (x, y) is at (x, y + menu_height)."""
        return self.session.pixels(self.wid)

    def client_pixels(self, left, top, width, height):
        """A client rectangle of the window as shown now."""
        return self.pixels().crop(left, top + self.menu_height, width, height)

    def area_pixels(self):
        """The drawing area as shown now, 640 x 480, (0, 0) at its top left."""
        return self.session.pixels(self.area_id)


# ---------------------------------------------------------------- changes on the screen


class DamageWatch:
    """Notes every change the X server makes to some windows (XDamage): each
    present of the drawing area is one change of its whole rectangle, each
    repaint of a widget a change of the widget's rectangle. So the frames can
    be counted and timed, which a screenshot cannot do.

    with DamageWatch(s, [win.area_id, win.wid]) as watch:
        ...
        frames = watch.changes(win.area_id)  # [(monotonic time, Rect)]

    A helper process listens, because Xlib ends the process whose display
    connection breaks, as it does when the session ends."""

    def __init__(self, session, wids):
        self.session = session
        self.wids = list(wids)
        self._changes = {w: [] for w in self.wids}
        self._lock = threading.Lock()
        self._proc = None
        self._reader = None

    def __enter__(self):
        self._proc = subprocess.Popen(
            [sys.executable, os.path.abspath(__file__), "--watch-damage", *map(str, self.wids)],
            stdin=subprocess.DEVNULL,
            stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL,
            env=self.session.env,
            start_new_session=True,
            preexec_fn=die_with_parent,
        )
        first = self._proc.stdout.readline()
        if first.strip() != b"ready":
            _kill_group(self._proc, grace=1)
            raise Failure(f"the damage watcher did not start: {first!r}")
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()
        return self

    def __exit__(self, exc_type, exc, tb):
        _kill_group(self._proc, grace=1)
        self._reader.join(timeout=5)
        return False

    def _read(self):
        for line in self._proc.stdout:
            fields = line.split()
            if len(fields) != 7:
                continue
            wid = int(fields[0])
            received = float(fields[1])
            # The server's time stamp is the same monotonic clock in whole
            # milliseconds (32 bits); it is exact where reading may lag.
            stamp = int(fields[2])
            wraps = round((received * 1000 - stamp) / 2**32)
            change = ((stamp + wraps * 2**32) / 1000, Rect(*(int(v) for v in fields[3:])))
            with self._lock:
                self._changes[wid].append(change)

    def changes(self, wid):
        """(monotonic time, Rect) of each change of wid so far, oldest first;
        the rectangle is relative to the window."""
        with self._lock:
            return list(self._changes[wid])

    def wait_past(self, moment, timeout=10):
        """Waits until changes made after `moment` (monotonic) have come in:
        under load the news of changes lags behind them."""

        def latest():
            with self._lock:
                return max((c[-1][0] for c in self._changes.values() if c), default=None)

        wait_until(
            lambda: (latest() or 0) > moment,
            timeout,
            f"news of changes after {moment:.3f} (latest {latest()})",
        )


class _XDamageNotifyEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("drawable", ctypes.c_ulong),
        ("damage", ctypes.c_ulong),
        ("level", ctypes.c_int),
        ("more", ctypes.c_int),
        ("timestamp", ctypes.c_ulong),
        ("x", ctypes.c_short),
        ("y", ctypes.c_short),
        ("width", ctypes.c_ushort),
        ("height", ctypes.c_ushort),
        ("geometry", ctypes.c_short * 4),
    ]


def _watch_damage(wids):
    """The listening process of DamageWatch: prints 'ready', then one line
    'wid time server-time x y width height' per change until the display
    goes away."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    xdamage = ctypes.CDLL(ctypes.util.find_library("Xdamage") or "libXdamage.so.1")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
    x11.XPending.argtypes = [ctypes.c_void_p]
    xdamage.XDamageQueryExtension.argtypes = [
        ctypes.c_void_p,
        ctypes.POINTER(ctypes.c_int),
        ctypes.POINTER(ctypes.c_int),
    ]
    xdamage.XDamageCreate.restype = ctypes.c_ulong
    xdamage.XDamageCreate.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int]
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the display")
    event_base = ctypes.c_int()
    error_base = ctypes.c_int()
    if not xdamage.XDamageQueryExtension(
        display, ctypes.byref(event_base), ctypes.byref(error_base)
    ):
        sys.exit("no XDamage extension")
    report_raw_rectangles = 0
    for wid in wids:
        xdamage.XDamageCreate(display, wid, report_raw_rectangles)
    x11.XFlush(display)
    out = sys.stdout
    out.write("ready\n")
    out.flush()
    buffer = (ctypes.c_long * 24)()  # the size of an XEvent
    event = ctypes.cast(buffer, ctypes.POINTER(_XDamageNotifyEvent)).contents
    damage_notify = event_base.value  # XDamageNotify is the extension's first event
    while True:
        x11.XNextEvent(display, buffer)
        if event.type == damage_notify:
            out.write(
                f"{event.drawable} {time.monotonic():.6f} {event.timestamp} "
                f"{event.x} {event.y} {event.width} {event.height}\n"
            )
        if not x11.XPending(display):
            out.flush()  # in batches while events queue up, at once otherwise


if __name__ == "__main__" and sys.argv[1:2] == ["--watch-damage"]:
    _watch_damage([int(w) for w in sys.argv[2:]])

"""The program under hostile conditions: bad text in the spin boxes, many
copies started at once, a planted lock file link, no usable runtime
directory, the X server dying under it and no OpenGL."""

import os
import signal
import time

from harness import XSession, case, check, check_equal, main, wait_until, Timeout
import robust_util as ru
from robust_util import TITLE

# ---------------------------------------------------------------- bad input
#
# A spin box takes its text as its value as soon as the text is a whole number
# in range, so typing goes through every prefix: '7 ' typed is 7, pasted it is
# nothing. Pasting replaces the text in one edit. The value is read back by
# stepping up once (the box rewrites its text from value + step) and copying
# the text; before that the text must still read as it was entered.
#
# Rows: (name, how, text, value expected afterwards or None for the base).

SPEED_ROWS = [
    ("letters are ignored", "type", "abc", None),
    ("erased text keeps the value", "erase", "", None),
    ("a lone minus keeps the value", "type", "-", None),
    ("a plus sign is not a number", "type", "+7", None),
    ("a leading space is not a number", "type", " 7", None),
    ("'7 ' typed keeps the 7 taken before the space", "type", "7 ", 7),
    ("'0x10': 0 is below the minimum, then no number", "type", "0x10", None),
    ("'1e3' keeps the 1 taken before the e", "type", "1e3", 1),
    ("'32768' typed keeps 327, the last prefix in range", "type", "32768", 327),
    ("'-32769' typed is never in range", "type", "-32769", None),
    ("'7 ' pasted in one piece is not a number", "paste", "7 ", None),
    ("Arabic-Indic digit three is not a digit", "paste", "\u0663", None),
    ("fullwidth digit one is not a digit", "paste", "\uff11", None),
    ("10 000 digits are out of range", "paste", "9" * 10000, None),
    ("32768 is one past the 16-bit maximum", "paste", "32768", None),
    ("-32769 is one past the 16-bit minimum", "paste", "-32769", None),
    ("66036 would be 500 after a 16-bit wrap", "paste", "66036", None),
    ("4294967896 would be 600 after a 32-bit wrap", "paste", "4294967896", None),
    ("1501 is one above the maximum", "paste", "1501", None),
    ("1500 pasted is taken (the step stops at the maximum)", "paste", "1500", 1500),
]

COLOUR_ROWS = [
    ("letters are ignored", "type", "abc", None),
    ("erased text keeps the value", "erase", "", None),
    ("'256' typed keeps 25, the last prefix in range", "type", "256", 25),
    ("'-1' typed is below the minimum", "type", "-1", None),
    ("'0x10' keeps the 0 taken before the x", "type", "0x10", 0),
    ("Arabic-Indic digit three is not a digit", "paste", "\u0663", None),
    ("fullwidth digit one is not a digit", "paste", "\uff11", None),
    ("10 000 digits are out of range", "paste", "9" * 10000, None),
    ("32768 is out of range", "paste", "32768", None),
    ("-32769 is out of range", "paste", "-32769", None),
    ("256 is one above the maximum", "paste", "256", None),
    ("255 pasted is taken (the step stops at the maximum)", "paste", "255", 255),
]


def enter(s, win, area, how, text):
    if area is not None:
        win.click(area)
    s.key("ctrl+a")
    if how == "type":
        s.type(text)
    elif how == "erase":
        s.key("BackSpace")
    else:
        # xclip stays until the program takes the clipboard over, so the
        # paste cannot miss its text (see edit_text).
        ru.put_on_clipboard(s, text)
        s.key("ctrl+v")


def short(text):
    return text if len(text) <= 24 else f"{text[:10]}...({len(text)} characters)"


def bad_input_keeps_value(area, rows, bases, minimum, maximum, step):
    with XSession() as s:
        app = s.start()
        win = ru.Window(s, s.wait_window(TITLE, timeout=10, pid=app.pid))
        problems = []
        for (name, how, text, expected), base in zip(rows, bases):
            # A base of its own per row: no row can pass on the value the row
            # before left behind.
            enter(s, win, area, "type", str(base))
            enter(s, win, None, how, text)
            check(app.running(), f"{name}: the program ended: " + app.describe_exit())
            # The box keeps the focus from here on: reading it needs no click.
            shown = ru.edit_text(s)
            if shown != text:
                problems.append(f"{name}: text reads {short(shown)!r}, entered {short(text)!r}")
            s.key("Up")
            value = base if expected is None else expected
            want = str(max(minimum, min(maximum, value + step)))
            got = ru.edit_text(s)
            if got != want:
                problems.append(
                    f"{name}: after {short(text)!r} over {base} and one step up the box reads "
                    f"{short(got)!r}, expected {want}"
                )
        check(app.running(), "the program ended: " + app.describe_exit())
        check(not problems, "\n  " + "\n  ".join(problems))


@case
def speed_box_keeps_last_valid_value():
    bases = [100 + 10 * i for i in range(len(SPEED_ROWS))]
    bad_input_keeps_value(ru.SPEED_EDIT, SPEED_ROWS, bases, 1, 1500, ru.SPEED_STEP)


@case
def colour_box_keeps_last_valid_value():
    bases = [100 + 10 * i for i in range(len(COLOUR_ROWS))]
    bad_input_keeps_value(ru.BACKGROUND_RED_EDIT, COLOUR_ROWS, bases, 0, 255, ru.COLOUR_STEP)


# ---------------------------------------------------------------- single instance

COPIES = 20
SECOND_COPY_TIMEOUT = 10  # seconds for the copies that find the lock taken to end


def wait_all_but_one_ended(s, apps, timeout):
    """Waits until at most one of apps runs; returns (seconds, survivors)."""
    started = time.monotonic()
    try:
        wait_until(
            lambda: sum(a.running() for a in apps) <= 1, timeout, "all copies but one to end"
        )
    except Timeout:
        pass
    return time.monotonic() - started, [a for a in apps if a.running()]


@case
def twenty_copies_at_once_leave_one_window():
    with XSession() as s:
        apps = ru.start_copies(s, COPIES)
        took, running = wait_all_but_one_ended(s, apps, SECOND_COPY_TIMEOUT)
        ended = [a for a in apps if not a.running()]
        print(f"  {len(ended)} of {COPIES} copies ended within {took:.2f} s")
        check_equal(
            len(running), 1, f"copies still running {SECOND_COPY_TIMEOUT} s after the start"
        )
        codes = sorted(a.proc.returncode for a in ended)
        check_equal(codes, [0] * (COPIES - 1), "exit codes of the copies that ended")
        survivor = running[0]
        wid = s.wait_window(TITLE, timeout=10, pid=survivor.pid)
        check_equal(s.windows(TITLE), [wid], "windows named Vantrel")

        # The lock dies with the holder, however it ends.
        os.kill(survivor.pid, signal.SIGKILL)
        s.wait_exit(survivor, timeout=5)
        s.wait_no_window(TITLE, timeout=5)
        again = ru.start_copies(s, 1)[0]
        s.wait_window(TITLE, timeout=10, pid=again.pid)
        late = ru.start_copies(s, 1)[0]
        check_equal(s.wait_exit(late, timeout=SECOND_COPY_TIMEOUT), 0, "exit code of a later copy")
        check(again.running(), "the copy started after the kill ended: " + again.describe_exit())


def file_state(path):
    st = os.lstat(path)
    with open(path, "rb") as f:
        return f.read(), st.st_mtime_ns, st.st_size, st.st_mode


@case
def planted_lock_link_is_not_followed():
    """A link at the lock path must not make the program create, truncate or
    lock the file it points to; the program starts all the same."""
    problems = []
    for row in ("link to an existing file", "dangling link"):
        with XSession(name=f"lock-link-{row.split()[0]}") as s:
            runtime = s.env["XDG_RUNTIME_DIR"]
            target = os.path.join(s.env["TMPDIR"], "precious.txt")
            if row == "dangling link":
                before = None
            else:
                with open(target, "wb") as f:
                    f.write(b"keep me\n")
                os.utime(target, ns=(1_000_000_000_000_000_000, 1_000_000_000_000_000_000))
                before = file_state(target)
            link = ru.lock_path(runtime, s.display)
            os.symlink(target, link)

            app = s.start()
            s.wait_window(TITLE, timeout=10, pid=app.pid)
            time.sleep(0.5)  # past the lock and the first frames
            if not app.running():
                problems.append(f"{row}: program ended: {app.describe_exit()}")
            after = file_state(target) if os.path.lexists(target) else None
            if after != before:
                problems.append(f"{row}: target changed from {before!r} to {after!r}")
            if not os.path.islink(link) or os.readlink(link) != target:
                problems.append(f"{row}: the link at {link} was replaced")
    check(not problems, "\n  " + "\n  ".join(problems))


def fallback_lock(display):
    return ru.lock_path(f"/tmp/vantrel-{os.getuid()}", display)


@case
def unusable_runtime_dir_falls_back():
    """Without a usable XDG_RUNTIME_DIR the program still starts, and a second
    copy still ends at once because the lock moved to the private /tmp
    directory."""
    problems = []
    rows = [
        ("unset", None),
        ("a directory that does not exist", "/nonexistent/vantrel-runtime"),
        ("a regular file", "FILE"),
        ("a relative path", "runtime"),
        ("/proc (nothing can be created there, even by root)", "/proc"),
    ]
    for row, value in rows:
        with XSession(name="runtime-" + row.split()[0]) as s:
            env = dict(s.env)
            if value is None:
                del env["XDG_RUNTIME_DIR"]
            elif value == "FILE":
                path = os.path.join(s.env["TMPDIR"], "not-a-directory")
                open(path, "w").close()
                env["XDG_RUNTIME_DIR"] = path
            else:
                env["XDG_RUNTIME_DIR"] = value
            first = ru.start_copies(s, 1, env=env)[0]
            wid = s.wait_window(TITLE, timeout=10, pid=first.pid)
            second = ru.start_copies(s, 1, env=env)[0]
            ended = ru.wait_ended(second.proc, SECOND_COPY_TIMEOUT)
            lock = fallback_lock(s.display)
            if ended is None:
                problems.append(
                    f"XDG_RUNTIME_DIR {row}: a second copy still runs "
                    f"{SECOND_COPY_TIMEOUT} s later "
                    f"(windows named Vantrel: {len(s.windows(TITLE))}; {lock} "
                    f"{'exists' if os.path.exists(lock) else 'does not exist'})"
                )
            elif second.proc.returncode != 0:
                problems.append(f"XDG_RUNTIME_DIR {row}: second copy: {second.describe_exit()}")
            if not first.running():
                problems.append(f"XDG_RUNTIME_DIR {row}: first copy: {first.describe_exit()}")
            elif ended is not None and s.windows(TITLE) != [wid]:
                problems.append(
                    f"XDG_RUNTIME_DIR {row}: windows {s.windows(TITLE)}, expected [{wid}]"
                )
            # While this server lives its display number, and so this lock
            # file, is ours alone.
            for app in (first, second):
                if app.running():
                    os.kill(app.pid, signal.SIGKILL)
                    s.wait_exit(app, timeout=5)
            if os.path.isfile(lock) and not os.path.islink(lock):
                os.unlink(lock)
    check(not problems, "\n  " + "\n  ".join(problems))


# ---------------------------------------------------------------- X server gone

SERVER_GONE_TIMEOUT = 1  # seconds the program may take to notice


@case
def program_ends_when_x_server_dies():
    problems = []
    for sig in (signal.SIGKILL, signal.SIGTERM):
        with XSession(name=f"server-{sig.name}") as s:
            app = s.start()
            s.wait_window(TITLE, timeout=10, pid=app.pid)
            time.sleep(0.5)  # frames running
            server = ru.server_process(s)
            server.send_signal(sig)
            took = ru.wait_ended(app.proc, SERVER_GONE_TIMEOUT)
            if took is None:
                problems.append(
                    f"{sig.name} to Xvfb: program still runs {SERVER_GONE_TIMEOUT} s later"
                )
                continue
            print(
                f"  {sig.name} to Xvfb: program ended after {took:.3f} s "
                f"with code {app.proc.returncode}"
            )
            # Losing the display is a failure and is reported as one (code 1); what must
            # not happen is a hang or a crash by signal.
            if app.proc.returncode not in (0, 1):
                problems.append(f"{sig.name} to Xvfb: {app.describe_exit()}")
    check(not problems, "\n  " + "\n  ".join(problems))


# ---------------------------------------------------------------- no OpenGL

GL_ERROR_PREFIX = "Die Zeichenfläche konnte nicht eingerichtet werden"


def region_colours(pixels, win, area):
    colours = set()
    for y in range(win.y + area.top, win.y + area.top + area.height):
        for x in range(win.x + area.left, win.x + area.left + area.width):
            colours.add(pixels.at(x, y))
            if len(colours) > 4:
                return colours
    return colours


@case
def without_opengl_one_error_box_and_a_usable_window():
    with XSession() as s:
        app = s.start(env_extra={"QT_XCB_GL_INTEGRATION": "none", "VANTREL_FRAME_TRACE": "1"})
        s.wait_window(TITLE, timeout=10, pid=app.pid)

        def split():
            ids = s.windows(TITLE, pid=app.pid)
            boxes = [w for w in ids if "_NET_WM_WINDOW_TYPE_DIALOG" in s.window_types(w)]
            mains = [w for w in ids if w not in boxes]
            return mains, boxes

        wait_until(lambda: split()[1], 10, "the error box")
        time.sleep(1)  # room for a second box, which must not come
        mains, boxes = split()
        check_equal(len(mains), 1, "main windows")
        check_equal(len(boxes), 1, "error boxes")
        main_wid = mains[0]
        text = s.message_text(boxes[0])
        check(
            text.startswith(GL_ERROR_PREFIX) and "OpenGL" in text,
            f"error box text {text!r} does not say that the drawing area needs OpenGL",
        )
        s.key("Return", wid=boxes[0])
        wait_until(lambda: not split()[1], 5, "the error box to close")
        check(app.running(), "the program ended with the box: " + app.describe_exit())

        win = ru.Window(s, main_wid)
        # A different speed first, so that the preset is seen to set 600.
        enter(s, win, ru.SPEED_EDIT, "type", "300")
        win.click(ru.PRESETS[0])
        check(app.running(), "the program ended on a preset click: " + app.describe_exit())
        win.click(ru.SPEED_EDIT)
        s.key("Up")
        check_equal(ru.edit_text(s), "605", "speed after preset 1 and one step up")

        first = s.pixels()
        time.sleep(1)
        second = s.pixels()
        face = first.at(win.x + 4, win.y + 4)  # the plain window face left of the area
        for label, shot in (("at first", first), ("1 s later", second)):
            colours = region_colours(shot, win, ru.DRAWING_AREA)
            check_equal(colours, {face}, f"colours of the drawing area {label}")
        check("vantrel-trace" not in app.output(), "frames were reported without OpenGL")

        s.key("alt+F4", wid=main_wid)
        check_equal(s.wait_exit(app, timeout=5), 0, "exit code after alt+F4")


if __name__ == "__main__":
    main()

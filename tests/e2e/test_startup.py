"""Starting and ending the program: the main window, the single running copy,
the colour-depth warning and closing through the window manager."""

import os
import signal
import time

from harness import (
    XSession,
    case,
    check,
    check_equal,
    check_near,
    main,
)

TITLE = "^Vantrel$"
CLIENT_WIDTH = 912  # pixels
CLIENT_MIN_HEIGHT = 507  # pixels without the menu bar
CENTRE_TOLERANCE = 3  # pixels
DEPTH_WARNING = "Stellen Sie bitte die Desktop-Farbtiefe auf 24 oder 32Bit !"


@case
def main_window_appears_centred():
    with XSession(depth=24, width=1280, height=1024) as s:
        app = s.start()
        wid = s.wait_window(TITLE, timeout=10, pid=app.pid)
        g = s.wait_geometry_stable(wid)
        check_equal(g.width, CLIENT_WIDTH, "client width")
        check(g.height >= CLIENT_MIN_HEIGHT, f"client height {g.height} < {CLIENT_MIN_HEIGHT}")
        check_near(
            g.outer_x,
            (s.width - g.outer_width) // 2,
            CENTRE_TOLERANCE,
            f"left edge of the {g.outer_width} wide frame",
        )
        out = os.environ.get("VANTREL_SCREENSHOT_OUT")
        if out:
            time.sleep(0.5)  # let the first frames of the moving picture land
            s.screenshot(out, wid=wid)
            print(f"  screenshot written to {out}")


@case
def second_copy_ends_without_a_window():
    with XSession() as s:
        first = s.start()
        wid = s.wait_window(TITLE, timeout=10, pid=first.pid)
        second = s.start()
        deadline = time.monotonic() + 2  # seconds
        while second.running() and time.monotonic() < deadline:
            check_equal(s.windows(pid=second.pid), [], "windows of the second copy")
            check_equal(s.windows(TITLE), [wid], "windows named Vantrel")
            time.sleep(0.05)
        check_equal(s.wait_exit(second, timeout=max(0, deadline - time.monotonic())), 0,
                    "exit code of the second copy")
        check(first.running(), "the first copy ended when the second started: " + first.describe_exit())
        check_equal(s.windows(TITLE), [wid], "windows named Vantrel afterwards")


@case
def start_succeeds_after_killed_copy():
    with XSession() as s:
        first = s.start()
        s.wait_window(TITLE, timeout=10, pid=first.pid)
        os.kill(first.pid, signal.SIGKILL)
        s.wait_exit(first, timeout=5)
        s.wait_no_window(TITLE, timeout=5)
        again = s.start()
        s.wait_window(TITLE, timeout=10, pid=again.pid)
        check(again.running(), "the new copy ended: " + again.describe_exit())


@case
def shallow_colour_depth_is_refused():
    with XSession(depth=16) as s:
        app = s.start()
        box = s.wait_window(TITLE, timeout=10, pid=app.pid)
        check_equal(s.windows(pid=app.pid), [box], "visible windows of the program")
        check(
            "_NET_WM_WINDOW_TYPE_DIALOG" in s.window_types(box),
            f"the window is not a dialog: {s.window_types(box)}",
        )
        text = s.message_text(box)
        check_equal(text, DEPTH_WARNING, "message text")
        s.key("Return", wid=box)
        check_equal(s.wait_exit(app, timeout=5), 0, "exit code after confirming")


@case
def closing_the_window_ends_the_program():
    with XSession() as s:
        app = s.start()
        wid = s.wait_window(TITLE, timeout=10, pid=app.pid)
        s.key("alt+F4", wid=wid)
        check_equal(s.wait_exit(app, timeout=5), 0, "exit code")


if __name__ == "__main__":
    main()

"""Menu commands and the launches handed to the desktop: ending the program,
the about message, the gamma adjustment program and the maker's web page."""

import os
import shutil
import time

from harness import (
    MainWindow,
    XSession,
    case,
    check,
    check_equal,
    main,
    wait_until,
)

ABOUT_TITLE = "^Information$"
TAVORIN_BUTTON = (672, 96, 137, 33)  # client rectangle of "TAVORIN öffnen"
WEB_ADDRESS = "www.orlisk.example"
BLOCK_BAND = (40, 120)  # area rows of the blocks, first and past the last
QUIET = 1.0  # seconds in which nothing more may happen after a launch

# Stand-ins for what the desktop starts: they only note that they ran, with
# their arguments, one line per run.
RECORDER = """#!/bin/sh
printf '%s\\n' "$*" >> '{log}'
"""


def recorder(folder, name, log):
    path = os.path.join(folder, name)
    with open(path, "w") as f:
        f.write(RECORDER.format(log=log))
    os.chmod(path, 0o755)
    return path


def recorded(log):
    try:
        with open(log) as f:
            return f.read().splitlines()
    except FileNotFoundError:
        return []


def open_menu(s, win, keys):
    """Presses the access key of a menu bar entry and waits for its menu."""
    s.key(keys, wid=win.wid)
    return wait_until(lambda: s.popups(win.app.pid), 5, f"a menu to open after {keys}")


@case
def beenden_in_datei_ends_the_program():
    with XSession() as s:
        win = MainWindow(s, s.start())
        open_menu(s, win, "alt+d")
        s.key("b")
        check_equal(s.wait_exit(win.app, timeout=5), 0, "exit code")


@case
def about_message_closes_with_return_and_escape():
    with XSession() as s:
        win = MainWindow(s, s.start())
        for closing_key in ("Return", "Escape"):
            s.key("alt+b", wid=win.wid)
            box = s.wait_window(ABOUT_TITLE, timeout=5, pid=win.app.pid)
            check_equal(
                s.popups(win.app.pid), [], f"menus open with the about message ({closing_key})"
            )

            # The frames go on behind the modal message: the blocks still run
            # on the rows the message leaves free.
            g = s.geometry(box)
            top = g.outer_y - win.area.y
            bottom = top + g.outer_height
            free = [y for y in range(*BLOCK_BAND) if not top <= y < bottom]
            check(free, f"the about message at {g} covers the blocks' rows")

            def band():
                area = win.area_pixels()
                return [area.crop(0, y, area.width, 1) for y in free]

            first = band()
            wait_until(lambda: band() != first, 5, "the blocks to move while the message is open")

            s.key(closing_key, wid=box)
            s.wait_no_window(ABOUT_TITLE, timeout=5)
            check(
                win.app.running(),
                f"the program ended after {closing_key}: " + win.app.describe_exit(),
            )
            check_equal(s.windows("^Vantrel$"), [win.wid], f"main window after {closing_key}")


@case
def tavorin_button_starts_the_gamma_program_each_time():
    with XSession() as s:
        folder = s.make_dir("cwd")
        log = os.path.join(s.make_dir("log"), "runs")
        recorder(folder, "mivu.exe", log)
        win = MainWindow(s, s.start(cwd=folder))
        for count in (1, 2):
            win.click_centre(*TAVORIN_BUTTON)
            wait_until(lambda: len(recorded(log)) >= count, 5, f"start number {count} of mivu.exe")
        time.sleep(QUIET)
        check_equal(len(recorded(log)), 2, "starts of mivu.exe after two clicks")
        check(win.app.running(), "the program ended: " + win.app.describe_exit())


@case
def tavorin_button_without_gamma_program_changes_nothing():
    with XSession() as s:
        folder = s.make_dir("cwd")
        found = shutil.which("mivu.exe", path=s.env.get("PATH", ""))
        check(found is None, f"this machine has a mivu.exe on its PATH: {found}")
        win = MainWindow(s, s.start(cwd=folder))
        before = s.windows()
        win.click_centre(*TAVORIN_BUTTON)
        time.sleep(QUIET)
        check(win.app.running(), "the program ended: " + win.app.describe_exit())
        check_equal(s.windows(), before, "windows after the click")
        check_equal(s.popups(win.app.pid), [], "menus or pop-ups after the click")


@case
def web_link_is_handed_to_the_desktop():
    with XSession() as s:
        tools = s.make_dir("bin")
        log = os.path.join(s.make_dir("log"), "opened")
        recorder(tools, "xdg-open", log)
        path = tools + os.pathsep + s.env.get("PATH", "")
        win = MainWindow(s, s.start(env_extra={"PATH": path}))
        open_menu(s, win, "alt+l")
        s.key("w")
        lines = wait_until(lambda: recorded(log), 5, "xdg-open to be asked")
        check_equal(len(lines), 1, f"calls of xdg-open ({lines})")
        check(WEB_ADDRESS in lines[0], f"xdg-open got {lines[0]!r}, not the address {WEB_ADDRESS}")
        check(win.app.running(), "the program ended: " + win.app.describe_exit())


if __name__ == "__main__":
    main()

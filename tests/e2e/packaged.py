"""What an installation of the program consists of, and starting an installed
copy under the harness. Shared by test_install.py and test_deb.py.

Both scripts take the build folder and the CMake tools from the environment
that tests/e2e/CMakeLists.txt sets: VANTREL_BUILD_DIR, CMAKE_COMMAND and
CPACK_COMMAND.
"""

import configparser
import os
import subprocess
import xml.etree.ElementTree as ET

from harness import Failure, XSession, check, check_equal

APP_ID = "example.orlisk.Vantrel"
TITLE = "^Vantrel$"

# Every file an installation holds, relative to the prefix. Tools, tests and
# benchmarks are built next to the program but are not part of it.
INSTALLED_FILES = {
    "bin/vantrel",
    f"share/applications/{APP_ID}.desktop",
    f"share/icons/hicolor/scalable/apps/{APP_ID}.svg",
    f"share/metainfo/{APP_ID}.metainfo.xml",
}


def env_path(name):
    value = os.environ.get(name)
    check(value, f"{name} is not set (run through ctest)")
    return value


def run(cmd, timeout=120, cwd=None):
    """Runs a command, fails with its output when it exits non-zero, and
    returns its stdout."""
    try:
        done = subprocess.run(
            cmd, cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
            stderr=subprocess.STDOUT, timeout=timeout,
        )
    except subprocess.TimeoutExpired:
        raise Failure(f"{' '.join(cmd)} did not finish within {timeout} s")
    out = done.stdout.decode(errors="replace")
    if done.returncode != 0:
        raise Failure(f"{' '.join(cmd)} failed ({done.returncode}):\n{out}")
    return out


def files_below(root):
    """Regular files and symlinks below root, as paths relative to it."""
    found = set()
    for folder, _, names in os.walk(root):
        for name in names:
            found.add(os.path.relpath(os.path.join(folder, name), root))
    return found


def check_file_set(found, expected, where):
    extra = sorted(found - expected)
    missing = sorted(expected - found)
    check(not extra and not missing,
          f"files in {where}: unexpected {extra}, missing {missing}")


def check_installation(prefix):
    """The files are where desktops look for them and refer to each other by
    the names they are installed under."""
    check_file_set(files_below(prefix), INSTALLED_FILES, prefix)
    binary = os.path.join(prefix, "bin", "vantrel")
    check(os.access(binary, os.X_OK), f"{binary} is not executable")

    desktop = configparser.ConfigParser(interpolation=None)
    desktop.optionxform = str  # keys are case sensitive
    desktop.read(os.path.join(prefix, "share", "applications", f"{APP_ID}.desktop"),
                 encoding="utf-8")
    entry = desktop["Desktop Entry"]
    check_equal(entry.get("Exec", "").split()[0], "vantrel", "Exec of the desktop entry")
    check_equal(entry.get("Icon"), APP_ID, "Icon of the desktop entry (the icon's file name)")

    meta = ET.parse(os.path.join(prefix, "share", "metainfo", f"{APP_ID}.metainfo.xml"))
    check_equal(meta.findtext("id"), APP_ID, "id in the metainfo")
    check_equal(meta.findtext("launchable"), f"{APP_ID}.desktop",
                "launchable in the metainfo (the desktop entry's file name)")
    check_equal(meta.findtext("provides/binary"), "vantrel", "binary in the metainfo")


def newest_release(metainfo_path):
    releases = ET.parse(metainfo_path).findall("releases/release")
    check(releases, f"no release in {metainfo_path}")
    return releases[0].get("version")


def starts_and_closes(binary):
    """The installed program opens its main window and ends with code 0 when
    the window manager closes it."""
    old = os.environ.get("VANTREL_BIN")
    os.environ["VANTREL_BIN"] = binary  # XSession.start() runs VANTREL_BIN
    try:
        with XSession() as s:
            app = s.start()
            wid = s.wait_window(TITLE, timeout=15, pid=app.pid)
            s.key("alt+F4", wid=wid)
            check_equal(s.wait_exit(app, timeout=10), 0, "exit code after alt+F4")
    finally:
        if old is None:
            del os.environ["VANTREL_BIN"]
        else:
            os.environ["VANTREL_BIN"] = old

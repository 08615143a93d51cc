"""The Debian package from `cpack -G DEB`: its name and control fields, the
dependencies dpkg-shlibdeps computed plus the ones listed by hand, exactly the
program and its desktop files in it, and the program unpacked from it runs.
The package is unpacked into a temporary folder, never installed: tests may
run as root on a shared machine."""

import atexit
import glob
import os
import re
import shutil
import tempfile

from harness import case, check, check_equal, main
from packaged import (
    APP_ID,
    INSTALLED_FILES,
    check_file_set,
    check_installation,
    env_path,
    newest_release,
    run,
    starts_and_closes,
)

_package = None


def package():
    """Builds the package once per run; returns (path of the .deb, folder it
    was unpacked into)."""
    global _package
    if _package is None:
        root = tempfile.mkdtemp(prefix="vantrel-deb-")
        atexit.register(shutil.rmtree, root, ignore_errors=True)
        build = env_path("VANTREL_BUILD_DIR")
        out = os.path.join(root, "out")
        # -B keeps the package and CPack's staging folder out of the build folder.
        run([env_path("CPACK_COMMAND"), "-G", "DEB", "--config",
             os.path.join(build, "CPackConfig.cmake"), "-B", out], timeout=240, cwd=build)
        debs = glob.glob(os.path.join(out, "*.deb"))
        check_equal(len(debs), 1, f"number of .deb files in {out} ({debs})")
        unpacked = os.path.join(root, "unpacked")
        run(["dpkg-deb", "-x", debs[0], unpacked])
        _package = (debs[0], unpacked)
    return _package


def control_fields(deb):
    """Control fields as a dict; continuation lines are joined to their field."""
    fields = {}
    key = None
    for line in run(["dpkg-deb", "--field", deb]).splitlines():
        if line[:1].isspace() and key:
            fields[key] += "\n" + line.strip()
        elif ":" in line:
            key, value = line.split(":", 1)
            fields[key] = value.strip()
    return fields


def relations(text):
    """'libc6 (>= 2.34), libgl1' -> {'libc6': '(>= 2.34)', 'libgl1': ''}; the
    first of several alternatives counts."""
    result = {}
    for item in filter(None, (i.strip() for i in text.split(","))):
        first = item.split("|")[0].strip()
        m = re.fullmatch(r"([a-z0-9][a-z0-9+.-]*)(?::\w+)?\s*(\(.*\))?", first)
        check(m, f"unreadable relation {item!r}")
        result[m.group(1)] = m.group(2) or ""
    return result


@case
def package_is_named_and_described():
    deb, unpacked = package()
    fields = control_fields(deb)
    arch = run(["dpkg", "--print-architecture"]).strip()
    release = newest_release(os.path.join(unpacked, "usr/share/metainfo", f"{APP_ID}.metainfo.xml"))
    check_equal(fields.get("Package"), "vantrel", "Package")
    check_equal(fields.get("Version"), release, "Version (the newest release in the metainfo)")
    check_equal(fields.get("Architecture"), arch, "Architecture")
    check_equal(os.path.basename(deb), f"vantrel_{release}_{arch}.deb", "file name")
    for name in ("Maintainer", "Description"):
        check(fields.get(name), f"{name} is empty")
    check_equal(fields.get("Section"), "utils", "Section")
    check_equal(fields.get("Homepage"), "https://www.orlisk.example", "Homepage")

    depends = relations(fields.get("Depends", ""))
    # Libraries of the binary: only dpkg-shlibdeps puts them there, with the
    # lowest version that has the symbols used.
    for lib in ("libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6"):
        check(lib in depends, f"Depends lacks {lib} (dpkg-shlibdeps did not run?): {depends}")
        check(depends[lib].startswith("(>="), f"Depends has {lib} without a lowest version")
    check("fonts-liberation2" in depends, f"Depends lacks the UI font: {depends}")
    recommends = relations(fields.get("Recommends", ""))
    check("libgl1-mesa-dri" in recommends, f"Recommends lacks the OpenGL driver: {recommends}")


@case
def package_holds_program_and_desktop_files_only():
    deb, unpacked = package()
    modes = {}
    for line in run(["dpkg-deb", "--contents", deb]).splitlines():
        # drwxr-xr-x root/root         0 2026-12-11 10:00 ./usr/bin/
        perms, owner, _, _, _, path = line.split(None, 5)
        check_equal(owner, "root/root", f"owner of {path}")
        if not perms.startswith("d"):
            modes[os.path.normpath(path)] = perms
    check_file_set(set(modes), {f"usr/{f}" for f in INSTALLED_FILES}, deb)
    for path, perms in modes.items():
        expected = "-rwxr-xr-x" if path == "usr/bin/vantrel" else "-rw-r--r--"
        check_equal(perms, expected, f"mode of {path}")
    check_installation(os.path.join(unpacked, "usr"))


@case
def unpacked_program_starts_and_closes():
    _, unpacked = package()
    starts_and_closes(os.path.join(unpacked, "usr", "bin", "vantrel"))


if __name__ == "__main__":
    main()

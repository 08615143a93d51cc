"""`cmake --install` into a private prefix: exactly the program and its
desktop files land there, and the installed program runs."""

import atexit
import os
import shutil
import tempfile

from harness import case, main
from packaged import check_installation, env_path, run, starts_and_closes

_stage = None


def staged_prefix():
    """Installs the build once per run into a temporary prefix."""
    global _stage
    if _stage is None:
        root = tempfile.mkdtemp(prefix="vantrel-install-")
        atexit.register(shutil.rmtree, root, ignore_errors=True)
        prefix = os.path.join(root, "stage")
        run([env_path("CMAKE_COMMAND"), "--install", env_path("VANTREL_BUILD_DIR"),
             "--prefix", prefix])
        _stage = prefix
    return _stage


@case
def installs_program_and_desktop_files_only():
    check_installation(staged_prefix())


@case
def installed_program_starts_and_closes():
    starts_and_closes(os.path.join(staged_prefix(), "bin", "vantrel"))


if __name__ == "__main__":
    main()

"""Where the packages that scripts/package.sh built lie, and the release they
must carry."""

import glob
import os
import re

SOURCE_DIR = os.path.realpath(os.path.join(os.path.dirname(__file__), "..", ".."))
DIST_DIR = os.environ.get("GLOAMERY_DIST_DIR", os.path.join(SOURCE_DIR, "dist"))


def project_version():
    with open(os.path.join(SOURCE_DIR, "CMakeLists.txt")) as f:
        return re.search(r"project\(Gloamery VERSION ([0-9.]+)", f.read()).group(1)


def built(pattern):
    """The one file in dist/ matching the pattern; an AssertionError naming
    the command that makes it when there is none."""
    found = glob.glob(os.path.join(DIST_DIR, pattern))
    if len(found) != 1:
        raise AssertionError("expected one %s in %s, found %s; run ./scripts/package.sh" % (pattern, DIST_DIR, found))
    return found[0]

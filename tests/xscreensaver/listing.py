"""XScreenSaver's `programs` lists as the tests read them, and the program
that adds Gloamery to a user's."""

import os
import re
import subprocess

SOURCE_DIR = os.path.realpath(os.path.join(os.path.dirname(__file__), "..", ".."))
ADD_SCRIPT = os.path.join(SOURCE_DIR, "packaging", "gloamery-add-to-xscreensaver")
SYSTEM_DEFAULTS = "/etc/X11/app-defaults/XScreenSaver"


def programs(text, key="programs"):
    """The entries of the one `key:` setting in a resource file's text, each
    stripped, in order; None when the text has no such setting."""
    joined = re.sub(r"\\\n", "", text)
    found = [line for line in joined.splitlines() if re.match(r"\s*%s\s*:" % re.escape(key), line)]
    if not found:
        return None
    assert len(found) == 1, found
    value = found[0].split(":", 1)[1]
    return [" ".join(e.split()) for e in value.split("\\n") if e.strip()]


def command_of(entry):
    """An entry's command line without its disabled mark and visual."""
    return re.sub(r"^-?\s*([A-Za-z][\w-]*:)?\s*", "", entry)


def system_programs():
    with open(SYSTEM_DEFAULTS, encoding="utf-8", errors="replace") as f:
        return programs(f.read(), "*programs")


def add_to_xscreensaver(*args, env=None, user=()):
    """Runs the program as a user would, its output captured."""
    return subprocess.run(list(user) + [ADD_SCRIPT] + list(args), env=env, stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, timeout=60)

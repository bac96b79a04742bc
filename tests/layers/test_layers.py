"""The layers of the product code, checked against the build's own record.

Every library is built from one folder (two for the launch folder: the options
record below the renderer, the entry point on top) and links only libraries
below it; the build writes which files each library has on every platform and
which libraries it links. Includes are written from the source root, so the
compiler would take any header from anywhere; this is where a stray one shows.
"""

import os
import re
import unittest

SOURCE_DIR = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
RECORD = os.path.join(os.environ.get("GLOAMERY_BIN_DIR", os.path.join(SOURCE_DIR, "build")), "layers.txt")
PRODUCT_FOLDERS = ("platform", "launch", "about", "render", "assets", "scene", "tools/offscreen", "tools/snapshot")
SOURCE_SUFFIXES = (".h", ".cpp", ".c")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def text_of(path):
    with open(os.path.join(SOURCE_DIR, path), encoding="utf-8", errors="replace") as f:
        return f.read()


PLATFORM_SUFFIXES = ("_x11", "_win32", "_gtk", "_posix", "_egl")


def read_record(path):
    """{library: (set of direct dependencies, list of files)}; a platform's
    own files come as "unix:PATH" or "windows:PATH"."""
    layers = {}
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    for line in lines:
        if not line.strip():
            continue
        name, rest = line.split(":", 1)
        depends, files = rest.split("|", 1)
        layers[name.strip()] = (set(depends.split()), files.split())
    return layers


def path_of(entry):
    return entry.split(":", 1)[1] if ":" in entry else entry


def reachable(layers, name):
    seen, stack = set(), [name]
    while stack:
        for dependency in layers[stack.pop()][0]:
            if dependency not in seen:
                seen.add(dependency)
                stack.append(dependency)
    return seen


def owners(layers):
    owner = {}
    for name, (_, files) in layers.items():
        for entry in files:
            owner.setdefault(path_of(entry), []).append(name)
    return owner


def product_files():
    for folder in PRODUCT_FOLDERS:
        for root, _, names in os.walk(os.path.join(SOURCE_DIR, folder)):
            for name in names:
                if name.endswith(SOURCE_SUFFIXES):
                    yield os.path.relpath(os.path.join(root, name), SOURCE_DIR)


def stray_includes(layers):
    """(file, header, its library, the including library) for each include
    that the link graph does not allow."""
    owner = owners(layers)
    found = []
    for name, (_, files) in layers.items():
        allowed = reachable(layers, name) | {name}
        for path in map(path_of, files):
            full = os.path.join(SOURCE_DIR, path)
            if not os.path.exists(full):
                continue
            for header in INCLUDE.findall(text_of(path)):
                for library in owner.get(header, []):
                    if library not in allowed:
                        found.append((path, header, library, name))
    return found


def folder_of(path, layers_of_file):
    # The options record is a layer of its own inside the launch folder.
    if "launch_options" in layers_of_file:
        return "launch_options"
    parts = path.split("/")
    return "/".join(parts[:2]) if parts[0] == "tools" else parts[0]


def folder_cycle(layers):
    """A cycle in the graph of folders that include each other, or None."""
    owner = owners(layers)
    edges = {}
    for name, (_, files) in layers.items():
        for path in map(path_of, files):
            full = os.path.join(SOURCE_DIR, path)
            if not os.path.exists(full):
                continue
            source = folder_of(path, [name])
            for header in INCLUDE.findall(text_of(path)):
                if header in owner:
                    target = folder_of(header, owner[header])
                    if target != source:
                        edges.setdefault(source, set()).add(target)
    state = {}

    def visit(node, path):
        state[node] = "open"
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == "open":
                return path[path.index(nxt):] + [nxt] if nxt in path else path + [nxt]
            if nxt not in state:
                cycle = visit(nxt, path + [nxt])
                if cycle:
                    return cycle
        state[node] = "done"
        return None

    for node in sorted(edges):
        if node not in state:
            cycle = visit(node, [node])
            if cycle:
                return cycle
    return None


class Layers(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.layers = read_record(RECORD)

    def test_every_product_file_belongs_to_exactly_one_library(self):
        owner = owners(self.layers)
        unowned = sorted(p for p in product_files() if p not in owner)
        self.assertEqual(unowned, [], "files no library claims escape the layering")
        shared = sorted(p for p, names in owner.items() if len(names) > 1)
        self.assertEqual(shared, [])
        missing = sorted(p for p in owner if not os.path.exists(os.path.join(SOURCE_DIR, p))
                         and p != "resources/resource_ids.h")
        self.assertEqual(missing, [], "the record names files that are not there")

    def test_libraries_link_only_downward(self):
        for name in self.layers:
            self.assertNotIn(name, reachable(self.layers, name), "%s links itself through others" % name)
        unknown = sorted({d for deps, _ in self.layers.values() for d in deps} - set(self.layers))
        self.assertEqual(unknown, [])

    def test_no_file_includes_a_header_of_a_library_its_own_does_not_link(self):
        lines = ["%s includes %s (%s), which %s does not link" % s for s in stray_includes(self.layers)]
        self.assertEqual(lines, [])

    def test_the_folders_include_each_other_without_a_cycle(self):
        self.assertIsNone(folder_cycle(self.layers))

    def test_platform_code_stays_in_files_named_for_their_platform(self):
        marker = re.compile(r"#\s*if(def|ndef)?\b.*\b(_WIN32|_WIN64|__linux__|__unix__|__APPLE__)\b")
        offenders = [p for p in product_files()
                     if not os.path.splitext(p)[0].endswith(PLATFORM_SUFFIXES)
                     and marker.search(text_of(p))]
        self.assertEqual(offenders, [])

    def test_a_file_is_built_for_one_platform_exactly_when_its_name_says_so(self):
        misnamed = []
        for _, files in self.layers.values():
            for entry in files:
                named = os.path.splitext(path_of(entry))[0].endswith(PLATFORM_SUFFIXES)
                if named != (":" in entry):
                    misnamed.append(entry)
        self.assertEqual(misnamed, [])


if __name__ == "__main__":
    unittest.main()

#!/usr/bin/env python3
"""Turns the resource manifest into C++ source that embeds every file, or
into the header that names every id.

    embed_resources.py MANIFEST OUTPUT.cpp
    embed_resources.py --ids MANIFEST resource_ids.h

Each manifest line is `<id> <TYPE> <name> <file>`; `#` starts a comment. The
table defines what assets/resources_posix.cpp searches by type and id; the header
gives code a constant k<name> for each id, so that no id is written by hand.
The same manifest feeds the Windows resource script, so ids and types mean
the same thing on both platforms.
"""

import os
import sys

TYPES = {"TEXTFILE": "ResourceType::TextFile", "BITMAP": "ResourceType::Bitmap"}


def read_manifest(path):
    entries = []
    for number, line in enumerate(open(path, encoding="utf-8"), 1):
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        fields = line.split()
        if (len(fields) != 4 or fields[1] not in TYPES or not fields[0].isdigit()
                or not fields[2].isidentifier()):
            sys.exit("%s:%d: expected '<id> TEXTFILE|BITMAP <name> <file>'" % (path, number))
        entries.append((int(fields[0]), fields[1], fields[2], fields[3]))
    keys = [(t, i) for i, t, _, _ in entries]
    if len(set(keys)) != len(keys):
        sys.exit("%s: an id is listed twice for one type" % path)
    names = [n for _, _, n, _ in entries]
    if len(set(names)) != len(names):
        sys.exit("%s: a name is listed twice" % path)
    # The lookup searches the table in the order of the C++ enum, which is
    # the order of TYPES, not the alphabetical order of the type names.
    order = list(TYPES)
    return sorted(entries, key=lambda e: (order.index(e[1]), e[0]))


def write_if_changed(output, text):
    # An unchanged header keeps its time stamp, so that a configure run
    # rebuilds nothing that includes it.
    if os.path.exists(output) and open(output, encoding="utf-8").read() == text:
        return
    with open(output + ".tmp", "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(output + ".tmp", output)


def write_ids(manifest, output):
    out = ["// Generated from %s; do not edit." % os.path.basename(manifest), "#pragma once", "",
           "// The id of every embedded resource, named as the manifest names it.",
           "namespace resource_id {", ""]
    for rid, rtype, name, path in sorted(read_manifest(manifest), key=lambda e: e[0]):
        out.append("constexpr int k%s = %d;  // %s %s" % (name, rid, rtype, path))
    out += ["", "}  // namespace resource_id", ""]
    write_if_changed(output, "\n".join(out))


def main():
    if sys.argv[1] == "--ids":
        write_ids(sys.argv[2], sys.argv[3])
        return
    manifest, output = sys.argv[1], sys.argv[2]
    base = os.path.dirname(os.path.abspath(manifest))
    entries = read_manifest(manifest)
    out = ["// Generated from %s; do not edit." % os.path.basename(manifest),
           '#include "assets/resources.h"', "", "namespace {", ""]
    for index, (rid, rtype, _, name) in enumerate(entries):
        data = open(os.path.join(base, name), "rb").read()
        out.append("// %s %d: %s" % (rtype, rid, name))
        # One extra zero keeps an empty resource a valid array; it is not counted.
        body = ",".join(str(b) for b in data + b"\0")
        out.append("const unsigned char kData%d[] = {%s};" % (index, body))
    out += ["", "}  // namespace", "", "const EmbeddedResource kEmbeddedResources[] = {"]
    for index, (rid, rtype, _, name) in enumerate(entries):
        size = os.path.getsize(os.path.join(base, name))
        out.append("    {%s, %d, kData%d, %d}," % (TYPES[rtype], rid, index, size))
    if not entries:
        out.append("    {ResourceType::TextFile, -1, nullptr, 0},")
    out += ["};", "const size_t kEmbeddedResourceCount = %d;" % len(entries), ""]
    with open(output + ".tmp", "w") as f:
        f.write("\n".join(out))
    os.replace(output + ".tmp", output)


if __name__ == "__main__":
    main()

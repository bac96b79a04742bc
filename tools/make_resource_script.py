#!/usr/bin/env python3
"""Writes the Windows resource script from the resource manifest.

    make_resource_script.py MANIFEST OUTPUT.rc VERSION ICON

Every manifest entry becomes a resource of its id: TEXTFILE entries keep the
custom type, BITMAP entries become bitmaps (windres strips the file header).
The script also carries the file icon and the version record, under id 1,
which no manifest entry uses.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from embed_resources import read_manifest  # noqa: E402

PRODUCT = "Gloamery 3D Screensaver"
FILE_ICON_ID = 1
VERSION_ID = 1


def rc_path(path):
    # windres reads backslashes as escapes; forward slashes work everywhere.
    return '"%s"' % os.path.abspath(path).replace("\\", "/")


def version_numbers(version):
    parts = [int(p) for p in version.split(".")][:4]
    return parts + [0] * (4 - len(parts))


def version_block(version):
    numbers = ",".join(str(n) for n in version_numbers(version))
    dotted = ".".join(str(n) for n in version_numbers(version))
    return [
        "%d VERSIONINFO" % VERSION_ID,
        "FILEVERSION %s" % numbers,
        "PRODUCTVERSION %s" % numbers,
        "FILEOS 0x40004",  # VOS_NT_WINDOWS32
        "FILETYPE 0x1",  # VFT_APP
        "BEGIN",
        '  BLOCK "StringFileInfo"',
        "  BEGIN",
        '    BLOCK "040904B0"',
        "    BEGIN",
        '      VALUE "FileDescription", "%s"' % PRODUCT,
        '      VALUE "FileVersion", "%s"' % dotted,
        '      VALUE "ProductName", "%s"' % PRODUCT,
        '      VALUE "ProductVersion", "%s"' % dotted,
        '      VALUE "OriginalFilename", "Gloamery.scr"',
        "    END",
        "  END",
        '  BLOCK "VarFileInfo"',
        "  BEGIN",
        '    VALUE "Translation", 0x409, 1200',
        "  END",
        "END",
    ]


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    manifest, output, version, icon = sys.argv[1:]
    base = os.path.dirname(os.path.abspath(manifest))
    entries = read_manifest(manifest)
    if any(rid == FILE_ICON_ID for rid, _, _, _ in entries):
        sys.exit("%s: id %d is kept for the file icon and version record" % (manifest, FILE_ICON_ID))
    lines = ["// Generated from %s; do not edit." % os.path.basename(manifest), ""]
    for rid, rtype, _, name in entries:
        lines.append("%d %s %s" % (rid, rtype, rc_path(os.path.join(base, name))))
    lines += ["", "%d ICON %s" % (FILE_ICON_ID, rc_path(icon)), ""]
    lines += version_block(version)
    with open(output + ".tmp", "w", encoding="utf-8") as out:
        out.write("\n".join(lines) + "\n")
    os.replace(output + ".tmp", output)


if __name__ == "__main__":
    main()

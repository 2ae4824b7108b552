#!/usr/bin/env python3
"""Fails when a source file includes a file of a higher level, or one beside it that it must not see.

The levels, bottom up: src/base, src/seam, the portable core (src/image, surface, settings, saver, dialog,
button), src/host/<system>, apps/<program>; tools/, bench/, fuzz/ and tests/ sit on top of everything and never
include one another. Within a level, a host library or program sees only its own folder, and the seam's two
implementations (src/seam/win32, src/seam/portable) are seen only by themselves and by what sits above the core.
Window-system headers (<windows.h>, <X11/...>) appear only in the folders for that system.
Usage: check_layers.py [ROOT]; prints each offending line, then a summary; the exit status is 1 on any.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
CORE = {"image", "surface", "settings", "saver", "dialog", "button"}
TOP = {"tools", "bench", "fuzz", "tests"}
SOURCES = ("*.h", "*.cpp", "*.rc")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def place(path):
    """(level, group) of a file relative to ROOT; None for files outside the checked folders."""
    parts = path.parts
    if parts[0] == "src" and len(parts) > 2:
        if parts[1] == "base":
            return 0, "base"
        if parts[1] == "seam":
            return 1, "seam/" + parts[2] if len(parts) > 3 else "seam"
        if parts[1] in CORE:
            return 2, "core"
        if parts[1] == "host" and len(parts) > 3:
            return 3, "host/" + parts[2]
    if parts[0] == "apps" and len(parts) > 2:
        return 4, "apps/" + parts[1]
    if parts[0] in TOP:
        return 5, parts[0]
    return None


def resolve(source, name):
    """The included file relative to ROOT, searched as the compilers do: beside the source, then src/, then ROOT."""
    for base in (source.parent, pathlib.Path("src"), pathlib.Path(".")):
        candidate = base / name
        if (ROOT / candidate).is_file():
            return pathlib.Path(*(ROOT / candidate).resolve().relative_to(ROOT.resolve()).parts)
    return None


# The folders of each window system; the end-to-end tests' helpers are Windows programs.
SYSTEM_FOLDERS = {"win32": ("src/seam/win32", "src/host/win32", "apps/windows", "tools/win32", "tests/e2e/helpers"),
                  "x11": ("src/host/x11", "apps/x11", "tools/x11")}


def system_of(folder):
    for system, folders in SYSTEM_FOLDERS.items():
        if any(folder == f or folder.startswith(f + "/") for f in folders):
            return system
    return None


def check(source, kind, name):
    here = place(source)
    if here is None:
        return None
    level, group = here
    if kind == "<":
        if name.lower() == "windows.h" or name.startswith(("X11/", "xcb/")):
            wanted = "win32" if name.lower() == "windows.h" else "x11"
            if system_of(str(source.parent)) != wanted:
                return f"a {wanted} header outside the {wanted} folders"
        return None
    target = resolve(source, name)
    if target is None:
        return None  # generated at build time, or a system header in quotes
    there = place(target)
    if there is None:
        return None
    tlevel, tgroup = there
    if tlevel > level:
        return f"includes a higher level ({tgroup} from {group})"
    if tlevel == level and level in (3, 4, 5) and tgroup != group:
        return f"includes a neighbour of its own level ({tgroup} from {group})"
    if tgroup.startswith("seam/") and tgroup != group and level <= 2:
        return f"includes a seam implementation ({tgroup}) from {group}"
    return None


def main():
    problems = 0
    files = 0
    for folder in ("src", "apps", "tools", "bench", "fuzz", "tests"):
        for pattern in SOURCES:
            for path in sorted((ROOT / folder).rglob(pattern)):
                source = path.relative_to(ROOT)
                files += 1
                text = path.read_text(encoding="utf-8", errors="replace")
                for match in INCLUDE.finditer(text):
                    problem = check(source, match.group(1), match.group(2))
                    if problem:
                        line = text.count("\n", 0, match.start()) + 1
                        close = ">" if match.group(1) == "<" else '"'
                        print(f"{source}:{line}: #include {match.group(1)}{match.group(2)}{close}: {problem}")
                        problems += 1
    if problems:
        print(f"FAIL: {problems} include(s) point the wrong way, in {files} files")
        return 1
    print(f"PASS: every include of {files} files points down or within its own folder")
    return 0


if __name__ == "__main__":
    sys.exit(main())

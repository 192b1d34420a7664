#!/usr/bin/env python3
"""Checks the layer rules of the sources; prints each break and exits 1.

Floors, ground up: platform, the host's base objects, host, textio, export,
dialog, app. Code includes headers of its own floor and the floors below
only; the tools stand over host and textio. The text library proper uses of
the host only its base objects (it is installed without the host).

Only the platform layer (src/platform, and the tests' platform helpers in
testsupport/platform) talks to the operating system: its headers, its
calls, conditional compilation, std::filesystem, file streams and the
environment. Each database's header belongs to its store's folder:
<sqlite3.h> to src/host/sqlite, <libpq-fe.h> to src/host/postgres.
Test sources are held to the same rules.

usage: check-layers.py SOURCE_DIR
"""
import os
import re
import sys

# Folder (relative, '/'-separated) -> floor; the longest matching prefix wins.
FLOORS = {
    "src/platform": 0,
    "testsupport/platform": 0,
    "src/host/base": 1,
    "src/host": 2,
    "testsupport/host": 2,
    "src/textio": 3,
    "src/export": 4,
    "src/dialog": 5,
    "src/app": 6,
    "tools": 7,
}
FLOOR_NAMES = {0: "platform", 1: "host base", 2: "host", 3: "textio", 4: "export",
               5: "dialog", 6: "app", 7: "tools"}
# The highest floor each floor may include (the tools: host and textio).
CEILING = {floor: floor for floor in FLOOR_NAMES}
CEILING[7] = 3

OS_FOLDERS = ("src/platform", "testsupport/platform")
SQLITE_FOLDERS = ("src/host/sqlite",)
PQ_FOLDERS = ("src/host/postgres",)
FILE_FOLDERS = OS_FOLDERS + ("tools",)

OS_HEADER = re.compile(
    r"#\s*include\s*<(unistd\.h|fcntl\.h|dirent\.h|iconv\.h|sys/[^>]+|windows\.h|direct\.h|io\.h"
    r"|strings\.h|spawn\.h|signal\.h|pwd\.h|pty\.h|termios\.h)>")
OS_CALL = re.compile(
    r"(?<![\w:.>])(strcasecmp|strncasecmp|mkdtemp|mkstemp|setenv|unsetenv|putenv|chmod|popen|pclose"
    r"|usleep|geteuid|getuid|chdir|getcwd|fork|waitpid|execv|execvp|realpath|sigaction|openpty"
    r"|forkpty|symlink|lstat|readlink)\s*\(")
CONDITIONAL = re.compile(r"^\s*#\s*(if|ifdef|ifndef|elif)\b")
SQLITE_HEADER = re.compile(r"#\s*include\s*<sqlite3\.h>")
PQ_HEADER = re.compile(r"#\s*include\s*<libpq-fe\.h>")
FILE_USE = re.compile(r"std::filesystem|std::[io]?fstream\b|#\s*include\s*<(filesystem|fstream)>"
                      r"|(?<![\w.>])(std::)?getenv\s*\(")
LOCAL_INCLUDE = re.compile(r'#\s*include\s*"([^"]+)"')

def floor_of(rel):
    best = None
    for prefix, floor in FLOORS.items():
        if rel == prefix or rel.startswith(prefix + "/"):
            if best is None or len(prefix) > len(best[0]):
                best = (prefix, floor)
    return None if best is None else best[1]


def under(rel, folders):
    return any(rel == f or rel.startswith(f + "/") for f in folders)


def strip_comment(line):
    # Drops a // comment outside string literals (good enough for includes
    # and calls; string contents are blanked so that texts never match).
    out, quote, i = [], None, 0
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                i += 2
                continue
            if c == quote:
                quote = None
            out.append(" " if c != quote else c)
        elif c in "\"'":
            quote = c
            out.append(c)
        elif line.startswith("//", i):
            break
        else:
            out.append(c)
        i += 1
    return "".join(out)


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else ".")
    sources = []
    for top in ("src", "testsupport", "tools"):
        for folder, _, files in os.walk(os.path.join(root, top)):
            for name in files:
                if name.endswith((".cpp", ".h")):
                    rel = os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")
                    sources.append(rel)
    sources.sort()
    # Headers are included by bare name; each name has one home.
    homes = {}
    for rel in sources:
        if rel.endswith(".h"):
            homes.setdefault(os.path.basename(rel), rel)

    breaks = []
    for rel in sources:
        floor = floor_of(rel)
        if floor is None:
            continue
        is_textio_lib = rel.startswith("src/textio/") and not rel.endswith("_test.cpp")
        with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
            raw_lines = f.read().split("\n")
        for number, raw in enumerate(raw_lines, 1):
            line = raw if "#" in raw.split('"')[0] else strip_comment(raw)
            where = f"{rel}:{number}"
            m = LOCAL_INCLUDE.search(line)
            if m and m.group(1) in homes:
                target = homes[m.group(1)]
                target_floor = floor_of(target)
                if target_floor is not None and target_floor != floor and target_floor > CEILING[floor]:
                    breaks.append(f"{where}: {FLOOR_NAMES[floor]} includes {m.group(1)} of the "
                                  f"higher floor {FLOOR_NAMES[target_floor]}")
                elif is_textio_lib and target_floor == 2:
                    breaks.append(f"{where}: the text library includes {m.group(1)} of the host; "
                                  f"it may use only the host's base objects")
            if not under(rel, OS_FOLDERS):
                if OS_HEADER.search(line):
                    breaks.append(f"{where}: operating-system header outside the platform layer")
                if OS_CALL.search(strip_comment(raw)):
                    breaks.append(f"{where}: operating-system call outside the platform layer")
                if CONDITIONAL.search(line):
                    breaks.append(f"{where}: conditional compilation outside the platform layer")
            if SQLITE_HEADER.search(line) and not under(rel, SQLITE_FOLDERS):
                breaks.append(f"{where}: <sqlite3.h> outside the SQLite store (src/host/sqlite)")
            if PQ_HEADER.search(line) and not under(rel, PQ_FOLDERS):
                breaks.append(f"{where}: <libpq-fe.h> outside the server store (src/host/postgres)")
            if not under(rel, FILE_FOLDERS) and FILE_USE.search(strip_comment(raw)):
                breaks.append(f"{where}: files or environment outside the platform layer "
                              f"(std::filesystem, file streams, getenv)")
    for b in breaks:
        print(b)
    if breaks:
        print(f"{len(breaks)} breaks of the layer rules")
        return 1
    print(f"layer rules kept ({len(sources)} files)")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Fails when product code enters from Qt outside the guard.

Every signal connection and queued call of the product goes through
GuardedConnect / GuardedPost (platform/rtl/GuardedEntry.h), so an exception
raised by our code never unwinds through Qt's event loop. This check rejects a
bare QObject::connect, connect(...) inside a QObject, QMetaObject::invokeMethod
or QTimer::singleShot anywhere else. Tests and benchmarks are not product code.

Usage: guarded_connect.py SOURCE_ROOT
"""

import pathlib
import re
import sys

# The bridge files: the only ones that may call Qt's entry points themselves.
ALLOWED = {
    "platform/rtl/GuardedEntry.h",
}

FOLDERS = ["platform", "puzzle", "components", "installer", "game", "editor", "setup", "tools"]
SKIPPED_PARTS = {"tests", "bench", "fuzz"}

# connect( preceded by QObject::, or by nothing that makes it another name
# (POSIX ::connect on sockets and disconnect( are fine).
PATTERNS = [
    re.compile(r"QObject\s*::\s*connect\s*\("),
    re.compile(r"(?<![\w:.>])connect\s*\("),
    re.compile(r"\binvokeMethod\s*\("),
    re.compile(r"\bsingleShot\s*\("),
]


def strip_comments(text):
    text = re.sub(r"/\*.*?\*/", lambda m: "\n" * m.group(0).count("\n"), text, flags=re.S)
    return re.sub(r"//[^\n]*", "", text)


def violations(root):
    for folder in FOLDERS:
        base = root / folder
        if not base.is_dir():
            continue
        for path in sorted(base.rglob("*")):
            if path.suffix not in (".cpp", ".h") or not path.is_file():
                continue
            rel = path.relative_to(root).as_posix()
            if rel in ALLOWED or SKIPPED_PARTS & set(path.relative_to(root).parts[:-1]):
                continue
            text = strip_comments(path.read_text(encoding="utf-8", errors="replace"))
            for number, line in enumerate(text.splitlines(), 1):
                if any(p.search(line) for p in PATTERNS):
                    yield f"{rel}:{number}: {line.strip()}"


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    root = pathlib.Path(sys.argv[1]).resolve()
    found = list(violations(root))
    for v in found:
        print(f"bare Qt entry outside the guard: {v}")
    if found:
        print("use GuardedConnect / GuardedPost (platform/rtl/GuardedEntry.h)")
        return 1
    print("every Qt entry is guarded")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Plants one violation of each rule of layers.py in a small tree and
checks that layers.py reports it, and that the same tree without it passes."""

import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
QT_DIRS = sys.argv[1:]

CLEAN = {
    "CMakeLists.txt": "add_subdirectory(platform)\nadd_subdirectory(puzzle)\n",
    "platform/CMakeLists.txt": "add_subdirectory(rtl)\n",
    "platform/rtl/CMakeLists.txt": "qx_library(qx_rtl SOURCES Strings.cpp)\n",
    "platform/rtl/Strings.cpp": "#include <QString>\n",
    "platform/controls/Form.h": "#include <QWidget>\n",
    "puzzle/CMakeLists.txt": "qx_library(qx_puzzle SOURCES IO.cpp LIBS qx_rtl)\n",
    "puzzle/IO.cpp": '#include "platform/rtl/Strings.h"\n',
    "components/Grid.cpp": '#include "platform/controls/Form.h"\n',
    "game/main.form": "object Form1: TForm1\nend\n",
    "game/main.cpp": "#include <QPainter>\n",
}
CLEAN_LINKS = ["--links=qx_puzzle:qx_rtl", "--links=qx_rtl:Qt6::Core"]

# name, files replaced or added, links, the text the report must hold
PLANTED = [
    ("Qt GUI header in rtl", {"platform/rtl/Strings.cpp": "#include <QImage>\n"}, [],
     "platform/rtl/Strings.cpp:1: Qt GUI header <QImage>"),
    ("module header in puzzle", {"puzzle/IO.cpp": "#include <QtWidgets/QLabel>\n"}, [],
     "puzzle/IO.cpp:1: Qt GUI header <QtWidgets/QLabel>"),
    ("controls from puzzle", {"puzzle/IO.cpp": '#include "platform/controls/Form.h"\n'}, [],
     "puzzle/IO.cpp:1: puzzle may not include platform/controls/Form.h"),
    ("program from components", {"components/Grid.cpp": '#include "game/main.h"\n'}, [],
     "components/Grid.cpp:1: components may not include game/main.h"),
    ("Qt GUI header in a game unit without a form",
     {"game/sana.cpp": "#include <QPainter>\n"}, [], "game/sana.cpp:1: Qt GUI header"),
    ("window library under puzzle", {}, ["--links=qx_puzzle:qx_rtl,qx_components",
                                          "--links=qx_components:qx_controls"],
     "puzzle/CMakeLists.txt:1: qx_puzzle needs no window but links qx_controls"),
    ("include without its library", {}, ["--links=qx_puzzle:Qt6::Core"],
     "qx_puzzle includes platform/rtl but does not name qx_rtl"),
    ("folder joined when it exists",
     {"CMakeLists.txt": "if(EXISTS ${X}/puzzle)\n  add_subdirectory(puzzle)\nendif()\n"
                        "add_subdirectory(platform)\n"}, [],
     "CMakeLists.txt:1: joins a piece only when it exists"),
    ("folder nobody adds", {"platform/CMakeLists.txt": "# nothing\n"}, [],
     "platform/rtl/CMakeLists.txt:1: no add_subdirectory names this folder"),
    ("folder without a layer rule", {"installer/extra/velmiotool.cpp": "int x;\n"}, [],
     "installer/extra/velmiotool.cpp:1: no layer rule names the folder"),
]


def run(files, links):
    with tempfile.TemporaryDirectory() as root:
        for name, text in files.items():
            path = os.path.join(root, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
        args = [sys.executable, os.path.join(HERE, "layers.py"), "--root", root]
        args += ["--qt-module-dir=" + d for d in QT_DIRS] + links
        done = subprocess.run(args, capture_output=True, text=True)
        return done.returncode, done.stdout + done.stderr


def main():
    failures = []
    code, report = run(CLEAN, CLEAN_LINKS)
    if code != 0:
        failures.append("the clean tree fails:\n" + report)
    for name, changed, links, expected in PLANTED:
        files = dict(CLEAN, **changed)
        code, report = run(files, links or CLEAN_LINKS)
        if code == 0 or expected not in report:
            failures.append(f"{name}: expected '{expected}' (exit {code}):\n{report}")
    for f in failures:
        print(f)
    print(f"layers self-test: {len(PLANTED)} planted violations, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Holds the layers of the source tree.

Includes: each folder may include its own files and those of the folders
below it (LAYERS); Qt GUI, Widgets and PrintSupport headers only where
LAYERS allows them. The Qt headers are those in the module include folders
given with --qt-module-dir (default: the Debian Qt 6 folders).

Links (with --links, given by CMake): a library links every folder of ours
its sources include, by name; the lower libraries reach nothing of the
windows, not even through what they link.

CMake: every folder is added by name (add_subdirectory in its parent), and
no CMakeLists.txt joins a piece only when it happens to exist.

Prints each violation as "path:line: text" and exits 1 when there is any.
"""

import argparse
import os
import re
import subprocess
import sys

QT_GUI_MODULES = ("QtGui", "QtWidgets", "QtPrintSupport")
DEFAULT_QT_DIRS = [os.path.join("/usr/include/x86_64-linux-gnu/qt6", m) for m in QT_GUI_MODULES]

RTL = "platform/rtl"
REGISTRY = "platform/registry"
CLASSES = "platform/classes"
SYSTEM = "platform/system"
GRAPHICS = "platform/graphics"
PRINTING = "platform/printing"
CONTROLS = "platform/controls"
PLATFORM = {RTL, REGISTRY, CLASSES, SYSTEM, GRAPHICS, PRINTING, CONTROLS}

# folder: (its library, the folders it may include besides itself, Qt GUI
# headers: "yes", "tests" (in its tests only) or "forms" (in the units that
# have a form file beside them, and in the tests)).
LAYERS = {
    RTL: ("qx_rtl", set(), "no"),
    REGISTRY: ("qx_registry", {RTL}, "no"),
    CLASSES: ("qx_classes", {RTL}, "no"),
    SYSTEM: ("qx_system", {RTL, REGISTRY}, "no"),
    GRAPHICS: ("qx_graphics", {RTL, CLASSES}, "yes"),
    PRINTING: ("qx_printing", {RTL, CLASSES, GRAPHICS}, "yes"),
    CONTROLS: ("qx_controls", PLATFORM - {CONTROLS}, "yes"),
    "components/core": ("qx_components_core", {RTL}, "no"),
    # The components draw and take input through the controls only; their
    # tests drive the widgets and read pixels.
    "components": ("qx_components", PLATFORM | {"components/core", "puzzle"}, "tests"),
    "puzzle": ("qx_puzzle", {RTL, "components/core"}, "no"),
    # The self-extracting setup's loader: plain C++, nothing of ours below it.
    "installer/loader": ("qx_selfextract", set(), "no"),
    "installer/engine": ("qx_engine", {RTL, CLASSES, REGISTRY, SYSTEM, "installer/loader"}, "no"),
    # The wizard's visual components and, later, its page forms.
    "installer/wizard": ("qx_wizard", PLATFORM | {"installer/engine"}, "forms"),
    "game": ("qx_game", PLATFORM | {"components", "components/core", "puzzle"}, "forms"),
    "editor": ("qx_editor", PLATFORM | {"components", "components/core", "puzzle", "installer/wizard"},
               "forms"),
    # The setup program: its main window is the installation script.
    "setup": ("qx_setup", PLATFORM | {"installer/engine", "installer/wizard"}, "forms"),
    # The uninstaller: its run asks in our message boxes, through the controls.
    "setup/uninstall": ("qx_uninstall", {RTL, CLASSES, REGISTRY, SYSTEM, CONTROLS, "installer/engine"},
                        "no"),
    # By design: the generators of the bundled art and puzzles draw their
    # pictures with Qt's painter at build time; they are no part of a program.
    "tools": (None, PLATFORM | {"puzzle", "components/core"}, "yes"),
    # The test main makes the Qt application object of the GUI suites; the
    # home snapshot reads the registry of the suites that include it.
    "tests/support": (None, {RTL, REGISTRY}, "yes"),
    "bench": (None, PLATFORM | {"components", "components/core", "puzzle", "installer/engine"},
              "no"),
}

# Libraries that need no window: nothing of the windows may reach them.
WINDOWLESS = {"qx_rtl", "qx_registry", "qx_classes", "qx_system", "qx_components_core",
              "qx_puzzle", "qx_engine", "qx_selfextract"}
WINDOW_LIBS = {"qx_graphics", "qx_printing", "qx_controls", "qx_components", "qx_game", "qx_editor",
               "Qt6::Gui", "Qt6::Widgets", "Qt6::PrintSupport"}

SOURCE_EXTS = (".h", ".hpp", ".cpp", ".cc", ".c")
INCLUDE_RE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
# "Join when it exists": a piece that is missing would vanish silently.
CMAKE_OPTIONAL_RE = re.compile(
    r"\bif\s*\([^)]*\b(EXISTS|TARGET|COMMAND)\b|\bLIST_DIRECTORIES\b|"
    r"\bfind_package\s*\([^)]*\bQUIET\b", re.IGNORECASE)
ADD_SUBDIR_RE = re.compile(r"\badd_subdirectory\s*\(\s*([^\s)]+)")


def tracked_files(root):
    """The tree's files as git knows them (untracked ones too, ignored ones
    not); outside a work tree every file under root."""
    out = subprocess.run(["git", "-C", root, "rev-parse", "--show-prefix"],
                         capture_output=True, text=True)
    if out.returncode == 0 and out.stdout.strip() == "":
        out = subprocess.run(["git", "-C", root, "ls-files", "--cached", "--others",
                              "--exclude-standard"], capture_output=True, text=True, check=True)
        names = out.stdout.splitlines()
    else:
        names = [os.path.relpath(os.path.join(d, f), root)
                 for d, _, fs in os.walk(root) for f in fs]
    return sorted(set(f for f in names if os.path.exists(os.path.join(root, f))))


def layer_of(path):
    """The folder of LAYERS a file belongs to (longest match), or None."""
    best = None
    for folder in LAYERS:
        if path.startswith(folder + "/") and (best is None or len(folder) > len(best)):
            best = folder
    return best


def is_test(path, folder):
    rest = path[len(folder) + 1:].split("/")
    return len(rest) > 1 and rest[0] in ("tests", "fuzz")


def qt_gui_names(dirs):
    names = set()
    for d in dirs:
        if not os.path.isdir(d):
            raise SystemExit("layers: no Qt include folder " + d)
        module = os.path.basename(os.path.normpath(d))
        names.add(module)
        for entry in os.listdir(d):
            names.add(entry)
            names.add(module + "/" + entry)
    return names


def is_qt_gui(include, names):
    return include in names or include.split("/")[0] in QT_GUI_MODULES


def form_units(root, folder):
    """Base names of the form files in folder: the units with a window."""
    full = os.path.join(root, folder)
    return [f[:-5] for f in os.listdir(full) if f.endswith(".form")]


def check_includes(root, files, gui_names, problems, used):
    forms = {}
    for path in files:
        if not path.endswith(SOURCE_EXTS):
            continue
        folder = layer_of(path)
        top = path.split("/")[0]
        if folder is None:
            if top in ("platform", "components", "puzzle", "installer", "game", "editor", "setup",
                       "tools", "bench", "tests"):
                problems.append(f"{path}:1: no layer rule names the folder of this file")
            continue
        _, allowed, gui = LAYERS[folder]
        test = is_test(path, folder)
        base = os.path.basename(path)
        if gui == "forms" and folder not in forms:
            forms[folder] = form_units(root, folder)
        gui_ok = (gui == "yes" or (gui in ("tests", "forms") and test) or
                  (gui == "forms" and any(base.startswith(u) for u in forms[folder])))
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                m = INCLUDE_RE.match(line)
                if not m:
                    continue
                include = m.group(2)
                if is_qt_gui(include, gui_names):
                    if not gui_ok:
                        problems.append(f"{path}:{number}: Qt GUI header <{include}> outside "
                                        "the window layers")
                    continue
                if m.group(1) != '"' or "/" not in include:
                    continue
                target = layer_of(include)
                if target is None or target == folder:
                    continue
                if test and target == "tests/support":
                    continue
                if target not in allowed:
                    problems.append(f"{path}:{number}: {folder} may not include {include}")
                elif not test:
                    used.setdefault(folder, set()).add(target)


def parse_links(values):
    links = {}
    for value in values:
        name, _, deps = value.partition(":")
        links[name] = [d for d in re.split(r"[,;]", deps) if d]
    return links


def closure(links, name):
    seen, stack = set(), [name]
    while stack:
        for dep in links.get(stack.pop(), []):
            if dep not in seen:
                seen.add(dep)
                stack.append(dep)
    return seen


def check_links(links, used, problems):
    for folder, targets in sorted(used.items()):
        lib = LAYERS[folder][0]
        if lib is None or lib not in links:
            continue
        for target in sorted(targets):
            needed = LAYERS[target][0]
            if needed and needed not in links[lib]:
                problems.append(f"{folder}/CMakeLists.txt:1: {lib} includes {target} but does "
                                f"not name {needed} among its libraries")
    folders = {layer[0]: folder for folder, layer in LAYERS.items() if layer[0]}
    for lib in sorted(WINDOWLESS & links.keys()):
        for dep in sorted(closure(links, lib) & WINDOW_LIBS):
            problems.append(f"{folders[lib]}/CMakeLists.txt:1: {lib} needs no window but "
                            f"links {dep}")


def check_cmake(root, files, problems):
    lists = [f for f in files if os.path.basename(f) == "CMakeLists.txt"]
    added = set()
    for path in lists:
        here = os.path.dirname(path)
        with open(os.path.join(root, path), encoding="utf-8") as f:
            text = f.read()
        for number, line in enumerate(text.splitlines(), 1):
            code = line.split("#", 1)[0]
            if CMAKE_OPTIONAL_RE.search(code):
                problems.append(f"{path}:{number}: joins a piece only when it exists; "
                                "name it instead")
            for m in ADD_SUBDIR_RE.finditer(code):
                added.add(os.path.normpath(os.path.join(here, m.group(1))))
    for path in lists:
        folder = os.path.dirname(path)
        if folder and folder not in added:
            problems.append(f"{path}:1: no add_subdirectory names this folder")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.join(os.path.dirname(__file__), "..", ".."))
    parser.add_argument("--qt-module-dir", action="append", default=[],
                        help="include folders of a Qt GUI module, comma-separated; only "
                             "the module's own folder is used (repeatable)")
    parser.add_argument("--links", action="append", default=[],
                        help="target:dep1,dep2,... as CMake links it (repeatable)")
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    given = [d for value in args.qt_module_dir for d in value.split(",") if d]
    qt_dirs = [d for d in given
               if os.path.basename(os.path.normpath(d)) in QT_GUI_MODULES] or DEFAULT_QT_DIRS
    files = tracked_files(root)
    problems, used = [], {}
    check_includes(root, files, qt_gui_names(qt_dirs), problems, used)
    check_links(parse_links(args.links), used, problems)
    check_cmake(root, files, problems)
    for p in problems:
        print(p)
    print(f"layers: {len(files)} files, {len(problems)} violations")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

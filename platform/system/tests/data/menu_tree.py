#!/usr/bin/env python3
"""Prints the submenus a freedesktop menu parser makes of the menu file
given, one line each: "<path>|<shown name>|<entry names, sorted>"."""

import sys

from xdg import Menu


def walk(menu, path):
    for item in menu.getEntries():
        if isinstance(item, Menu.Menu):
            here = path + [item.Name]
            names = sorted(e.DesktopEntry.getName() for e in item.getEntries()
                           if isinstance(e, Menu.MenuEntry))
            print("/".join(here) + "|" + item.getName() + "|" + ";".join(names))
            walk(item, here)


walk(Menu.parse(sys.argv[1]), [])

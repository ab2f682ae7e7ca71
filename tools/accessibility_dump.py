#!/usr/bin/python3
"""What a screen reader learns of the running window through AT-SPI.

  accessibility_dump.py APP dump [TITLE]    the tree of APP's shown objects
                                            (from the window titled TITLE on)
  accessibility_dump.py APP press ROLE:NAME...   presses these one after
                                            another (menus, menu items, buttons)

Each line of the dump: role | name | description, and [focusable].
"""
import sys
import time

import pyatspi


def application(name):
    for _ in range(50):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    sys.exit("no application " + name)


def find(node, role, name):
    if node.getRoleName() == role and node.name == name:
        return node
    for child in node:
        found = find(child, role, name) if child is not None else None
        if found:
            return found
    return None


def dump(node, depth, lines):
    states = node.getState()
    if depth > 1 and not states.contains(pyatspi.STATE_SHOWING):
        return
    focus = " [focusable]" if states.contains(pyatspi.STATE_FOCUSABLE) else ""
    lines.append("%s%s | %s | %s%s" % ("  " * depth, node.getRoleName(), node.name,
                                       node.description.replace("\n", " "), focus))
    # A table's first rows say enough.
    children = list(node)[:4] if node.getRoleName() == "table" else list(node)
    for child in children:
        if child is not None:
            dump(child, depth + 1, lines)


def main():
    app = application(sys.argv[1])
    if sys.argv[2] == "dump":
        lines = []
        dump(app, 0, lines)
        title = sys.argv[3] if len(sys.argv) > 3 else None
        start = next((i for i, l in enumerate(lines) if title and l.strip().startswith("dialog | " + title)), 0)
        print("\n".join(lines[start:]))
        return
    for wanted in sys.argv[3:]:
        role, name = wanted.split(":", 1)
        for _ in range(20):
            node = find(app, role, name)
            if node:
                break
            time.sleep(0.2)
        else:
            sys.exit("not found: " + wanted)
        node.queryAction().doAction(0)
        time.sleep(0.7)


if __name__ == "__main__":
    main()

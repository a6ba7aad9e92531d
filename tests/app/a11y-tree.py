#!/usr/bin/python3
"""Reads a program's accessibility tree as a screen reader does, over AT-SPI.

Usage: a11y-tree.py PID list
         one line per object: role, name, states and actions, tab-separated;
         the cells of tables are left out (a table is one control)
       a11y-tree.py PID do ROLE NAME ACTION
         runs an action ("Press", "SetFocus", ...) of the first object of that
         role and name

The program must run on the accessibility bus of this session bus. Waits up to
20 seconds for the program to appear; exits 2 when it does not.
"""

import sys
import time

import pyatspi

# Containers whose children are cells, not controls.
CELL_CONTAINERS = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE}
# Bounded work whatever the program shows.
MAX_OBJECTS = 5000
STATES = [
    ("showing", pyatspi.STATE_SHOWING),
    ("focusable", pyatspi.STATE_FOCUSABLE),
    ("focused", pyatspi.STATE_FOCUSED),
    ("selected", pyatspi.STATE_SELECTED),
    ("enabled", pyatspi.STATE_ENABLED),
    ("editable", pyatspi.STATE_EDITABLE),
]


def find_application(pid):
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            try:
                if app is not None and app.get_process_id() == pid and app.childCount > 0:
                    return app
            except Exception:  # an application that went away meanwhile
                continue
        time.sleep(0.2)
    return None


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def walk(node, depth=0, seen=None):
    seen = seen if seen is not None else [0]
    seen[0] += 1
    if seen[0] > MAX_OBJECTS:
        return
    yield node, depth
    if node.getRole() in CELL_CONTAINERS:
        return
    for child in node:
        if child is not None:
            yield from walk(child, depth + 1, seen)


def describe(node):
    state = node.getState()
    states = ",".join(name for name, value in STATES if state.contains(value))
    return "\t".join(
        [
            node.getRoleName(),
            (node.name or "").replace("\t", " ").replace("\n", " "),
            states,
            ",".join(actions(node)),
        ]
    )


def main():
    pid = int(sys.argv[1])
    command = sys.argv[2]
    app = find_application(pid)
    if app is None:
        print("NO APPLICATION", flush=True)
        return 2
    if command == "list":
        for node, depth in walk(app):
            print("  " * depth + describe(node))
        return 0
    if command == "do":
        role, name, wanted = sys.argv[3], sys.argv[4], sys.argv[5]
        for node, _ in walk(app):
            if node.getRoleName() == role and node.name == name:
                names = actions(node)
                if wanted not in names:
                    print("NO ACTION", wanted, "in", names, flush=True)
                    return 1
                node.queryAction().doAction(names.index(wanted))
                print("DONE", flush=True)
                return 0
        print("NOT FOUND", flush=True)
        return 1
    print("unknown command", command, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())

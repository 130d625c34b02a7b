#!/usr/bin/python3
"""Reads pdedialog's accessibility tree as a screen reader does, through AT-SPI.

Usage: accessible_names.py OUTPUT PROGRAM [ARGUMENTS...]

Run it inside a session bus of its own (dbus-run-session): it starts the program there, waits
until the program's window shows a page of controls in the AT-SPI tree, writes every node of the
window as one JSON document to the file OUTPUT (standard output is shared with the accessibility
daemons the bus starts), and ends the program. Exit status 0; 1 when the
window did not appear in time (the reason on standard error).

Each node: role, name, states (enabled, showing) and its relations by the targets' names:
{"role": "text", "name": "Department Code", "enabled": false, "showing": true,
 "labelledBy": [], "labelFor": []}
"""
import json
import subprocess
import sys
import time

import pyatspi

APPEAR_LIMIT = 20.0
INTERACTIVE = {"combo box", "text", "slider", "check box", "push button", "toggle button", "spin button"}


def relation_names(node, kind):
    names = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == kind:
            names += [relation.getTarget(index).name for index in range(relation.getNTargets())]
    return names


def nodes_of(node, found):
    states = node.getState()
    found.append({
        "role": node.getRoleName(),
        "name": node.name or "",
        "enabled": states.contains(pyatspi.STATE_SENSITIVE),
        "showing": states.contains(pyatspi.STATE_SHOWING),
        "labelledBy": relation_names(node, pyatspi.RELATION_LABELLED_BY),
        "labelFor": relation_names(node, pyatspi.RELATION_LABEL_FOR),
    })
    # A pop-up's menu items are no controls of their own.
    if node.getRoleName() != "combo box":
        for index in range(node.childCount):
            child = node.getChildAtIndex(index)
            if child is not None:
                nodes_of(child, found)
    return found


def window_of(program_name):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        application = desktop.getChildAtIndex(index)
        if application is None or application.name != program_name:
            continue
        for window_index in range(application.childCount):
            window = application.getChildAtIndex(window_index)
            if window is not None and window.getRoleName() == "frame":
                return window
    return None


def main(arguments):
    if len(arguments) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    output = arguments[0]
    program = subprocess.Popen(arguments[1:], stdout=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + APPEAR_LIMIT
        while time.monotonic() < deadline:
            if program.poll() is not None:
                print("the program ended with status %d before its window appeared" % program.returncode,
                      file=sys.stderr)
                return 1
            try:
                window = window_of("pdedialog")
                nodes = nodes_of(window, []) if window is not None else []
            except Exception as error:  # the tree changes while it is read: read it again
                print("reading the tree: %s" % error, file=sys.stderr)
                nodes = []
            # Ready once the pane's controls are named: a named interactive node besides the
            # window's own buttons and page chooser.
            if sum(1 for node in nodes if node["role"] in INTERACTIVE) > 4:
                with open(output, "w", encoding="utf-8") as written:
                    json.dump(nodes, written, indent=1)
                return 0
            time.sleep(0.2)
        print("no window of pdedialog in the accessibility tree after %.0f s" % APPEAR_LIMIT, file=sys.stderr)
        return 1
    finally:
        program.terminate()
        try:
            program.wait(timeout=10)
        except subprocess.TimeoutExpired:
            program.kill()
            program.wait()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

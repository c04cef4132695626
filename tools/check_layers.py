#!/usr/bin/python3
"""Checks that the source folders stay one-way layers: a folder includes only itself and the folders
below it, and no two files include each other, directly or round a circle.

Usage: check_layers.py [SRC_FOLDER]   (default: src beside this script's folder; exit status 1 on a fault)
"""
import os
import re
import sys

# Two stacks share the bottom: the engine, and the window toolkit. Each folder may include the
# folders below it in its own stack; the two front ends at the top, app (the window) and console,
# may include every folder below them, but not each other.
ENGINE = ["core", "platform", "detect", "processes", "remove", "clean", "disinfect", "scan"]
WINDOW = ["core", "platform", "framework", "ui"]
TOPS = ("app", "console")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def allowed_below(folder):
    """The folders `folder` may include (itself among them), or None for a folder no layer knows."""
    if folder in TOPS:
        return set(ENGINE) | set(WINDOW) | {folder}
    allowed = set()
    for stack in (ENGINE, WINDOW):
        if folder in stack:
            allowed |= set(stack[:stack.index(folder) + 1])
    return allowed or None


def source_files(src):
    for folder, _, names in os.walk(src):
        for name in sorted(names):
            if name.endswith((".h", ".cpp")):
                path = os.path.join(folder, name)
                yield os.path.relpath(path, src).replace(os.sep, "/"), path


def find_circle(graph):
    """One circle of includes as a list of files, or None."""
    state = {}

    def visit(node, trail):
        state[node] = "open"
        trail.append(node)
        for target in sorted(graph.get(node, ())):
            if state.get(target) == "open":
                return trail[trail.index(target):] + [target]
            if target not in state:
                found = visit(target, trail)
                if found:
                    return found
        trail.pop()
        state[node] = "done"
        return None

    for node in sorted(graph):
        if node not in state:
            found = visit(node, [])
            if found:
                return found
    return None


def check(src):
    faults = []
    graph = {}
    for rel, path in source_files(src):
        folder = rel.split("/", 1)[0]
        allowed = allowed_below(folder)
        if allowed is None:
            faults.append("%s: folder %s belongs to no layer" % (rel, folder))
            continue
        with open(path, encoding="utf-8", errors="replace") as f:
            included = INCLUDE.findall(f.read())
        for target in included:
            if "/" not in target:
                continue  # resource.h and other files from outside src
            graph.setdefault(rel, set()).add(target)
            target_folder = target.split("/", 1)[0]
            if target_folder not in allowed:
                faults.append("%s includes %s: %s is not below %s" % (rel, target, target_folder, folder))
    circle = find_circle(graph)
    if circle:
        faults.append("files include each other: " + " -> ".join(circle))
    return faults


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(here), "src")
    faults = check(src)
    for fault in faults:
        print("FAULT: " + fault)
    print("%s: %d layer faults" % (src, len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

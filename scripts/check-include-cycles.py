#!/usr/bin/env python3
"""Fails when the files of a folder include each other in a cycle.

A file pair x.h and x.cc counts as one unit, so x.cc including y.h while
y.cc includes x.h is a cycle too: the two units depend on each other.

    check-include-cycles.py FOLDER...   (folders of the source tree, such as decode)
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def unit_graph(root, folder):
    """The units of `folder` and, for each, the units of the folder it includes."""
    graph = {}
    for path in sorted((root / folder).iterdir()):
        if path.suffix not in ('.h', '.cc', '.inc'):
            continue
        unit = path.stem
        edges = graph.setdefault(unit, set())
        for included in INCLUDE.findall(path.read_text(encoding='utf-8', errors='replace')):
            included_path = pathlib.PurePosixPath(included)
            if str(included_path.parent) == folder and included_path.stem != unit:
                edges.add(included_path.stem)
    return graph


def find_cycle(graph):
    """One cycle of `graph` as a list of units, or None."""
    state = {}  # unit -> 'open' while on the path, 'done' after
    path = []

    def visit(unit):
        state[unit] = 'open'
        path.append(unit)
        for target in sorted(graph.get(unit, ())):
            if state.get(target) == 'open':
                return path[path.index(target):] + [target]
            if target not in state:
                cycle = visit(target)
                if cycle:
                    return cycle
        path.pop()
        state[unit] = 'done'
        return None

    for unit in sorted(graph):
        if unit not in state:
            cycle = visit(unit)
            if cycle:
                return cycle
    return None


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    failed = False
    for folder in sys.argv[1:]:
        cycle = find_cycle(unit_graph(root, folder))
        if cycle:
            print(f'{folder}/: include cycle: ' + ' -> '.join(cycle))
            failed = True
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())

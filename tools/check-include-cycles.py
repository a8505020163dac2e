#!/usr/bin/env python3
"""Checks that the project's own sources include each other without a cycle.

    tools/check-include-cycles.py [ROOT]     exit 0: no cycle; 1: cycles, listed
    tools/check-include-cycles.py --self-test

A file and its namesake in the same folder (Wnd.h and Wnd.cpp) are one unit:
Wnd.cpp including WinApp.h while WinApp.cpp includes Wnd.h is a cycle between
two units even though no file includes itself, and it is what makes a unit
impossible to take, test or understand without the other.

Only quoted includes count. Each is looked for next to the including file,
then in every folder of the tree that holds sources (the include paths the
build gives are all among them); a name found nowhere (a system or generated
header) is left out. Build trees, hidden folders and fuzz corpora are not
read.
"""

import collections
import os
import re
import sys
import tempfile

SOURCE_EXTENSIONS = (".h", ".hpp", ".c", ".cc", ".cpp")
SKIPPED_FOLDERS = {"build", "corpus"}
INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*"([^"]+)"', re.M)


def source_files(root):
    """Paths relative to root, with '/' separators, sorted."""
    found = []
    for folder, subfolders, names in os.walk(root):
        subfolders[:] = sorted(
            d for d in subfolders if not d.startswith(".") and d not in SKIPPED_FOLDERS)
        for name in names:
            if name.endswith(SOURCE_EXTENSIONS):
                found.append(os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/"))
    return sorted(found)


def include_edges(root, files):
    """{file: [(included file, line number), ...]} over the files given."""
    known = set(files)
    folders = sorted({os.path.dirname(f) for f in files})
    edges = {}
    for f in files:
        with open(os.path.join(root, f), encoding="utf-8", errors="replace") as stream:
            text = stream.read()
        targets = []
        for match in INCLUDE.finditer(text):
            name = match.group(1)
            line = text.count("\n", 0, match.start()) + 1
            beside = os.path.normpath(os.path.join(os.path.dirname(f), name)).replace(os.sep, "/")
            if beside in known:
                targets.append((beside, line))
                continue
            candidates = []
            for folder in folders:
                path = os.path.normpath(os.path.join(folder, name)).replace(os.sep, "/")
                if path in known:
                    candidates.append(path)
            # Two headers of one name in different folders: each is a possible
            # target, so a cycle through either is reported.
            targets.extend((c, line) for c in candidates)
        edges[f] = targets
    return edges


def unit_of(path):
    return os.path.splitext(path)[0]


def unit_graph(edges):
    """{unit: {unit: (file, included file, line)}}, one example include per pair."""
    graph = collections.defaultdict(dict)
    for f, targets in edges.items():
        graph[unit_of(f)]
        for target, line in targets:
            a, b = unit_of(f), unit_of(target)
            if a != b and b not in graph[a]:
                graph[a][b] = (f, target, line)
    return graph


def strongly_connected(graph):
    """The groups of units that reach each other (Tarjan), larger than one."""
    index, low, stack, on_stack, groups = {}, {}, [], set(), []
    counter = [0]

    def visit(start):
        # Iterative, so that a long chain of includes cannot exhaust the stack.
        work = [(start, iter(sorted(graph[start])))]
        index[start] = low[start] = counter[0]
        counter[0] += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            unit, successors = work[-1]
            advanced = False
            for nxt in successors:
                if nxt not in index:
                    index[nxt] = low[nxt] = counter[0]
                    counter[0] += 1
                    stack.append(nxt)
                    on_stack.add(nxt)
                    work.append((nxt, iter(sorted(graph[nxt]))))
                    advanced = True
                    break
                if nxt in on_stack:
                    low[unit] = min(low[unit], index[nxt])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[unit])
            if low[unit] == index[unit]:
                group = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    group.append(member)
                    if member == unit:
                        break
                if len(group) > 1:
                    groups.append(sorted(group))

    for unit in sorted(graph):
        if unit not in index:
            visit(unit)
    return sorted(groups)


def one_cycle(graph, group):
    """A shortest path from the group's first unit back to itself, inside the group."""
    members = set(group)
    start = group[0]
    previous = {start: None}
    queue = collections.deque([start])
    while queue:
        unit = queue.popleft()
        for nxt in sorted(graph[unit]):
            if nxt not in members:
                continue
            if nxt == start:
                path = [unit]
                while previous[path[-1]] is not None:
                    path.append(previous[path[-1]])
                path.reverse()
                return [graph[a][b] for a, b in zip(path, path[1:] + [start])]
            if nxt not in previous:
                previous[nxt] = unit
                queue.append(nxt)
    return []


def find_cycles(root):
    """[(units of a cycle, [(file, included file, line), ...]), ...]"""
    graph = unit_graph(include_edges(root, source_files(root)))
    return [(group, one_cycle(graph, group)) for group in strongly_connected(graph)]


def report(root):
    cycles = find_cycles(root)
    for units, steps in cycles:
        print("include cycle between " + ", ".join(units) + ":")
        for f, target, line in steps:
            print("  %s:%d includes %s" % (f, line, target))
    if cycles:
        print("%d include cycle(s): cut one include of each (forward declarations, or "
              "the shared part in a unit of its own)" % len(cycles))
        return 1
    print("no include cycle")
    return 0


def self_test():
    """The checker on small trees of its own: it must find what it is for."""
    cases = [
        ("sources of two units including each other's header",
         {"a/Wnd.h": "", "a/Wnd.cpp": '#include "Wnd.h"\n#include "WinApp.h"\n',
          "a/WinApp.h": "", "a/WinApp.cpp": '#include "WinApp.h"\n#include "Wnd.h"\n'},
         [["a/WinApp", "a/Wnd"]]),
        ("a header and its own source",
         {"a/X.h": "", "a/X.cpp": '#include "X.h"\n'}, []),
        ("three units in a ring, through a folder prefix and another folder",
         {"ui/A.h": '#include "framework/B.h"\n', "ui/framework/B.h": "",
          "ui/framework/B.cpp": '#  include "C.h"\n', "core/C.h": "",
          "core/C.cpp": '#include "A.h"\n'},
         [["core/C", "ui/A", "ui/framework/B"]]),
        ("system headers, angle brackets and unknown names",
         {"a/Y.cpp": '#include <Y.h>\n#include "windows.h"\n', "a/Y.h": '#include <vector>\n'},
         []),
        ("a chain without a way back",
         {"a/P.cpp": '#include "Q.h"\n', "a/Q.h": "", "a/Q.cpp": '#include "R.h"\n',
          "a/R.h": ""}, []),
        ("build trees and hidden folders are not read",
         {"build/x/M.h": '#include "N.h"\n', "build/x/N.h": '#include "M.h"\n',
          ".git/M.h": '#include "N.h"\n', ".git/N.h": '#include "M.h"\n', "src/K.h": ""},
         []),
    ]
    failures = 0
    for title, tree, want in cases:
        with tempfile.TemporaryDirectory() as root:
            for path, text in tree.items():
                full = os.path.join(root, path)
                os.makedirs(os.path.dirname(full), exist_ok=True)
                with open(full, "w", encoding="utf-8") as stream:
                    stream.write(text)
            got = [units for units, steps in find_cycles(root) if steps]
            if got != want:
                failures += 1
                print("self-test failed: %s: found %r, expected %r" % (title, got, want))
    print("self-test: %d of %d cases passed" % (len(cases) - failures, len(cases)))
    return 1 if failures else 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    if len(argv) > 2:
        print(__doc__)
        return 2
    root = argv[1] if len(argv) == 2 else os.path.join(os.path.dirname(__file__), "..")
    return report(os.path.abspath(root))


if __name__ == "__main__":
    sys.exit(main(sys.argv))

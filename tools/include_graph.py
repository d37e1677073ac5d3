#!/usr/bin/env python3
"""The include graph of a source folder, and whether it has a circle.

Lists every file of DIR (.h, .cpp, .inc) with the files of DIR it includes ("..." includes;
system headers and files elsewhere are left out). A header and the source files of the same
name (search.h, search.cpp) are one part: a part depends on the parts whose files its files
include. Two parts that depend on each other, directly or through others, make a circle, even
when no header includes itself: memo.cpp including parallel.h while parallel.h includes memo.h
is one. Each circle is printed with the includes that close it.

Usage: include_graph.py [--quiet] DIR   (exit 0 without a circle, 1 with one, 2 on bad use)
       --quiet prints the circles only."""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
EXTENSIONS = (".h", ".cpp", ".inc")


def part_of(name):
    return os.path.splitext(name)[0]


def read_includes(folder):
    """{file: [files of the folder it includes, in order]}"""
    files = sorted(f for f in os.listdir(folder) if f.endswith(EXTENSIONS))
    includes = {}
    for name in files:
        with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
            text = f.read()
        includes[name] = [inc for inc in INCLUDE.findall(text) if inc in files]
    return includes


def part_graph(includes):
    """{part: {part it depends on: [(file, included file), ...]}}, a part's own files left out."""
    graph = {}
    for name, incs in includes.items():
        edges = graph.setdefault(part_of(name), {})
        for inc in incs:
            if part_of(inc) != part_of(name):
                edges.setdefault(part_of(inc), []).append((name, inc))
    for edges in list(graph.values()):
        for target in edges:
            graph.setdefault(target, {})
    return graph


def strongly_connected(graph):
    """Tarjan's algorithm: the parts grouped so that two parts share a group exactly when each
    reaches the other."""
    index, low, stack, on_stack, groups = {}, {}, [], set(), []

    def visit(part):
        index[part] = low[part] = len(index)
        stack.append(part)
        on_stack.add(part)
        for target in sorted(graph[part]):
            if target not in index:
                visit(target)
                low[part] = min(low[part], low[target])
            elif target in on_stack:
                low[part] = min(low[part], index[target])
        if low[part] == index[part]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == part:
                    break
            groups.append(sorted(group))

    sys.setrecursionlimit(10000)
    for part in sorted(graph):
        if part not in index:
            visit(part)
    return groups


def circle_through(graph, group, start):
    """A shortest circle from `start` back to it, within the group."""
    members = set(group)
    came_from = {}
    frontier = [start]
    while frontier:
        following = []
        for part in frontier:
            for target in sorted(graph[part]):
                if target not in members:
                    continue
                if target == start:
                    path = [part]
                    while path[-1] != start:
                        path.append(came_from[path[-1]])
                    path.reverse()
                    return path + [start]
                if target not in came_from:
                    came_from[target] = part
                    following.append(target)
        frontier = following
    return [start]


def main(args):
    quiet = "--quiet" in args
    args = [a for a in args if a != "--quiet"]
    if len(args) != 1 or not os.path.isdir(args[0]):
        print(__doc__.strip().splitlines()[-2], file=sys.stderr)
        return 2
    folder = args[0]
    includes = read_includes(folder)
    graph = part_graph(includes)
    if not quiet:
        width = max(len(name) for name in includes) if includes else 0
        for name, incs in includes.items():
            print(f"{name:<{width}}  {' '.join(incs) if incs else '-'}")
        print()
    circles = [g for g in strongly_connected(graph) if len(g) > 1]
    for group in circles:
        print(f"circle among {', '.join(group)}:")
        shown = set()
        for part in group:
            if part in shown:
                continue
            path = circle_through(graph, group, part)
            shown.update(path)
            print(f"  {' -> '.join(path)}")
            for a, b in zip(path, path[1:]):
                for name, inc in graph[a][b]:
                    print(f"      {name} includes {inc}")
    if circles:
        print(f"{folder}: {len(circles)} circle(s) in the include graph")
        return 1
    print(f"{folder}: {len(graph)} parts, {len(includes)} files, no circle")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

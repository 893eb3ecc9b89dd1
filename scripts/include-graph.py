#!/usr/bin/env python3
"""The include graph between the folders of src/, and whether it has a cycle.

Each folder (src/shell, src/platform/win32, ...) is a node; `#include "a/b.h"` in a file of folder F
makes an edge from F to the folder of a/b.h. Prints the edges, then any cycle, and exits 1 on one.
Usage: scripts/include-graph.py [SRC_DIR]
"""
import os
import re
import sys

src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'src')
include = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
edges = {}
for folder, _, files in os.walk(src):
    here = os.path.relpath(folder, src)
    for name in files:
        if not name.endswith(('.h', '.cpp', '.rc')):
            continue
        for line in open(os.path.join(folder, name), encoding='utf-8', errors='replace'):
            m = include.match(line)
            if not m or '/' not in m.group(1):
                continue  # a sibling file, or a resource script's own neighbour
            target = os.path.dirname(m.group(1))
            if target != here:
                edges.setdefault(here, set()).add(target)

for node in sorted(edges):
    print(f'{node} -> {", ".join(sorted(edges[node]))}')

# Depth-first search for a back edge.
state, path = {}, []


def visit(node):
    state[node] = 'open'
    path.append(node)
    for nxt in sorted(edges.get(node, ())):
        if state.get(nxt) == 'open':
            print('cycle: ' + ' -> '.join(path[path.index(nxt):] + [nxt]))
            return True
        if nxt not in state and visit(nxt):
            return True
    path.pop()
    state[node] = 'done'
    return False


if any(visit(n) for n in sorted(edges) if n not in state):
    sys.exit(1)
print('no cycle')

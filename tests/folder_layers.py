#!/usr/bin/env python3
"""Checks that the folders of src/ depend one way.

A folder depends on another when one of its files includes a header of the
other ("trace/trace_buffer.h"). The folders are kept in layers, lowest first;
a folder may include only from layers below its own, so folders in the same
layer stay independent of each other and no cycle can form. Exits non-zero
on any include that goes sideways or up, naming the lines.

Usage: folder_layers.py [SOURCE_ROOT]   (default: src/ beside tests/)
"""
import os
import re
import sys

# The house, lowest floor first (the README's layout section reads the same).
LAYERS = [
    ["platform", "resources"],
    ["common"],
    ["appearance"],
    ["trace"],
    ["connection"],
    ["sending", "macro", "nettools", "replies"],
    ["session"],
    ["runner", "relaunch"],
    ["shell"],
]

INCLUDE = re.compile(r'^\s*#\s*include\s*"([A-Za-z0-9_]+)/[A-Za-z0-9_./-]+"')
SOURCE_SUFFIXES = (".h", ".cpp", ".rc")


def folder_includes(root):
    """{(from, to): [where, ...]} for every include between two folders."""
    edges = {}
    for folder in sorted(os.listdir(root)):
        base = os.path.join(root, folder)
        if not os.path.isdir(base):
            continue
        for directory, _, names in os.walk(base):
            for name in sorted(names):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(directory, name)
                with open(path, encoding="utf-8", errors="replace") as source:
                    for number, line in enumerate(source, 1):
                        match = INCLUDE.match(line)
                        if match and match.group(1) != folder:
                            where = f"{os.path.relpath(path, root)}:{number}: {line.strip()}"
                            edges.setdefault((folder, match.group(1)), []).append(where)
    return edges


def folders_of(root):
    return sorted(f for f in os.listdir(root) if os.path.isdir(os.path.join(root, f)))


def layer_faults(folders, edges):
    rank = {folder: level for level, layer in enumerate(LAYERS) for folder in layer}
    faults = [f"{folder}/ has no place in the layers" for folder in folders if folder not in rank]
    for (source, target), places in sorted(edges.items()):
        if source not in rank or target not in rank:
            continue
        if rank[target] >= rank[source]:
            faults.append(f"{source}/ includes {target}/, which is not below it:\n    " + "\n    ".join(places))
    return faults


def main():
    default_root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
    root = sys.argv[1] if len(sys.argv) > 1 else default_root
    folders = folders_of(root)
    edges = folder_includes(root)
    faults = layer_faults(folders, edges)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

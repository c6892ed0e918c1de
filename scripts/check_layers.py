#!/usr/bin/env python3
"""Checks that the source tree's includes follow its build's layers.

From the CMake files under src/ it learns which target each folder's sources
belong to and which targets each one links, directly or not. Then every
`#include "folder/..."` in src/ must name the file's own folder or one that a
target of the file's folder links: an include that climbs, or that reaches
sideways past the build's links, is reported with its file and line. It also
checks that the build's links have no circle, and that a system's private
headers (platform/posix, platform/win) are included from beside them only.

Run from anywhere: check_layers.py [SOURCE_ROOT]. Exit 0 when all is well.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
SRC = ROOT / "src"

COMMAND = re.compile(r"\b(add_library|add_executable|target_sources|target_link_libraries)\s*\(([^)]*)\)", re.S)
KEYWORDS = {"STATIC", "SHARED", "INTERFACE", "OBJECT", "PUBLIC", "PRIVATE", "WIN32"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
PRIVATE_FOLDERS = ("platform/posix", "platform/win")


def parse_cmake():
    """The targets: key -> (set of source folders, set of linked targets).

    A name declared again in another folder (the Qt and the Win32 programs
    are both "transhoralotuxa", for different systems) is keyed by its folder.
    """
    folders, links, declared = {}, {}, {}
    for cmake in sorted(SRC.rglob("CMakeLists.txt")):
        base = cmake.parent.relative_to(SRC)
        local = {}
        text = re.sub(r"#[^\n]*", "", cmake.read_text())
        for command, args in COMMAND.findall(text):
            words = args.split()
            if not words:
                continue
            name, rest = words[0], [w for w in words[1:] if w not in KEYWORDS]
            if command.startswith("add_"):
                local[name] = name if name not in declared else f"{name}@{base}"
                declared.setdefault(name, local[name])
            key = local.get(name, declared.get(name, name))
            folders.setdefault(key, set())
            links.setdefault(key, set())
            if command == "target_link_libraries":
                links[key].update(local.get(w, declared.get(w, w)) for w in rest if not w.startswith(("$", "-")))
                continue
            for source in rest:
                if source.endswith((".cpp", ".c", ".h")) and not source.startswith("$"):
                    folders[key].add(str((base / source).parent))
    return folders, links


def reachable(links, start):
    seen, todo = set(), [start]
    while todo:
        for dep in links.get(todo.pop(), ()):
            if dep in links and dep not in seen:
                seen.add(dep)
                todo.append(dep)
    return seen


def folder_of(path):
    """The folder of a file under src/ that a target owns (platform/posix is platform's)."""
    rel = path.relative_to(SRC)
    parent = str(rel.parent)
    return parent.split("/")[0] if parent.startswith("platform/") else parent


def main():
    folders, links = parse_cmake()
    problems = []

    for name in links:
        if name in reachable(links, name):
            problems.append(f"the target {name} links itself through a circle")

    owners = {}
    for name, dirs in folders.items():
        for d in dirs:
            owners.setdefault(d.split("/")[0] if d.startswith("platform/") else d, set()).add(name)
    allowed = {}
    for folder, targets in owners.items():
        below = set()
        for t in targets:
            below |= reachable(links, t)
        allowed[folder] = {f for f, ts in owners.items() if ts & below} | {folder}

    for path in sorted(p for p in SRC.rglob("*") if p.suffix in (".h", ".cpp")):
        folder = folder_of(path)
        rel_dir = str(path.relative_to(SRC).parent)
        text = path.read_text(errors="replace")
        for match in INCLUDE.finditer(text):
            target = match.group(1)
            if "/" not in target:
                continue
            line = text.count("\n", 0, match.start()) + 1
            where = f"src/{path.relative_to(SRC)}:{line}"
            head = target.split("/")[0]
            if head not in owners:
                continue
            for private in PRIVATE_FOLDERS:
                if target.startswith(private + "/") and rel_dir != private:
                    problems.append(f"{where}: includes {target}, a private header of {private}")
            if folder not in owners:
                problems.append(f"{where}: the folder src/{folder} belongs to no target")
                break
            if head not in allowed[folder]:
                problems.append(f"{where}: includes {target}, but no target of src/{folder} links src/{head}")

    for problem in problems:
        print(problem)
    if problems:
        print(f"layers: {len(problems)} problems")
        return 1
    # Each folder's floor: one above the highest of the folders it may include.
    floor = {}
    for folder in sorted(owners, key=lambda f: len(allowed[f])):
        floor[folder] = 1 + max((floor[f] for f in allowed[folder] - {folder} if f in floor), default=-1)
    floors = [sorted(f for f in floor if floor[f] == n) for n in range(max(floor.values()) + 1)]
    print("layers: every include goes down: " + " <- ".join(", ".join(fs) for fs in floors))
    return 0


if __name__ == "__main__":
    sys.exit(main())

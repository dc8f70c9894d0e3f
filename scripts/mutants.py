#!/usr/bin/env python3
"""The fiddly parts of scripts/mutants.sh: reading the fault list, keeping the scratch tree in
step with the checkout, applying and undoing one fault, and the result table.

The list (scripts/mutants.txt) is a sequence of entries:

    [id]
    file: path/in/the/checkout.cpp
    native: ctest_name ...        (test programs of the native preset that ought to fail)
    win64: ctest_name ...         (and of the win64 preset; at least one of the two lines)
    why: what goes wrong for a host
    - original text, one line per "- " line (exactly once in the file)
    + replacement text, one line per "+ " line (none: the original is deleted)

"#" starts a comment line outside an entry's snippet lines.
"""
import argparse
import json
import os
import re
import subprocess
import sys
from pathlib import Path

PRESETS = ("native", "win64")
RESULTS = ("caught", "missed", "stale", "no-build")


class ListError(Exception):
    pass


def parse_list(path):
    entries, current = [], None
    for number, raw in enumerate(Path(path).read_text().splitlines(), 1):
        where = f"{path}:{number}"
        if raw.startswith("[") and raw.rstrip().endswith("]"):
            current = {"id": raw.strip()[1:-1], "line": where, "old": [], "new": [],
                       "native": [], "win64": [], "file": None, "why": ""}
            entries.append(current)
            continue
        if raw.startswith("-") or raw.startswith("+"):
            if current is None:
                raise ListError(f"{where}: snippet line outside an entry")
            text = raw[2:] if raw[1:2] == " " else raw[1:]
            if raw[1:2] not in ("", " "):
                raise ListError(f"{where}: '{raw[0]}' must be followed by a space")
            current["old" if raw[0] == "-" else "new"].append(text)
            continue
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        key, sep, value = line.partition(":")
        if current is None or not sep or key not in ("file", "why") + PRESETS:
            raise ListError(f"{where}: expected 'file:', 'why:', 'native:' or 'win64:' in an entry")
        current[key] = value.split() if key in PRESETS else value.strip()

    seen = set()
    for e in entries:
        if not re.fullmatch(r"[a-z0-9][a-z0-9-]*", e["id"]):
            raise ListError(f"{e['line']}: id '{e['id']}' is not lower-case words joined by '-'")
        if e["id"] in seen:
            raise ListError(f"{e['line']}: id '{e['id']}' appears twice")
        seen.add(e["id"])
        if not e["file"] or not e["old"] or not (e["native"] or e["win64"]):
            raise ListError(f"{e['line']}: '{e['id']}' needs file:, a '- ' snippet and native: or win64: tests")
        e["old"] = "\n".join(e["old"])
        e["new"] = "\n".join(e["new"])
        if e["old"] == e["new"]:
            raise ListError(f"{e['line']}: '{e['id']}' replaces its snippet with itself")
    return entries


def select(entries, only, preset):
    if only:
        wanted = [i for i in only.split(",") if i]
        known = {e["id"]: e for e in entries}
        unknown = [i for i in wanted if i not in known]
        if unknown:
            raise ListError("no such fault in the list: " + ", ".join(unknown))
        entries = [known[i] for i in wanted]
    presets = [preset] if preset else list(PRESETS)
    return [e for e in entries if any(e[p] for p in presets)], presets


def snippet_state(tree, entry):
    """None when the snippet is in the file exactly once, else why it is stale."""
    path = Path(tree) / entry["file"]
    if not path.is_file():
        return f"{entry['file']} does not exist"
    count = path.read_text().count(entry["old"])
    if count == 1:
        return None
    first = entry["old"].splitlines()[0].strip()
    return f"snippet '{first}' found {count} times in {entry['file']} (needs exactly 1)"


def write_now(path, text):
    """Writes text and gives the file the current time: ninja rebuilds from what it sees."""
    path.write_text(text)
    os.utime(path)


# --- commands


def cmd_select(args):
    entries, presets = select(parse_list(args.list), args.only, args.preset)
    for e in entries:
        tests = ["-" if not e[p] or p not in presets else ",".join(e[p]) for p in PRESETS]
        print("\t".join([e["id"], e["file"]] + tests))


def cmd_check(args):
    entries, _ = select(parse_list(args.list), args.only, args.preset)
    bad = 0
    for e in entries:
        problem = snippet_state(args.tree, e)
        if problem:
            bad += 1
            print(f"stale {e['id']}: {problem}")
    print(f"{len(entries) - bad} of {len(entries)} snippets found exactly once")
    return 1 if bad else 0


def cmd_apply(args):
    entry = next(e for e in parse_list(args.list) if e["id"] == args.id)
    problem = snippet_state(args.tree, entry)
    if problem:
        print(f"stale: {problem}")
        return 0
    path = Path(args.tree) / entry["file"]
    original = path.read_text()
    # The original goes to disk first, so an interrupted run can always be undone.
    Path(args.state).write_text(json.dumps({"path": str(path), "text": original}))
    write_now(path, original.replace(entry["old"], entry["new"], 1))
    print("ok")
    return 0


def cmd_restore(args):
    state = Path(args.state)
    if not state.exists():
        return 0
    saved = json.loads(state.read_text())
    write_now(Path(saved["path"]), saved["text"])
    state.unlink()
    return 0


def cmd_sync(args):
    """Copies the checkout's tracked files (as they are in the working tree) into the scratch
    tree. Only files whose bytes differ are written, so unchanged ones keep their times and
    the scratch builds stay incremental; files no longer tracked are removed."""
    root, dest = Path(args.root), Path(args.dest)
    listing = subprocess.run(["git", "-C", str(root), "ls-files", "-z"], check=True,
                             capture_output=True).stdout.decode()
    tracked = {p for p in listing.split("\0") if p and (root / p).is_file()}
    copied = 0
    for rel in sorted(tracked):
        src, dst = root / rel, dest / rel
        data = src.read_bytes()
        if not dst.is_file() or dst.read_bytes() != data:
            dst.parent.mkdir(parents=True, exist_ok=True)
            dst.write_bytes(data)
            copied += 1
        mode = src.stat().st_mode & 0o777
        if dst.stat().st_mode & 0o777 != mode:
            dst.chmod(mode)
    removed, folders = 0, []
    for folder, dirs, files in os.walk(dest):
        here = Path(folder)
        if here == dest:
            dirs[:] = [d for d in dirs if d != "build"]  # the scratch builds and their Wine prefix
        folders.append(here)
        for name in files:
            if str((here / name).relative_to(dest)) not in tracked:
                (here / name).unlink()
                removed += 1
    for here in reversed(folders):
        if here != dest and not any(here.iterdir()):
            here.rmdir()
    print(f"scratch tree: {copied} files written, {removed} removed, {len(tracked)} tracked")


def cmd_report(args):
    rows = [line.split("\t") for line in Path(args.results).read_text().splitlines()[1:] if line]
    widths = [max(len(r[i]) for r in rows + [["id", "file", "result", "seconds"]]) for i in range(4)]
    header = ["id", "file", "result", "seconds", "detail"]
    for r in [header] + rows:
        print("  ".join(r[i].ljust(widths[i]) for i in range(4)) + "  " + r[4])
    counts = {k: sum(r[2] == k for r in rows) for k in RESULTS}
    for kind in ("missed", "stale", "no-build"):
        ids = [r[0] for r in rows if r[2] == kind]
        if ids:
            print(f"{kind}: {' '.join(ids)}")
    print(f"mutants: {counts['caught']} caught, {counts['missed']} missed, {counts['stale']} stale, "
          f"{counts['no-build']} no-build of {len(rows)}")
    return 0 if counts["caught"] == len(rows) else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    for name in ("select", "check"):
        p = sub.add_parser(name)
        p.add_argument("list")
        p.add_argument("--only", default="")
        p.add_argument("--preset", choices=PRESETS)
        if name == "check":
            p.add_argument("tree")
    p = sub.add_parser("apply")
    p.add_argument("list")
    p.add_argument("id")
    p.add_argument("tree")
    p.add_argument("state")
    p = sub.add_parser("restore")
    p.add_argument("state")
    p = sub.add_parser("sync")
    p.add_argument("root")
    p.add_argument("dest")
    p = sub.add_parser("report")
    p.add_argument("results")
    args = parser.parse_args()
    try:
        return globals()["cmd_" + args.command](args) or 0
    except ListError as e:
        print(f"mutants: {e}", file=sys.stderr)
        return 2


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Derives TSTOOLS.DLL's export table from the public declarations, and checks the result.

generate: reads the symbols that the export-scan object relocates into section .tsapi
          (one per TSAPI declaration, named by the compiler: _Name@N on i686, Name on x86_64) and writes
          the linker's .def, dlltool's import-library .def and the plain list.
check:    lists the built DLL's export table with objdump and fails unless it equals the
          list exactly and every i686 name has the decorated form _Name@N.
"""
import argparse
import re
import subprocess
import sys

DECORATED = re.compile(r"^_[A-Za-z_][A-Za-z0-9_]*@[0-9]+$")
PLAIN = re.compile(r"^[A-Za-z_][A-Za-z0-9_]*$")


def declared_symbols(objdump, objects):
    """The symbols relocated into section .tsapi: one per TSAPI declaration."""
    names = set()
    for obj in objects:
        out = subprocess.run([objdump, "-r", "-j", ".tsapi", obj],
                             check=True, capture_output=True, text=True).stdout
        for line in out.splitlines():
            m = re.match(r"^[0-9a-fA-F]+\s+\S+\s+(\S+)$", line)
            if m:
                names.add(m.group(1))
    return sorted(names)


def generate(args):
    symbols = declared_symbols(args.objdump, args.objects)
    if not symbols:
        sys.exit("exports.py: the export scan references no declarations")
    pattern = DECORATED if args.arch == "i686" else PLAIN
    bad = [s for s in symbols if not pattern.match(s)]
    if bad:
        sys.exit("exports.py: not stdcall-shaped declarations: " + ", ".join(bad))
    with open(args.def_path, "w") as f:
        f.write("LIBRARY TSTOOLS.DLL\nEXPORTS\n")
        for s in symbols:
            # i686: export the symbol under its full decorated name (the linker would drop
            # the leading underscore otherwise).
            f.write(f"  {s} = {s[1:]}\n" if args.arch == "i686" else f"  {s}\n")
    with open(args.import_def, "w") as f:
        f.write("LIBRARY TSTOOLS.DLL\nEXPORTS\n")
        for s in symbols:
            # The host's compiler references Name@N; the DLL's table holds _Name@N.
            f.write(f"  {s[1:]} == {s}\n" if args.arch == "i686" else f"  {s}\n")
    with open(args.list, "w") as f:
        f.write("\n".join(symbols) + "\n")


def dll_exports(objdump, dll):
    out = subprocess.run([objdump, "-p", dll], check=True, capture_output=True, text=True).stdout
    names, inside = [], False
    for line in out.splitlines():
        if line.startswith("[Ordinal/Name Pointer] Table"):
            inside = True
            continue
        if inside:
            m = re.match(r"^\s+\[\s*\d+\]\s+(\S+)$", line)
            if not m:
                break
            names.append(m.group(1))
    return names


def check(args):
    expected = [l.strip() for l in open(args.list) if l.strip()]
    actual = dll_exports(args.objdump, args.dll)
    problems = []
    pattern = DECORATED if args.arch == "i686" else PLAIN
    problems += [f"badly formed export: {n}" for n in actual if not pattern.match(n)]
    problems += [f"declared but not exported: {n}" for n in sorted(set(expected) - set(actual))]
    problems += [f"exported but not declared: {n}" for n in sorted(set(actual) - set(expected))]
    if len(actual) != len(set(actual)):
        problems.append("duplicate export names")
    if problems:
        sys.exit("exports.py: " + args.dll + "\n  " + "\n  ".join(problems))
    print(f"exports.py: {len(actual)} exports match the declarations")


def main():
    p = argparse.ArgumentParser()
    sub = p.add_subparsers(dest="cmd", required=True)
    g = sub.add_parser("generate")
    g.add_argument("--objdump", required=True)
    g.add_argument("--arch", required=True)
    g.add_argument("--def", dest="def_path", required=True)
    g.add_argument("--import-def", required=True)
    g.add_argument("--list", required=True)
    g.add_argument("objects", nargs="+")
    c = sub.add_parser("check")
    c.add_argument("--objdump", required=True)
    c.add_argument("--arch", required=True)
    c.add_argument("--list", required=True)
    c.add_argument("dll")
    args = p.parse_args()
    generate(args) if args.cmd == "generate" else check(args)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Another X program on the clipboard, for the scrap tests running under Wine. Wine returns
from starting a Unix program at once, so each command writes its result to a file under a
temporary name and renames it when complete; the test waits for the name.

  get TARGET OUT           the clipboard's TARGET, as xclip reads it
  set TARGET IN OUT        offers IN's bytes as TARGET; OUT says "set"
  mac-as-utf8 IN OUT       IN's Mac Roman text as UTF-8, CR to LF
  utf8-as-mac IN OUT       IN's UTF-8 through code page 1252 ("?" where it has no character) to
                           Mac Roman, LF to CR
"""
import os
import subprocess
import sys
import time


def finish(path, data):
    with open(path + ".part", "wb") as f:
        f.write(data)
    os.rename(path + ".part", path)


def main():
    command, args = sys.argv[1], sys.argv[2:]
    if command == "get":
        got = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-t", args[0]],
                             capture_output=True, timeout=20)
        finish(args[1], got.stdout)
    elif command == "set":
        with open(args[1], "rb") as f:
            subprocess.run(["xclip", "-i", "-selection", "clipboard", "-t", args[0]], stdin=f, timeout=20)
        # xclip serves from the background; the selection is ours once it lists the target.
        for _ in range(100):
            targets = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-t", "TARGETS"],
                                     capture_output=True, timeout=20).stdout.decode(errors="replace")
            if args[0] in targets.split():
                break
            time.sleep(0.05)
        finish(args[2], b"set")
    elif command == "mac-as-utf8":
        text = open(args[0], "rb").read().decode("mac_roman").replace("\r", "\n")
        finish(args[1], text.encode("utf-8"))
    elif command == "utf8-as-mac":
        text = open(args[0], "rb").read().decode("utf-8").encode("cp1252", errors="replace").decode("cp1252")
        finish(args[1], text.replace("\n", "\r").encode("mac_roman"))


if __name__ == "__main__":
    main()

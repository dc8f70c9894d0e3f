#!/usr/bin/env python3
"""Prints one line per suite and the closing "N passed, M failed" of a test run.

Each argument is <suite>=<ctest JUnit file>. A CTest test that wrote a GoogleTest XML report
beside the JUnit file counts its GoogleTest cases; one that crashed or timed out before
finishing its report counts its reported failures, or one failure when there are none.
Other CTest tests (fuzz runs) count as one each.
"""
import os
import sys
import xml.etree.ElementTree as ET


def gtest_counts(path):
    root = ET.parse(path).getroot()
    tests = failed = skipped = 0
    for case in root.iter("testcase"):
        if case.get("status") == "notrun" or case.get("result") == "skipped":
            skipped += 1
            continue
        tests += 1
        if case.find("failure") is not None:
            failed += 1
    return tests - failed, failed


def suite_counts(junit):
    passed = failed = 0
    if not os.path.exists(junit):
        return 0, 1
    results = os.path.dirname(junit)
    for case in ET.parse(junit).getroot().iter("testcase"):
        name = case.get("name")
        ok = case.get("status") == "run" and case.find("failure") is None
        xml = os.path.join(results, name + ".xml")
        if os.path.exists(xml):
            try:
                p, f = gtest_counts(xml)
            except ET.ParseError:
                p, f = 0, 0
            if not ok and f == 0:
                f = 1  # the program itself failed (crash, timeout, exit code)
            passed, failed = passed + p, failed + f
        else:
            passed, failed = (passed + 1, failed) if ok else (passed, failed + 1)
    return passed, failed


def main():
    total_passed = total_failed = 0
    for arg in sys.argv[1:]:
        suite, junit = arg.split("=", 1)
        p, f = suite_counts(junit)
        print(f"{suite}: {p} passed, {f} failed")
        total_passed, total_failed = total_passed + p, total_failed + f
    print(f"{total_passed} passed, {total_failed} failed")
    return 1 if total_failed else 0


if __name__ == "__main__":
    sys.exit(main())

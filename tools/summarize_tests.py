#!/usr/bin/env python3
"""Adds up the results of every test run into one closing line.

Each results folder holds ctest's JUnit file (ctest.junit) and one GoogleTest
XML file per test binary, named after its ctest test. A ctest test whose
GoogleTest file is missing (it crashed or never ran) counts as one result of
its own.
"""
import argparse
import os
import sys
import xml.etree.ElementTree as ET


def gtest_counts(path):
    root = ET.parse(path).getroot()
    passed = failed = 0
    for case in root.iter("testcase"):
        if case.get("result") == "skipped" or case.get("status") == "notrun":
            continue
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
            print(f"FAILED: {case.get('classname')}.{case.get('name')}")
        else:
            passed += 1
    return passed, failed


def folder_counts(folder):
    passed = failed = 0
    junit = os.path.join(folder, "ctest.junit")
    if not os.path.exists(junit):
        print(f"FAILED: no test results in {folder}")
        return 0, 1
    for case in ET.parse(junit).getroot().iter("testcase"):
        name = case.get("name")
        ok = case.get("status") == "run" and case.find("failure") is None
        detail = os.path.join(folder, name + ".xml")
        if os.path.exists(detail):
            p, f = gtest_counts(detail)
            if not ok and f == 0:
                f = 1  # the binary failed after writing its file
                print(f"FAILED: {name} (exit status)")
        else:
            p, f = (1, 0) if ok else (0, 1)
            if not ok:
                print(f"FAILED: {name}")
        passed += p
        failed += f
    return passed, failed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-failed", type=int, default=0)
    parser.add_argument("folders", nargs="+")
    args = parser.parse_args()
    passed = failed = 0
    if args.build_failed:
        print("FAILED: the build")
        failed += 1
    for folder in args.folders:
        p, f = folder_counts(folder)
        passed += p
        failed += f
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

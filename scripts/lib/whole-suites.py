#!/usr/bin/env python3
"""Counts the tests inside whole-suite CTest entries (one GoogleTest process each).

    whole-suites.py XML_DIR CTEST_LOG

Each entry NAME.WholeSuite ran the executable NAME, whose GoogleTest report is
XML_DIR/NAME.xml. Prints one line per suite, then "passed failed skipped" as the last
line.
An entry that failed without a report naming a failed test (a crash, a timeout, a
process that never started), and an entry that passed without writing a report, count
as one failed test.
"""
import os
import re
import sys
import xml.etree.ElementTree as ET


def suite_counts(path):
    root = ET.parse(path).getroot()
    cases = root.findall(".//testcase")
    failed = sum(1 for c in cases if c.find("failure") is not None or c.find("error") is not None)
    skipped = sum(1 for c in cases if c.get("result") == "skipped" or c.get("status") == "notrun")
    return len(cases) - failed - skipped, failed, skipped


def main():
    xml_dir, log = sys.argv[1], sys.argv[2]
    entry = re.compile(r"Test +#\d+: (\S+)\.WholeSuite \.*\s*(\S+)")
    passed = failed = skipped = 0
    with open(log, encoding="utf-8", errors="replace") as f:
        for line in f:
            m = entry.search(line)
            if not m:
                continue
            name, outcome = m.group(1), m.group(2)
            report = os.path.join(xml_dir, name + ".xml")
            p = f_ = s = 0
            if os.path.exists(report):
                try:
                    p, f_, s = suite_counts(report)
                except ET.ParseError:
                    pass
            # A run with no report, or a failed run whose report names no failed test
            # (a crash, a timeout, a lost Wine server), is one failure: never a pass.
            if (outcome != "Passed" or not os.path.exists(report)) and f_ == 0:
                f_ = 1
            said_skipped = f", {s} skipped" if s else ""
            print(f"   {name}: {p} passed, {f_} failed{said_skipped} ({outcome})")
            passed += p
            failed += f_
            skipped += s
    print(passed, failed, skipped)


if __name__ == "__main__":
    main()

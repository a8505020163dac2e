#!/usr/bin/env python3
"""tools/count-results.py CTEST_JUNIT RESULTS_DIR

Counts one ctest run in test cases: prints "PASSED FAILED SKIPPED" on one
line, then the names of the failed cases, one a line.

CTEST_JUNIT is ctest's --output-junit file. A CTest test that ran a
GoogleTest program left RESULTS_DIR/<test name>.xml (tests/CMakeLists.txt):
its cases are counted one by one, and a test that failed without a failed
case (a crash, a time-out, a sanitizer's report at exit) counts as one more
failure. Any other CTest test (a script, a stage) counts as one case.
"""
import os
import sys
import xml.etree.ElementTree as ET


def gtest_cases(path):
    """(passed, failed, skipped, failed names) of one GoogleTest XML file."""
    passed = failed = skipped = 0
    names = []
    for case in ET.parse(path).getroot().iter("testcase"):
        if case.get("status") != "run":
            continue  # disabled
        name = "%s.%s" % (case.get("classname"), case.get("name"))
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
            names.append(name)
        elif case.get("result") == "skipped" or case.find("skipped") is not None:
            skipped += 1
        else:
            passed += 1
    return passed, failed, skipped, names


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    junit, results = sys.argv[1], sys.argv[2]
    passed = failed = skipped = 0
    failed_names = []
    try:
        tests = list(ET.parse(junit).getroot().iter("testcase"))
    except (OSError, ET.ParseError) as e:
        print("0 1 0")
        print("ctest left no readable results (%s)" % e)
        return 0
    for test in tests:
        name = test.get("name")
        status = test.get("status")
        test_failed = status == "fail" or test.find("failure") is not None
        if status in ("notrun", "disabled") or test.find("skipped") is not None:
            skipped += 1
            continue
        xml = os.path.join(results, name + ".xml")
        if os.path.isfile(xml):
            try:
                p, f, s, names = gtest_cases(xml)
            except ET.ParseError:
                p, f, s, names = 0, 0, 0, []
                test_failed = True
            passed += p
            failed += f
            skipped += s
            failed_names += names
            if test_failed and f == 0:
                failed += 1
                failed_names.append(name + " (the program failed outside its cases)")
        elif test_failed:
            failed += 1
            failed_names.append(name)
        else:
            passed += 1
    print(passed, failed, skipped)
    for name in failed_names:
        print(name)
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Lists every test a ctest run skipped, with its reason, and fails when a
road test (CTest label "road": the desktop and setup roads) skipped for a
reason outside the one list of tests/support/TestSupport.h.

    skipped.py <build dir> <ctest output> <skip log>

The skip log has a line per skipped test written by the tests' main
(QX_SKIP_LOG): "<Suite.Test>\t<reason>". A test CTest reports as skipped or
not run without such a line has no reason, and counts as outside the list.
Ends with the plain count of the run: "N passed, N failed, N skipped".
"""
import re
import subprocess
import sys

LISTED = "[capability: "


def road_tests(build):
    out = subprocess.run(["ctest", "-N", "-L", "^road$"], cwd=build, capture_output=True, text=True,
                         check=True).stdout
    return set(re.findall(r"^\s*Test\s+#\d+: (\S+)$", out, re.M))


def main():
    build, output, log = sys.argv[1:4]
    with open(output, encoding="utf-8", errors="replace") as f:
        ctest = f.read()
    reasons = {}
    try:
        with open(log, encoding="utf-8", errors="replace") as f:
            for line in f:
                name, _, reason = line.rstrip("\n").partition("\t")
                reasons[name] = reason
    except FileNotFoundError:
        pass
    skipped = set(re.findall(r"Test\s+#\d+: (\S+) \.*\s*\*\*\*Skipped", ctest))
    # Only the list CTest heads "did not run"; its list of failures has the
    # same shape.
    section = re.search(r"^The following tests did not run:\n((?:\s+\d+ - .*\n?)*)", ctest, re.M)
    did_not_run = re.findall(r"^\s*\d+ - (\S+) \((.*)\)$", section.group(1) if section else "", re.M)
    for name, why in did_not_run:
        if name not in skipped:
            reasons.setdefault(name, "CTest: " + why)
            skipped.add(name)
    skipped |= set(reasons)
    roads = road_tests(build)

    refused = []
    print(f"\nSkipped tests: {len(skipped)}")
    for name in sorted(skipped):
        reason = reasons.get(name, "(no reason given)")
        road = name in roads
        print(f"  {name}{' [road]' if road else ''}: {reason}")
        if road and not reason.startswith(LISTED):
            refused.append(name)
    if refused:
        print(f"\nFAILED: {len(refused)} road test(s) skipped for a reason outside the list in "
              "tests/support/TestSupport.h:")
        for name in refused:
            print(f"  {name}")

    total = re.search(r"tests passed, (\d+) tests? failed out of (\d+)", ctest)
    if total:
        failed, count = int(total.group(1)), int(total.group(2))
        ran_skipped = len([n for n in skipped if re.search(rf"#\d+: {re.escape(n)} ", ctest)])
        print(f"\n{count - failed - ran_skipped} passed, {failed} failed, {ran_skipped} skipped")
    return 1 if refused else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Feeds skipped.py a ctest output with a failed road, a road skipped for a
listed capability and a road skipped without a reason, and checks that only
the last is refused and that the failure is not counted as a skip.

    skipped_selftest.py <skipped.py> <build dir>
"""
import os
import re
import subprocess
import sys
import tempfile

script, build = sys.argv[1:3]
out = subprocess.run(["ctest", "-N", "-L", "^road$"], cwd=build, capture_output=True, text=True,
                     check=True).stdout
roads = re.findall(r"^\s*Test\s+#\d+: (\S+)$", out, re.M)
if len(roads) < 3:
    sys.exit(f"fewer than three road tests in {build}")
failed, listed, unlisted = roads[:3]

CTEST = f"""1/3 Test #1: {failed} ....***Failed   1.00 sec
2/3 Test #2: {listed} ....***Skipped   1.00 sec
3/3 Test #3: {unlisted} ....***Skipped   1.00 sec

0% tests passed, 1 tests failed out of 3

The following tests did not run:
\t  2 - {listed} (Skipped)
\t  3 - {unlisted} (Skipped)

The following tests FAILED:
\t  1 - {failed} (Failed)
"""

with tempfile.TemporaryDirectory() as tmp:
    output = os.path.join(tmp, "ctest.txt")
    log = os.path.join(tmp, "skips.txt")
    with open(output, "w", encoding="utf-8") as f:
        f.write(CTEST)
    with open(log, "w", encoding="utf-8") as f:
        f.write(f"{listed}\t[capability: mount] no right to mount a small tmpfs\n")
    run = subprocess.run([sys.executable, script, build, output, log], capture_output=True, text=True)

report = run.stdout
refused = report.partition("FAILED:")[2]
problems = []
if run.returncode != 1:
    problems.append(f"exit {run.returncode}, not 1")
if unlisted not in refused:
    problems.append(f"{unlisted}, skipped without a reason, is not refused")
if listed in refused:
    problems.append(f"{listed}, skipped for a listed capability, is refused")
if failed in report:
    problems.append(f"{failed}, which failed, is reported as skipped")
if "0 passed, 1 failed, 2 skipped" not in report:
    problems.append("the count is not 0 passed, 1 failed, 2 skipped")
if problems:
    print(report)
    sys.exit("\n".join(problems))
print("skipped.py refuses the unlisted skip only")

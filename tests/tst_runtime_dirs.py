#!/usr/bin/env python3
# tst_runtime_dirs: every test that CTest runs gets a private runtime directory of its own.
# Usage: tst_runtime_dirs.py <ctest> <build dir>
# SPDX-License-Identifier: GPL-3.0-or-later
import json
import os
import stat
import subprocess
import sys

ctest, build = sys.argv[1], sys.argv[2]
listing = subprocess.run([ctest, "--show-only=json-v1"], cwd=build, check=True,
                         capture_output=True, text=True).stdout
failures = []
owners = {}
mine = None
for test in json.loads(listing)["tests"]:
    name = test["name"]
    environment = next((p["value"] for p in test.get("properties", [])
                        if p["name"] == "ENVIRONMENT"), [])
    dirs = [entry.split("=", 1)[1] for entry in environment
            if entry.startswith("XDG_RUNTIME_DIR=")]
    if len(dirs) != 1:
        failures.append(f"{name} has no XDG_RUNTIME_DIR of its own")
        continue
    path = dirs[0]
    if path in owners:
        failures.append(f"{name} shares {path} with {owners[path]}")
    owners[path] = name
    if name == "tst_runtime_dirs":
        mine = path
    try:
        info = os.stat(path)
    except OSError as error:
        failures.append(f"{name}: {error}")
        continue
    # What Qt asks of a runtime directory before it uses it without a warning.
    if not stat.S_ISDIR(info.st_mode) or stat.S_IMODE(info.st_mode) != 0o700 \
            or info.st_uid != os.geteuid():
        failures.append(f"{name}: {path} is not a directory of ours with mode 0700")

if len(owners) < 2:
    failures.append("CTest listed fewer than two tests")
if mine is None or os.environ.get("XDG_RUNTIME_DIR") != mine:
    failures.append("this test did not run with the directory listed for it")
for failure in failures:
    print("FAIL:", failure)
print(f"{len(owners)} tests, each with a runtime directory of its own" if not failures else "")
sys.exit(1 if failures else 0)

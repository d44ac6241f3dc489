#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later
"""ziplist_calls.py ZIPLIST: the listing tool looks the time zone up once per listing, not once per
member. Lists a stored archive of 10,000 members under strace, with TZ unset (as a desktop user has
it) and set, in a locale whose dates are formatted by hand and in one whose short date names the
month (C: "6 May 2020"), and counts the stat calls: a few dozen, not ten thousand."""
import os
import subprocess
import sys
import tempfile
import zipfile

MEMBERS = 10000
MOST_CALLS = 200


SKIPPED = 77  # ctest's SKIP_RETURN_CODE for this test


def main():
    ziplist = sys.argv[1]
    # Where the system forbids tracing (a container without ptrace), the count cannot be taken.
    try:
        probe = subprocess.run(["strace", "-f", "-o", os.devnull, "true"], stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE, check=False)
    except FileNotFoundError:
        print("strace is not installed (the set-up installs it)")
        return 1
    if probe.returncode != 0:
        print("strace cannot trace here: " + probe.stderr.decode("utf-8", "replace").strip())
        return SKIPPED
    with tempfile.TemporaryDirectory() as folder:
        archive = os.path.join(folder, "many.zip")
        with zipfile.ZipFile(archive, "w", zipfile.ZIP_STORED) as z:
            for i in range(MEMBERS):
                z.writestr(zipfile.ZipInfo("pasta/f%05d.txt" % i, date_time=(2020, 5, 6, 7, 8, 10)), b"x")
        failures = []
        for tz in (None, "UTC", "America/Sao_Paulo"):
            for lang in ("C.UTF-8", "pt_BR.UTF-8"):
                env = {k: v for k, v in os.environ.items() if k not in ("TZ", "LANG", "LC_ALL", "LANGUAGE")}
                env["LC_ALL"] = lang
                # A sanitized build's leak check cannot run under a tracer (it traces the process
                # itself); the count does not need it.
                env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "detect_leaks=0"]))
                if tz:
                    env["TZ"] = tz
                summary = os.path.join(folder, "calls.txt")
                run = subprocess.run(["strace", "-f", "-c", "-o", summary, "-e", "trace=newfstatat,stat,lstat,statx", ziplist, archive],
                                     env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
                lines = run.stdout.decode("utf-8", "replace").splitlines()
                if run.returncode != 0 or len(lines) != MEMBERS:
                    failures.append(f"TZ={tz} {lang}: exit {run.returncode}, {len(lines)} lines")
                    continue
                calls = 0
                with open(summary, encoding="utf-8") as f:
                    for row in f:
                        cells = row.split()
                        if len(cells) >= 5 and cells[-1] != "total" and cells[3].isdigit():
                            calls += int(cells[3])
                print(f"TZ={tz or '(unset)'} LC_ALL={lang}: {calls} stat calls for {MEMBERS} members")
                if calls > MOST_CALLS:
                    failures.append(f"TZ={tz} {lang}: {calls} stat calls")
    if failures:
        print("\n".join(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

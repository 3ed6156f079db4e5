#!/usr/bin/env python3
"""Which web features of 2021-2024 each browser's engine has, by one page for all.

Run it through bench/features (a private X server with a window manager). Each chosen program
of bench/programs.py opens /features.html (bench/features.html) from bench/server.py as a first
start; the page detects each feature without using it and sends its results to the server,
and the program is ended. Prints a table: one line per feature, one column per program, then
each engine's user agent.
"""

import argparse
import ctypes
import os
import re
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import programs  # noqa: E402
import runner  # noqa: E402
from server import PageServer  # noqa: E402

DEFAULT = "floor-gtk,orvane-gtk,surf,epiphany"


def feature_names():
    """The features' names and labels, in the page's order."""
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "features.html")) as f:
        page = f.read()
    return re.findall(r'\["([a-z-]+)", \d+, "([^"]+)"', page)


def probe(program, build, server, timeout):
    """The program's report (dict), or None when it sent none within `timeout` seconds."""
    box = programs.Sandbox(program.env)
    try:
        command = program.prepare(build, box)
        argv = [*command, program.address(server.url("/features.html"), server.url("/mail"))]
        mark = server.features_mark()
        proc = runner.spawn(argv, box.env)
        report, t0 = None, time.monotonic()
        while report is None and time.monotonic() - t0 < timeout:
            report = server.wait_features(mark, 0.1)
            if report is None and proc.poll() is not None:
                print(f"features: {program.name} ended with status {proc.returncode}",
                      file=sys.stderr)
                break
        runner.kill_tree(proc)
        return report
    finally:
        box.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--build", default=os.path.join(os.path.dirname(here), "build"))
    parser.add_argument("--only", default=DEFAULT,
                        help=f"comma-separated programs or groups (default {DEFAULT})")
    parser.add_argument("--timeout", type=float, default=60.0)
    parser.add_argument("--markdown", action="store_true", help="print a Markdown table")
    args = parser.parse_args()
    try:
        chosen = programs.select(args.only)
    except ValueError as unknown:
        parser.error(f"--only: unknown {unknown}")
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(runner.PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)

    server = PageServer()
    reports = {}
    try:
        for program in chosen:
            try:
                report = probe(program, args.build, server, args.timeout)
            except programs.Skip as why:
                print(f"features: {program.name} skipped: {why}", file=sys.stderr)
                continue
            if report is None:
                print(f"features: {program.name} sent no report", file=sys.stderr)
                continue
            reports[program.name] = report
    finally:
        server.close()

    names = list(reports)
    features = feature_names()
    mark = {"1": "yes", "0": "no"}
    if args.markdown:
        print("| feature | " + " | ".join(names) + " |")
        print("|---|" + "---|" * len(names))
        for key, label in features:
            print(f"| {label} | " + " | ".join(mark.get(reports[n].get(key), "?") for n in names)
                  + " |")
        print("| **present** | " + " | ".join(
            f"**{sum(reports[n].get(k) == '1' for k, _ in features)} of {len(features)}**"
            for n in names) + " |")
    else:
        width = max(len(label) for _, label in features) + 2
        print(f"{'':{width}}" + "".join(f"{n:>14}" for n in names))
        for key, label in features:
            print(f"{label:{width}}" + "".join(
                f"{mark.get(reports[n].get(key), '?'):>14}" for n in names))
        print(f"{'present':{width}}" + "".join(
            f"{sum(reports[n].get(k) == '1' for k, _ in features):>9} of {len(features)}"
            for n in names))
    print()
    for name in names:
        print(f"{name}: {reports[name].get('ua', '')}")
    return 0 if names else 1


if __name__ == "__main__":
    sys.exit(main())

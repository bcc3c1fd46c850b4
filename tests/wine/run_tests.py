#!/usr/bin/env python3
"""Runs the Wine tiers: end-to-end (the registry conformance suite, kestrine.exe run with switches)
and GUI (windows on Xvfb displays, driven by kdriver.exe); one line per test and a summary; exits 1
when any test fails. An x86-64 build runs in 64-bit prefixes; --wow64-exe adds the test of a
32-bit kestrine.exe on 64-bit Windows (only where this machine runs 32-bit programs)."""
import argparse
import concurrent.futures
import os
import signal
import sys
import time
import traceback
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from winelab import WineError, WineLab, build_arch, emergency_stop  # noqa: E402
import e2e_tests  # noqa: E402
import window_tests  # noqa: E402

TIERS = {"e2e": e2e_tests.ALL, "gui": window_tests.ALL, "all": e2e_tests.ALL + window_tests.ALL}


def stop_everything(signum, _frame):
    """Told to stop (a time limit ran out, Ctrl+C): end the X servers, programs and wineservers
    the tests started, which live in sessions of their own, then leave."""
    print(f"wine: stopping on signal {signum}", flush=True)
    emergency_stop()
    os._exit(1)


def main():
    signal.signal(signal.SIGTERM, stop_everything)
    signal.signal(signal.SIGINT, stop_everything)
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-win32", required=True)
    parser.add_argument("--regtool", required=True)
    parser.add_argument("--only", default="", help="run the tests whose name contains this")
    parser.add_argument("--tier", choices=sorted(TIERS), default="all")
    parser.add_argument("--jobs", type=int, default=2, help="tests side by side (at most 2 on this machine)")
    parser.add_argument("--wow64-exe", help="a 32-bit kestrine.exe to try on 64-bit Windows")
    args = parser.parse_args()

    build = Path(args.build_win32).resolve()
    work = build / "wine-work"
    if not (build / "kestrine.exe").exists():
        print(f"wine: no kestrine.exe in {build}; build it first (scripts/build.sh)")
        return 1
    arch = build_arch(build)
    lab = WineLab(work, Path(args.regtool).resolve(), arch)
    context = e2e_tests.Context(lab=lab, build=build, repo=Path(__file__).resolve().parents[2],
                                wow64_exe=Path(args.wow64_exe).resolve() if args.wow64_exe else None)

    tests = [t for t in TIERS[args.tier] if args.only in t[0] and (args.wow64_exe or not t[0].startswith("wow64"))]
    print(f"wine: preparing the {arch} template prefix in {work}", flush=True)
    started = time.time()
    try:
        lab.template()
    except WineError as e:
        print(f"wine: {e}")
        return 1
    print(f"wine: template ready ({time.time() - started:.1f}s); running {len(tests)} tests on the {arch} build",
          flush=True)

    def run_one(test):
        t0 = time.time()
        try:
            return test[0], True, test[1](context) or "", time.time() - t0
        except Exception as e:  # a failed assertion or a Wine error: report and go on
            return test[0], False, str(e) if isinstance(e, AssertionError) else traceback.format_exc(), time.time() - t0

    failures = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        for name, ok, detail, seconds in pool.map(run_one, tests):
            print(f"{'PASS' if ok else 'FAIL'} {name} ({seconds:.1f}s){(': ' + detail) if ok and detail else ''}"
                  + ("" if ok else "\n    " + detail.replace("\n", "\n    ")), flush=True)
            failures += [] if ok else [name]
    print(f"wine: {len(tests) - len(failures)} of {len(tests)} tests passed in {time.time() - started:.1f}s")
    if failures:
        print("wine: failed: " + ", ".join(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

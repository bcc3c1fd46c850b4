#!/usr/bin/env python3
# Runs the Wine tiers: end-to-end (the registry conformance suite, kestrine.exe run with switches)
# and GUI (windows on Xvfb displays, driven by kdriver.exe); one line per test and a summary; exits 1
# when any test fails. An x86-64 build runs in 64-bit prefixes; --wow64-exe adds the test of a
# 32-bit kestrine.exe on 64-bit Windows (only where this machine runs 32-bit programs).
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

TIERS = {"e2e": e2e_tests.ALL + window_tests.E2E, "gui": window_tests.GUI}
TIERS["all"] = TIERS["e2e"] + TIERS["gui"]


def stop_everything(signum, _frame):
    # Told to stop (a time limit ran out, Ctrl+C): the X servers, programs and wineservers the tests
    # started live in sessions of their own, so they are ended here.
    print(f"wine: stopping on signal {signum}", flush=True)
    emergency_stop()
    os._exit(1)


def run_one(test, ctx):
    started = time.time()
    try:
        return True, test(ctx) or "", time.time() - started
    except Exception as e:  # a failed assertion or a Wine error: report and go on
        return False, str(e) if isinstance(e, AssertionError) else traceback.format_exc(), time.time() - started


def main():
    signal.signal(signal.SIGTERM, stop_everything)
    signal.signal(signal.SIGINT, stop_everything)
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-win32", required=True, type=lambda p: Path(p).resolve())
    parser.add_argument("--regtool", required=True, type=lambda p: Path(p).resolve())
    parser.add_argument("--only", default="", help="run the tests whose name contains this")
    parser.add_argument("--tier", choices=sorted(TIERS), default="all")
    parser.add_argument("--jobs", type=int, default=2, help="tests side by side (at most 2 on this machine)")
    parser.add_argument("--wow64-exe", type=lambda p: Path(p).resolve(), help="a 32-bit kestrine.exe to try on 64-bit Windows")
    ctx = parser.parse_args()
    if not (ctx.build_win32 / "kestrine.exe").exists():
        print(f"wine: no kestrine.exe in {ctx.build_win32}; build it first (scripts/build.sh)")
        return 1
    ctx.build, ctx.repo = ctx.build_win32, Path(__file__).resolve().parents[2]
    ctx.lab = WineLab(ctx.build / "wine-work", ctx.regtool, build_arch(ctx.build))
    tests = [t for t in TIERS[ctx.tier] if ctx.only in t[0] and (ctx.wow64_exe or not t[0].startswith("wow64"))]
    print(f"wine: preparing the {ctx.lab.arch} template prefix in {ctx.lab.work_dir}", flush=True)
    started = time.time()
    try:
        ctx.lab.template()
    except WineError as e:
        print(f"wine: {e}")
        return 1
    print(f"wine: template ready ({time.time() - started:.1f}s); running {len(tests)} tests on the {ctx.lab.arch} build",
          flush=True)
    failures = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, ctx.jobs)) as pool:
        for (name, _), (ok, detail, seconds) in zip(tests, pool.map(lambda t: run_one(t[1], ctx), tests)):
            print(f"{'PASS' if ok else 'FAIL'} {name} ({seconds:.1f}s){(': ' + detail) if ok and detail else ''}"
                  + ("" if ok else "\n    " + detail.replace("\n", "\n    ")), flush=True)
            failures += [] if ok else [name]
    print(f"wine: {len(tests) - len(failures)} of {len(tests)} tests passed in {time.time() - started:.1f}s")
    if failures:
        print("wine: failed: " + ", ".join(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""Benchmark of the command-line cycle (load, apply, load), run by hand:

1. Under Wine: a prefix of the build's kind holding a keyboard-layout catalogue of N entries
   shaped like a Chinese Windows XP one (keyboard layouts, and one entry in ten an input
   method with its file and version information in the system folder) and a user list of R
   rows; `kestrine.exe /on` timed against bench/bare.c (one registry key, one user32
   call) in alternation, with a running wineserver, after a warm-up; medians and their ratio.
2. Natively: bench/cycle_bench.cpp built without sanitizers and run under
   valgrind --tool=callgrind for two catalogue sizes; instructions of the cycle, and of
   building the memory machine from .reg text, with their ratios.

  bench/cycle_bench.py --build build/win32 --regtool build/native/regtool [--entries 200]
      [--rows 30] [--runs 15] [--native 1000,2000] [--skip-wine] [--skip-native]
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(REPO / "tests" / "wine"))
from winelab import PROGRAM_DIR, WineLab, build_arch  # noqa: E402

LANGUAGES = ("0804", "0404", "0411", "0412")
CATALOGUE = r"HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts"


def catalogue_reg(entries, rows, first=None):
    """The machine as REGEDIT4 text, and the input-method file names it needs. `first` names the
    first entry: the layout Wine writes to preload value "1" whenever a program loads user32 (the
    bare program too), which the list must hold to keep its rows from one run to the next."""
    lines = ["REGEDIT4", ""]
    klids, files = [], []
    for i in range(entries):
        language = LANGUAGES[i % 4]
        if i == 0 and first:
            klid = first
        elif i % 10 == 0:
            klid = f"E{i:03X}{language}"
        else:
            klid = f"{i:04X}{language}"
        klids.append(klid)
        lines += [f"[{CATALOGUE}\\{klid}]", '"Layout File"="kbdus.dll"', f'"Layout Text"="Layout {i}"']
        if klid[0] == "E":
            files.append(f"BENCH{i:03d}.IME")
            lines.append(f'"IME File"="{files[-1]}"')
        lines.append("")
    lines.append(r"[HKEY_CURRENT_USER\Keyboard Layout\Preload]")
    lines += [f'"{r + 1}"="{klids[r]}"' for r in range(min(rows, entries))]
    lines.append("")
    return "\r\n".join(lines) + "\r\n", files


def compile_bare(build, out):
    arch = build_arch(build)
    gcc = "x86_64-w64-mingw32-gcc" if arch == "win64" else "i686-w64-mingw32-gcc"
    subprocess.run([gcc, "-Os", "-s", "-mwindows", str(REPO / "bench" / "bare.c"), "-o", str(out)], check=True)
    return out


def timed(prefix, args):
    # No pipes: the programs Wine starts on the side inherit the output handles and would keep
    # a pipe open after the run. A plain wait for the end: a wait with a time limit polls in
    # steps that grow to 50 ms, which rounded every run up to the next step (64, 114, 164 ms...);
    # a timer ends a run that hangs instead.
    start = time.perf_counter()
    run = subprocess.Popen(prefix.lab.wine_command + args, env=prefix.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    watchdog = threading.Timer(120, run.kill)
    watchdog.start()
    try:
        run.wait()
    finally:
        watchdog.cancel()
    elapsed = time.perf_counter() - start
    if run.returncode != 0:
        raise SystemExit(f"{' '.join(args)} exited {run.returncode}")
    return elapsed


def wine_bench(args):
    build = Path(args.build).resolve()
    work = Path(tempfile.mkdtemp(prefix="kestrine-bench-"))
    lab = WineLab(work, Path(args.regtool).resolve(), build_arch(build))
    prefix = lab.prefix("bench", locale=args.locale, version=args.version)
    server = None
    try:
        text, files = catalogue_reg(args.entries, args.rows, prefix.default_layout)
        sample = build / "resources" / "samples" / "kssample.ime"
        for name in files:
            prefix.put_file(sample, prefix.system_dir() + "\\" + name)
        reg = work / "catalogue.reg"
        reg.write_bytes(text.encode("utf-8"))
        prefix.import_reg(reg)
        exe = prefix.put_file(build / "kestrine.exe", PROGRAM_DIR + r"\kestrine.exe")
        bare = prefix.put_file(compile_bare(build, work / "bare.exe"), r"C:\bare.exe")
        # A program that outlives the runs keeps the wineserver and Wine's own services running:
        # every run below is warm.
        cold = timed(prefix, [exe, "/on"])
        server = subprocess.Popen(prefix.lab.wine_command + [bare, "/wait"], env=prefix.env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(2)
        for _ in range(args.warmup):
            timed(prefix, [exe, "/on"])
            timed(prefix, [bare])
        cycle, yardstick = [], []
        for _ in range(args.runs):
            cycle.append(timed(prefix, [exe, "/on"]))
            yardstick.append(timed(prefix, [bare]))
        c, b = statistics.median(cycle), statistics.median(yardstick)
        print(f"wine ({lab.arch}, {args.locale}, {args.version}): catalogue {args.entries} entries, "
              f"{args.rows} rows; first run {cold:.3f} s")
        print(f"  kestrine.exe /on  median {c:.3f} s  (min {min(cycle):.3f}, max {max(cycle):.3f})")
        print(f"  bare program      median {b:.3f} s  (min {min(yardstick):.3f}, max {max(yardstick):.3f})")
        print(f"  warm ratio {c / b:.2f}  over {args.runs} runs each")
    finally:
        prefix.shutdown()
        if server:
            server.kill()
            server.wait(timeout=30)
        shutil.rmtree(work, ignore_errors=True)


def native_bench(args):
    out = REPO / "build" / "bench"
    subprocess.run(["cmake", "-S", str(REPO / "bench"), "-B", str(out), "-DCMAKE_BUILD_TYPE=RelWithDebInfo"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", str(out), "-j2"], check=True, stdout=subprocess.DEVNULL)
    def instructions(function, n):
        with tempfile.NamedTemporaryFile(prefix="callgrind-") as f:
            result = subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={f.name}",
                                     f"--toggle-collect=*{function}*", str(out / "cycle_bench"), str(n),
                                     str(args.rows)], capture_output=True, text=True, check=True)
        return int(re.search(r"Collected : (\d+)", result.stderr).group(1))

    for function, what in (("runCycle", "load, apply, load"), ("importRegText", "building the machine from .reg text")):
        counts = [instructions(function, n) for n in args.native]
        for n, count in zip(args.native, counts):
            print(f"native: {n} catalogue entries, {args.rows} rows: {count / 1e6:.1f} M instructions ({what})")
        if len(counts) == 2:
            print(f"  ratio {args.native[1]}/{args.native[0]}: {counts[1] / counts[0]:.2f}")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=str(REPO / "build" / "win32"))
    parser.add_argument("--regtool", default=str(REPO / "build" / "native" / "regtool"))
    parser.add_argument("--entries", type=int, default=200)
    parser.add_argument("--rows", type=int, default=30)
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--warmup", type=int, default=2)
    parser.add_argument("--locale", default="zh_CN.UTF-8")
    parser.add_argument("--version", default="winxp")
    parser.add_argument("--native", default="1000,2000", type=lambda s: [int(x) for x in s.split(",")])
    parser.add_argument("--skip-wine", action="store_true")
    parser.add_argument("--skip-native", action="store_true")
    args = parser.parse_args()
    if not args.skip_wine:
        wine_bench(args)
    if not args.skip_native:
        native_bench(args)


if __name__ == "__main__":
    main()

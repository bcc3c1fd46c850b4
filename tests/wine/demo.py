#!/usr/bin/env python3
"""Runs kestrine.exe in a demo prefix and reports how it ended."""
import argparse
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from winelab import PROGRAM_DIR, WineLab  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-win32", required=True)
    parser.add_argument("--regtool", required=True)
    parser.add_argument("switches", nargs="*")
    args = parser.parse_args()
    build = Path(args.build_win32).resolve()
    lab = WineLab(build / "wine-work", Path(args.regtool).resolve())
    prefix = lab.prefix("demo", locale="zh_CN.UTF-8", version="winxp")
    try:
        exe = prefix.put_file(build / "kestrine.exe", PROGRAM_DIR + r"\kestrine.exe")
        result = prefix.run(exe, args.switches, timeout=120)
        print(f"demo: kestrine.exe {' '.join(args.switches)} exited with {result.returncode}")
        return result.returncode
    finally:
        lab.discard(prefix)


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""The demo machine: a 32-bit Wine prefix with the catalogue of a Simplified Chinese Windows XP
and the sample input methods. With switches, runs kestrine.exe with them and prints its output
and what changed in the registry; switch files named by /load: are taken from resources/examples and
converted to the machine's code page, as a user would save them. Without switches, opens the
window on $DISPLAY, or without a display saves screenshots of it and prints their paths."""
import argparse
import difflib
import os
import sys
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests/wine"))
from winelab import PROGRAM_DIR, WineLab, build_arch  # noqa: E402
DEMO_KEYS = [
    r"HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts",
    r"HKEY_CURRENT_USER\Keyboard Layout",
    r"HKEY_CURRENT_USER\Control Panel\Input Method",
    r"HKEY_CURRENT_USER\Software\Microsoft\CTF",
    r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run",
]
DEMO_SAMPLES = ("winpy.ime", "winsp.ime", "wingb.ime", "phon.ime", "chajei.ime", "kssample.ime", "kstwo.ime",
                "ksnames.dll")
# The demo catalogue for each locale: a Windows of that language with the sample input methods.
DEMO_FIXTURES = {"zh_CN.UTF-8": "demo_zh_cn.reg", "zh_TW.UTF-8": "demo_zh_tw.reg", "en_US.UTF-8": "demo_en_us.reg"}


def demo_prefix(lab, build, display=None, locale="zh_CN.UTF-8", version="winxp"):
    """A prefix set up as the demo machine, with kestrine.exe in its program folder."""
    prefix = lab.prefix("demo", locale=locale, version=version, display=display)
    for name in DEMO_SAMPLES:
        prefix.put_file(build / "resources/samples" / name, prefix.system_dir() + "\\" + name)
    prefix.import_reg(REPO / "tests/fixtures" / DEMO_FIXTURES.get(locale, "demo_zh_cn.reg"))
    prefix.put_file(build / "kestrine.exe", PROGRAM_DIR + r"\kestrine.exe")
    for example in (REPO / "resources/examples").glob("*.txt"):
        target = prefix.unix_path(PROGRAM_DIR + "\\" + example.name)
        target.write_bytes(example.read_text(encoding="utf-8").encode(f"cp{prefix.code_page}", errors="replace"))
    return prefix


def show_window(lab, build, regtool):
    """Without switches: the window on $DISPLAY until the user closes it; without a display,
    screenshots of every page and dialog taken under Xvfb."""
    display = os.environ.get("DISPLAY")
    if not display:
        import screens  # only this path needs it
        out = build / "demo-shots"
        out.mkdir(parents=True, exist_ok=True)
        texts = screens.window_texts("zh_CN.UTF-8")
        print("demo: no display; screenshots of the demo machine's windows:")
        for path in screens.take(lab, build, "zh_CN.UTF-8", "winxp", out, texts):
            print(f"  {path}")
        return 0
    prefix = demo_prefix(lab, build, display=display)
    try:
        prefix.prepare_gui()
        print(f"demo: kestrine.exe is open on {display}; close it to end the demo")
        result = prefix.run(PROGRAM_DIR + r"\kestrine.exe", [], timeout=3600)
        print(f"demo: kestrine.exe exited with {result.returncode}")
        return result.returncode
    finally:
        lab.discard(prefix)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-win32", required=True)
    parser.add_argument("--regtool", required=True)
    parser.add_argument("switches", nargs="*")
    args = parser.parse_args()
    build = Path(args.build_win32).resolve()
    lab = WineLab(build / "wine-work", Path(args.regtool).resolve(), build_arch(build))
    if not args.switches:
        return show_window(lab, build, args.regtool)
    prefix = demo_prefix(lab, build)
    try:
        exe = PROGRAM_DIR + r"\kestrine.exe"
        before = prefix.registry(DEMO_KEYS)
        result = prefix.run(exe, args.switches, timeout=120)
        after = prefix.registry(DEMO_KEYS)
        output = result.stdout.decode(f"cp{prefix.code_page}", errors="replace").replace("\r\n", "\n")
        print(f"demo: kestrine.exe {' '.join(args.switches)} printed:\n{output}")
        print(f"demo: kestrine.exe exited with {result.returncode}")
        diff = list(difflib.unified_diff(before.splitlines(), after.splitlines(), "before", "after", lineterm="", n=2))
        print("\n".join(diff) if diff else "demo: the registry did not change")
        return result.returncode
    finally:
        lab.discard(prefix)


if __name__ == "__main__":
    sys.exit(main())

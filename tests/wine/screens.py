"""Shows kestrine.exe on the demo machine under Xvfb and saves screenshots of its windows:
each tab page, the hot-key editor and the keyboard-layout dialog, in one language.

    screens.py --build-win32 DIR --regtool PATH --out DIR [--locale zh_CN.UTF-8] [--version winxp]
"""
import argparse
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from demo import demo_prefix  # noqa: E402
from winelab import PROGRAM_DIR, Display, Driver, WineLab  # noqa: E402

SHORT = {"zh_CN.UTF-8": "zh_CN", "zh_TW.UTF-8": "zh_TW", "en_US.UTF-8": "en_US"}
MAIN_CLASS = "Kestrine.MainWindow"


class Running:
    """kestrine.exe shown on a display in the demo prefix, with kdriver beside it."""

    def __init__(self, lab, build, locale, version, shots, name="screens"):
        self.lab, self.build, self.locale, self.version, self.shots = lab, build, locale, version, shots
        self.name = name

    def __enter__(self):
        self.display = Display(self.lab.work_dir / "x-logs")
        self.display.start()
        self.prefix = demo_prefix(self.lab, self.build, display=self.display.name, locale=self.locale,
                                  version=self.version)
        self.prefix.prepare_gui()
        self.prefix.put_file(self.build / "kdriver.exe", r"C:\kestrine-tests\kdriver.exe")
        self.driver = Driver(self.prefix, r"C:\kestrine-tests\kdriver.exe")
        self.program = self.prefix.start(PROGRAM_DIR + r"\kestrine.exe", [], name="kestrine")
        window = self.driver.facts("wait-window", **{"class": MAIN_CLASS, "timeout": 30000})[0]
        self.hwnd, self.pid = window["hwnd"], window["pid"]
        return self

    def __exit__(self, *exc):
        self.driver.close()
        self.program.stop()
        self.lab.discard(self.prefix)
        self.display.stop()
        return False

    def tree(self):
        return self.driver.facts("tree", hwnd=self.hwnd)[1:]

    def shot(self, what, hwnd=None):
        self.driver.command("redraw", hwnd=hwnd or self.hwnd)
        path = self.shots / f"{what}-{SHORT.get(self.locale, self.locale)}.png"
        self.display.screenshot(path)
        return path


def take(lab, build, locale, version, out):
    paths = []
    with Running(lab, build, locale, version, out) as run:
        tab = next(c for c in run.tree() if c["class"] == "SysTabControl32")
        for index, page in enumerate(("normal", "other", "advanced")):
            run.driver.command("tab-select", hwnd=tab["hwnd"], index=index)
            paths.append(run.shot(f"main-{page}"))
    return paths


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-win32", required=True)
    parser.add_argument("--regtool", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--locale", default="zh_CN.UTF-8")
    parser.add_argument("--version", default="winxp")
    args = parser.parse_args()
    build = Path(args.build_win32).resolve()
    lab = WineLab(build / "wine-work", Path(args.regtool).resolve())
    out = Path(args.out).resolve()
    out.mkdir(parents=True, exist_ok=True)
    for path in take(lab, build, args.locale, args.version, out):
        print(path)


if __name__ == "__main__":
    sys.exit(main())

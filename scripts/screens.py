"""Shows kestrine.exe on the demo machine under Xvfb and saves screenshots of its windows:
each tab page, the hot-key editor and the keyboard-layout dialog, in each language.

    screens.py --build-win32 DIR --regtool PATH --out DIR [--locale all] [--version winxp]
"""
import argparse
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests/wine"))
from demo import demo_prefix  # noqa: E402
from winelab import PROGRAM_DIR, ShownPrefix, WineLab, build_arch  # noqa: E402

SHORT = {"zh_CN.UTF-8": "zh_CN", "zh_TW.UTF-8": "zh_TW", "en_US.UTF-8": "en_US"}
MAIN_CLASS = "Kestrine.MainWindow"


class Running(ShownPrefix):
    """kestrine.exe shown on a display in the demo prefix, with kdriver beside it."""

    def __init__(self, lab, build, locale, version, shots, name="screens"):
        super().__init__(lab, build / "kdriver.exe", name, locale, version,
                         make_prefix=lambda display: demo_prefix(lab, build, display=display, locale=locale,
                                                                 version=version))
        self.shots = shots

    def __enter__(self):
        super().__enter__()
        try:
            self.program = self.prefix.start(PROGRAM_DIR + r"\kestrine.exe", [], name="kestrine")
            window = self.driver.facts("wait-window", **{"class": MAIN_CLASS, "timeout": 30000})[0]
            self.hwnd, self.pid = window["hwnd"], window["pid"]
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        if getattr(self, "program", None):
            self.program.stop()
        return super().__exit__(*exc)

    def tree(self):
        return self.driver.facts("tree", hwnd=self.hwnd)[1:]

    def shot(self, what, hwnd=None):
        """A screenshot cropped to the program's visible windows, with a small margin."""
        self.driver.command("redraw", hwnd=hwnd or self.hwnd)
        path = self.shots / f"{what}-{SHORT.get(self.locale, self.locale)}.png"
        self.display.screenshot(path)
        rects = [w.rect() for w in self.driver.facts("windows", pid=self.pid) if w["visible"] == "1"]
        left = max(0, min(r[0] for r in rects) - 8)
        top = max(0, min(r[1] for r in rects) - 8)
        right = max(r[0] + r[2] for r in rects) + 8
        bottom = max(r[1] + r[3] for r in rects) + 8
        subprocess.run(["convert", str(path), "-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage",
                        str(path)], check=True, timeout=60)
        return path


def dialog_shot(run, button_text, what):
    """Opens a dialog with a button of the main window, photographs it and cancels it."""
    button = next(c for c in run.tree() if c["class"] == "Button" and c.text() == button_text)
    run.driver.command("click", hwnd=button["hwnd"])
    dialog = next(w for w in run.driver.facts("windows", pid=run.pid)
                  if w["class"] == "#32770" and w["visible"] == "1")
    path = run.shot(what, dialog["hwnd"])
    run.driver.command("close", hwnd=dialog["hwnd"])
    run.driver.command("wait-gone", hwnd=dialog["hwnd"], timeout=5000)
    return path


def take(lab, build, locale, version, out, texts):
    paths = []
    with Running(lab, build, locale, version, out) as run:
        tab = next(c for c in run.tree() if c["class"] == "SysTabControl32")
        for index, page in enumerate(("normal", "other", "advanced")):
            run.driver.command("tab-select", hwnd=tab["hwnd"], index=index)
            paths.append(run.shot(f"main-{page}"))
        run.driver.command("tab-select", hwnd=tab["hwnd"], index=0)
        paths.append(dialog_shot(run, texts["hotkey"], "hotkey-editor"))
        paths.append(dialog_shot(run, texts["keyboard"], "keyboard-dialog"))
    return paths


def window_texts(locale):
    """The captions of the main window's buttons that open the two dialogs, for the locale."""
    hotkey, keyboard = {"zh_CN.UTF-8": ("热键", "键盘"), "zh_TW.UTF-8": ("熱鍵", "鍵盤")}.get(locale, ("&Hotkey", "&KeyBoard"))
    return {"hotkey": hotkey, "keyboard": keyboard}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-win32", required=True)
    parser.add_argument("--regtool", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--locale", default="all", help="zh_CN.UTF-8, zh_TW.UTF-8, en_US.UTF-8 or all")
    parser.add_argument("--version", default="winxp")
    args = parser.parse_args()
    build = Path(args.build_win32).resolve()
    lab = WineLab(build / "wine-work", Path(args.regtool).resolve(), build_arch(build))
    out = Path(args.out).resolve()
    out.mkdir(parents=True, exist_ok=True)
    locales = ["zh_CN.UTF-8", "zh_TW.UTF-8", "en_US.UTF-8"] if args.locale == "all" else [args.locale]
    for locale in locales:
        for path in take(lab, build, locale, args.version, out, window_texts(locale)):
            print(path)


if __name__ == "__main__":
    sys.exit(main())

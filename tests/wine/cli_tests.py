"""Command-line runs of kestrine.exe under Wine: a seeded machine, a command line or switch
file, and the registry the program leaves, compared by meaning with an expected .reg file.

Where Wine differs from Windows the scenario says so. Measured differences that shape these
tests: every process that loads user32 resets preload value "1" to the locale's default
layout (so the seed puts that layout there), SystemParametersInfoA does not store "Show
Status" (the program writes it itself), RegDeleteKeyA keeps a key that has sub-keys (also in
win98 mode), and ImmInstallIMEA stores the full path it is given as "Ime File"."""
import difflib
import re
import subprocess
from dataclasses import dataclass, field
from pathlib import Path

from e2e_tests import install_samples, test, with_prefix
from winelab import DEFAULT_LAYOUT, PROGRAM_DIR, ShownPrefix

USER_KEYS = [
    r"HKEY_CURRENT_USER\Keyboard Layout",
    r"HKEY_CURRENT_USER\Control Panel\Input Method",
    r"HKEY_CURRENT_USER\Software\Microsoft\CTF",
    r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run",
]
CATALOGUE = r"HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts"
SAMPLE_IMES = ("winpy.ime", "winsp.ime", "wingb.ime", "phon.ime", "kssample.ime")


@dataclass
class Scenario:
    name: str
    version: str
    locale: str
    fixture: str
    arguments: list
    expected: str = None              # tests/wine/expected/NAME: the USER_KEYS afterwards
    catalogue_unchanged: bool = True
    switch_files: dict = field(default_factory=dict)  # name -> file under tests/wine/switches


def seed(ctx, prefix, fixture):
    text = (ctx.repo / "tests/fixtures" / fixture).read_text(encoding="utf-8")
    path = prefix.path / "kestrine-seed.reg"
    path.write_text(text.replace("{DEFAULT}", DEFAULT_LAYOUT[prefix.locale]), encoding="utf-8")
    prefix.import_reg(path)


def canonical(ctx, path, keys):
    return ctx.lab.regtool(["canon", str(path)] + keys).decode("utf-8").replace("\r", "")


def compare(label, want, got):
    if want != got:
        diff = "\n".join(difflib.unified_diff(want.splitlines(), got.splitlines(), "expected", "after the run",
                                              lineterm=""))
        raise AssertionError(f"{label} differs:\n{diff}")


def run_scenario(ctx, s):
    with with_prefix(ctx, s.name, locale=s.locale, version=s.version) as p:
        install_samples(ctx, p, SAMPLE_IMES)
        seed(ctx, p, s.fixture)
        catalogue_before = p.registry([CATALOGUE]).replace("\r", "")
        exe = p.put_file(ctx.build / "kestrine.exe", PROGRAM_DIR + r"\kestrine.exe")
        for name, source in s.switch_files.items():
            p.put_file(ctx.repo / "tests/wine/switches" / source, PROGRAM_DIR + "\\" + name)
        result = p.run(exe, s.arguments, timeout=90)
        assert result.returncode == 0, f"kestrine.exe exited with {result.returncode}"
        if s.expected:
            compare("the user's settings", canonical(ctx, ctx.repo / "tests/wine/expected" / s.expected, USER_KEYS),
                    p.registry(USER_KEYS).replace("\r", ""))
        if s.catalogue_unchanged:
            compare("the catalogue", catalogue_before, p.registry([CATALOGUE]).replace("\r", ""))


def scenario(s):
    test(f"command line: {s.name} ({s.version}, {s.locale})")(lambda ctx: run_scenario(ctx, s))


for version, locale in (("winxp", "zh_CN.UTF-8"), ("nt40", "en_US.UTF-8"), ("win7", "zh_TW.UTF-8"),
                        ("win10", "en_US.UTF-8"), ("win98", "zh_CN.UTF-8")):
    short = locale.split(".")[0]
    scenario(Scenario(name=f"switch file edits the list, hot keys and switch keys", version=version, locale=locale,
                      fixture="wine_9x_user.reg" if version == "win98" else "wine_nt_user.reg",
                      arguments=["/load:edit.txt"], switch_files={"edit.txt": "edit.txt"},
                      expected=f"edit_{version}_{short}.reg"))


@test("command line: install from the system folder, uninstall entries (winxp, zh_CN.UTF-8)")
def install_and_uninstall(ctx):
    with with_prefix(ctx, "install", locale="zh_CN.UTF-8", version="winxp") as p:
        install_samples(ctx, p, SAMPLE_IMES)
        seed(ctx, p, "wine_nt_user.reg")
        exe = p.put_file(ctx.build / "kestrine.exe", PROGRAM_DIR + r"\kestrine.exe")
        result = p.run(exe, ["/install:kssample.ime", "/uninstall2:PHON.IME", "/uninstall3:e0030804",
                             "/uninstall3:00000404", "/uninstall2:winpy.ime"], timeout=90)
        assert result.returncode == 0, f"kestrine.exe exited with {result.returncode}"
        catalogue = p.registry([CATALOGUE])
        entries = re.findall(r"Keyboard Layouts\\([0-9A-Fa-f]{8})\]", catalogue)
        # PHON.IME and E0030804 were offered for adding and are gone; a plain layout is never
        # uninstalled, nor an entry of the user's list (E0010804 is in it).
        # The new entry stays: Wine's ImmInstallIMEA stores the full path it is given as its
        # "Ime File" (Windows the bare file name), and a full path is looked for where it points.
        assert entries[:5] == ["00000404", "00000409", "00000804", "E0010804", "E0020804"], catalogue
        assert len(entries) == 6 and re.fullmatch(r"E0[0-9A-F]{2}0804", entries[5]), catalogue


# ---- Runs on a display, with kdriver answering the message boxes ----

LANGUAGES = {"zh_CN.UTF-8": "simplified", "zh_TW.UTF-8": "traditional", "en_US.UTF-8": "english"}


class OnDisplay(ShownPrefix):
    """A prefix shown on its own Xvfb display, seeded with a machine, kestrine.exe in its program
    folder and kdriver beside it."""

    def __init__(self, ctx, name, locale, version="winxp", fixture="wine_nt_user.reg"):
        super().__init__(ctx.lab, ctx.build / "kdriver.exe", name, locale, version, setup=self._seed)
        self.ctx, self.fixture = ctx, fixture
        self.exe = PROGRAM_DIR + r"\kestrine.exe"

    def _seed(self, prefix):
        install_samples(self.ctx, prefix, SAMPLE_IMES)
        seed(self.ctx, prefix, self.fixture)
        prefix.put_file(self.ctx.build / "kestrine.exe", self.exe)

    def run(self, arguments, answers="ok"):
        """Runs kestrine.exe with the arguments (the raw command line after the program's
        quoted path); returns (exit code, [(title bytes, text bytes)], windows shown)."""
        final, facts = self.driver.command("run", cmd=f'"{self.exe}" {arguments}', answers=answers, timeout=60000)
        boxes = [(f.raw("title"), f.raw()) for f in facts if f.kind == "box"]
        windows = [f for f in facts if f.kind == "window"]
        return int(final["code"]), boxes, windows


def help_text(ctx, language):
    texttool = Path(ctx.lab.regtool_path).parent / "texttool"
    out = subprocess.run([str(texttool), "help", language], check=True, capture_output=True, text=True, timeout=30)
    return bytes.fromhex(out.stdout.strip())


def help_box(locale):
    short = locale.split(".")[0]

    @test(f"command line: /? shows the help box in the system's language and no window ({short})")
    def run(ctx):
        with OnDisplay(ctx, f"help-{short}", locale) as d:
            code, boxes, windows = d.run("/?")
            assert code == 0, f"exit code {code}"
            assert boxes == [(b"Kestrine", help_text(ctx, LANGUAGES[locale]))], boxes
            assert windows == [], f"a window became visible: {windows}"
    return run


for _locale in LANGUAGES:
    help_box(_locale)


@test("command line: /on never shows a window; /install shows the new KLID (winxp, zh_CN)")
def never_visible_and_install_box(ctx):
    with OnDisplay(ctx, "quiet", "zh_CN.UTF-8") as d:
        code, boxes, windows = d.run("/on")
        assert (code, boxes, windows) == (0, [], []), (code, boxes, windows)
        code, boxes, windows = d.run("/install:kssample.ime")
        assert code == 0 and windows == [], (code, windows)
        assert len(boxes) == 1 and boxes[0][0] == b"Kestrine", boxes
        assert re.fullmatch(rb"E0[0-9A-F]{2}0804", boxes[0][1]), boxes

"""The end-to-end tier: the registry conformance suite against Wine's real registry, and
kestrine.exe run with switches in fresh prefixes of each generation and locale, the registry it
leaves compared by meaning with an expected .reg file. Each test is a function of a Context that
raises AssertionError (or WineError) on failure and may return a one-line detail.

Where Wine differs from Windows: every process that loads user32 resets preload value "1" to the
locale's default layout (so the seed puts that layout there), SystemParametersInfoA does not store
"Show Status" (the program writes it itself), RegDeleteKeyA keeps a key that has sub-keys (also in
win98 mode), and ImmInstallIMEA stores the full path it is given as "Ime File"."""
import difflib
import re
from dataclasses import dataclass
from pathlib import Path

from winelab import DEFAULT_LAYOUT, PROGRAM_DIR, ShownPrefix, WineLab

ALL = []
USER_KEYS = [r"HKEY_CURRENT_USER\Keyboard Layout", r"HKEY_CURRENT_USER\Control Panel\Input Method",
             r"HKEY_CURRENT_USER\Software\Microsoft\CTF",
             r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run"]
CATALOGUE = r"HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts"
IMES = ("winpy.ime", "winsp.ime", "wingb.ime", "phon.ime", "kssample.ime")
SAMPLES = IMES + ("kstwo.ime", "ksnover.ime", "ksnames.dll", "ksreg.dll", "ksidle.exe")
EXE = PROGRAM_DIR + r"\kestrine.exe"


@dataclass
class Context:
    lab: WineLab
    build: Path
    repo: Path
    wow64_exe: Path = None


@dataclass
class Test:
    name: str
    run: object


def test_in(registry):
    def test(name):
        def register(fn):
            registry.append(Test(name, fn))
            return fn
        return register
    return test


test = test_in(ALL)


def seed(ctx, prefix, fixture):
    """Imports a fixture of tests/fixtures, its {DEFAULT} the layout Wine puts first."""
    text = (ctx.repo / "tests/fixtures" / fixture).read_text(encoding="utf-8")
    path = prefix.path / "kestrine-seed.reg"
    path.write_text(text.replace("{DEFAULT}", DEFAULT_LAYOUT[prefix.locale]), encoding="utf-8")
    prefix.import_reg(path)


def furnish(ctx, prefix, fixture="wine_nt_user.reg", samples=IMES, exe=None):
    """Puts the sample files into the system folder, seeds the fixture and puts kestrine.exe."""
    for sample in samples:
        prefix.put_file(ctx.build / "resources/samples" / sample, prefix.system_dir() + "\\" + sample)
    seed(ctx, prefix, fixture)
    prefix.put_file(exe or ctx.build / "kestrine.exe", EXE)


class Machine:
    """A fresh prefix furnished for a command-line run; always discarded."""

    def __init__(self, ctx, name, locale="zh_CN.UTF-8", version="winxp", **furnishing):
        self.ctx, self.name, self.locale, self.version, self.furnishing = ctx, name, locale, version, furnishing

    def __enter__(self):
        self.prefix = self.ctx.lab.prefix(self.name, locale=self.locale, version=self.version)
        furnish(self.ctx, self.prefix, **self.furnishing)
        return self.prefix

    def __exit__(self, *exc):
        self.ctx.lab.discard(self.prefix)
        return False


def compare(label, want, got):
    if want != got:
        diff = "\n".join(difflib.unified_diff(want.splitlines(), got.splitlines(), "expected", "after the run",
                                              lineterm=""))
        raise AssertionError(f"{label} differs:\n{diff}")


def run_ok(prefix, arguments):
    result = prefix.run(EXE, arguments, timeout=90)
    assert result.returncode == 0, f"kestrine.exe exited with {result.returncode}"


@test("registry conformance and system checks (real registry and samples, winxp, zh_CN)")
def registry_conformance(ctx):
    with Machine(ctx, "conformance", samples=SAMPLES) as p:
        exe = p.put_file(ctx.build / "kestrine_conformance.exe", r"C:\kestrine_conformance.exe")
        result = p.run(exe, ["--gtest_color=no"], timeout=120)
        out = result.stdout.decode(errors="replace")
        summary = re.findall(r"^\[  PASSED  \] (\d+) tests?", out, re.M)
        assert result.returncode == 0 and summary, f"exit {result.returncode}\n{out[-3000:]}"
        skipped = re.findall(r"^\[  SKIPPED \] (\d+) tests?", out, re.M)
        return f"{summary[0]} cases passed against Wine" + (f", {skipped[0]} skipped (see the test)" if skipped else "")


def switch_file(version, locale):
    short = locale.split(".")[0]

    @test(f"command line: a switch file edits the list, hot keys and switch keys ({version}, {short})")
    def run(ctx):
        with Machine(ctx, f"edit-{version}", locale, version,
                     fixture="wine_9x_user.reg" if version == "win98" else "wine_nt_user.reg") as p:
            catalogue = p.registry([CATALOGUE])
            p.put_file(ctx.repo / "tests/wine/switches/edit.txt", PROGRAM_DIR + r"\edit.txt")
            run_ok(p, ["/load:edit.txt"])
            want = ctx.lab.regtool(["canon", str(ctx.repo / f"tests/wine/expected/edit_{version}_{short}.reg")]
                                   + USER_KEYS).decode()
            compare("the user's settings", want.replace("\r", ""), p.registry(USER_KEYS).replace("\r", ""))
            compare("the catalogue", catalogue.replace("\r", ""), p.registry([CATALOGUE]).replace("\r", ""))


for _version, _locale in (("winxp", "zh_CN.UTF-8"), ("nt40", "en_US.UTF-8"), ("win7", "zh_TW.UTF-8"),
                          ("win10", "en_US.UTF-8"), ("win98", "zh_CN.UTF-8")):
    switch_file(_version, _locale)


@test("command line: install from the system folder, uninstall entries (winxp, zh_CN)")
def install_and_uninstall(ctx):
    with Machine(ctx, "install") as p:
        run_ok(p, ["/install:kssample.ime", "/uninstall2:PHON.IME", "/uninstall3:e0030804", "/uninstall3:00000404",
                   "/uninstall2:winpy.ime"])
        entries = re.findall(r"Keyboard Layouts\\([0-9A-Fa-f]{8})\]", p.registry([CATALOGUE]))
        # PHON.IME and E0030804 were offered for adding and are gone; a plain layout is never
        # uninstalled, nor an entry of the user's list (E0010804). Wine: the apply that ends the run
        # deletes the new entry again, since Wine stored its full path (see the window tests).
        assert entries == ["00000404", "00000409", "00000804", "E0010804", "E0020804"], entries


@test("wow64: the 32-bit kestrine.exe on 64-bit Windows keeps input methods of the native system folder (winxp, zh_CN)")
def wow64_native_system_folder(ctx):
    # The lab's build is the x86-64 one: its samples are 64-bit files in the native system32 only.
    keys = [CATALOGUE, r"HKEY_CURRENT_USER\Keyboard Layout\Preload"]
    with Machine(ctx, "wow64", exe=ctx.wow64_exe) as p:
        before = p.registry(keys)
        run_ok(p, ["/on"])
        compare("the catalogue and the preload list", before.replace("\r", ""), p.registry(keys).replace("\r", ""))


@test("command line: /? shows the help box and no window, /on shows nothing, /install the new KLID (winxp, zh_CN)")
def boxes_of_switches(ctx):
    # The help box's text in each language is checked by the window tests (system menu).
    with ShownPrefix(ctx.lab, ctx.build / "kdriver.exe", "boxes", setup=lambda p: furnish(ctx, p)) as s:
        def run(arguments):
            final, facts = s.driver.command("run", cmd=f'"{EXE}" {arguments}', timeout=60000)
            return int(final["code"]), [(f.raw("title"), f.raw()) for f in facts if f.kind == "box"], \
                [f for f in facts if f.kind == "window"]
        code, boxes, windows = run("/?")
        assert (code, len(boxes), windows) == (0, 1, []) and boxes[0][0] == b"Kestrine" and \
            b"/uninstall3:<ID>" in boxes[0][1], (code, boxes, windows)
        assert run("/on") == (0, [], [])
        code, boxes, windows = run("/install:kssample.ime")
        assert (code, windows, len(boxes)) == (0, [], 1) and re.fullmatch(rb"E0[0-9A-F]{2}0804", boxes[0][1]), boxes

"""The end-to-end tier: the registry conformance suite against Wine's real registry, and kestrine.exe
run with switches in fresh prefixes of each generation and locale, the registry compared by meaning
with an expected .reg file. Uninstalling is registry work proven natively and by the conformance
suite; installing reaches ImmInstallIMEA in the /install box here and in the window tests.
Wine differs from Windows: a process that loads user32 resets preload value "1" (the seed puts the
locale's default layout there), "Show Status" is not stored by SystemParametersInfoA (the program
writes it), RegDeleteKeyA keeps a key with sub-keys (also as win98), and ImmInstallIMEA stores the
full path it is given as "Ime File"."""
import difflib
import re
from contextlib import contextmanager
from dataclasses import dataclass
from pathlib import Path

from winelab import DEFAULT_LAYOUT, PROGRAM_DIR, ShownPrefix, WineLab

ALL = []
USER_KEYS = [r"HKEY_CURRENT_USER\Keyboard Layout", r"HKEY_CURRENT_USER\Control Panel\Input Method",
             r"HKEY_CURRENT_USER\Software\Microsoft\CTF",
             r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run"]
CATALOGUE = r"HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts"
IMES = ("winpy.ime", "winsp.ime", "wingb.ime", "phon.ime", "kssample.ime")
EXE = PROGRAM_DIR + r"\kestrine.exe"


@dataclass
class Context:
    lab: WineLab
    build: Path
    repo: Path
    wow64_exe: Path = None


def test(name, into=ALL):
    """Registers a test: a function of a Context, as (name, function)."""
    return lambda fn: into.append((name, fn)) or fn


def furnish(ctx, prefix, fixture="wine_nt_user.reg", samples=IMES, exe=None):
    """Puts the sample files into the system folder, imports a fixture of tests/fixtures (its
    {DEFAULT} the layout Wine puts first) and puts kestrine.exe into its folder."""
    for sample in samples:
        prefix.put_file(ctx.build / "resources/samples" / sample, prefix.system_dir() + "\\" + sample)
    text = (ctx.repo / "tests/fixtures" / fixture).read_text(encoding="utf-8")
    (prefix.path / "kestrine-seed.reg").write_text(text.replace("{DEFAULT}", DEFAULT_LAYOUT[prefix.locale]), "utf-8")
    prefix.import_reg(prefix.path / "kestrine-seed.reg")
    prefix.put_file(exe or ctx.build / "kestrine.exe", EXE)


@contextmanager
def machine(ctx, name, locale="zh_CN.UTF-8", version="winxp", **furnishing):
    """A fresh prefix furnished for a command-line run; always discarded."""
    prefix = ctx.lab.prefix(name, locale=locale, version=version)
    try:
        furnish(ctx, prefix, **furnishing)
        yield prefix
    finally:
        ctx.lab.discard(prefix)


def compare(label, want, got):
    diff = difflib.unified_diff(want.replace("\r", "").splitlines(), got.replace("\r", "").splitlines(), "expected",
                                "after the run", lineterm="")
    assert want.replace("\r", "") == got.replace("\r", ""), f"{label} differs:\n" + "\n".join(diff)


def run_ok(prefix, arguments):
    result = prefix.run(EXE, arguments, timeout=90)
    assert result.returncode == 0, f"kestrine.exe exited with {result.returncode}"


@test("registry conformance and system checks (real registry and samples, winxp, zh_CN)")
def registry_conformance(ctx):
    with machine(ctx, "conformance", samples=IMES + ("kstwo.ime", "ksnover.ime", "ksnames.dll", "ksreg.dll",
                                                     "ksidle.exe")) as p:
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
        with machine(ctx, f"edit-{version}", locale, version,
                     fixture="wine_9x_user.reg" if version == "win98" else "wine_nt_user.reg") as p:
            catalogue = p.registry([CATALOGUE])
            p.put_file(ctx.repo / "tests/wine/switches/edit.txt", PROGRAM_DIR + r"\edit.txt")
            run_ok(p, ["/load:edit.txt"])
            want = ctx.lab.regtool(["canon", str(ctx.repo / f"tests/wine/expected/edit_{version}_{short}.reg")]
                                   + USER_KEYS).decode()
            compare("the user's settings", want, p.registry(USER_KEYS))
            compare("the catalogue", catalogue, p.registry([CATALOGUE]))


for _version, _locale in (("winxp", "zh_CN.UTF-8"), ("nt40", "en_US.UTF-8"), ("win7", "zh_TW.UTF-8"),
                          ("win10", "en_US.UTF-8"), ("win98", "zh_CN.UTF-8")):
    switch_file(_version, _locale)


@test("wow64: the 32-bit kestrine.exe on 64-bit Windows keeps input methods of the native system folder (winxp, zh_CN)")
def wow64_native_system_folder(ctx):
    # The lab's build is the x86-64 one: its samples are 64-bit files in the native system32 only.
    keys = [CATALOGUE, r"HKEY_CURRENT_USER\Keyboard Layout\Preload"]
    with machine(ctx, "wow64", exe=ctx.wow64_exe) as p:
        before = p.registry(keys)
        run_ok(p, ["/on"])
        compare("the catalogue and the preload list", before, p.registry(keys))


@test("command line: /? and /install show their message box and end (winxp, zh_CN)")
def boxes_of_switches(ctx):
    # The help box's text in each language is checked by the window tests (system menu); a switch
    # run that opened the window would never end, and the runs above would time out.
    with ShownPrefix(ctx.lab, ctx.build / "kdriver.exe", "boxes", setup=lambda p: furnish(ctx, p)) as s:
        for switch, message in (("/?", rb"(?s).*/uninstall3:<ID>.*"), ("/install:kssample.ime", rb"E0[0-9A-F]{2}0804")):
            program = s.prefix.start(EXE, [switch], name="cli")
            box = s.driver.facts("wait-box", timeout=60000)[0]
            assert (box.raw(), program.wait(30)) == (b"Kestrine", 0), (switch, box)
            assert re.fullmatch(message, box.raw("message")), (switch, box.raw("message"))

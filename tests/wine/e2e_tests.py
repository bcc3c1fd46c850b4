# The end-to-end tier: the registry conformance suite against Wine's real registry, and kestrine.exe
# run with switches in fresh prefixes of each generation and locale, the registry compared by meaning
# with an expected .reg file. (The message boxes of /? and /install are scenarios/switch_boxes.txt.)
# Uninstalling is registry work proven natively and by the conformance suite; installing reaches
# ImmInstallIMEA in the /install box and the window tests.
# Wine differs from Windows: a process that loads user32 resets preload value "1" (the seed puts the
# locale's default layout there), "Show Status" is not stored by SystemParametersInfoA (the program
# writes it), RegDeleteKeyA keeps a key with sub-keys (also as win98), and ImmInstallIMEA stores the
# full path it is given as "Ime File".
import difflib
import re
from contextlib import contextmanager

from winelab import PROGRAM_DIR

ALL = []
USER_KEYS = [r"HKEY_CURRENT_USER\Keyboard Layout", r"HKEY_CURRENT_USER\Control Panel\Input Method",
             r"HKEY_CURRENT_USER\Software\Microsoft\CTF", r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run"]
CATALOGUE = r"HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts"
IMES = ("winpy.ime", "winsp.ime", "wingb.ime", "phon.ime", "kssample.ime")
EXE = PROGRAM_DIR + r"\kestrine.exe"


def test(name):
    return lambda fn: ALL.append((name, fn)) or fn


# Puts the samples into the system folder, imports a fixture of tests/fixtures ({DEFAULT}: the layout
# Wine puts first) and puts kestrine.exe into its folder.
def furnish(ctx, prefix, fixture="wine_nt_user.reg", samples=IMES, exe=None):
    for sample in samples:
        prefix.put_file(ctx.build / "resources/samples" / sample, prefix.system_dir() + "\\" + sample)
    text = (ctx.repo / "tests/fixtures" / fixture).read_text("utf-8").replace("{DEFAULT}", prefix.default_layout)
    (prefix.path / "kestrine-seed.reg").write_text(text, "utf-8")
    prefix.import_reg(prefix.path / "kestrine-seed.reg")
    prefix.put_file(exe or ctx.build / "kestrine.exe", EXE)


@contextmanager
def machine(ctx, name, locale="zh_CN.UTF-8", version="winxp", **furnishing):
    prefix = ctx.lab.prefix(name, locale=locale, version=version)
    try:
        furnish(ctx, prefix, **furnishing)
        yield prefix
    finally:
        ctx.lab.discard(prefix)


def run_and_compare(prefix, arguments, label, want, keys):
    assert prefix.run(EXE, arguments, timeout=90).returncode == 0, f"kestrine.exe {' '.join(arguments)} failed"
    got = prefix.registry(keys)
    diff = difflib.unified_diff(want.splitlines(), got.splitlines(), "expected", "after the run", lineterm="")
    assert want == got, f"{label} differs:\n" + "\n".join(diff)


@test("registry conformance and system checks (real registry and samples, winxp, zh_CN)")
def registry_conformance(ctx):
    with machine(ctx, "conformance", samples=("ksreg.dll", "ksidle.exe")) as p:
        result = p.run(p.put_file(ctx.build / "kestrine_conformance.exe", r"C:\kestrine_conformance.exe"),
                       ["--gtest_color=no"], timeout=120)
        out = result.stdout.decode(errors="replace")
        passed, skipped = (re.findall(rf"^\[  {word} *\] (\d+) tests?", out, re.M) for word in ("PASSED", "SKIPPED"))
        assert result.returncode == 0 and passed, f"exit {result.returncode}\n{out[-3000:]}"
        return f"{passed[0]} cases passed against Wine" + (f", {skipped[0]} skipped (see the test)" if skipped else "")


def switch_file(version, locale):
    @test(f"command line: a switch file edits the list, hot keys and switch keys ({version}, {locale[:5]})")
    def run(ctx):
        with machine(ctx, f"edit-{version}", locale, version,
                     fixture="wine_9x_user.reg" if version == "win98" else "wine_nt_user.reg") as p:
            catalogue = p.registry([CATALOGUE])
            p.put_file(ctx.repo / "tests/wine/switches/edit.txt", PROGRAM_DIR + r"\edit.txt")
            expected = ctx.repo / f"tests/wine/expected/edit_{version}_{locale[:5]}.reg"
            run_and_compare(p, ["/load:edit.txt"], "the user's settings",
                            ctx.lab.regtool(["canon", str(expected)] + USER_KEYS).decode(), USER_KEYS)
            assert p.registry([CATALOGUE]) == catalogue, "the catalogue changed"


for _version, _locale in (("winxp", "zh_CN.UTF-8"), ("nt40", "en_US.UTF-8"), ("win7", "zh_TW.UTF-8"),
                          ("win10", "en_US.UTF-8"), ("win98", "zh_CN.UTF-8")):
    switch_file(_version, _locale)


@test("wow64: the 32-bit kestrine.exe on 64-bit Windows keeps input methods of the native system folder (winxp, zh_CN)")
def wow64_native_system_folder(ctx):
    # The lab's build is the x86-64 one: its samples are 64-bit files in the native system32 only.
    keys = [CATALOGUE, r"HKEY_CURRENT_USER\Keyboard Layout\Preload"]
    with machine(ctx, "wow64", exe=ctx.wow64_exe) as p:
        run_and_compare(p, ["/on"], "the catalogue and the preload list", p.registry(keys), keys)

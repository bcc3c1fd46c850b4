# The end-to-end tier: the registry conformance suite against Wine's real registry, and kestrine.exe
# run with switches in fresh prefixes of each generation and locale, the registry compared by meaning
# with an expected .reg file. (The message boxes of /? and /install are scenarios/switch_boxes.txt.)
# Uninstalling is registry work proven natively and by the conformance suite; installing reaches
# ImmInstallIMEA in the /install box and the window tests.
# Wine differs from Windows: a process that loads user32 resets preload value "1" (the seed puts the
# locale's default layout there), "Show Status" is not stored by SystemParametersInfoA (the program
# writes it), RegDeleteKeyA keeps a key with sub-keys (also as win98), ImmInstallIMEA stores the
# full path it is given as "Ime File", and a native DLL is preferred to Wine's own only where
# WINEDLLOVERRIDES says so (Windows prefers any DLL in the program's folder but the known DLLs).
import difflib
import re
from contextlib import contextmanager

from winelab import PROGRAM_DIR, ShownPrefix, parse_reg

ALL = []
USER_KEYS = [r"HKEY_CURRENT_USER\Keyboard Layout", r"HKEY_CURRENT_USER\Control Panel\Input Method",
             r"HKEY_CURRENT_USER\Software\Microsoft\CTF", r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run"]
CATALOGUE = r"HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts"
PRELOAD = r"HKEY_CURRENT_USER\Keyboard Layout\Preload"
IMES = ("winpy.ime", "winsp.ime", "wingb.ime", "phon.ime", "kssample.ime")
EXE = PROGRAM_DIR + r"\kestrine.exe"


def test(name):
    return lambda fn: ALL.append((name, fn)) or fn


# Puts the samples into the system folder, imports a fixture of tests/fixtures ({DEFAULT}: the layout
# Wine puts first) with the .reg text `extra` added, and puts kestrine.exe into its folder.
def furnish(ctx, prefix, fixture="wine_nt_user.reg", samples=IMES, exe=None, extra=""):
    for sample in samples:
        prefix.put_file(ctx.build / "resources/samples" / sample, prefix.system_dir() + "\\" + sample)
    text = (ctx.repo / "tests/fixtures" / fixture).read_text("utf-8").replace("{DEFAULT}", prefix.default_layout)
    (prefix.path / "kestrine-seed.reg").write_text(text + extra, "utf-8")
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


def assert_same(want, got, label, after="after the run"):
    diff = difflib.unified_diff(want.splitlines(), got.splitlines(), "expected", after, lineterm="")
    assert want == got, f"{label} differs:\n" + "\n".join(diff)


def run_and_compare(prefix, arguments, label, want, keys):
    assert prefix.run(EXE, arguments, timeout=90).returncode == 0, f"kestrine.exe {' '.join(arguments)} failed"
    assert_same(want, prefix.registry(keys), label)


# kestrine.exe run with its standard output going to a file: the exit status and the output.
def kestrine(prefix, *arguments):
    result = prefix.run(EXE, arguments, timeout=90)
    return result.returncode, result.stdout.decode(f"cp{prefix.code_page}")


# The preload list, each row as its catalogue entry's input-method file, or its KLID for a layout.
def ime_list(prefix):
    reg = parse_reg(prefix.registry([PRELOAD, CATALOGUE]))
    rows = sorted(reg[PRELOAD.lower()].items(), key=lambda row: int(row[0].strip('"')))
    return [reg.get(CATALOGUE.lower() + "\\" + klid.strip('"').lower(), {}).get('"ime file"', klid) for _, klid in rows]


@test("registry conformance and system checks (real registry and samples, winxp, zh_CN)")
def registry_conformance(ctx):
    with machine(ctx, "conformance", samples=("ksreg.dll", "ksidle.exe")) as p:
        result = p.run(p.put_file(ctx.build / "kestrine_conformance.exe", r"C:\kestrine_conformance.exe"),
                       ["--gtest_color=no"], timeout=120)
        out = result.stdout.decode(errors="replace")
        passed, skipped = (re.findall(rf"^\[  {word} *\] (\d+) tests?", out, re.M) for word in ("PASSED", "SKIPPED"))
        assert result.returncode == 0 and passed, \
            f"exit {result.returncode}\n{out[-3000:]}\n{result.stderr.decode(errors='replace')[-2000:]}"
        return f"{passed[0]} cases passed against Wine" + (f", {skipped[0]} skipped (see the test)" if skipped else "")


def switch_file(version, locale):
    @test(f"command line: a switch file edits the list, hot keys and switch keys ({version}, {locale[:5]})")
    def run(ctx):
        with machine(ctx, f"edit-{version}", locale, version,
                     fixture="wine_9x_user.reg" if version == "win98" else "wine_nt_user.reg") as p:
            catalogue = p.registry([CATALOGUE])
            p.put_file(ctx.repo / "tests/wine/switches/edit.txt", PROGRAM_DIR + r"\edit.txt")
            if version == "win10":  # Windows 10 has an input.dll for the list's changes, Wine none
                p.put_file(ctx.build / "standin/input.dll", p.system_dir() + r"\input.dll")
            expected = ctx.repo / f"tests/wine/expected/edit_{version}_{locale[:5]}.reg"
            run_and_compare(p, ["/load:edit.txt"], "the user's settings",
                            ctx.lab.regtool(["canon", str(expected)] + USER_KEYS).decode(), USER_KEYS)
            assert p.registry([CATALOGUE]) == catalogue, "the catalogue changed"


for _version, _locale in (("winxp", "zh_CN.UTF-8"), ("nt40", "en_US.UTF-8"), ("win7", "zh_TW.UTF-8"),
                          ("win10", "en_US.UTF-8"), ("win98", "zh_CN.UTF-8")):
    switch_file(_version, _locale)


@test("wow64: the 32-bit kestrine.exe on 64-bit Windows keeps input methods of the native system folder and SysWOW64 (winxp, zh_CN)")
def wow64_native_system_folder(ctx):
    # The lab's build is the x86-64 one: its samples are 64-bit files in the native system32 only.
    # Any change makes apply judge the catalogue; /status:1 starts no program (Wine has no
    # internat.exe, whose start an indicator switch would count as refused).
    keys = [CATALOGUE, PRELOAD]
    # Also an input method that a 32-bit installer put into SysWOW64 only.
    with machine(ctx, "wow64", exe=ctx.wow64_exe, extra=f'\n[{CATALOGUE}\\E0200804]\n"IME File"="kswow.ime"\n') as p:
        p.put_file(ctx.build / "resources/samples/winsp.ime", r"C:\windows\syswow64\kswow.ime")
        run_and_compare(p, ["/status:1"], "the catalogue and the preload list", p.registry(keys), keys)


@test("command line in scripts: exit status in a batch file, switch files in UTF-8 and UTF-16, /quiet (winxp, zh_CN)")
def scripts(ctx):
    # On a display, where a box would wait for a person: a run that ends by itself showed none.
    with ShownPrefix(ctx.lab, ctx.build / "kdriver.exe", "scripts", version="winxp",
                     setup=lambda p: furnish(ctx, p)) as shown:
        p = shown.prefix
        # Python's "utf-16" starts with the little-endian byte-order mark on this machine.
        for name, encoding, row in (("utf8bom", "utf-8-sig", "双拼输入法"), ("utf8", "utf-8", "内码输入法"),
                                    ("utf16", "utf-16", "注音輸入法")):
            p.unix_path(PROGRAM_DIR + f"\\{name}.txt").write_bytes(f"/del2:{row}\r\n".encode(encoding))
        batch = p.put_file(ctx.repo / "tests/wine/switches/exit_status.bat", r"C:\exit_status.bat")
        out = p.run("cmd", ["/c", batch], timeout=300).stdout.decode("ascii", "replace")
        assert out.splitlines() == ["added=0", "not found=1", "not a switch=1", "missing file=1", "UTF-8 with BOM=0",
                                    "UTF-8=0", "UTF-16=0"], out
        status, out = kestrine(p, "/quiet", "/install:kssample.ime")
        assert status == 0 and re.search(r"^message: E0[0-9A-F]{2}0804\r$", out, re.M), out
        # The rows the batch file added and the one of the seed are gone; Wine lists no installed entry.
        assert ime_list(p) == ['"WINPY.IME"', '"00000804"']


@test("command line: a preview changes nothing and lists what the run then does; saved settings load on another "
      "machine (winxp, zh_CN)")
def preview_and_travel(ctx):
    keys = USER_KEYS + [CATALOGUE, r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run"]
    changes = lambda out: "\n".join(re.findall(r"^(?:would )?((?:set|delete|create key) .*)\r$", out, re.M))  # noqa: E731
    # B has the same input methods as A, two of them under each other's KLIDs.
    swapped = "".join(f"\n[{CATALOGUE}\\{klid}]\n\"IME File\"=\"{file}\"\n" for klid, file in
                      (("E0020804", "WINGB.IME"), ("E0030804", "WINSP.IME")))
    with machine(ctx, "travel-a") as a, machine(ctx, "travel-b", extra=swapped) as b:
        a.put_file(ctx.repo / "tests/wine/switches/edit.txt", PROGRAM_DIR + r"\edit.txt")
        before = a.registry(keys)
        status, preview = kestrine(a, "/whatif", "/load:edit.txt")
        assert status == 4, preview
        assert_same(before, a.registry(keys), "the registry", "after the preview")
        status, out = kestrine(a, "/load:edit.txt", r"/save:C:\a.txt")
        assert status == 0 and changes(out), out
        assert_same(changes(preview), changes(out), "what the preview listed", "what the run changed")
        saved = a.unix_path(r"C:\a.txt").read_bytes()
        b.unix_path(PROGRAM_DIR + r"\a.txt").write_bytes(saved)
        status, out = kestrine(b, "/load:a.txt", "/save:b.txt")
        assert status == 0 and b.unix_path(PROGRAM_DIR + r"\b.txt").read_bytes() == saved, out
        assert ime_list(a) == ime_list(b), (ime_list(a), ime_list(b))


@test("planted beside kestrine.exe: its runs (/ctfmon, /internat, /off, the window) load and start none of them")
def planted_libraries_and_programs(ctx):
    def plant(p):
        furnish(ctx, p)
        for name in ("msutb.dll", "msctf.dll", "msimtf.dll", "version.dll", "ctfmon.exe", "internat.exe"):
            p.put_file(ctx.build / ("kplanted.dll" if name.endswith(".dll") else "kplanted_program.exe"), PROGRAM_DIR + "\\" + name)
        p.put_file(ctx.build / "resources/samples/ksidle.exe", p.system_dir() + r"\ctfmon.exe")  # so that no box waits
        p.env["WINEDLLOVERRIDES"] += ";msutb,msctf,msimtf,version=n,b"  # the planted copies first, as Windows would
    with ShownPrefix(ctx.lab, ctx.build / "kdriver.exe", "planted", "zh_CN.UTF-8", "winxp", setup=plant) as s:
        p = s.prefix
        for switch in ("/ctfmon", "/internat", "/off"):  # Wine has no msutb.dll: /ctfmon ends in 2
            p.run(EXE, [switch], timeout=90)
        program = p.start(EXE, name="kestrine")
        s.driver.command("close", hwnd=s.driver.facts("wait-window", timeout=30000, **{"class": "Kestrine.MainWindow"})[0]["hwnd"])
        assert program.wait(15) == 0
        assert not (ran := sorted(marker.name for marker in p.unix_path("C:\\").glob("planted-*"))), f"these ran: {ran}"


@test("windows 8 to 11: the list's changes reach the language profile through the system folder's input.dll "
      "(win10, zh_CN; none on win7; one beside the program is never loaded)")
def language_profile(ctx):
    # Wine has no input.dll: a stand-in (tests/wine/input_standin.c) records its loading and each call
    # in C:\input-calls.txt. The switch file adds WINGB.IME, moves it to the top and deletes E0020804.
    def run(version, dll_folder):
        with machine(ctx, f"profile-{version}", version=version) as p:
            p.put_file(ctx.build / "standin/input.dll", dll_folder + r"\input.dll")
            p.put_file(ctx.repo / "tests/wine/switches/edit.txt", PROGRAM_DIR + r"\edit.txt")
            p.env["WINEDLLOVERRIDES"] += ";input=n,b"  # as Windows, a library beside the program comes first
            status, out = kestrine(p, "/load:edit.txt")
            calls = p.unix_path(r"C:\input-calls.txt")
            return (calls.read_text("ascii") if calls.exists() else None), status, out

    want = ("loaded\nInstallLayoutOrTip 0804:E0030804 0\nSetDefaultLayoutOrTip 0804:E0030804 0\n"
            "InstallLayoutOrTip 0804:E0020804 1\n")
    for version, calls in (("win10", want), ("win7", None)):
        got = run(version, r"C:\windows\system32")
        assert got[:2] == (calls, 0), f"{version}: calls {got[0]!r}, exit {got[1]}\n{got[2]}"
    calls, status, out = run("win10", PROGRAM_DIR)
    assert calls is None and status == 2 and out.count("(failed: no input.dll with this function") == 3, \
        f"the library beside the program: {calls!r}, exit {status}\n{out}"
    return "win10 recorded " + " | ".join(want.splitlines()[1:])

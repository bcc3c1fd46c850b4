"""The end-to-end tests that run under Wine. Each test is a function of a Context that raises
AssertionError (or WineError) on failure and may return a one-line detail."""
import re
from dataclasses import dataclass
from pathlib import Path

from winelab import PROGRAM_DIR, WineLab

ALL = []


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


def test(name):
    def register(fn):
        ALL.append(Test(name, fn))
        return fn
    return register


def with_prefix(ctx, name, locale="en_US.UTF-8", version=None, display=None):
    """A fresh prefix for one test, always discarded afterwards."""
    class Scope:
        def __enter__(self):
            self.prefix = ctx.lab.prefix(name, locale=locale, version=version, display=display)
            return self.prefix

        def __exit__(self, *exc):
            ctx.lab.discard(self.prefix)
            return False
    return Scope()


SAMPLES = ("kssample.ime", "kstwo.ime", "ksnover.ime", "ksnames.dll", "ksreg.dll", "ksidle.exe")


def install_samples(ctx, prefix, names=SAMPLES):
    for name in names:
        prefix.put_file(ctx.build / "resources/samples" / name, prefix.system_dir() + "\\" + name)


@test("registry conformance and system checks (real registry and samples, winxp, zh_CN)")
def registry_conformance(ctx):
    with with_prefix(ctx, "conformance", locale="zh_CN.UTF-8", version="winxp") as p:
        install_samples(ctx, p)
        exe = p.put_file(ctx.build / "kestrine_conformance.exe", r"C:\kestrine_conformance.exe")
        result = p.run(exe, ["--gtest_color=no"], timeout=120)
        out = result.stdout.decode(errors="replace")
        summary = re.findall(r"^\[  PASSED  \] (\d+) tests?", out, re.M)
        assert result.returncode == 0 and summary, f"exit {result.returncode}\n{out[-3000:]}"
        skipped = re.findall(r"^\[  SKIPPED \] (\d+) tests?", out, re.M)
        return f"{summary[0]} cases passed against Wine" + (f", {skipped[0]} skipped (see the test)" if skipped else "")


@test("harness: import, export and compare by meaning (zh_CN)")
def harness_roundtrip(ctx):
    fixture = ctx.repo / "tests/fixtures/harness_roundtrip.reg"
    with with_prefix(ctx, "harness", locale="zh_CN.UTF-8") as p:
        p.import_reg(fixture)
        got = p.export([r"HKEY_CURRENT_USER\Software\KestrineHarness"])
        want = ctx.lab.regtool(["canon", str(fixture), r"HKEY_CURRENT_USER\Software\KestrineHarness"]).decode()
        assert got == want, f"export differs from the fixture:\n--- fixture\n{want}\n--- export\n{got}"
        preload = p.export([r"HKEY_CURRENT_USER\Keyboard Layout\Preload"])
        # Wine: every process that loads user32 (reg.exe too) resets value "1" to the
        # locale's default layout; Windows leaves it alone.
        assert '"1"="E0010804"' in preload and '"2"="E0010804"' in preload, preload

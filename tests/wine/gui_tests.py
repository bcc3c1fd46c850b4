"""The Wine GUI tier: real windows on an Xvfb display, worked from a second process with
kdriver.exe. Each test gets its own display, window manager and prefix, so tests can run side by
side without taking each other's keyboard focus. Screenshots go to BUILD/gui-shots/.

This module holds the toolkit's in-process cases; the windows of kestrine.exe itself are tested
in window_tests.py."""
import re

from e2e_tests import Test
from winelab import TOOLS, ShownPrefix

ALL = []


def test(name):
    def register(fn):
        ALL.append(Test(name, fn))
        return fn
    return register


def toolkit_in_process(version, locale):
    # The cases use GBK bytes; they must come back unchanged whatever the code page (GBK, Big5,
    # Western), since the toolkit only passes the system's 8-bit texts through.
    @test(f"toolkit: in-process cases under Wine ({version}, {locale.split('.')[0]})")
    def run(ctx):
        def install(prefix):
            prefix.put_file(ctx.build / "toolkit_tests.exe", f"{TOOLS}\\toolkit_tests.exe")

        with ShownPrefix(ctx.lab, ctx.build / "kdriver.exe", f"gui-toolkit-{version}", locale, version,
                         setup=install) as s:
            result = s.prefix.run(f"{TOOLS}\\toolkit_tests.exe", ["--gtest_color=no"], timeout=180)
            out = result.stdout.decode(errors="replace")
            passed = re.findall(r"^\[  PASSED  \] (\d+) tests?", out, re.M)
            assert result.returncode == 0 and passed, f"exit {result.returncode}\n{out[-4000:]}"
            return f"{passed[0]} toolkit cases passed"
    return run


for version, locale in (("winxp", "zh_CN.UTF-8"), ("win98", "zh_TW.UTF-8"), ("win7", "en_US.UTF-8")):
    toolkit_in_process(version, locale)

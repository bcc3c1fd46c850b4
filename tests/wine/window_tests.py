# Window scenarios: kestrine.exe started on an Xvfb display and worked from kdriver.exe as a user
# would. Each scenario is a file of scenarios/: a first comment line naming it, a header line
# "machine TIER LOCALE VERSION FIXTURE", then one step a line, a verb and its arguments split as a
# shell does; the verbs are the v_ methods below. The behaviour behind each control is proven
# natively; these prove what only real windows show: that controls reach their operations and
# show their state, layout, fonts, three languages, boxes, dialogs, keys and IMM calls, and the
# registry at the end (read from Wine's files, which stops the program).
# Wine differs from Windows: no indicator program runs (loading turns the indicator switch off),
# and ImmInstallIMEA stores the full path, which an apply would take for a missing file.
import re
import shlex
from itertools import zip_longest
from pathlib import Path

from e2e_tests import furnish
from winelab import PROGRAM_DIR, ShownPrefix, WineError, parse_reg, wait_until

HERE = Path(__file__).resolve().parent
GUI, E2E = [], []
SAMPLES = ("winpy.ime", "winsp.ime", "wingb.ime", "phon.ime", "chajei.ime", "kssample.ime", "kstwo.ime", "ksnames.dll")
CAPTIONS = {"zh_CN.UTF-8": 8, "zh_TW.UTF-8": 9, "en_US.UTF-8": 10}  # the caption column of main_window.txt
VK = {"TAB": 9, "RETURN": 13, "ESCAPE": 27, "SPACE": 32, "UP": 38, "F2": 113, "F4": 115}
ROOTS = {"HKLM": "HKEY_LOCAL_MACHINE", "HKCU": "HKEY_CURRENT_USER"}


def words(path):
    # The lines of a data file as (line number, words), comment lines left out.
    lines = path.read_text("utf-8").splitlines()
    return [(n, shlex.split(line)) for n, line in enumerate(lines, 1) if line.strip() and not line.startswith("#")]


def reg_value(value):
    # NAME=DATA as parse_reg has it; DATA is a string unless written as in a .reg file (dword:, hex:).
    name, _, data = value.partition("=")
    quote = lambda text: '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'  # noqa: E731
    return "@" if name == "@" else quote(name).lower(), data if re.match(r"(hex|dword)", data) else quote(data)


def state(c):
    # A control's state as a code: E or D (enabled), + or - (checked), = and its caption.
    return ("E" if c["enabled"] == "1" else "D") + {"1": "+", "0": "-"}.get(c["checked"], "") + "=" + c.text()


def fits(code, want):
    # A wanted code is the start of the state before "=", and after "=" (when it has one) the caption.
    (flags, _, caption), (want_flags, eq, want_caption) = code.partition("="), want.partition("=")
    return flags.startswith(want_flags) and (not eq or caption == want_caption)


class Scenario(ShownPrefix):
    def __init__(self, ctx, path, locale, version, fixture):
        super().__init__(ctx.lab, ctx.build / "kdriver.exe", path.stem, locale, version,
                         setup=lambda prefix: furnish(ctx, prefix, fixture, SAMPLES))
        self.ctx, self.path, self.dialog, self.pid, self.named, self.found = ctx, path, None, 0, {}, {}
        self.layout = [row for _, row in words(HERE / "expected" / "main_window.txt")]

    def play(self):
        for number, (verb, *args) in words(self.path)[1:]:
            try:
                getattr(self, "v_" + verb)(*args)
            except (AssertionError, WineError) as e:
                raise AssertionError(f"{self.path.name}:{number}: {shlex.join([verb] + args)}: {e}") from None

    def hwnd(self, name, dialog=None):
        # A control of the main window by its name in the layout, the dialog shown last ("dialog"),
        # or a control of that dialog by caption, by button id ("#1") or as the first shown of a
        # class (the editor's "+" labels left out).
        if name in self.named or name == "dialog":
            return self.named.get(name) or self.dialog["hwnd"]
        found = [c for c in self.driver.facts("tree", hwnd=(dialog or self.dialog)["hwnd"])[1:]
                 if c.text() == name or name == "#" + c["id"] and c["class"] == "Button"
                 or c["class"] == name and c["visible"] == "1" and c.text() != "+"]
        assert found, f"no control {name!r} in the dialog"
        return found[0]["hwnd"]

    def control(self, name):
        return self.driver.facts("tree", hwnd=self.hwnd(name))[0]

    def until(self, get, holds, want):
        # Waits up to 5 s for holds(get()); fails showing what came last.
        seen = []
        try:
            wait_until(lambda: holds(seen.append(get()) or seen[-1]), 5)
        except WineError:
            raise AssertionError(f"expected {want}, got {seen[-1]!r}") from None

    # ---- working the windows

    def v_start(self, *switches):
        # kestrine.exe with Wine's IMM calls traced; without switches its window is awaited.
        self.prefix.env["WINEDEBUG"] = "+imm"
        self.program, self.pid = self.prefix.start(PROGRAM_DIR + r"\kestrine.exe", switches, name="kestrine"), 0
        if not switches:
            window = self.driver.facts("wait-window", timeout=30000, **{"class": "Kestrine.MainWindow"})[0]
            self.pid, tree = window["pid"], self.driver.facts("tree", hwnd=window["hwnd"])
            self.named = {row[0]: c["hwnd"] for row, c in zip(self.layout, tree)}
            self.v_focus("list")

    def v_layout(self, font):
        # The main window's controls compared whole with main_window.txt: class, parent, position
        # and size (the window's client size; "<N" a size below N), font ("F" there: the one given)
        # and caption.
        tree, names = self.driver.facts("tree", hwnd=self.named["window"]), {h: n for n, h in self.named.items()}
        want, got = [], []
        for row, c in zip(self.layout, tree):
            rect = c.rect() if c["hwnd"] != self.named["window"] else ("*", "*") + c.rect("client")
            row = row[:7] + [font if row[7] == "F" else row[7], row[CAPTIONS[self.locale]]]
            fields = [row[0], c["class"], names.get(c["parent"], "-"), *rect, c["font"], c.text()]
            want.append(shlex.join(row))
            got.append(shlex.join([w if w == "*" or w[:1] == "<" and int(g) < int(w[1:]) else str(g) for w, g in zip(row, fields)]))
        got += [f"{c['class']} {c.text()!r} not in the layout" for c in tree[len(self.layout):]]
        want += [shlex.join(row) for row in self.layout[len(tree):]]
        assert got == want, "\n".join(f"  {g}\n    expected {w}" for g, w in zip_longest(got, want, fillvalue="nothing") if g != w)

    def v_click(self, name):
        self.driver.command("click", hwnd=self.hwnd(name))

    def v_choose(self, name, item):
        texts = [f.text() for f in self.driver.facts("items", hwnd=self.hwnd(name))]
        assert item in texts, f"{item!r} not among {texts}"
        self.driver.command("combo-select", hwnd=self.hwnd(name), index=texts.index(item))

    def v_type(self, name, text):
        self.driver.command("set-text", hwnd=self.hwnd(name), text=text)

    def v_row(self, index):
        self.driver.command("lv-select", hwnd=self.named["list"], index=index)
        self.until(lambda: self.driver.command("items", hwnd=self.named["list"])[0]["selected"], index.__eq__, index)

    def v_page(self, index):
        self.driver.command("tab-select", hwnd=self.named["tab"], index=index)
        page = ("normal", "other", "advanced")[int(index)]
        self.until(lambda: self.control(page)["visible"], "1".__eq__, f"page {page} shown")

    def v_rename(self, row, text):
        # F2 on a row, the text typed into the list's in-place editor, Enter.
        self.v_row(row), self.v_activate(), self.v_focus("list"), self.v_key("F2")
        editor = wait_until(lambda: [c for c in self.driver.facts("tree", hwnd=self.named["list"])
                                     if c["class"] == "Edit" and c["visible"] == "1"], 5, "the in-place editor")[0]
        self.driver.command("set-text", hwnd=editor["hwnd"], text=text)
        self.v_key("RETURN")
        self.driver.command("wait-gone", hwnd=editor["hwnd"], timeout=5000)

    def v_key(self, vk, mods=""):
        self.driver.command("key", vk=VK.get(vk) or ord(vk), mods=mods)

    def v_mouse(self, name, x, y, action="move"):
        self.driver.command("mouse", hwnd=self.hwnd(name), x=x, y=y, action=action)

    def v_activate(self, name="window"):
        self.driver.command("activate", hwnd=self.hwnd(name))

    def v_dialog(self, title=None):
        # Waits for a dialog of the program (by title) and finds controls in it from now on.
        self.dialog = self.driver.facts("wait-window", pid=self.pid, timeout=10000, **{"class": "#32770"},
                                        **({"text": title} if title else {}))[0]

    def v_menu(self):
        # Waits for a pop-up menu of the program, such as the system menu.
        self.driver.command("wait-window", pid=self.pid, timeout=5000, **{"class": "#32768"})

    def v_gone(self):
        self.driver.command("wait-gone", hwnd=self.dialog["hwnd"], timeout=5000)

    def v_shot(self, what):
        self.driver.command("redraw", hwnd=self.named["window"])
        self.display.screenshot(self.ctx.build / "gui-shots" / f"{self.name}-{what}.png")

    def v_exit(self, code):
        # The program ends by itself with this exit code.
        assert self.program.wait(15) == int(code)

    # ---- expectations, each waited for

    def v_items(self, name, *items):
        # The items of a list view ("column|column"), combo box, tab control or header
        # ("text|width"), whole; ">" marks the selected one.
        want = ([i.lstrip(">") for i in items], next((str(n) for n, i in enumerate(items) if i[:1] == ">"), "-1"))

        def get():
            final, facts = self.driver.command("items", hwnd=self.hwnd(name))
            return [f.text() for f in facts], final["selected"]
        self.until(get, want.__eq__, want)

    def v_expect(self, *codes):
        # Controls' states, NAME=CODE each (see fits).
        want = dict(code.split("=", 1) for code in codes)
        self.until(lambda: {n: state(self.control(n)) for n in want}, lambda got: all(map(fits, got.values(), want.values())),
                   want)

    def v_focus(self, name):
        self.driver.command("wait-focus", hwnd=self.hwnd(name), timeout=5000)

    def v_tabstops(self, *names):
        # Tab moves the focus to each of these controls in turn.
        for name in names:
            self.v_key("TAB"), self.v_focus(name)

    def v_box(self, title, text, answer="ok", buttons="1"):
        # A message box of the program (of any, before its window is shown): title, text (or
        # /pattern/, whose named groups later steps use as {name}) and buttons; then answered.
        box, *parts = self.driver.facts("tree", hwnd=self.driver.facts("wait-window", pid=self.pid, box=1)[0]["hwnd"])
        message = next(p.text() for p in parts if p["id"] == "65535")
        ids = ",".join(p["id"] for p in parts if p["class"].lower() == "button")
        pattern = re.compile(text[1:-1] if len(text) > 1 and text[0] == text[-1] == "/" else re.escape(text), re.S)
        assert box.text() == title and (m := pattern.fullmatch(message)) and ids == buttons, (box.text(), message, ids)
        self.found.update(m.groupdict())
        self.driver.command("click", hwnd=self.hwnd("#2" if answer == "cancel" else "#1", box))
        self.driver.command("wait-gone", hwnd=box["hwnd"], timeout=5000)

    def v_imm(self, calls):
        # Wine's IMM trace shows this many ImmConfigureIMEW calls, each for the main window.
        owner = rf"\(\w+, 0*{int(self.named['window']):X}, 1, 0+\)"
        configured = lambda: [line for line in self.program.out_path.read_text(errors="replace").splitlines()  # noqa: E731
                              if "ImmConfigureIMEW (" in line]
        self.until(configured, lambda got: len(got) == int(calls) and all(re.search(owner, c) for c in got), f"{calls} calls")

    def v_registry(self, key, *values):
        # A key and its sub-keys, whole, once the program has ended: its values (see reg_value), an
        # expected .reg file, or "absent".
        root, _, rest = key.format(**self.found).partition("\\")
        key = ROOTS.get(root, root) + "\\" + rest
        if values and values[0].endswith(".reg"):
            want = parse_reg(self.ctx.lab.regtool(["canon", str(HERE / "expected" / values[0]), key]).decode())
        else:
            want = {} if values == ("absent",) else {key.lower(): dict(map(reg_value, values))}
        got = parse_reg(self.prefix.registry([key]))
        assert got == want, f"\n  expected {want}\n  got      {got}"


def register(path):
    # A test for each scenario file, in the tier its header names.
    title = path.read_text("utf-8").split("\n", 1)[0].lstrip("# ")
    _, tier, locale, version, fixture = words(path)[0][1]

    def run(ctx):
        with Scenario(ctx, path, locale, version, fixture) as scenario:
            scenario.play()
    (E2E if tier == "e2e" else GUI).append((f"{title} ({version}, {locale[:5]})", run))


for _path in sorted((HERE / "scenarios").glob("*.txt")):
    register(_path)

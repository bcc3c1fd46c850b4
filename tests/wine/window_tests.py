"""GUI tests: kestrine.exe started with no arguments on an Xvfb display, worked from kdriver.exe as
a user would, each scenario a table of steps (verb, control, value or expected state) over one
driver, and the registry read from Wine's files at the end (that stops the program). The behaviour
behind each control is proven natively; these prove what only real windows show: that controls
reach their operations and show their state, layout, fonts, three languages, boxes, dialogs, keys
and IMM calls. Wine differs from Windows: no indicator program runs (loading turns the indicator
switch off), and ImmInstallIMEA stores the full path, which an apply would take for a missing file."""
import re
import subprocess
from pathlib import Path

from e2e_tests import furnish, test as register_test
from winelab import CODE_PAGE, PROGRAM_DIR, ShownPrefix, WineError, wait_until

ALL = []
CATALOGUE = r"HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts"
PRELOAD = r"HKEY_CURRENT_USER\Keyboard Layout\Preload"
TOGGLE = r"HKEY_CURRENT_USER\Keyboard Layout\Toggle"
HOT_KEYS = r"HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys"
LANGUAGE = {"zh_CN.UTF-8": "simplified", "zh_TW.UTF-8": "traditional", "en_US.UTF-8": "english"}
SAMPLES = ("winpy.ime", "winsp.ime", "wingb.ime", "phon.ime", "chajei.ime", "kssample.ime", "kstwo.ime", "ksnames.dll")
ROW = 17  # the height of the list's rows and header under the program's font
WAIT = 5
VK = {"TAB": 9, "RETURN": 13, "ESCAPE": 27, "SPACE": 32, "UP": 38, "F2": 113}


def parse_reg(text):
    """REGEDIT4 text as {key in lower case: {value name in lower case: value text}}."""
    keys, current = {}, None
    for line in text.splitlines():
        if line.startswith("[") and line.endswith("]"):
            current = keys.setdefault(line[1:-1].lower(), {})
        elif current is not None and line[:1] in ('"', "@"):
            name, _, value = line[1:].partition('"=') if line[0] == '"' else ("@", "", line[2:])
            current[name.lower()] = value
    return keys


def sz(text):
    return '"' + text.replace("\\", "\\\\") + '"'


# The main window's controls in creation order (the tree's order): name, class, caption (a text
# name after "@", a literal, or None where it follows the settings), parent, position in the
# parent and size where fixed (a height of None: the toolkit's default).
CONTROLS = [
    ("ok", "Button", "@ok", None, (8, 375), (57, None)),
    ("tab", "SysTabControl32", "", None, (8, 184), (313, 185)),
    ("normal", "toolkit.page", "", "tab", None, None),
    ("indicatorSwitch", "Button", "@enableDisable", "normal", (176, 5), None),
    ("switchGroup", "Button", "", "normal", (8, 65), (289, 79)),
    ("languageSwitch", "Button", None, "switchGroup", (14, 18), None),
    ("layoutSwitch", "Button", "@switchKeyboardLayouts", "switchGroup", (145, 18), None),
    ("languageKey", "ComboBox", None, "switchGroup", (14, 41), None),
    ("layoutKey", "ComboBox", None, "switchGroup", (145, 41), None),
    ("styleGroup", "Button", "@imeStyle", "normal", (8, 7), (289, 52)),
    ("textServices", "Button", "@textServices", "styleGroup", (158, 20), None),
    ("indicatorOption", "Button", "@inputLocales", "styleGroup", (38, 20), None),
    ("other", "toolkit.page", "", "tab", None, None),
    ("otherGroup", "Button", "@otherTab", "other", (8, 73), (289, 73)),
    ("capsLabel", "Static", "@turnOffCapsLock", "otherGroup", (24, 23), None),
    ("divider", "toolkit.panel", "", "otherGroup", (144, 16), (2, 49)),
    ("showStatus", "Button", "@showStatus", "otherGroup", (168, 31), None),
    ("capsMode", "ComboBox", "Caps Lock", "otherGroup", (24, 43), (81, None)),
    ("toggleGroup", "Button", "@otherToggleGroup", "other", (8, 6), (289, 60)),
    ("toggleButton", "Button", None, "toggleGroup", (152, 26), (121, None)),
    ("toggleChooser", "ComboBox", "@imeToggle", "toggleGroup", (16, 26), (129, None)),
    ("advanced", "toolkit.page", "", "tab", None, None),
    ("deleteGroup", "Button", "@deleteFromRegistryGroup", "advanced", (8, 7), (289, 55)),
    ("selectedEntry", "toolkit.panel", None, "deleteGroup", (16, 22), (185, 22)),
    ("registryDelete", "Button", "@registryDelete", "deleteGroup", (217, 22), (59, None)),
    ("installGroup", "Button", "@installImeGroup", "advanced", (8, 69), (289, 78)),
    ("fileLabel", "Static", "@imeFileLabel", "installGroup", (15, 52), None),
    ("nameLabel", "Static", "@layoutTextLabel", "installGroup", (15, 20), None),
    ("nameEdit", "Edit", "", "installGroup", (91, 16), (182, None)),
    ("fileEdit", "Edit", "", "installGroup", (91, 48), (94, None)),
    ("browse", "Button", "...", "installGroup", (187, 48), (25, None)),
    ("install", "Button", "@install", "installGroup", (221, 48), (55, None)),
    ("up", "Button", "@up", None, (8, 128), (41, None)),
    ("down", "Button", "@down", None, (51, 128), (41, None)),
    ("delete", "Button", "@deleteEntry", None, (97, 128), (43, None)),
    ("add", "Button", "@add", None, (264, 158), (57, None)),
    ("addBox", "ComboBox", None, None, (8, 158), (249, None)),
    ("list", "SysListView32", "", None, (8, 8), (313, 113)),
    ("header", "SysHeader32", "", "list", None, None),
    ("exit", "Button", "@exit", None, (264, 375), (57, None)),
    ("hotkey", "Button", "@hotkey", None, (145, 128), (57, None)),
    ("apply", "Button", "@apply", None, (82, 375), (57, None)),
    ("property", "Button", "@property", None, (204, 128), (57, None)),
    ("keyboard", "Button", "@keyboard", None, (264, 128), (57, None)),
    ("status", "msctls_statusbar32", None, None, None, None),
]


class App(ShownPrefix):
    """kestrine.exe on its own display, in a prefix seeded with a machine and the sample input
    methods, and the verbs of the scenario tables. Texts written "@name" are the program's own
    (texttool); controls are the names of CONTROLS, or captions inside the dialog shown last."""

    def __init__(self, ctx, name, locale, version, fixture):
        fixture = fixture or f"demo_{locale[:5].lower()}.reg"
        super().__init__(ctx.lab, ctx.build / "kdriver.exe", name, locale, version,
                         setup=lambda prefix: furnish(ctx, prefix, fixture, SAMPLES))
        out = subprocess.run([str(Path(ctx.lab.regtool_path).parent / "texttool"), "window", LANGUAGE[locale]],
                             check=True, capture_output=True, text=True, timeout=30).stdout
        self.t = {k: bytes.fromhex(v) for k, _, v in (line.partition("=") for line in out.splitlines())}
        self.ctx, self.cp, self.dialog = ctx, f"cp{CODE_PAGE[locale]}", None

    def __enter__(self):
        super().__enter__()
        try:
            self.prefix.env["WINEDEBUG"] = "+imm"  # Wine's IMM calls traced into the program's output
            self.v_start()
        except BaseException:
            self.__exit__()
            raise
        return self

    def run(self, steps):
        for step in steps:
            try:
                getattr(self, "v_" + step[0])(*step[1:])
            except (AssertionError, WineError) as e:
                raise AssertionError(f"step {step!r}: {e}") from None

    # ---- looking

    def s(self, text):
        """A text of the tables as str: "@name" is the program's text of that name."""
        return self.t[text[1:]].decode(self.cp) if text.startswith("@") else text

    def tree(self, hwnd=None):
        return self.driver.facts("tree", hwnd=hwnd or self.hwnd)

    def control(self, name):
        """A control as it is now: of the main window by name, else of the dialog by caption."""
        if name in self.named:
            return next(c for c in self.tree() if c["hwnd"] == self.named[name]["hwnd"])
        tree = self.tree(self.dialog["hwnd"])[1:]
        if name in ("ComboBox", "Edit", "Static"):  # the first shown of the class ("+" is no label)
            return [c for c in tree if c["class"] == name and c["visible"] == "1" and c.text() != "+"][0]
        found = [c for c in tree if (c["id"] == name[1:] and c["class"] == "Button" if name[0] == "#"
                                     else c.text() == self.s(name))]
        assert found, f"no control captioned {self.s(name)!r} in the dialog"
        return found[0]

    def rows(self):
        final, facts = self.driver.command("lv-items", hwnd=self.named["list"]["hwnd"])
        rows = [tuple(bytes.fromhex(t).decode(self.cp) for t in f["texts"].split(",")) for f in facts if f.kind == "item"]
        return rows, int(final["selected"]), final["editable"]

    def combo(self, name):
        final, facts = self.driver.command("combo-items", hwnd=self.control(name)["hwnd"])
        return [f.text() for f in facts], int(final["selected"])

    def codes(self, name):
        """The control's state as its code: E or D (enabled), + or - (checked), = and the caption."""
        c = self.control(name)
        return ("E" if c["enabled"] == "1" else "D") + {"1": "+", "0": "-"}.get(c["checked"], "") + "=" + c.text()

    def shown(self, cls):
        return [w for w in self.driver.facts("windows", pid=self.pid) if w["class"] == cls and w["visible"] == "1"]

    # ---- the verbs of the tables: working the window

    def v_start(self):
        self.program = self.prefix.start(PROGRAM_DIR + r"\kestrine.exe", name="kestrine")
        self.window = self.driver.facts("wait-window", timeout=30000, **{"class": "Kestrine.MainWindow"})[0]
        self.hwnd, self.pid = self.window["hwnd"], self.window["pid"]
        self.check_layout()
        self.driver.command("wait-focus", hwnd=self.named["list"]["hwnd"], timeout=10000)

    def check_layout(self):
        tree = self.tree()[1:]
        got = [(c["class"], c.text()) for c in tree]
        want = [(cls, None if caption is None else self.s(caption)) for _, cls, caption, *_ in CONTROLS]
        assert len(got) == len(want) and all(g[0] == w[0] and w[1] in (None, g[1]) for g, w in zip(got, want)), \
            "controls in creation order:\n  " + "\n  ".join(f"{g!r:60} expected {w!r}" for g, w in zip(got, want))
        self.named = {}
        for c, (name, _, _, parent, position, size) in zip(tree, CONTROLS):
            owner = self.named[parent] if parent else self.window
            assert c["parent"] == owner["hwnd"], f"{name} is not a child of {parent or 'the window'}"
            x, y, w, h = c.rect()
            at = (x, y) if parent is None else (x - owner.rect()[0], y - owner.rect()[1])
            assert position in (None, at), f"{name} at {at}, expected {position}"
            assert not size or (w == size[0] and size[1] in (None, h)), f"{name} sized {w}x{h}, expected {size}"
            self.named[name] = c

    def settle(self, holds, shown, what):
        """Waits until holds() is true; fails with what the window shows (shown()) otherwise."""
        try:
            wait_until(holds, WAIT, what=what)
        except WineError:
            raise AssertionError(f"{what}: {shown()!r}") from None

    def target(self, name):
        return self.dialog["hwnd"] if name == "dialog" else self.hwnd

    def v_click(self, name):
        self.driver.command("click", hwnd=self.control(name)["hwnd"])

    def v_choose(self, name, item):
        index = item if isinstance(item, int) else self.combo(name)[0].index(self.s(item))
        self.driver.command("combo-select", hwnd=self.control(name)["hwnd"], index=index)

    def v_type(self, name, text):
        self.driver.command("set-text", hwnd=self.control(name)["hwnd"], text=self.s(text))

    def v_row(self, index):
        self.driver.command("lv-select", hwnd=self.named["list"]["hwnd"], index=index)
        self.settle(lambda: self.rows()[1] == index, self.rows, f"row {index} selected")

    def v_page(self, index):
        self.driver.command("tab-select", hwnd=self.named["tab"]["hwnd"], index=index)
        page = ("normal", "other", "advanced")[index]
        self.settle(lambda: self.control(page)["visible"] == "1", lambda: "hidden", f"page {page} shown")

    def v_key(self, vk, mods=""):
        self.driver.command("key", vk=VK.get(vk) or ord(vk), mods=mods)

    def v_mouse(self, name, x, y, action="move"):
        self.driver.command("mouse", hwnd=self.control(name)["hwnd"], x=x, y=y, action=action)

    def v_activate(self, name=None):
        self.driver.command("activate", hwnd=self.target(name))

    def v_close(self, name=None):
        self.driver.command("close", hwnd=self.target(name))

    def v_dialog(self, title):
        """Waits for a dialog of the program by title (None: any) and works in it from now on."""
        args = {"text": self.s(title).encode(self.cp)} if title else {}
        self.dialog = self.driver.facts("wait-window", pid=self.pid, timeout=10000, **{"class": "#32770"}, **args)[0]

    def v_gone(self):
        self.driver.command("wait-gone", hwnd=self.dialog["hwnd"], timeout=5000)

    def v_shot(self, what):
        self.driver.command("redraw", hwnd=self.hwnd)
        self.display.screenshot(self.ctx.build / "gui-shots" / f"{self.name}-{what}.png")

    def v_exit(self, code=0):
        """The program has ended by itself, with this exit code."""
        assert self.program.wait(15) == code

    # ---- the verbs of the tables: expectations

    def v_rows(self, rows, selected=None):
        got = lambda: (self.rows()[0], None if selected is None else self.rows()[1])  # noqa: E731
        self.settle(lambda: got() == (rows, selected), got, "the rows")

    def v_editable(self, flag):
        self.settle(lambda: self.rows()[2] == flag, lambda: self.rows()[2], "the list's in-place editing " + flag)

    def v_status(self, text):
        status = lambda: self.control("status").text()  # noqa: E731
        self.settle(lambda: status() == self.s(text), status, f"status line {self.s(text)!r}")

    def v_expect(self, codes):
        """Each control's state code starts with the given one (E+ : enabled and checked;
        D=text : disabled and captioned text; =text : captioned text)."""
        def matches(name, code):
            got = self.codes(name)
            return got.startswith(self.s(code)) if code[0] != "=" else got.split("=", 1)[1] == self.s(code[1:])
        self.settle(lambda: all(matches(n, c) for n, c in codes.items()), lambda: {n: self.codes(n) for n in codes},
                    f"states {codes}")

    def v_items(self, name, items, selected=None):
        holds = lambda got: got[0][:len(items)] == [self.s(i) for i in items] and selected in (None, got[1])  # noqa
        self.settle(lambda: holds(self.combo(name)), lambda: self.combo(name), f"the items of {name}")

    def v_focus(self, name, on=True):
        answer = self.driver.command("wait-focus", check=on, hwnd=self.control(name)["hwnd"], timeout=5000 if on else 300)
        assert on or answer[0].kind == "error", f"{name} has the focus"

    def v_box(self, title, text, answer="ok", buttons="1"):
        """A message box of the program: its title and text (texts, or a pattern), its buttons."""
        box = self.driver.facts("wait-box", pid=self.pid, timeout=10000, answer=answer)[0]
        got = (box.text(), box.text("message"), box["buttons"])
        want_text = text if isinstance(text, re.Pattern) else re.compile(re.escape(self.s(text)))
        assert got[0] == self.s(title) and want_text.fullmatch(got[1]) and got[2] == buttons, got
        self.last_box = got[1]

    def v_imm(self, calls):
        """Wine's IMM trace shows this many ImmConfigureIMEW calls, each owned by the main window."""
        configured = lambda: [line for line in self.program.out_path.read_bytes().decode(errors="replace").splitlines()
                              if "ImmConfigureIMEW (" in line]  # noqa: E731
        self.settle(lambda: len(configured()) == calls, configured, f"{calls} configuration calls")
        owner = f"0*{int(self.hwnd, 16):08X}"  # 8 or 16 digits, as the architecture has them
        assert all(re.search(rf"\(\w+, {owner}, 1, 0+\)", c) for c in configured()), configured()

    def registry(self, *keys):
        """The keys as {key: {value: text}}, read after the wineserver stopped (ending the program)."""
        return parse_reg(self.prefix.registry(list(keys)))


def scenario(name, locale="zh_CN.UTF-8", version="winxp", fixture=None):
    short = locale.split(".")[0]

    def register(fn):
        @register_test(f"window: {name} ({version}, {short})", ALL)
        def run(ctx):
            with App(ctx, f"window-{fn.__name__}-{short}", locale, version, fixture) as app:
                fn(app)
        return fn
    return register


# ---- The window in each language: captions, layout, fonts, lists, system menu and a page

def language_steps(app, rows, key_items, toggle, six):
    """Checks of a freshly started window and the system menu's boxes; then Esc, and a fresh start."""
    t, w = app.t, app.window
    font = "12" if app.version == "win98" else "11"
    assert (w.raw(), w["client"]) == (t["windowTitle"], "327,426") and t["windowTitle"] == b"Kestrine 2.8.2", w
    fonts = {c.text() or c["class"]: c["font"] for c in app.tree() if c["class"] != "SysHeader32"}
    assert set(fonts.values()) == {font}, fonts
    tabs = app.driver.facts("tab-items", hwnd=app.named["tab"]["hwnd"])
    assert [x.raw() for x in tabs] == [t["normalTab"], t["otherTab"], t["advancedTab"]], tabs
    columns = [(f.raw(), int(f["width"])) for f in app.driver.facts("lv-items", hwnd=app.named["list"]["hwnd"])
               if f.kind == "column"]
    assert columns == [(t["nameColumn"], 154), (t["hotkeyColumn"], 155)], columns
    # No indicator program runs under Wine: the 6.x generation loads the text-services style
    # (the switch stays on), the others the indicator style with the switch turned off.
    app.run([("rows", rows, 0),
             ("expect", {"languageSwitch": "=@switchInputLanguages" if six else "=@switchIme",
                         "indicatorSwitch": "E+" if six else "E-", "textServices": "E+" if six else "D-",
                         "indicatorOption": "D-" if six else "D+", "toggleButton": "=" + toggle}),
             ("items", "languageKey", key_items), ("items", "layoutKey", key_items),
             ("items", "capsMode", ["Caps Lock", "Shift"]),
             ("items", "toggleChooser", ["@imeToggle", "@shapeToggle", "@symbolToggle"], 0),
             ("shot", "normal"),
             # The Install button follows the edits, except on the 6.x generation.
             ("page", 2), ("type", "nameEdit", "Sample"), ("type", "fileEdit", "sample.ime"),
             ("expect", {"install": "D" if six else "E"}), ("shot", "advanced")])
    for ups, title, text in ((1, "@aboutCaption", "@aboutText"), (2, "@caption", "@help")):
        app.run([("activate",), ("key", "SPACE", "alt")])
        wait_until(lambda: app.shown("#32768"), WAIT, what="the system menu")
        app.run([("key", "UP")] * ups + [("key", "RETURN"), ("box", title, text)])
    app.run([("key", "ESCAPE"), ("exit", 0), ("start",)])  # Esc is Exit: nothing applied


@scenario("captions and layout; browse, install, and Delete from the catalogue with its question")
def simplified(app):
    language_steps(app, [("全拼输入法", "Ctrl+Shift+1"), ("美国英语", ""), ("双拼输入法", "")],
                   ["Ctrl+Shift", "Alt+Shift"], "Ctrl+SPACE", False)
    path = r"C:\windows\system32\kssample.ime"
    app.run([("page", 2), ("click", "browse"), ("dialog", None), ("type", "Edit", "kssample.ime"), ("shot", "browse"),
             ("click", "#1"), ("gone",),  # the open button's caption is Wine's
             ("expect", {"nameEdit": "E=示例输入法", "fileEdit": "E=" + path, "install": "E"}),
             # Cancelling the dialog fills the name edit again from the file chosen last.
             ("type", "nameEdit", "Kestrine"), ("click", "browse"), ("dialog", None), ("click", "#2"), ("gone",),
             ("expect", {"nameEdit": "=示例输入法"}),
             ("click", "install"), ("box", "@caption", re.compile(r"E0[0-9A-F]{2}0804")), ("shot", "klid")])
    klid = app.last_box
    app.run([("choose", "addBox", "中文 (简体) - 美式键盘"),
             ("expect", {"registryDelete": "D", "selectedEntry": "=中文 (简体) - 美式键盘"}),
             ("status", "中文 (简体) - 美式键盘: 00000804"),
             ("choose", "addBox", "内码输入法"), ("expect", {"registryDelete": "E", "selectedEntry": "=内码输入法"}),
             ("status", "内码输入法: E0030804 (WINGB.IME)"),
             # The pointer over the field hands the keyboard focus to the add box.
             ("activate",), ("focus", "addBox", False), ("mouse", "selectedEntry", 20, 10), ("focus", "addBox")])
    items = app.combo("addBox")[0]
    question = app.s("@deleteQuestionPrefix") + 'E0030804:"内码输入法 (WINGB.IME)' + app.s("@deleteQuestionSuffix")
    app.run([("click", "registryDelete"), ("box", "@warningCaption", question, "cancel", "1,2"),
             ("items", "addBox", items),
             ("click", "registryDelete"), ("box", "@warningCaption", question, "ok", "1,2"),
             ("items", "addBox", [i for i in items if i != "内码输入法"], 0),
             # The button follows the entry now selected, a plain layout.
             ("expect", {"registryDelete": "D", "selectedEntry": "=" + items[0]})])
    # Wine keeps the full path as "Ime File" (Windows the bare name).
    reg = app.registry(CATALOGUE)
    assert f"{CATALOGUE}\\e0030804".lower() not in reg, "the entry deleted from the registry"
    entry = reg.get(f"{CATALOGUE}\\{klid}".lower(), {})
    assert (entry.get("ime file", "").lower(), entry.get("layout display name")) == (sz(path).lower(), sz("示例输入法")), entry


@scenario("captions and layout; F2 renames an input method, refused for blanks and plain layouts",
          locale="zh_TW.UTF-8", version="win7")
def traditional(app):
    language_steps(app, [("中文 (繁體) - 注音", "左 Ctrl+Shift+1"), ("美式英文", ""), ("中文 (繁體) - 倉頡", "")],
                   ["Ctrl+Shift", "Alt+Shift", "`"], "Ctrl+SPACE", True)
    lv = app.named["list"]["hwnd"]
    for row, text, shown in ((0, "注音 (新)", "注音 (新)"), (0, "  \t ", "注音 (新)"), (1, "美式", "美式英文")):
        app.run([("row", row), ("activate",), ("focus", "list"), ("key", "F2")])
        editor = wait_until(lambda: [c for c in app.tree(lv)[1:] if c["class"] == "Edit" and c["visible"] == "1"],
                            WAIT, what="the in-place editor")[0]
        app.driver.command("set-text", hwnd=editor["hwnd"], text=text)
        app.v_key("RETURN")
        app.driver.command("wait-gone", hwnd=editor["hwnd"])
        assert app.rows()[0][row][0] == shown, app.rows()
    app.run([("click", "apply")])
    reg = app.registry(CATALOGUE)
    names = {k: reg[f"{CATALOGUE}\\{k}".lower()].get("layout display name") for k in ("E0010404", "00000409")}
    assert names == {"E0010404": sz("注音 (新)"), "00000409": None}, names


@scenario("captions and layout; Tab order, accelerators, a letter two buttons share, Ctrl+Tab, dialogs by keys",
          locale="en_US.UTF-8", version="win98", fixture="window_en_us_9x.reg")
def english(app):
    language_steps(app, [("US", ""), ("German", ""), ("Two-language sample", "Right Ctrl+Alt+2")],
                   ["Ctrl+Shift", "Alt+Shift"], "", False)
    # Creation order; Up (never a tab stop) and a disabled Property are skipped, the radio group is
    # entered at its checked button, and only the shown page is visited.
    order = ["exit", "hotkey", "apply", "keyboard", "ok", "indicatorSwitch", "languageSwitch", "languageKey", "down",
             "delete", "add", "addBox", "list"]
    app.run([("activate",), ("focus", "list")] + [s for n in order for s in (("key", "TAB"), ("focus", n))])
    rows = app.rows()[0]
    app.run([("key", "TAB", "shift"), ("focus", "addBox"),
             ("key", "D", "alt"), ("rows", [rows[1], rows[0], rows[2]], 1), ("key", "U", "alt"), ("rows", rows, 0),
             # "&Add" and "&Apply" share their letter: Alt+A moves between them and presses neither.
             ("key", "A", "alt"), ("focus", "apply"), ("key", "A", "alt"), ("focus", "add"), ("rows", rows, 0),
             ("key", "SPACE")])
    wait_until(lambda: len(app.rows()[0]) == len(rows) + 1, WAIT, what="a row added by Space on Add")
    app.run([("key", "H", "alt"), ("dialog", "@editorTitle"), ("focus", "@editorOk"), ("key", "ESCAPE"), ("gone",),
             ("key", "K", "alt"), ("dialog", "@keyboardTitle"), ("key", "ESCAPE"), ("gone",),
             ("key", "TAB", "ctrl"), ("focus", "showStatus"), ("key", "TAB", "ctrl"), ("focus", "nameEdit"),
             ("key", "X", "alt"), ("exit", 0)])  # Exit: nothing applied
    reg = app.registry(PRELOAD)
    assert [reg[f"{PRELOAD}\\{i}".lower()]["@"] for i in (1, 2, 3)] == [sz("00000409"), sz("00000407"), sz("E0210804")]


# ---- The list, its buttons, the hot keys and the status line

DEMO_ROWS = [("全拼输入法", "Ctrl+Shift+1"), ("美国英语", ""), ("双拼输入法", "")]
NEIMA = ("内码输入法", "")
EDITOR_BOXES = ("@editorEnable", "Ctrl", "Alt", "Shift", "@editorLeft", "@editorRight")


def row_y(row):
    return ROW + row * ROW + 8  # below the header


@scenario("the status line, Add, Up, Down, Delete, the hot-key editor for entries and toggles; Apply writes them")
def list_and_hot_keys(app):
    app.run([
        # The status line names what is under the pointer; a click below the rows selects the last.
        ("mouse", "list", 60, row_y(0)), ("status", "热键: Ctrl+Shift+1 键盘: KBDUS.DLL | E0010804"),
        ("mouse", "list", 60, row_y(4)), ("status", ""),
        ("mouse", "list", 60, row_y(4), "click"), ("rows", DEMO_ROWS, 2), ("status", "KBDUS.DLL | E0020804"),
        ("choose", "addBox", "示例输入法"), ("status", "示例输入法: E0200804 (KSSAMPLE.IME)"),
        ("mouse", "list", 60, row_y(1)), ("status", "键盘: KBDUS.DLL | 00000409 | "),
        ("mouse", "addBox", 30, 8), ("status", "示例输入法: E0200804 (KSSAMPLE.IME)"),
        # Showing a page clears the line; so does a click on page "Advanced".
        ("page", 1), ("status", ""), ("mouse", "list", 60, row_y(1)), ("status", "键盘: KBDUS.DLL | 00000409 | "),
        ("page", 2), ("mouse", "advanced", 150, 152, "click"), ("status", ""),
        # The buttons follow the selected row.
        ("row", 0), ("expect", {"up": "D", "down": "E", "property": "E"}),
        ("row", 1), ("expect", {"up": "E", "down": "E", "property": "D"}), ("status", "KBDUS.DLL | 00000409"),
        ("choose", "addBox", "内码输入法"), ("click", "add"), ("rows", DEMO_ROWS + [NEIMA], 1),
        ("row", 3), ("click", "up"), ("rows", DEMO_ROWS[:2] + [NEIMA, DEMO_ROWS[2]], 2),
        ("row", 0), ("click", "down"), ("rows", [DEMO_ROWS[1], DEMO_ROWS[0], NEIMA, DEMO_ROWS[2]], 1),
        ("row", 3), ("click", "delete"), ("rows", [DEMO_ROWS[1], DEMO_ROWS[0], NEIMA]),
    ])
    items = app.combo("addBox")[0]
    assert "内码输入法" not in items and items[-1] == "双拼输入法", "the add box takes entries out and back"
    app.run([
        # An entry without hot key: the editor opens with "Enable hotkey" cleared.
        ("row", 2), ("click", "hotkey"), ("dialog", "@editorTitle"),
        ("expect", {"Static": "=内码输入法", "@editorEnable": "E-", "Ctrl": "D-", "@editorLeft": "D-"}),
        ("click", "@editorEnable"), ("click", "Ctrl"), ("click", "Shift"), ("choose", "ComboBox", "2"),
        ("expect", {"@editorLeft": "E+", "@editorRight": "E+", "Shift": "E+"}), ("shot", "editor"),
        ("click", "@editorOk"), ("gone",), ("rows", [DEMO_ROWS[1], DEMO_ROWS[0], ("内码输入法", "Ctrl+Shift+2")]),
        # A double-click right of the names opens it too; another row's hot key is refused by a box
        # the editor owns (it is disabled under it), and the editor stays open.
        ("mouse", "list", 200, row_y(0), "dblclick"), ("dialog", "@editorTitle"), ("expect", {"Static": "=美国英语"}),
        ("click", "@editorEnable"), ("click", "Ctrl"), ("click", "Shift"), ("choose", "ComboBox", "1"),
        ("click", "@editorOk")])
    owner = [w["enabled"] for w in app.shown("#32770") if w["hwnd"] == app.dialog["hwnd"]]
    app.run([("box", "@caption", "@duplicateHotkey"), ("expect", {"ComboBox": "E=1"}),
             ("activate", "dialog"), ("key", "ESCAPE"), ("gone",),
             ("rows", [DEMO_ROWS[1], DEMO_ROWS[0], ("内码输入法", "Ctrl+Shift+2")])])
    assert owner == ["0"], "the editor is disabled under the box"
    shape = app.s("@shapeToggle")
    app.run([
        # The toggle chooser names the slot's hot key on its button and the status line.
        ("page", 1), ("choose", "toggleChooser", 1), ("expect", {"toggleButton": "=Shift+SPACE"}),
        ("status", f"{shape}: Shift+SPACE"), ("row", 1), ("status", "热键: Ctrl+Shift+1 KBDUS.DLL | E0010804"),
        ("mouse", "toggleButton", 10, 10), ("status", f"{shape}: Shift+SPACE"),
        ("click", "toggleButton"), ("dialog", "@editorTitle"),
        ("expect", {"Static": "=" + shape, "Shift": "E+", "@editorEnable": "E+", "ComboBox": "E=SPACE"}),
        ("click", "Alt"), ("click", "@editorOk"), ("gone",), ("expect", {"toggleButton": "=Alt+Shift+SPACE"}),
        # Another slot's hot key is refused: Ctrl is ticked already, Ctrl+SPACE is the first slot's.
        ("choose", "toggleChooser", 2), ("click", "toggleButton"), ("dialog", "@editorTitle"),
        ("choose", "ComboBox", "SPACE"), ("click", "@editorOk"), ("box", "@caption", "@duplicateHotkey"),
        ("click", "@editorCancel"), ("gone",), ("expect", {"toggleButton": "=Ctrl+."}),
        ("click", "apply"), ("rows", [DEMO_ROWS[1], DEMO_ROWS[0], ("内码输入法", "Ctrl+Shift+2")])])
    reg = app.registry(PRELOAD, HOT_KEYS)
    assert reg[PRELOAD.lower()] == {"1": sz("00000409"), "2": sz("E0010804"), "3": sz("E0030804")}, reg

    def record(modifiers, key, target="00,00,00,00"):
        return {"key modifiers": f"hex:{modifiers},c0,00,00", "virtual key": f"hex:{key},00,00,00",
                "target ime": f"hex:{target}"}
    keys = HOT_KEYS.lower() + "\\"
    assert {k[len(keys):]: v for k, v in reg.items() if k.startswith(keys)} == {
        "00000010": record("02", "20"), "00000011": record("05", "20"), "00000012": record("02", "be"),
        "00000100": record("06", "31", "04,08,01,e0"), "00000101": record("06", "32", "04,08,03,e0")}, reg


# ---- The keyboard-layout dialog, the style options and the switch keys

@scenario("the keyboard dialog remembers a choice made before Cancel, OK writes it; the style options and switch keys")
def keyboard_and_style(app):
    layouts = ["美国英语", "德语", "法语", "日语", "朝鲜语", "美国英语 - Dvorak"]
    app.run([
        ("row", 0), ("click", "keyboard"), ("dialog", "@keyboardTitle"),
        ("expect", {"Static": "=全拼输入法", "Edit": "=美国英语"}), ("items", "ComboBox", layouts[:1], -1)])
    items = app.combo("ComboBox")[0]
    assert sorted(items) == sorted(layouts), items
    assert app.tree()[0]["enabled"] == "0", "the main window waits for the dialog"
    app.run([
        ("choose", "ComboBox", "德语"), ("shot", "dialog"), ("click", "@keyboardCancel"), ("gone",),
        ("row", 2), ("click", "keyboard"), ("dialog", "@keyboardTitle"),
        ("expect", {"Static": "=双拼输入法"}), ("items", "ComboBox", [], items.index("德语")),  # kept from before Cancel
        ("choose", "ComboBox", "法语"), ("activate", "dialog"), ("key", "RETURN"), ("gone",), ("rows", DEMO_ROWS, 2),
        # The indicator switch enables the options; the two key choices never hold the same keys.
        ("expect", {"styleGroup": "D", "indicatorOption": "D", "textServices": "D"}),
        ("click", "indicatorSwitch"), ("expect", {"styleGroup": "E", "indicatorOption": "E", "textServices": "E"}),
        ("choose", "languageKey", 0), ("expect", {"languageKey": "=Ctrl+Shift", "layoutKey": "=Alt+Shift"}),
        # Text services: switch captions, the layout switch and its keys enabled, keys reset.
        ("click", "textServices"),
        ("expect", {"languageSwitch": "=@switchInputLanguages", "layoutSwitch": "E", "layoutKey": "E=Ctrl+Shift",
                    "languageKey": "=Alt+Shift"}),
        ("editable", "1"), ("items", "addBox", [], -1),
        ("click", "indicatorOption"),
        ("expect", {"languageSwitch": "=@switchIme", "layoutSwitch": "D", "layoutKey": "D=Alt+Shift",
                    "languageKey": "=Ctrl+Shift"}),
        ("editable", "0"),
        # The language switch enables its key choice while checked.
        ("click", "languageSwitch"), ("expect", {"languageSwitch": "E-", "languageKey": "D"}),
        ("click", "languageSwitch"), ("expect", {"languageKey": "E"}),
        ("click", "textServices"), ("click", "layoutSwitch"), ("expect", {"layoutSwitch": "E-", "layoutKey": "D"}),
        # Apply writes the switch keys; the text-services monitor cannot start under Wine.
        ("click", "apply"), ("box", "@caption", re.compile(".*ctfmon.exe.*", re.S))])
    reg = app.registry(TOGGLE, CATALOGUE)
    assert reg[TOGGLE.lower()] == {"hotkey": sz("1"), "language hotkey": sz("1"), "layout hotkey": sz("3")}, reg
    files = {k: reg[f"{CATALOGUE}\\{k}".lower()]["layout file"] for k in ("E0010804", "E0020804")}
    assert files == {"E0010804": sz("kbdus.dll"), "E0020804": sz("KBDFR.DLL")}, files


# ---- The Property action and the ways out

@scenario("Property and a double-click on a name configure the input method; Esc and the close box leave, Enter applies")
def property_and_leaving(app):
    app.run([
        ("row", 1), ("expect", {"property": "D"}), ("click", "property"),  # pressed from outside: nothing
        ("row", 2), ("click", "property"), ("imm", 1),
        ("mouse", "list", 40, row_y(2), "dblclick"), ("imm", 2)])
    assert not app.shown("#32770"), "no dialog or box opened"
    app.run([
        ("choose", "addBox", 1), ("click", "add"), ("activate",), ("focus", "list"), ("key", "ESCAPE"), ("exit", 0),
        ("start",), ("rows", DEMO_ROWS, 0), ("click", "delete"), ("close",), ("exit", 0),
        ("start",), ("rows", DEMO_ROWS, 0), ("click", "delete"), ("rows", DEMO_ROWS[1:]),
        ("activate",), ("focus", "list"), ("key", "RETURN"), ("exit", 0)])
    reg = app.registry(PRELOAD)
    assert reg[PRELOAD.lower()] == {"1": sz("00000409"), "2": sz("E0020804")}, reg

"""GUI tests of kestrine.exe itself: the program started with no arguments on an Xvfb display, in a
prefix seeded with a machine, worked with kdriver.exe as a user would (buttons, lists, dialogs,
message boxes, keys), and the registry read from Wine's files afterwards.

Where Wine differs from Windows the test says so. What shapes these tests:
- no indicator program runs under Wine, so loading turns the indicator switch off and the style
  options start disabled; a test that changes the style first ticks the switch;
- the registry is read after the wineserver has stopped (prefix.registry), which also ends the
  program, so each test reads it once, at its end;
- ImmInstallIMEA stores the full path it is given as "Ime File", where Windows stores the bare
  file name, so an apply after an install deletes the new entry again."""
import re
import subprocess
from pathlib import Path

from cli_tests import seed
from demo import DEMO_SAMPLES, demo_prefix
from gui_tests import test
from winelab import PROGRAM_DIR, ShownPrefix, WineError, wait_until

MAIN_CLASS = "Kestrine.MainWindow"
CATALOGUE = r"HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts"
PRELOAD = r"HKEY_CURRENT_USER\Keyboard Layout\Preload"
TOGGLE = r"HKEY_CURRENT_USER\Keyboard Layout\Toggle"
HOT_KEYS = r"HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys"
LANGUAGE = {"zh_CN.UTF-8": "simplified", "zh_TW.UTF-8": "traditional", "en_US.UTF-8": "english"}
ROW_HEIGHT = 17  # the list's rows (and its header) under the program's font
WAIT = 5  # seconds for a posted message to show its effect


# ---- Texts and the registry as plain Python values

def program_texts(ctx, locale, what="window"):
    """texttool's texts for the locale, as bytes of the locale's code page (what="window": a dict by
    name; what="help": the help text)."""
    texttool = Path(ctx.lab.regtool_path).parent / "texttool"
    out = subprocess.run([str(texttool), what, LANGUAGE[locale]], check=True, capture_output=True, text=True,
                         timeout=30).stdout
    if what == "help":
        return bytes.fromhex(out.strip())
    return {k: bytes.fromhex(v) for k, _, v in (line.partition("=") for line in out.splitlines())}


def parse_reg(text):
    """REGEDIT4 text as {key path in lower case: {value name in lower case: value text}}; value
    names and key paths are matched without regard to case, as the registry does."""
    keys = {}
    current = None
    for line in text.splitlines():
        line = line.rstrip("\r")
        if line.startswith("[") and line.endswith("]"):
            current = keys.setdefault(line[1:-1].lower(), {})
        elif current is not None and line.startswith('"'):
            name, _, value = line[1:].partition('"=')
            current[name.lower()] = value
    return keys


def sz(text):
    return '"' + text.replace("\\", "\\\\") + '"'


def subkeys(registry, key):
    prefix = key.lower() + "\\"
    return sorted(k[len(prefix):] for k in registry if k.startswith(prefix) and "\\" not in k[len(prefix):])


# ---- The program on a display

class Kestrine(ShownPrefix):
    """A display with openbox, a prefix seeded with a machine (a demo machine, or a fixture of
    tests/fixtures with the sample input methods), kdriver.exe running in it, and kestrine.exe
    started with no arguments. Controls are looked up by caption in the program's texts."""

    def __init__(self, ctx, name, locale="zh_CN.UTF-8", version="winxp", fixture=None, samples=DEMO_SAMPLES,
                 trace=None):
        make_prefix = None if fixture else (
            lambda display: demo_prefix(ctx.lab, ctx.build, display=display, locale=locale, version=version))
        super().__init__(ctx.lab, ctx.build / "kdriver.exe", name, locale, version, make_prefix=make_prefix,
                         setup=self._seed)
        self.ctx, self.fixture, self.samples, self.trace = ctx, fixture, samples, trace
        self.t = program_texts(ctx, locale)
        self.code_page = None

    def _seed(self, prefix):
        self.code_page = f"cp{prefix.code_page}"
        if not self.fixture:
            return
        for sample in self.samples:
            prefix.put_file(self.ctx.build / "resources/samples" / sample, prefix.system_dir() + "\\" + sample)
        seed(self.ctx, prefix, self.fixture)
        prefix.put_file(self.ctx.build / "kestrine.exe", PROGRAM_DIR + r"\kestrine.exe")

    def __enter__(self):
        super().__enter__()
        try:
            self.start(self.trace)
        except BaseException:
            self.__exit__()
            raise
        return self

    # ---- running

    def start(self, trace=None):
        """Starts kestrine.exe with no arguments and waits until its window and list are shown.
        trace: Wine debug channels whose messages go to self.log_path (such as "+imm")."""
        if trace:
            env = dict(self.prefix.env)
            self.prefix.env["WINEDEBUG"] = trace
            try:
                program = self.prefix.start(PROGRAM_DIR + r"\kestrine.exe", name="kestrine")
            finally:
                self.prefix.env = env
            self.log_path = program.out_path
            window = self.driver.facts("wait-window", timeout=30000, **{"class": MAIN_CLASS})[0]
            self.pid = window["pid"]
        else:
            self.pid = self.driver.command("start", cmd=PROGRAM_DIR + r"\kestrine.exe", dir=PROGRAM_DIR)[0]["pid"]
            window = self.driver.facts("wait-window", pid=self.pid, timeout=30000, **{"class": MAIN_CLASS})[0]
        self.hwnd = window["hwnd"]
        self.refresh()
        self.driver.command("wait-focus", hwnd=self.of_class("SysListView32")[0]["hwnd"], timeout=10000)
        return self

    def wait_exit(self, timeout=15000):
        """The program's exit code once it has ended."""
        return int(self.driver.command("wait-exit", pid=self.pid, timeout=timeout)[0]["code"])

    def registry(self, *keys):
        """The keys as {key: {value: text}}, read after the wineserver stopped (this ends the program)."""
        return parse_reg(self.prefix.registry(list(keys)))

    def shot(self, what):
        self.driver.command("redraw", hwnd=self.hwnd)
        return self.display.screenshot(self.ctx.build / "gui-shots" / f"{self.name}-{what}.png")

    # ---- looking at the window

    def refresh(self):
        facts = self.driver.facts("tree", hwnd=self.hwnd)
        self.window, self.tree = facts[0], facts[1:]
        return self.tree

    def text(self, fact, key="text"):
        return fact.raw(key).decode(self.code_page, errors="replace")

    def text_of(self, caption):
        """A caption as str: a texttool name, or bytes."""
        return (self.t[caption] if isinstance(caption, str) else caption).decode(self.code_page)

    def of_class(self, cls, parent=None):
        return [c for c in self.tree if c["class"] == cls and (parent is None or c["parent"] == parent["hwnd"])]

    def find(self, caption, cls="Button", parent=None):
        """The one control of this class whose caption is these bytes (a text name of texttool, or bytes)."""
        raw = self.t[caption] if isinstance(caption, str) and caption in self.t else caption
        if isinstance(raw, str):
            raw = raw.encode(self.code_page)
        found = [c for c in self.tree if c.raw() == raw and c["class"] == cls
                 and (parent is None or c["parent"] == parent["hwnd"])]
        assert len(found) == 1, f"{len(found)} {cls} controls captioned {raw.decode(self.code_page, 'replace')!r}"
        return found[0]

    def state(self, control):
        """The control as it is now."""
        return next(c for c in self.refresh() if c["hwnd"] == control["hwnd"])

    def status(self):
        bars = self.of_class("msctls_statusbar32")
        return self.text(bars[0]) if bars else ""

    def wait_status(self, expected, timeout=WAIT):
        try:
            wait_until(lambda: (self.refresh(), self.status() == expected)[1], timeout, what="the status line")
        except WineError:
            raise AssertionError(f"status line {self.status()!r}, expected {expected!r}")

    def list_view(self):
        return self.of_class("SysListView32")[0]

    def rows(self):
        """The list's rows as (name, hot key) and the selected row index."""
        final, facts = self.driver.command("lv-items", hwnd=self.list_view()["hwnd"])
        rows = [tuple(bytes.fromhex(t).decode(self.code_page) for t in f["texts"].split(","))
                for f in facts if f.kind == "item"]
        return rows, int(final["selected"])

    def columns(self):
        return [(f.text(), int(f["width"])) for f in self.driver.facts("lv-items", hwnd=self.list_view()["hwnd"])
                if f.kind == "column"]

    def combo_items(self, combo):
        final, facts = self.driver.command("combo-items", hwnd=combo["hwnd"])
        return [self.text(f) for f in facts], int(final["selected"])

    def tab(self):
        return self.of_class("SysTabControl32")[0]

    def pages(self):
        return self.of_class("toolkit.page", self.tab())

    # ---- working the window

    def click(self, control):
        self.driver.command("click", hwnd=control["hwnd"])
        return self.refresh()

    def press(self, caption, parent=None):
        return self.click(self.find(caption, parent=parent))

    def choose(self, combo, index):
        self.driver.command("combo-select", hwnd=combo["hwnd"], index=index)
        return self.refresh()

    def select_row(self, index):
        self.driver.command("lv-select", hwnd=self.list_view()["hwnd"], index=index)
        wait_until(lambda: self.rows()[1] == index, WAIT, what=f"row {index} selected")
        return self.refresh()

    def show_page(self, index):
        self.driver.command("tab-select", hwnd=self.tab()["hwnd"], index=index)
        wait_until(lambda: self.pages()[index]["visible"] == "1" if self.refresh() else False, WAIT,
                   what=f"page {index} shown")
        return self.pages()[index]

    def activate(self):
        self.driver.command("activate", hwnd=self.hwnd)

    def key(self, vk, mods=None):
        args = {"vk": vk}
        if mods:
            args["mods"] = mods
        self.driver.command("key", **args)

    def focus(self):
        return self.driver.facts("focus", hwnd=self.hwnd)[0]

    def wait_focus(self, control, timeout=5000):
        self.driver.command("wait-focus", hwnd=control["hwnd"], timeout=timeout)

    def box(self, timeout=10000):
        """The message box the program shows now: (fact, title bytes, text bytes)."""
        box = self.driver.facts("wait-box", pid=self.pid, timeout=timeout)[0]
        return box, box.raw("title"), box.raw()

    def answer(self, box, button="ok"):
        self.driver.command("answer-box", hwnd=box["hwnd"], button=button)

    def dialog(self, title, timeout=10000):
        """A dialog of the program shown now, by its title (bytes or a texttool name), and its controls."""
        raw = self.t.get(title, title) if isinstance(title, str) else title
        window = self.driver.facts("wait-window", pid=self.pid, title=raw, timeout=timeout, **{"class": "#32770"})[0]
        return window, self.driver.facts("tree", hwnd=window["hwnd"])[1:]


def relative(inner, outer):
    (x, y, _, _), (ox, oy, _, _) = inner.rect(), outer.rect()
    return x - ox, y - oy


# ---- The window in each language

# The controls in creation order (the order in which the tree lists them, depth first): a name,
# the class, the caption (a texttool name, bytes, or None where it follows the settings), the
# parent by name (None: the window), the position in the parent and the size where they are
# fixed (a height of None: the toolkit's default).
CONTROLS = [
    ("ok", "Button", "ok", None, (8, 375), (57, None)),
    ("tab", "SysTabControl32", b"", None, (8, 184), (313, 185)),
    ("normal", "toolkit.page", b"", "tab", None, None),
    ("indicatorSwitch", "Button", "enableDisable", "normal", (176, 5), None),
    ("switchGroup", "Button", b"", "normal", (8, 65), (289, 79)),
    ("languageSwitch", "Button", None, "switchGroup", (14, 18), None),
    ("layoutSwitch", "Button", "switchKeyboardLayouts", "switchGroup", (145, 18), None),
    ("languageKey", "ComboBox", None, "switchGroup", (14, 41), None),
    ("layoutKey", "ComboBox", None, "switchGroup", (145, 41), None),
    ("styleGroup", "Button", "imeStyle", "normal", (8, 7), (289, 52)),
    ("textServices", "Button", "textServices", "styleGroup", (158, 20), None),
    ("indicatorOption", "Button", "inputLocales", "styleGroup", (38, 20), None),
    ("other", "toolkit.page", b"", "tab", None, None),
    ("otherGroup", "Button", "otherTab", "other", (8, 73), (289, 73)),
    ("capsLabel", "Static", "turnOffCapsLock", "otherGroup", (24, 23), None),
    ("divider", "toolkit.panel", b"", "otherGroup", (144, 16), (2, 49)),
    ("showStatus", "Button", "showStatus", "otherGroup", (168, 31), None),
    ("capsMode", "ComboBox", b"Caps Lock", "otherGroup", (24, 43), (81, None)),
    ("toggleGroup", "Button", "otherToggleGroup", "other", (8, 6), (289, 60)),
    ("toggleButton", "Button", None, "toggleGroup", (152, 26), (121, None)),
    ("toggleChooser", "ComboBox", "imeToggle", "toggleGroup", (16, 26), (129, None)),
    ("advanced", "toolkit.page", b"", "tab", None, None),
    ("deleteGroup", "Button", "deleteFromRegistryGroup", "advanced", (8, 7), (289, 55)),
    ("selectedEntry", "toolkit.panel", None, "deleteGroup", (16, 22), (185, 22)),
    ("registryDelete", "Button", "registryDelete", "deleteGroup", (217, 22), (59, None)),
    ("installGroup", "Button", "installImeGroup", "advanced", (8, 69), (289, 78)),
    ("fileLabel", "Static", "imeFileLabel", "installGroup", (15, 52), None),
    ("nameLabel", "Static", "layoutTextLabel", "installGroup", (15, 20), None),
    ("nameEdit", "Edit", b"", "installGroup", (91, 16), (182, None)),
    ("fileEdit", "Edit", b"", "installGroup", (91, 48), (94, None)),
    ("browse", "Button", b"...", "installGroup", (187, 48), (25, None)),
    ("install", "Button", "install", "installGroup", (221, 48), (55, None)),
    ("up", "Button", "up", None, (8, 128), (41, None)),
    ("down", "Button", "down", None, (51, 128), (41, None)),
    ("delete", "Button", "deleteEntry", None, (97, 128), (43, None)),
    ("add", "Button", "add", None, (264, 158), (57, None)),
    ("addBox", "ComboBox", None, None, (8, 158), (249, None)),
    ("list", "SysListView32", b"", None, (8, 8), (313, 113)),
    ("header", "SysHeader32", b"", "list", None, None),
    ("exit", "Button", "exit", None, (264, 375), (57, None)),
    ("hotkey", "Button", "hotkey", None, (145, 128), (57, None)),
    ("apply", "Button", "apply", None, (82, 375), (57, None)),
    ("property", "Button", "property", None, (204, 128), (57, None)),
    ("keyboard", "Button", "keyboard", None, (264, 128), (57, None)),
    ("status", "msctls_statusbar32", None, None, None, None),
]


def named_controls(app):
    """The window's controls by the names of CONTROLS, after checking their order, classes,
    captions, parents, positions and sizes against it."""
    tree = app.refresh()
    got = [(c["class"], app.text(c)) for c in tree]
    want = [(cls, None if caption is None else app.text_of(caption)) for _, cls, caption, *_ in CONTROLS]
    assert len(tree) == len(CONTROLS) and all(g[0] == w[0] and w[1] in (None, g[1]) for g, w in zip(got, want)), \
        "controls in creation order:\n  " + "\n  ".join(f"{g!r:60} expected {w!r}" for g, w in zip(got + [None] * 9, want))
    named = {}
    for control, (name, cls, caption, parent, position, size) in zip(tree, CONTROLS):
        owner = named[parent] if parent else app.window
        assert control["parent"] == owner["hwnd"], f"{name} is not a child of {parent or 'the window'}"
        x, y, w, h = control.rect()
        if position:
            at = (x, y) if parent is None else relative(control, owner)
            assert at == position, f"{name} at {at}, expected {position}"
        if size:
            assert w == size[0] and (size[1] is None or h == size[1]), f"{name} sized {w}x{h}, expected {size}"
        named[name] = control
    return named


def window_in_language(locale, version, rows, toggle_caption, key_items, fixture=None):
    short = locale.split(".")[0]

    @test(f"window: captions, layout, fonts, list and system menu in {LANGUAGE[locale]} ({version}, {short})")
    def run(ctx):
        with Kestrine(ctx, f"window-{short}", locale=locale, version=version, fixture=fixture) as app:
            t = app.t
            assert app.window.raw("title") == t["windowTitle"] == b"Kestrine 2.8.2", app.window
            assert app.window["client"] == "327,426", app.window["client"]
            c = named_controls(app)
            font = "12" if version == "win98" else "11"
            fonts = {app.text(x) or x["class"]: x["font"] for x in app.tree if x["class"] != "SysHeader32"}
            assert app.window["font"] == font and set(fonts.values()) == {font}, (app.window["font"], fonts)

            tabs = app.driver.facts("tab-items", hwnd=c["tab"]["hwnd"])
            assert [x.raw() for x in tabs] == [t["normalTab"], t["otherTab"], t["advancedTab"]], tabs
            assert app.columns() == [(t["nameColumn"].decode(app.code_page), 154),
                                     (t["hotkeyColumn"].decode(app.code_page), 155)], app.columns()
            assert app.rows() == (rows, 0), app.rows()
            six = version == "win7"
            # Loading: no indicator program runs under Wine; the 6.x generation takes the
            # text-services style (the switch stays on), the others the indicator style with the
            # switch turned off.
            switch_caption = t["switchInputLanguages"] if six else t["switchIme"]
            assert c["languageSwitch"].raw() == switch_caption, app.text(c["languageSwitch"])
            style = [c[k]["checked"] for k in ("indicatorSwitch", "textServices", "indicatorOption")]
            assert style == (["1", "1", "0"] if six else ["0", "0", "1"]), style
            for combo in (c["languageKey"], c["layoutKey"]):
                assert app.combo_items(combo)[0] == key_items, app.combo_items(combo)
            assert app.combo_items(c["capsMode"])[0] == ["Caps Lock", "Shift"], app.combo_items(c["capsMode"])
            assert app.combo_items(c["toggleChooser"]) == ([t[k].decode(app.code_page) for k in
                                                            ("imeToggle", "shapeToggle", "symbolToggle")], 0)
            assert app.text(c["toggleButton"]) == toggle_caption, app.text(c["toggleButton"])
            app.shot("normal")

            # The Install button follows the two edits, except on the 6.x generation.
            app.show_page(2)
            app.driver.command("set-text", hwnd=c["nameEdit"]["hwnd"], text="Sample")
            app.driver.command("set-text", hwnd=c["fileEdit"]["hwnd"], text="sample.ime")
            install = wait_until(lambda: app.state(c["install"])["enabled"] == ("0" if six else "1") and
                                 app.state(c["install"]), WAIT, what="the Install button to follow the edits")
            app.shot("advanced")
            if not six:
                app.driver.command("set-text", hwnd=c["fileEdit"]["hwnd"], text="")
                wait_until(lambda: app.state(install)["enabled"] == "0", WAIT, what="Install disabled again")

            # The system menu's last two items, opened from the keyboard: the about box, then the
            # help box above it.
            app.activate()
            for ups, title, text in ((1, t["aboutCaption"], t["aboutText"]),
                                     (2, t["caption"], program_texts(ctx, locale, "help"))):
                app.key("SPACE", mods="alt")
                wait_until(lambda: any(w["class"] == "#32768" and w["visible"] == "1"
                                       for w in app.driver.facts("windows", pid=app.pid)), WAIT, what="the system menu")
                for _ in range(ups):
                    app.key("UP")
                app.key("RETURN")
                box, got_title, got_text = app.box()
                assert (got_title, got_text) == (title, text), (got_title, got_text[:200])
                assert box["buttons"] == "1", box
                if ups == 1:
                    app.shot("about")
                app.answer(box)
            app.key("ESCAPE")  # Esc is the Exit button: the program ends without applying
            assert app.wait_exit() == 0
    return run


window_in_language("zh_CN.UTF-8", "winxp", [("全拼输入法", "Ctrl+Shift+1"), ("美国英语", ""), ("双拼输入法", "")],
                   "Ctrl+SPACE", ["Ctrl+Shift", "Alt+Shift"])
window_in_language("zh_TW.UTF-8", "win7", [("中文 (繁體) - 注音", "左 Ctrl+Shift+1"), ("美式英文", ""),
                                          ("中文 (繁體) - 倉頡", "")],
                   "Ctrl+SPACE", ["Ctrl+Shift", "Alt+Shift", "`"])
window_in_language("en_US.UTF-8", "win98", [("US", ""), ("German", ""), ("Two-language sample", "Right Ctrl+Alt+2")],
                   "", ["Ctrl+Shift", "Alt+Shift"], fixture="window_en_us_9x.reg")


# ---- The list and the buttons around it

DEMO_ROWS = [("全拼输入法", "Ctrl+Shift+1"), ("美国英语", ""), ("双拼输入法", "")]
NEIMA = ("内码输入法", "")


@test("window: Add, Up, Down and Delete edit the list, Apply writes the preload list and hot keys (winxp, zh_CN)")
def list_editing(ctx):
    with Kestrine(ctx, "window-list") as app:
        add_box = app.of_class("ComboBox", app.window)[0]
        items, _ = app.combo_items(add_box)
        assert items[:3] == ["中文 (简体) - 美式键盘", "内码输入法", "示例输入法"], items

        def buttons():
            app.refresh()
            return {k: app.find(k)["enabled"] for k in ("up", "down", "property")}

        # Selecting a row enables the buttons that can act on it and names it on the status line.
        assert buttons() == {"up": "0", "down": "1", "property": "1"}, buttons()
        app.select_row(1)
        assert buttons() == {"up": "1", "down": "1", "property": "0"}, buttons()  # a plain layout
        assert app.status() == "KBDUS.DLL | 00000409", app.status()
        app.select_row(2)
        assert buttons() == {"up": "1", "down": "0", "property": "1"}, buttons()

        app.choose(add_box, 1)
        app.press("add")
        assert app.rows() == (DEMO_ROWS + [NEIMA], 2), "the new row comes last; the selection stays"
        assert "内码输入法" not in app.combo_items(add_box)[0], "an added entry leaves the add box"
        app.select_row(3)
        app.press("up")
        assert app.rows() == (DEMO_ROWS[:2] + [NEIMA, DEMO_ROWS[2]], 2), app.rows()
        app.select_row(0)
        app.press("down")  # the hot key moves with its row
        assert app.rows() == ([DEMO_ROWS[1], DEMO_ROWS[0], NEIMA, DEMO_ROWS[2]], 1), app.rows()
        app.select_row(3)
        app.press("deleteEntry", parent=app.window)
        assert app.rows()[0] == [DEMO_ROWS[1], DEMO_ROWS[0], NEIMA], app.rows()
        assert app.combo_items(add_box)[0][-1] == "双拼输入法", "a removed entry goes back to the end of the add box"
        app.press("apply")
        assert app.rows()[0] == [DEMO_ROWS[1], DEMO_ROWS[0], NEIMA], "the list as loaded again after Apply"

        reg = app.registry(PRELOAD, HOT_KEYS)
        assert reg[PRELOAD.lower()] == {"1": sz("00000409"), "2": sz("E0010804"), "3": sz("E0030804")}, reg
        records = {k: v for k, v in reg.items() if k.startswith(HOT_KEYS.lower() + "\\000001")}
        assert records == {HOT_KEYS.lower() + "\\00000100": {
            "key modifiers": "hex:06,c0,00,00", "virtual key": "hex:31,00,00,00",
            "target ime": "hex:04,08,01,e0"}}, records


@test("window: Esc and the close box leave without applying; Enter applies and closes (winxp, zh_CN)")
def leaving(ctx):
    with Kestrine(ctx, "window-leave") as app:
        app.choose(app.of_class("ComboBox", app.window)[0], 1)
        app.press("add")
        app.activate()
        app.wait_focus(app.list_view())
        app.key("ESCAPE")
        assert app.wait_exit() == 0

        app.start()
        assert app.rows() == (DEMO_ROWS, 0), "Esc (Exit) applied nothing"
        app.press("deleteEntry", parent=app.window)
        app.driver.command("close", hwnd=app.hwnd)
        assert app.wait_exit() == 0

        app.start()
        assert app.rows() == (DEMO_ROWS, 0), "the close box applied nothing"
        app.press("deleteEntry", parent=app.window)
        assert app.rows()[0] == DEMO_ROWS[1:], app.rows()
        app.activate()
        app.wait_focus(app.list_view())
        app.key("RETURN")  # the OK button: apply, then close
        assert app.wait_exit() == 0
        reg = app.registry(PRELOAD)
        assert reg[PRELOAD.lower()] == {"1": sz("00000409"), "2": sz("E0020804")}, reg


# ---- Hot keys

class Editor:
    """The hot-key editor as it is shown now, its controls found by caption."""

    def __init__(self, app):
        self.app = app
        self.window, self.tree = app.dialog("editorTitle")
        self.target = next(c for c in self.tree if c["class"] == "Static" and c.text() != "+")

    def find(self, caption, cls="Button"):
        raw = self.app.t.get(caption, caption.encode(self.app.code_page) if isinstance(caption, str) else caption)
        return next(c for c in self.tree if c.raw() == raw and c["class"] == cls)

    def states(self):
        """Checked and enabled states of the editor's boxes, and the key list's text."""
        self.tree = self.app.driver.facts("tree", hwnd=self.window["hwnd"])[1:]
        boxes = {name: self.find(name) for name in ("editorEnable", "Ctrl", "Alt", "Shift", "editorLeft", "editorRight")}
        key = next(c for c in self.tree if c["class"] == "ComboBox")
        return ({n: c["checked"] for n, c in boxes.items()}, {n: c["enabled"] for n, c in boxes.items()},
                self.app.text(key))

    def tick(self, *captions):
        for caption in captions:
            self.app.driver.command("click", hwnd=self.find(caption)["hwnd"])

    def choose_key(self, name):
        key = next(c for c in self.tree if c["class"] == "ComboBox")
        items, _ = self.app.combo_items(key)
        self.app.driver.command("combo-select", hwnd=key["hwnd"], index=items.index(name))

    def ok(self):
        self.app.driver.command("click", hwnd=self.find("editorOk")["hwnd"])

    def closed(self):
        self.app.driver.command("wait-gone", hwnd=self.window["hwnd"], timeout=5000)


@test("hot keys: an entry's and a toggle's through the editor, duplicates refused, Apply writes them (winxp, zh_CN)")
def hot_keys(ctx):
    with Kestrine(ctx, "window-hotkeys") as app:
        t = app.t
        # An entry without hot key: the editor opens with "Enable hotkey" cleared.
        app.select_row(2)
        app.driver.command("click", hwnd=app.find("hotkey", parent=app.window)["hwnd"])
        editor = Editor(app)
        assert app.text(editor.target) == "双拼输入法", app.text(editor.target)
        checked, enabled, key = editor.states()
        assert checked["editorEnable"] == "0" and set(enabled.values()) == {"1", "0"} and enabled["Ctrl"] == "0", \
            (checked, enabled)
        editor.tick("editorEnable", "Ctrl", "Shift")
        editor.choose_key("2")
        checked, enabled, key = editor.states()
        assert (checked["editorLeft"], checked["editorRight"], key) == ("1", "1", "2"), (checked, key)
        app.shot("editor")
        editor.ok()
        editor.closed()
        assert app.rows()[0][2] == ("双拼输入法", "Ctrl+Shift+2"), app.rows()

        # Another entry given the first row's hot key: refused, and the editor stays open. A
        # double-click right of the name column opens the editor too.
        app.select_row(1)
        app.driver.command("mouse", hwnd=app.list_view()["hwnd"], x=200, y=ROW_HEIGHT + ROW_HEIGHT + 8,
                           action="dblclick")
        editor = Editor(app)
        assert app.text(editor.target) == "美国英语", app.text(editor.target)
        editor.tick("editorEnable", "Ctrl", "Shift")
        editor.choose_key("1")
        editor.ok()
        box, title, text = app.box()
        assert (title, text) == (t["caption"], t["duplicateHotkey"]), (title, text)
        # The box belongs to the editor: the editor waits for it and cannot be pressed again.
        assert [w["enabled"] for w in app.driver.facts("windows", pid=app.pid)
                if w["hwnd"] == editor.window["hwnd"]] == ["0"], "the editor is disabled under the box"
        app.shot("duplicate")
        app.answer(box)
        assert app.driver.facts("windows", pid=app.pid) and editor.states()[2] == "1", "the editor stays open"
        app.driver.command("activate", hwnd=editor.window["hwnd"])
        app.key("ESCAPE")
        editor.closed()
        assert app.rows()[0][1] == ("美国英语", ""), app.rows()

        # The toggle chooser names the chosen slot's hot key on its button and the status line;
        # the pointer over the button says it again.
        app.show_page(1)
        chooser = app.find("imeToggle", "ComboBox")
        button = app.find(b"Ctrl+SPACE")
        app.choose(chooser, 1)
        shape = t["shapeToggle"].decode(app.code_page)
        assert app.text(app.state(button)) == "Shift+SPACE", app.text(app.state(button))
        assert app.status() == f"{shape}: Shift+SPACE", app.status()
        app.select_row(0)
        assert app.status() == "热键: Ctrl+Shift+1 KBDUS.DLL | E0010804", app.status()
        app.driver.command("mouse", hwnd=button["hwnd"], x=10, y=10, action="move")
        app.wait_status(f"{shape}: Shift+SPACE")

        # The toggle button edits that slot; another slot's hot key is refused.
        app.click(button)
        editor = Editor(app)
        assert app.text(editor.target) == shape, app.text(editor.target)
        checked, _, key = editor.states()
        assert (checked["Shift"], checked["editorEnable"], key) == ("1", "1", "SPACE"), (checked, key)
        editor.tick("Alt")
        editor.ok()
        editor.closed()
        assert app.text(app.state(button)) == "Alt+Shift+SPACE", app.text(app.state(button))
        app.choose(chooser, 2)
        app.click(button)
        editor = Editor(app)
        editor.choose_key("SPACE")  # Ctrl is ticked already: Ctrl+SPACE is the on/off toggle's
        editor.ok()
        box, title, text = app.box()
        assert text == t["duplicateHotkey"], text
        app.answer(box)
        app.driver.command("click", hwnd=editor.find("editorCancel")["hwnd"])
        editor.closed()
        assert app.text(app.state(button)) == "Ctrl+.", app.text(app.state(button))

        app.press("apply")
        reg = app.registry(HOT_KEYS)
        keys = HOT_KEYS.lower() + "\\"
        assert {k[len(keys):]: v for k, v in reg.items() if k.startswith(keys)} == {
            "00000010": {"key modifiers": "hex:02,c0,00,00", "virtual key": "hex:20,00,00,00", "target ime": "hex:00,00,00,00"},
            "00000011": {"key modifiers": "hex:05,c0,00,00", "virtual key": "hex:20,00,00,00", "target ime": "hex:00,00,00,00"},
            "00000012": {"key modifiers": "hex:02,c0,00,00", "virtual key": "hex:be,00,00,00", "target ime": "hex:00,00,00,00"},
            "00000100": {"key modifiers": "hex:06,c0,00,00", "virtual key": "hex:31,00,00,00", "target ime": "hex:04,08,01,e0"},
            "00000101": {"key modifiers": "hex:06,c0,00,00", "virtual key": "hex:32,00,00,00", "target ime": "hex:04,08,02,e0"},
        }, reg


# ---- The keyboard-layout dialog

@test("keyboard dialog: the row's layout shown, Cancel writes nothing, OK writes the chosen layout file (winxp, zh_CN)")
def keyboard_dialog(ctx):
    with Kestrine(ctx, "window-keyboard") as app:
        t = app.t

        def open_for(row):
            app.select_row(row)
            app.driver.command("click", hwnd=app.find("keyboard", parent=app.window)["hwnd"])
            window, tree = app.dialog("keyboardTitle")
            labels = [app.text(c) for c in tree if c["class"] == "Static"]
            current = next(c for c in tree if c["class"] == "Edit")
            choice = next(c for c in tree if c["class"] == "ComboBox")
            return window, tree, labels, app.text(current), choice

        window, tree, labels, current, choice = open_for(0)
        assert labels == ["全拼输入法", t["keyboardCurrent"].decode("gbk"), t["keyboardNew"].decode("gbk")], labels
        assert current == "美国英语", "kbdus.dll is named by the US layout"
        items, chosen = app.combo_items(choice)
        assert items[0] == "美国英语" and chosen == -1, (items, chosen)
        assert sorted(items[1:]) == sorted(["德语", "法语", "日语", "朝鲜语", "美国英语 - Dvorak"]), items
        app.driver.command("combo-select", hwnd=choice["hwnd"], index=items.index("德语"))
        app.shot("dialog")
        app.driver.command("click", hwnd=next(c for c in tree if c.raw() == t["keyboardCancel"])["hwnd"])
        app.driver.command("wait-gone", hwnd=window["hwnd"])

        window, tree, labels, current, choice = open_for(2)
        assert labels[0] == "双拼输入法" and current == "美国英语", (labels, current)
        app.driver.command("combo-select", hwnd=choice["hwnd"], index=items.index("法语"))
        app.driver.command("activate", hwnd=window["hwnd"])
        app.key("RETURN")  # OK
        app.driver.command("wait-gone", hwnd=window["hwnd"])
        assert app.rows() == (DEMO_ROWS, 2), "the main window does not change"

        reg = app.registry(CATALOGUE)
        files = {k: reg[f"{CATALOGUE}\\{k}".lower()]["layout file"] for k in ("E0010804", "E0020804")}
        assert files == {"E0010804": sz("kbdus.dll"), "E0020804": sz("KBDFR.DLL")}, files


# ---- The style options and the switch keys

@test("style: the indicator switch enables the options, a style change resets the key choices (winxp, zh_CN)")
def style_change(ctx):
    with Kestrine(ctx, "window-style") as app:
        t = app.t
        c = named_controls(app)

        def state():
            app.refresh()
            s = {k: app.state(c[k]) for k in ("styleGroup", "indicatorOption", "textServices", "languageSwitch",
                                               "layoutSwitch", "languageKey", "layoutKey")}
            return {k: (v["enabled"], v["checked"], app.text(v)) for k, v in s.items()}

        before = state()
        assert [before[k][0] for k in ("styleGroup", "indicatorOption", "textServices")] == ["0", "0", "0"], before
        app.click(c["indicatorSwitch"])
        s = state()
        assert [s[k][0] for k in ("styleGroup", "indicatorOption", "textServices")] == ["1", "1", "1"], s

        # The two key choices never hold the same keys.
        app.choose(c["languageKey"], 0)
        s = state()
        assert (s["languageKey"][2], s["layoutKey"][2]) == ("Ctrl+Shift", "Alt+Shift"), s

        # Text services: switch captions, the layout switch and its keys enabled, keys reset.
        app.click(c["textServices"])
        s = state()
        assert s["languageSwitch"][2] == t["switchInputLanguages"].decode("gbk"), s
        assert (s["layoutSwitch"][0], s["layoutKey"][0]) == ("1", "1"), s
        assert (s["languageKey"][2], s["layoutKey"][2]) == ("Alt+Shift", "Ctrl+Shift"), s
        assert app.driver.command("lv-items", hwnd=c["list"]["hwnd"])[0]["editable"] == "1"
        assert app.combo_items(c["addBox"])[1] == -1, "the add box is refilled with nothing selected"

        # Back to the indicator: keys reset the other way, the layout switch disabled.
        app.click(c["indicatorOption"])
        s = state()
        assert s["languageSwitch"][2] == t["switchIme"].decode("gbk"), s
        assert (s["layoutSwitch"][0], s["layoutKey"][0]) == ("0", "0"), s
        assert (s["languageKey"][2], s["layoutKey"][2]) == ("Ctrl+Shift", "Alt+Shift"), s
        assert app.driver.command("lv-items", hwnd=c["list"]["hwnd"])[0]["editable"] == "0"
        # Clicking the option that is on already changes nothing.
        app.choose(c["layoutKey"], 0)
        app.click(c["indicatorOption"])
        s = state()
        assert (s["languageKey"][2], s["layoutKey"][2]) == ("Alt+Shift", "Ctrl+Shift"), s

        # The language switch enables its key choice exactly while checked.
        app.click(c["languageSwitch"])
        s = state()
        assert (s["languageSwitch"][1], s["languageKey"][0]) == ("0", "0"), s
        app.click(c["languageSwitch"])
        assert state()["languageKey"][0] == "1"
        app.click(c["textServices"])
        app.click(c["layoutSwitch"])  # it was checked: now off, and its keys with it
        s = state()
        assert (s["layoutSwitch"][1], s["layoutKey"][0]) == ("0", "0"), s
        app.shot("text-services")

        # Apply writes the switch keys; the text-services monitor cannot start under Wine, and
        # the program says so.
        app.driver.command("click", hwnd=app.find("apply")["hwnd"])
        box, title, text = app.box()
        assert title == t["caption"] and b"ctfmon.exe" in text, (title, text)
        app.answer(box)
        reg = app.registry(TOGGLE)
        assert reg[TOGGLE.lower()] == {"hotkey": sz("1"), "language hotkey": sz("1"), "layout hotkey": sz("3")}, reg


# ---- Renaming a row

@test("rename: F2 and a label edit rename an input method, refused for blanks and plain layouts; Apply writes it (win7, zh_TW)")
def rename(ctx):
    with Kestrine(ctx, "window-rename", locale="zh_TW.UTF-8", version="win7") as app:
        lv = app.list_view()

        def rename_row(row, text):
            app.select_row(row)
            app.activate()
            app.wait_focus(lv)
            app.key("F2")
            editor = wait_until(lambda: [c for c in app.driver.facts("tree", hwnd=lv["hwnd"])[1:]
                                         if c["class"] == "Edit" and c["visible"] == "1"], WAIT,
                                what="the in-place editor")[0]
            app.driver.command("set-text", hwnd=editor["hwnd"], text=text)
            app.key("RETURN")
            app.driver.command("wait-gone", hwnd=editor["hwnd"])
            return app.rows()[0][row][0]

        assert rename_row(0, "注音 (新)") == "注音 (新)"
        assert rename_row(0, "  \t ") == "注音 (新)", "a blank name is refused"
        assert rename_row(1, "美式") == "美式英文", "a plain layout keeps its name"
        app.shot("renamed")
        app.press("apply")
        reg = app.registry(CATALOGUE)
        names = {k: reg[f"{CATALOGUE}\\{k}".lower()].get("layout display name") for k in ("E0010404", "00000409")}
        assert names == {"E0010404": sz("注音 (新)"), "00000409": None}, names


# ---- Page "Advanced": installing and removing catalogue entries

@test("install: the browse dialog fills both edits, Install shows the new KLID and adds the catalogue entry (winxp, zh_CN)")
def install(ctx):
    with Kestrine(ctx, "window-install") as app:
        c = named_controls(app)
        app.show_page(2)

        def browse(button, file_name=None):
            app.driver.command("click", hwnd=c["browse"]["hwnd"])
            dialog = app.driver.facts("wait-window", pid=app.pid, **{"class": "#32770"})[0]
            tree = app.driver.facts("tree", hwnd=dialog["hwnd"])[1:]
            if file_name:
                name = next(x for x in tree if x["class"] == "Edit" and x["visible"] == "1")
                app.driver.command("set-text", hwnd=name["hwnd"], text=file_name)
                app.shot("browse")
            pressed = next(x for x in tree if x["class"] == "Button" and x["id"] == ("1" if button == "ok" else "2"))
            app.driver.command("click", hwnd=pressed["hwnd"])
            app.driver.command("wait-gone", hwnd=dialog["hwnd"])
            return lambda: (app.text(app.state(c["nameEdit"])), app.text(app.state(c["fileEdit"])))

        edits = browse("ok", "kssample.ime")
        path = r"C:\windows\system32\kssample.ime"
        wait_until(lambda: edits() == ("示例输入法", path), WAIT, what=f"the edits to show the file: {edits()}")
        assert app.state(c["install"])["enabled"] == "1"
        # Cancelling the dialog fills the name edit again from the file chosen last.
        app.driver.command("set-text", hwnd=c["nameEdit"]["hwnd"], text="Kestrine")
        browse("cancel")
        wait_until(lambda: edits() == ("示例输入法", path), WAIT, what=f"the name again: {edits()}")

        app.driver.command("click", hwnd=c["install"]["hwnd"])
        box, title, klid = app.box()
        assert title == app.t["caption"] and re.fullmatch(rb"E0[0-9A-F]{2}0804", klid), (title, klid)
        app.shot("klid")
        app.answer(box)
        # Wine keeps the full path as "Ime File" (Windows the bare name).
        entry = app.registry(CATALOGUE).get(f"{CATALOGUE}\\{klid.decode()}".lower())
        assert entry and entry.get("ime file", "").lower() == sz(path).lower(), entry
        assert entry.get("layout display name") == sz("示例输入法"), entry


@test("registry Delete: the add box names the entry, Cancel keeps it, OK removes it from the catalogue (winxp, zh_CN)")
def registry_delete(ctx):
    with Kestrine(ctx, "window-regdelete") as app:
        t = app.t
        c = named_controls(app)
        items, _ = app.combo_items(c["addBox"])
        app.show_page(2)

        def pick(name):
            app.choose(c["addBox"], items.index(name))
            return app.state(c["registryDelete"])["enabled"], app.text(app.state(c["selectedEntry"])), app.status()

        assert pick("中文 (简体) - 美式键盘") == ("0", "中文 (简体) - 美式键盘", "中文 (简体) - 美式键盘: 00000804"), \
            "plain layouts cannot be removed"
        assert pick("内码输入法") == ("1", "内码输入法", "内码输入法: E0030804 (WINGB.IME)")
        # The pointer over the field hands the keyboard focus to the add box.
        app.activate()
        assert app.focus()["hwnd"] != c["addBox"]["hwnd"], app.focus()
        app.driver.command("mouse", hwnd=c["selectedEntry"]["hwnd"], x=20, y=10, action="move")
        app.wait_focus(c["addBox"])

        app.driver.command("click", hwnd=c["registryDelete"]["hwnd"])
        box, title, text = app.box()
        question = t["deleteQuestionPrefix"] + "E0030804:\"内码输入法 (WINGB.IME)".encode("gbk") + t["deleteQuestionSuffix"]
        assert (title, text, box["buttons"]) == (t["warningCaption"], question, "1,2"), (title, text, box)
        app.shot("question")
        app.answer(box, "cancel")
        app.refresh()
        assert app.combo_items(c["addBox"])[0] == items, "Cancel removes nothing"

        pick("示例输入法")
        app.driver.command("click", hwnd=c["registryDelete"]["hwnd"])
        box, title, text = app.box()
        assert b"E0200804" in text and b"KSSAMPLE.IME" in text, text
        app.answer(box, "ok")
        app.refresh()
        left, selected = app.combo_items(c["addBox"])
        assert left == [i for i in items if i != "示例输入法"] and selected == 0, (left, selected)
        assert app.text(app.state(c["selectedEntry"])) == left[0]
        entries = subkeys(app.registry(CATALOGUE), CATALOGUE)
        assert "e0030804" in entries and "e0200804" not in entries, entries


# ---- The status line

@test("status line: rows under the pointer, the add box, a click below the rows, pages shown and clicked (winxp, zh_CN)")
def status_line(ctx):
    with Kestrine(ctx, "window-status") as app:
        c = named_controls(app)
        lv = c["list"]["hwnd"]

        def hover(control, x, y):
            app.driver.command("mouse", hwnd=control["hwnd"], x=x, y=y, action="move")

        def row_y(row):
            return ROW_HEIGHT + row * ROW_HEIGHT + 8  # below the header

        hover(c["list"], 60, row_y(0))
        app.wait_status("热键: Ctrl+Shift+1 键盘: KBDUS.DLL | E0010804")
        hover(c["list"], 60, row_y(2))
        app.wait_status("键盘: KBDUS.DLL | E0020804 | WINSP.IME")
        hover(c["list"], 60, row_y(1))
        app.wait_status("键盘: KBDUS.DLL | 00000409 | ")
        hover(c["list"], 60, row_y(4))
        app.wait_status("")

        # A click below the last row leaves no row selected; the last row is selected then.
        app.driver.command("mouse", hwnd=lv, x=60, y=row_y(4), action="click")
        wait_until(lambda: app.rows()[1] == 2, WAIT, what=f"the last row selected: {app.rows()}")
        app.wait_status("KBDUS.DLL | E0020804")

        items, _ = app.combo_items(c["addBox"])
        app.choose(c["addBox"], items.index("示例输入法"))
        assert app.status() == "示例输入法: E0200804 (KSSAMPLE.IME)", app.status()
        hover(c["list"], 60, row_y(1))
        app.wait_status("键盘: KBDUS.DLL | 00000409 | ")
        hover(c["addBox"], 30, 8)
        app.wait_status("示例输入法: E0200804 (KSSAMPLE.IME)")

        # Showing a page clears the line; so does a click on page "Advanced".
        app.show_page(1)
        app.wait_status("")
        hover(c["list"], 60, row_y(1))
        app.wait_status("键盘: KBDUS.DLL | 00000409 | ")
        app.show_page(2)
        app.wait_status("")
        hover(c["list"], 60, row_y(1))
        app.wait_status("键盘: KBDUS.DLL | 00000409 | ")
        app.driver.command("mouse", hwnd=c["advanced"]["hwnd"], x=150, y=152, action="click")
        app.wait_status("")


# ---- The keyboard

@test("keyboard: Tab order, accelerators, a letter two buttons share, Ctrl+Tab, dialogs by Alt and Esc (winxp, en_US)")
def keyboard(ctx):
    with Kestrine(ctx, "window-keyboard-use", locale="en_US.UTF-8") as app:
        c = named_controls(app)
        app.activate()
        app.wait_focus(c["list"])
        # Creation order; Up (never a tab stop) and the disabled Property button are skipped, the
        # radio group is entered at its checked button, and only the shown page is visited.
        order = ["exit", "hotkey", "apply", "keyboard", "ok", "indicatorSwitch", "languageSwitch", "languageKey",
                 "down", "delete", "add", "addBox", "list"]
        for name in order:
            app.key("TAB")
            app.wait_focus(c[name])
        app.key("TAB", mods="shift")
        app.wait_focus(c["addBox"])

        app.key("D", mods="alt")  # Down
        wait_until(lambda: app.rows()[1] == 1, WAIT, what="the first row moved down")
        app.key("U", mods="alt")  # Up
        wait_until(lambda: app.rows()[1] == 0, WAIT, what="the row moved up again")
        rows = app.rows()[0]
        # "&Add" and "&Apply" share their letter: Alt+A moves between them and presses neither.
        app.key("A", mods="alt")
        app.wait_focus(c["apply"])
        app.key("A", mods="alt")
        app.wait_focus(c["add"])
        assert app.rows()[0] == rows, "nothing was added or applied"
        app.key("SPACE")  # the focused Add button
        wait_until(lambda: len(app.rows()[0]) == len(rows) + 1, WAIT, what="a row added by Space on Add")

        app.key("H", mods="alt")
        editor = Editor(app)
        app.wait_focus(editor.find("editorOk"))
        app.key("ESCAPE")
        editor.closed()
        app.key("K", mods="alt")
        window, tree = app.dialog("keyboardTitle")
        app.key("ESCAPE")
        app.driver.command("wait-gone", hwnd=window["hwnd"])

        app.key("TAB", mods="ctrl")
        app.wait_focus(c["showStatus"])
        app.key("TAB", mods="ctrl")
        app.wait_focus(c["nameEdit"])
        app.key("X", mods="alt")  # Exit: nothing applied
        assert app.wait_exit() == 0
        reg = app.registry(PRELOAD)
        assert reg[PRELOAD.lower()] == {"1": sz("00000409"), "2": sz("00000407"), "3": sz("E0210804")}, reg


# ---- The Property action

@test("property: the button and a double-click on a name open the input method's configuration (winxp, zh_CN)")
def property_action(ctx):
    # The configuration is the input method's own; Wine's input-method manager reports each call
    # on its debug channel, which is how the test sees it.
    with Kestrine(ctx, "window-property", trace="+imm") as app:
        def configured():
            lines = Path(app.log_path).read_bytes().decode(errors="replace").splitlines()
            return [l for l in lines if "ImmConfigureIMEW (" in l]

        app.select_row(1)
        disabled = app.find("property")
        assert disabled["enabled"] == "0", "a plain layout has no configuration"
        app.click(disabled)  # pressed from outside all the same: nothing happens
        app.select_row(2)
        property_button = app.find("property")
        assert property_button["enabled"] == "1"
        app.click(property_button)
        calls = wait_until(configured, WAIT, what="the configuration call")
        owner = f"{int(app.hwnd, 16):08X}"
        assert len(calls) == 1 and re.search(rf"\(\w{{8}}, {owner}, 1, 00000000\)", calls[0]), calls
        app.driver.command("mouse", hwnd=app.list_view()["hwnd"], x=40, y=ROW_HEIGHT + 2 * ROW_HEIGHT + 8,
                           action="dblclick")
        wait_until(lambda: len(configured()) == 2, WAIT, what="a second configuration call")
        assert not [w for w in app.driver.facts("windows", pid=app.pid) if w["class"] == "#32770" and
                    w["visible"] == "1"], "a double-click on the name opens no hot-key editor"

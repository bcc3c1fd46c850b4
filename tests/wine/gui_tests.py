"""The Wine GUI tests: real windows on an Xvfb display, worked from a second process with
kdriver.exe. Each test gets its own display, window manager and prefix, so tests can run side by
side without taking each other's keyboard focus. Screenshots go to BUILD/gui-shots/.

The gallery (tests/wine/gallery) holds every toolkit control and writes one log line per
handler call; the tests drive it and read those lines."""
import re
import time
from pathlib import Path

from e2e_tests import Test
from winelab import TOOLS, ShownPrefix, WineError, wait_until

ALL = []
GALLERY_CLASS = "KestrineGallery"
VK_F2 = 113


def test(name):
    def register(fn):
        ALL.append(Test(name, fn))
        return fn
    return register


class Session(ShownPrefix):
    """A display with openbox, a prefix shown on it (fonts replaced) and kdriver running inside,
    with the gallery and the toolkit's test program beside it."""

    def __init__(self, ctx, name, locale="zh_CN.UTF-8", version="winxp"):
        super().__init__(ctx.lab, ctx.build / "kdriver.exe", name, locale, version, setup=self._install_tools)
        self.ctx = ctx
        self.programs = []

    def _install_tools(self, prefix):
        for exe in ("gallery.exe", "toolkit_tests.exe"):
            prefix.put_file(self.ctx.build / exe, f"{TOOLS}\\{exe}")

    def __exit__(self, *exc):
        for program in self.programs:
            program.stop()
        return super().__exit__(*exc)

    def shot(self, what):
        path = self.ctx.build / "gui-shots" / f"{self.name}-{what}.png"
        return self.display.screenshot(path)

    def gallery(self, *args):
        return Gallery(self, list(args))


class Gallery:
    """The gallery running in a session: its window, its controls found by caption, its log."""

    def __init__(self, session, args):
        self.session = session
        self.driver = session.driver
        self.log_path = session.prefix.unix_path("C:\\gallery.log")
        program = session.prefix.start(f"{TOOLS}\\gallery.exe", ["/log:C:\\gallery.log"] + args, name="gallery")
        session.programs.append(program)
        self.seen = 0
        ready = self.wait_log("ready", timeout=30)
        self.hwnd = ready["hwnd"]
        window = self.driver.facts("wait-window", **{"class": GALLERY_CLASS, "timeout": 20000})[0]
        self.pid = window["pid"]
        self.tree = []
        self.refresh()

    # ---- the log

    def log_lines(self):
        if not self.log_path.exists():
            return []
        return self.log_path.read_bytes().decode("ascii", errors="replace").splitlines()

    def wait_log(self, event, timeout=10, **fields):
        """The next log line (after the ones already waited for) of this event with these fields."""
        def find():
            lines = self.log_lines()
            for i in range(self.seen, len(lines)):
                name, _, rest = lines[i].partition(" ")
                values = dict(re.findall(r"(\S+?)=(\S*)", rest))
                if name == event and all(values.get(k.replace("_", "-")) == str(v) for k, v in fields.items()):
                    self.seen = i + 1
                    return [values]  # true even when the line has no fields
            return None
        try:
            return wait_until(find, timeout, what=f"log line {event} {fields}")[0]
        except WineError:
            raise AssertionError(f"no log line {event} {fields}; the log ends with:\n  " +
                                 "\n  ".join(self.log_lines()[-8:]))

    def logged(self, event):
        """The first log line of this event since the gallery started."""
        for line in self.log_lines():
            name, _, rest = line.partition(" ")
            if name == event:
                return dict(re.findall(r"(\S+?)=(\S*)", rest))
        raise AssertionError(f"no log line {event}")

    # ---- controls

    def refresh(self, hwnd=None):
        facts = self.driver.facts("tree", hwnd=hwnd or f"{int(self.hwnd):#x}")
        if hwnd is None:
            self.window, self.tree = facts[0], facts[1:]
        return facts

    def find(self, caption, cls=None, tree=None):
        found = [c for c in (tree or self.tree) if c.text() == caption and (cls is None or c["class"] == cls)]
        assert len(found) == 1, f"{len(found)} controls with caption {caption!r} ({cls})"
        return found[0]

    def by_hwnd(self, hwnd):
        return next(c for c in self.tree if c["hwnd"] == hwnd)

    def of_class(self, cls):
        return [c for c in self.tree if c["class"] == cls]

    def click(self, caption, cls="Button"):
        return self.driver.command("click", hwnd=self.find(caption, cls)["hwnd"])[0]

    def focus(self):
        return self.driver.facts("focus", hwnd=self.window["hwnd"])[0]

    def key(self, vk, mods=None):
        args = {"vk": vk}
        if mods:
            args["mods"] = mods
        self.driver.command("key", **args)

    def activate(self):
        self.driver.command("activate", hwnd=self.window["hwnd"])

    def wait_focus(self, control, timeout=5000):
        self.driver.command("wait-focus", hwnd=control["hwnd"], timeout=timeout)

    def close(self):
        self.driver.command("close", hwnd=self.window["hwnd"])
        return self.driver.command("wait-exit", pid=self.pid, timeout=15000)[0]


def hexed(text, code_page=936):
    return text.encode(f"cp{code_page}").hex()


def relative(inner, outer):
    (x, y, _, _), (ox, oy, _, _) = inner.rect(), outer.rect()
    return x - ox, y - oy


# Where each control sits: caption, the caption of its parent (None: the window itself; an
# integer: that tab page), and its position relative to that parent.
LAYOUT = [
    ("确定(&O)", None, (8, 375)), ("上移(&U)", None, (8, 128)), ("下移(&D)", None, (51, 128)),
    ("添加(&A)", None, (264, 158)), ("取消", None, (264, 375)), ("对话框", None, (264, 128)),
    ("启用/禁用", 0, (176, 5)), ("输入法样式", 0, (8, 7)), ("文字服务", "输入法样式", (158, 20)),
    ("输入语言", "输入法样式", (38, 20)), ("切换输入语言", "", (14, 18)), ("切换键盘布局", "", (145, 18)),
    ("其他", 1, (8, 73)), ("关闭大写锁定", "其他", (24, 23)), ("显示状态", "其他", (168, 31)),
    ("其他输入法切换键", 1, (8, 6)), ("从注册表删除", 2, (8, 7)), ("中文 (简体) - 郑码", "从注册表删除", (16, 22)),
    ("安装输入法", 2, (8, 69)), ("布局名称：", "安装输入法", (15, 20)), ("安装", "安装输入法", (221, 48)),
]


@test("gallery: every control kind, GBK captions, positions inside groups and pages, fonts (winxp, zh_CN)")
def gallery_layout(ctx):
    with Session(ctx, "gui-layout") as s:
        g = s.gallery()
        assert g.window.raw("title") == "工具包样例".encode("gbk"), g.window.text("title")
        kinds = {c["class"] for c in g.tree}
        for kind in ("Button", "Static", "Edit", "ComboBox", "SysListView32", "SysTabControl32",
                     "msctls_statusbar32", "toolkit.page", "toolkit.panel"):
            assert kind in kinds, f"no {kind} among {sorted(kinds)}"
        pages = g.of_class("toolkit.page")
        assert [p["visible"] for p in pages] == ["1", "0", "0"], "only the first page is shown"
        switch_group = next(c for c in g.tree if c["class"] == "Button" and c.text() == "" and c["parent"] == pages[0]["hwnd"])
        for caption, parent, offset in LAYOUT:
            control = g.find(caption)
            if parent is None:
                owner = g.window
                got = control.rect()[:2]
            else:
                owner = pages[parent] if isinstance(parent, int) else (switch_group if parent == "" else g.find(parent))
                got = relative(control, owner)
            assert control["parent"] == (owner["hwnd"] if parent is not None else g.window["hwnd"]), \
                f"{caption!r} is not a child of {parent!r}"
            assert got == offset, f"{caption!r} at {got}, expected {offset}"
        # Tahoma 11 on the NT family everywhere, except the indicator switch at 12.
        fonts = {c.text(): c["font"] for c in g.tree if c["font"] != "0"}
        assert g.window["font"] == "11" and fonts.pop("启用/禁用") == "12", fonts
        assert set(fonts.values()) == {"11"}, fonts
        # Controls sized to their text are wide enough for it and one line high.
        for caption in ("关闭大写锁定", "显示状态", "切换键盘布局"):
            _, _, w, h = g.find(caption).rect()
            assert w >= 11 * len(caption) and 13 <= h <= 24, f"{caption!r} sized {w}x{h}"

        list_view = g.of_class("SysListView32")[0]
        final, facts = g.driver.command("lv-items", hwnd=list_view["hwnd"])
        columns = [(f.text(), f["width"]) for f in facts if f.kind == "column"]
        assert columns == [("名称", "154"), ("热键", "155")], columns
        items = [(f["image"], [bytes.fromhex(t).decode("gbk") for t in f["texts"].split(",")]) for f in facts if f.kind == "item"]
        assert items == [("0", ["中文 (简体) - 微软拼音", "左 Ctrl+Shift+1"]), ("1", ["中文 (简体) - 全拼", ""]),
                         ("2", ["美式键盘", "Ctrl+Alt+F5"])], items
        assert final["selected"] == "2" and final["editable"] == "1", final
        tabs = g.driver.facts("tab-items", hwnd=g.of_class("SysTabControl32")[0]["hwnd"])
        assert [t.text() for t in tabs] == ["常规", "其他", "高级"], tabs
        chooser = g.find("输入法/非输入法切换", "ComboBox")
        items = [f.text() for f in g.driver.facts("combo-items", hwnd=chooser["hwnd"])]
        assert items == ["输入法/非输入法切换", "全角/半角切换", "中英文标点切换"], items
        status = g.of_class("msctls_statusbar32")[0]
        assert status.text() == "就绪" and status.rect()[1] + status.rect()[3] == 426, status

        tab = g.of_class("SysTabControl32")[0]["hwnd"]
        s.shot("page-normal")
        for index, name in ((1, "other"), (2, "advanced")):
            g.driver.command("tab-select", hwnd=tab, index=index)
            g.wait_log("page-shown", index=index)
            s.shot(f"page-{name}")
        return "layout, captions and fonts as built; screenshots in gui-shots/"


@test("gallery: fonts are 12 pixels on the 9x family (win98, zh_CN)")
def gallery_fonts_9x(ctx):
    with Session(ctx, "gui-fonts-9x", version="win98") as s:
        g = s.gallery()
        fonts = {c["font"] for c in g.tree if c["font"] != "0"} | {g.window["font"]}
        assert fonts == {"12"}, fonts
        s.shot("page-normal")


@test("gallery: clicks, checks, choices, edits and mouse moves reach their handlers through groups and pages")
def gallery_handlers(ctx):
    with Session(ctx, "gui-handlers") as s:
        g = s.gallery()
        d = g.driver
        g.click("确定(&O)")
        g.wait_log("click", name="ok")
        g.click("启用/禁用")  # on the page itself
        g.wait_log("check", name="indicator", state=0)
        g.click("切换输入语言")  # in a group box without caption
        g.wait_log("check", name="language-switch", state=1)
        g.click("文字服务")  # a radio button in a group box
        g.wait_log("radio", name="services", editable=1)
        keys = [c for c in g.of_class("ComboBox") if c["parent"] == g.find("切换输入语言")["parent"]]
        d.command("combo-select", hwnd=keys[0]["hwnd"], index=1)
        g.wait_log("combo", name="language-keys", index=1, text=hexed("Alt+Shift"))

        tab = g.of_class("SysTabControl32")[0]["hwnd"]
        d.command("tab-select", hwnd=tab, index=1)
        g.wait_log("page-shown", index=1)
        g.refresh()
        g.click("显示状态")
        g.wait_log("check", name="show-status", state=1)
        d.command("combo-select", hwnd=g.find("输入法/非输入法切换", "ComboBox")["hwnd"], index=2)
        g.wait_log("combo", name="toggle-chooser", index=2, text=hexed("中英文标点切换"))
        divider = next(c for c in g.of_class("toolkit.panel") if c.rect()[2] == 2)
        d.command("mouse", hwnd=divider["hwnd"], x=1, y=20, action="move")
        g.wait_log("divider-hover")

        d.command("tab-select", hwnd=tab, index=2)
        g.wait_log("page-shown", index=2)
        g.refresh()
        page = g.of_class("toolkit.page")[2]
        d.command("mouse", hwnd=page["hwnd"], x=150, y=150, action="click")  # below both groups
        g.wait_log("page-click", index=2)
        install = g.find("安装")
        assert install["enabled"] == "0"
        name_edit, file_edit = [c for c in g.of_class("Edit") if c["parent"] == g.find("安装输入法")["hwnd"]]
        d.command("set-text", hwnd=name_edit["hwnd"], text="拼音输入法")
        g.wait_log("edit-change", name="name", text=hexed("拼音输入法"))
        d.command("set-text", hwnd=file_edit["hwnd"], text="pinyin.ime")
        g.wait_log("edit-change", name="file", text=hexed("pinyin.ime"))
        g.refresh()
        assert g.find("安装")["enabled"] == "1", "both edits hold text: Install is enabled"

        list_view = g.of_class("SysListView32")[0]
        d.command("lv-select", hwnd=list_view["hwnd"], index=0)
        g.wait_log("list-selection", item=0, selected=1)
        # Rows start below the 17-pixel header; the second column begins at x = 154.
        d.command("mouse", hwnd=list_view["hwnd"], x=40, y=17 + 17 + 8, action="click")
        g.wait_log("list-click", item=1, sub=0)
        d.command("mouse", hwnd=list_view["hwnd"], x=200, y=17 + 8, action="dblclick")
        g.wait_log("list-dblclick", item=0, sub=1)
        d.command("mouse", hwnd=list_view["hwnd"], x=60, y=17 + 2 * 17 + 8, action="move")
        g.wait_log("list-hover", item=2)

        # The Up button does not take the focus from the list.
        g.wait_focus(list_view)
        g.click("上移(&U)")
        g.wait_log("click", name="up")
        assert g.focus()["hwnd"] == list_view["hwnd"], g.focus()


@test("gallery: Enter, Esc, Tab order, Ctrl+Tab and accelerators on the main window")
def gallery_keyboard(ctx):
    with Session(ctx, "gui-keyboard") as s:
        g = s.gallery()
        g.activate()
        ok = g.find("确定(&O)")
        g.wait_focus(ok)  # the first control in tab order has the focus when the window starts
        # Creation order, into the shown page and its group boxes; the radio group is entered
        # once, at its checked button; the Up button is no tab stop.
        window = g.window["hwnd"]

        def top(caption, cls="Button"):
            return next(c for c in g.tree if c.text() == caption and c["class"] == cls and c["parent"] == window)

        combos = [c for c in g.of_class("ComboBox") if c.text() == "Ctrl+Shift"]
        order = [g.find("启用/禁用"), g.find("切换输入语言"), g.find("切换键盘布局"), combos[0], combos[1],
                 g.find("输入语言"), top("下移(&D)"), top("删除"), top("添加(&A)"), top("", "ComboBox"),
                 top("", "SysListView32"), top("取消"), top("热键(&H)"), top("应用"), top("属性(&P)"),
                 top("对话框"), top("消息(&M)"), ok]
        for target in order:
            g.key("TAB")
            g.wait_focus(target)
        g.key("TAB", mods="shift")
        g.wait_focus(g.find("消息(&M)"))

        g.key("RETURN")  # the focused push button takes Enter
        box = g.driver.facts("wait-box", pid=g.pid)[0]
        g.driver.command("answer-box", hwnd=box["hwnd"], button="ok")
        g.wait_log("message-box", answer=1)
        g.key("TAB")
        g.wait_focus(ok)
        g.key("ESCAPE")
        g.wait_log("click", name="cancel")
        g.key("RETURN")
        g.wait_log("click", name="ok")

        # Ctrl+Tab shows the next page and puts the focus on its first control.
        g.key("TAB", mods="ctrl")
        g.wait_log("page-shown", index=1)
        g.wait_focus(g.find("显示状态"))
        g.key("TAB", mods="ctrl+shift")
        g.wait_log("page-shown", index=0)
        g.wait_focus(g.find("启用/禁用"))
        g.key("A", mods="alt")
        g.wait_log("click", name="add", row=3)


@test("gallery: the modal dialog is created once, shown twice, ended by Enter, Esc and its close box")
def gallery_dialog(ctx):
    with Session(ctx, "gui-dialog") as s:
        g = s.gallery()
        d = g.driver
        created = g.logged("dialog-init")["hwnd"]
        handles = set()
        for run, (action, result, event) in enumerate([("RETURN", 1, "dialog-ok"), ("ESCAPE", 2, "dialog-cancel"),
                                                       ("close", 2, "dialog-cancel")], start=1):
            g.click("对话框")
            dialog = d.facts("wait-window", title="热键", **{"class": "#32770"})[0]
            handles.add(int(dialog["hwnd"], 16))
            g.wait_log("dialog-show", count=run)
            g.refresh()
            assert g.window["enabled"] == "0", "the owner is disabled while the dialog runs"
            if run == 1:
                tree = g.refresh(dialog["hwnd"])[1:]
                assert {c["font"] for c in tree} == {"11"}, [c["font"] for c in tree]
                enable = g.find("启用热键", tree=tree)
                ctrl = g.find("Ctrl", tree=tree)
                assert ctrl["enabled"] == "0" and ctrl["parent"] == g.find("热键", "Button", tree=tree)["hwnd"]
                d.command("click", hwnd=enable["hwnd"])
                g.wait_log("dialog-check", name="enable", state=1)
                d.command("click", hwnd=ctrl["hwnd"])
                g.wait_log("dialog-check", name="ctrl", state=1)
                key = g.find("无", "ComboBox", tree=tree)
                d.command("combo-select", hwnd=key["hwnd"], index=5)
                g.wait_log("dialog-combo", name="key", index=5)
                s.shot("dialog")
                d.command("activate", hwnd=dialog["hwnd"])
            if action == "close":
                d.command("close", hwnd=dialog["hwnd"])
            else:
                d.command("activate", hwnd=dialog["hwnd"])
                g.key(action)
            g.wait_log(event)
            g.wait_log("dialog-result", code=result, owner_enabled=1)
            d.command("wait-gone", hwnd=dialog["hwnd"])
        assert handles == {int(created)}, f"one dialog window for every showing: {handles} vs {created}"
        hidden = [w for w in d.facts("windows", pid=g.pid) if int(w["hwnd"], 16) == int(created)]
        assert hidden and hidden[0]["visible"] == "0", "the dialog stays, hidden, between showings"


@test("gallery: in-place editing of the first column: F2, accepted, refused, switched off")
def gallery_label_edit(ctx):
    with Session(ctx, "gui-label-edit") as s:
        g = s.gallery()
        d = g.driver
        list_view = g.of_class("SysListView32")[0]
        g.activate()
        d.command("mouse", hwnd=list_view["hwnd"], x=40, y=17 + 17 + 8, action="click")
        g.wait_log("list-selection", item=1, selected=1)
        g.wait_focus(list_view)

        def edit_to(text):
            g.key("F2")
            g.wait_log("list-begin-edit", item=1)
            g.wait_log("list-f2", editing=1)
            editor = wait_until(lambda: [c for c in g.refresh(list_view["hwnd"])[1:] if c["class"] == "Edit"], 5,
                                what="the in-place editor")[0]
            d.command("set-text", hwnd=editor["hwnd"], text=text)
            g.key("RETURN")
            return g.wait_log("list-end-edit", item=1, text=hexed(text))

        def first_column():
            return [bytes.fromhex(f["texts"].split(",")[0]).decode("gbk")
                    for f in d.facts("lv-items", hwnd=list_view["hwnd"]) if f.kind == "item"]

        assert edit_to("五笔字型")["accepted"] == "1"
        wait_until(lambda: first_column()[1] == "五笔字型", 5, what="the new name in the list")
        assert edit_to("  \t ")["accepted"] == "0"
        assert first_column()[1] == "五笔字型", "a refused name leaves the old one"

        g.click("输入语言")  # the indicator style switches editing off
        g.wait_log("radio", name="locales", editable=0)
        d.command("activate", hwnd=g.window["hwnd"])
        d.command("mouse", hwnd=list_view["hwnd"], x=40, y=17 + 17 + 8, action="click")
        g.wait_focus(list_view)
        g.key("F2")
        g.wait_log("list-f2", editing=0)
        final, _ = d.command("lv-items", hwnd=list_view["hwnd"])
        assert final["editable"] == "0"
        assert not any(line.startswith("list-begin-edit") for line in g.log_lines()[g.seen:])


@test("gallery: message boxes found, read and answered; system menu commands")
def gallery_message_boxes(ctx):
    with Session(ctx, "gui-boxes") as s:
        g = s.gallery()
        d = g.driver
        final = g.click("消息(&M)")
        assert final["done"] == "0", "the handler is still inside MessageBox"
        box = d.facts("wait-box", pid=g.pid)[0]
        assert (box.text("title"), box.text()) == ("消息", "这是消息框的正文。"), (box.text("title"), box.text())
        assert box["buttons"] == "1,2", box
        s.shot("message-box")
        d.command("answer-box", hwnd=box["hwnd"], button="cancel")
        g.wait_log("message-box", answer=2)
        d.command("syscommand", hwnd=g.window["hwnd"], id=0x401)
        g.wait_log("system-command", id=0x401)
        box = d.facts("wait-box", pid=g.pid)[0]
        assert box.text("title") == "版本信息" and box.raw() == "工具包样例\r日期：2009.9.22".encode("gbk"), box
        d.command("answer-box", hwnd=box["hwnd"], button="ok")
        assert g.close()["code"] == "0"
        g.wait_log("exit", code=0)


@test("gallery: the browse dialog (Windows 95 size of OPENFILENAME) returns the chosen file")
def gallery_browse(ctx):
    with Session(ctx, "gui-browse") as s:
        sample = s.prefix.unix_path(r"C:\windows\system32\sample.ime")
        sample.write_bytes(b"MZ")
        g = s.gallery()
        d = g.driver
        d.command("tab-select", hwnd=g.of_class("SysTabControl32")[0]["hwnd"], index=2)
        g.refresh()
        for attempt, (button, chosen) in enumerate([("ok", 1), ("cancel", 0)]):
            g.click("...")
            dialog = d.facts("wait-window", pid=g.pid, **{"class": "#32770"})[0]
            tree = g.refresh(dialog["hwnd"])[1:]
            name = next(c for c in tree if c["class"] == "Edit" and c["visible"] == "1")
            if attempt == 0:
                d.command("set-text", hwnd=name["hwnd"], text="sample.ime")
                s.shot("browse")
            pressed = next(c for c in tree if c["class"] == "Button" and c["id"] == str(1 if button == "ok" else 2))
            d.command("click", hwnd=pressed["hwnd"])
            # Cancelling keeps the file chosen before.
            g.wait_log("browse", chosen=chosen, file=hexed(r"C:\windows\system32\sample.ime"))


def driver_run_mode(locale):
    @test(f"kdriver run: answers message boxes in turn, reports other windows and the exit code ({locale.split('.')[0]})")
    def run(ctx):
        with Session(ctx, f"gui-run-{locale.split('.')[0]}", locale=locale) as s:
            gallery = f"{TOOLS}\\gallery.exe"
            final, facts = s.driver.command("run", cmd=f"{gallery} /quiet", answers="cancel", timeout=30000)
            boxes = [(f.raw("title"), f.raw(), f["answer"]) for f in facts if f.kind == "box"]
            code_page = f"cp{s.prefix.code_page}"
            assert boxes == [("樣例".encode(code_page), "第一個問題".encode(code_page), "cancel"),
                             ("樣例".encode(code_page), "第二個問題".encode(code_page), "ok")], facts
            assert final["code"] == str(10 * 2 + 1) and final["windows"] == "0", final
            final, facts = s.driver.command("run", cmd=f"{gallery} /show", timeout=30000)
            windows = [f for f in facts if f.kind == "window"]
            assert [w["class"] for w in windows] == [GALLERY_CLASS] and final["code"] == "3", facts
            final, facts = s.driver.command("run", cmd=f"{gallery}", timeout=3000, check=False)
            assert final.kind == "error" and any(f.kind == "timeout" for f in facts), "a program that stays is ended"
    return run


for run_locale in ("zh_CN.UTF-8", "zh_TW.UTF-8"):
    driver_run_mode(run_locale)


def toolkit_in_process(version, locale):
    # The cases use GBK bytes; they must come back unchanged whatever the code page (GBK, Big5,
    # Western), since the toolkit only passes the system's 8-bit texts through.
    @test(f"toolkit: in-process cases under Wine ({version}, {locale.split('.')[0]})")
    def run(ctx):
        with Session(ctx, f"gui-toolkit-{version}", locale=locale, version=version) as s:
            result = s.prefix.run(f"{TOOLS}\\toolkit_tests.exe", ["--gtest_color=no"], timeout=180)
            out = result.stdout.decode(errors="replace")
            passed = re.findall(r"^\[  PASSED  \] (\d+) tests?", out, re.M)
            assert result.returncode == 0 and passed, f"exit {result.returncode}\n{out[-4000:]}"
            return f"{passed[0]} toolkit cases passed"
    return run


for version, locale in (("winxp", "zh_CN.UTF-8"), ("win98", "zh_TW.UTF-8"), ("win7", "en_US.UTF-8")):
    toolkit_in_process(version, locale)

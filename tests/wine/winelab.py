"""Wine prefixes for the end-to-end and GUI tests (32-bit for the i686 build, 64-bit for the
x86-64 build), Xvfb displays with openbox, and the Driver that talks to kdriver.exe inside a
prefix. One template prefix is made per build folder and copied for each test; every Wine call
has a time limit, and a run that hangs is killed with its wineserver.

Where a kernel runs no 32-bit programs, /usr/bin/wine still picks the 32-bit loader whenever
wine32 is installed: 64-bit prefixes therefore run programs through /usr/lib/wine/wine64 with
WINEARCH=win64 and WINELOADER set to it. `winecfg -v` has no effect in a 64-bit prefix, while
HKCU\Software\Wine "Version" written with `reg add` works in both kinds (wine-notes.md)."""
import fcntl
import os
import queue
import select
import shutil
import signal
import subprocess
import tempfile
import threading
import time
from pathlib import Path

import winereg

PROGRAM_DIR = r"C:\Program Files\Kestrine"
BASE_ENV = {
    "WINEDEBUG": "-all",
    "WINEDLLOVERRIDES": "mscoree,mshtml=",
}
WINE64 = "/usr/lib/wine/wine64"
# What each kind of prefix sets, and the command that runs a program in it.
ARCH_ENV = {"win32": {"WINEARCH": "win32"}, "win64": {"WINEARCH": "win64", "WINELOADER": WINE64}}
ARCH_WINE = {"win32": ["wine"], "win64": [WINE64]}


def build_arch(build):
    """win64 when the build folder's kestrine.exe is an x86-64 program, else win32."""
    data = (Path(build) / "kestrine.exe").read_bytes()[:4096]
    at = int.from_bytes(data[0x3C:0x40], "little")
    return "win64" if data[at + 4:at + 6] == b"\x64\x86" else "win32"

# The default layout Wine writes to preload value "1" whenever a process loads user32.
DEFAULT_LAYOUT = {
    "zh_CN.UTF-8": "E0010804",
    "zh_TW.UTF-8": "E0010404",
    "ja_JP.UTF-8": "E0010411",
    "ko_KR.UTF-8": "E0010412",
    "en_US.UTF-8": "00000409",
}
CODE_PAGE = {"zh_CN.UTF-8": 936, "zh_TW.UTF-8": 950, "ja_JP.UTF-8": 932, "ko_KR.UTF-8": 949,
             "en_US.UTF-8": 1252}


# Faces that Wine's own fonts lack CJK glyphs for, replaced so that captions, message boxes and
# controls render Chinese (wine-notes.md).
CJK_FONT = "WenQuanYi Micro Hei"
REPLACED_FACES = ("SimSun", "Tahoma", "MS Shell Dlg", "Microsoft Sans Serif")
# Wine draws the caption buttons with this font; Debian's Wine 8 (package fonts-wine) keeps it in
# its data folder but does not put it into new prefixes, and then shows letters instead.
MARLETT = Path("/usr/share/wine/fonts/marlett.ttf")
DISPLAY_LOCK = Path(tempfile.gettempdir()) / "kestrine-xvfb-start.lock"


class WineError(Exception):
    pass


def wait_until(condition, timeout, interval=0.05, what="condition"):
    """Polls condition() until it returns something true; raises WineError after timeout s."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise WineError(f"timed out after {timeout}s waiting for {what}")
        time.sleep(interval)


# What runs on its own while a test works: long-lived processes (X servers, window managers,
# programs, drivers) and prefixes with their wineservers. emergency_stop() ends them all when
# the runner itself is told to stop, since their own sessions keep them out of its reach.
_live_processes = set()
_live_prefixes = set()


def started(proc):
    _live_processes.add(proc)
    return proc


def emergency_stop():
    for proc in list(_live_processes):
        stop_group(proc, grace=1)
    for prefix in list(_live_prefixes):
        prefix.shutdown()
        shutil.rmtree(prefix.path, ignore_errors=True)


def stop_group(proc, grace=5):
    """Ends a process started with start_new_session and everything it started."""
    _live_processes.discard(proc)
    if proc is None or proc.poll() is not None:
        return
    for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, grace)):
        try:
            os.killpg(proc.pid, sig)
        except ProcessLookupError:
            return
        try:
            proc.wait(timeout=wait)
            return
        except subprocess.TimeoutExpired:
            continue


def run_limited(args, env, timeout):
    """Runs a command in its own process group; kills the group when the time runs out.
    Output goes through files, not pipes: programs that Wine starts on the side (wineserver,
    services, the desktop process) inherit the output handles and would keep pipes open."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        try:
            proc = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                    start_new_session=True)
        except OSError as e:
            raise WineError(f"cannot run {args[0]}: {e.strerror}") from None
        try:
            proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
            raise WineError(f"timed out after {timeout}s: {' '.join(map(str, args))}")
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(args, proc.returncode, out.read(), err.read())


class Prefix:
    def __init__(self, lab, path, locale, display=None):
        self.lab = lab
        self.path = Path(path)
        self.locale = locale
        self.env = lab.environment(self.path, locale)
        if display:
            self.env["DISPLAY"] = display
        else:
            self.env.pop("DISPLAY", None)

    @property
    def code_page(self):
        return CODE_PAGE.get(self.locale, 1252)

    def wine(self, args, timeout=60, check=True):
        result = run_limited(self.lab.wine_command + list(args), self.env, timeout)
        if check and result.returncode != 0:
            raise WineError(f"wine {' '.join(args)} exited {result.returncode}: "
                            f"{result.stderr.decode(errors='replace')[-500:]}")
        return result

    def unix_path(self, dos_path):
        """The Unix path of a path on drive C: of this prefix."""
        assert dos_path[:3].upper() == "C:\\", dos_path
        return self.path / "drive_c" / dos_path[3:].replace("\\", "/")

    def put_file(self, source, dos_path):
        target = self.unix_path(dos_path)
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(source, target)
        return dos_path

    def system_dir(self):
        return r"C:\windows\system32"

    def set_version(self, version):
        self.wine(["reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", version, "/f"])

    def import_reg(self, reg_file):
        """Imports a .reg file (UTF-8 or 8-bit REGEDIT4 text, or version 5), converted to
        version 5 first so that Wine reads it the same under every locale."""
        v5 = self.unix_path(r"C:\kestrine-import.reg")
        self.lab.regtool(["v5", str(reg_file), str(v5)])
        self.wine(["reg", "import", r"C:\kestrine-import.reg"])

    def registry(self, keys):
        """The keys as canonical UTF-8 REGEDIT4 text, read from the prefix's registry files
        after the wineserver has saved them (it is stopped). Unlike `reg export`, this shows the
        first preload value as the program left it."""
        self.shutdown()
        merged = self.path / "kestrine-read.reg"
        merged.write_bytes(b"\xff\xfe" + winereg.read_keys(self.path, keys).encode("utf-16-le"))
        return self.lab.regtool(["canon", str(merged)] + list(keys)).decode("utf-8")

    def run(self, dos_exe, args=(), timeout=30):
        return self.wine([dos_exe] + list(args), timeout=timeout, check=False)

    def prepare_gui(self):
        """Settings every prefix that shows windows needs before its first program starts: the
        CJK font replacements, and Wine drawing the window frames itself (as Windows would,
        following the window styles) instead of the window manager."""
        lines = ["Windows Registry Editor Version 5.00", "",
                 r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]"]
        lines += [f'"{face}"="{CJK_FONT}"' for face in REPLACED_FACES]
        lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\X11 Driver]", '"Decorated"="N"', ""]
        target = self.unix_path(r"C:\kestrine-gui.reg")
        target.write_bytes(b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le"))
        self.wine(["reg", "import", r"C:\kestrine-gui.reg"])
        if MARLETT.exists():
            self.put_file(MARLETT, r"C:\windows\Fonts\marlett.ttf")

    def start(self, dos_exe, args=(), name="program"):
        """Starts a program in the background; stop it with the returned object's stop()."""
        return Background(self, self.lab.wine_command + [dos_exe] + list(args), name)

    def shutdown(self):
        try:
            run_limited(["wineserver", "-k"], self.env, 20)
        except WineError:
            pass



class WineLab:
    def __init__(self, work_dir, regtool_path, arch="win32"):
        self.work_dir = Path(work_dir)
        self.work_dir.mkdir(parents=True, exist_ok=True)
        self.regtool_path = str(regtool_path)
        self.arch = arch
        self.wine_command = ARCH_WINE[arch]
        self._template = self.work_dir / f"template-{arch}"

    def environment(self, prefix_path, locale):
        env = dict(os.environ)
        env.update(BASE_ENV)
        env.update(ARCH_ENV[self.arch])
        env.update({"WINEPREFIX": str(prefix_path), "LANG": locale, "LC_ALL": locale})
        return env

    def regtool(self, args):
        result = run_limited([self.regtool_path] + args, dict(os.environ), 60)
        if result.returncode != 0:
            raise WineError(f"regtool {' '.join(args)}: {result.stderr.decode(errors='replace')}")
        return result.stdout

    def template(self):
        marker = self._template / ".ready"
        if marker.exists():
            return self._template
        shutil.rmtree(self._template, ignore_errors=True)
        env = self.environment(self._template, "en_US.UTF-8")
        env.pop("DISPLAY", None)
        boot = run_limited(self.wine_command + ["wineboot", "-i"], env, 180)
        run_limited(["wineserver", "-w"], env, 120)
        if boot.returncode != 0 or not (self._template / "system.reg").exists():
            raise WineError(f"could not make a {self.arch} Wine prefix with {self.wine_command[0]} (exit "
                            f"{boot.returncode}): {boot.stderr.decode(errors='replace').strip()[-300:]}")
        marker.write_text("ok\n")
        return self._template

    def prefix(self, name, locale="en_US.UTF-8", version=None, display=None):
        template = self.template()
        path = Path(tempfile.mkdtemp(prefix=f"{name}-", dir=self.work_dir))
        shutil.rmtree(path)
        subprocess.run(["cp", "-a", str(template), str(path)], check=True)
        prefix = Prefix(self, path, locale, display)
        _live_prefixes.add(prefix)
        if version:
            prefix.set_version(version)
        return prefix

    def discard(self, prefix):
        prefix.shutdown()
        _live_prefixes.discard(prefix)
        shutil.rmtree(prefix.path, ignore_errors=True)


class Background:
    """A program running in a prefix while a test works it. Its output goes to files beside the
    prefix; stop() ends it and whatever it started (the wineserver stays)."""

    def __init__(self, prefix, args, name):
        self.out_path = prefix.path / f"{name}.out"  # goes with the prefix
        self._out = open(self.out_path, "wb")
        self.proc = started(subprocess.Popen(args, env=prefix.env, stdin=subprocess.DEVNULL, stdout=self._out,
                                             stderr=subprocess.STDOUT, start_new_session=True))

    def wait(self, timeout):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise WineError(f"the program still runs after {timeout}s")

    def stop(self):
        stop_group(self.proc)
        self._out.close()


class Display:
    """An X server (Xvfb, 1024x768, 24 bits) on a display number Xvfb picks itself, with openbox
    as window manager. Use it as a context manager: both are stopped at the end, even on failure."""

    def __init__(self, log_dir):
        self.log_dir = Path(log_dir)
        self.name = None
        self._xvfb = None
        self._wm = None
        self._logs = []

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()
        return False

    def _log(self, what):
        self.log_dir.mkdir(parents=True, exist_ok=True)
        f = open(self.log_dir / f"{what}-{os.getpid()}-{id(self)}.log", "wb")
        self._logs.append(f)
        return f

    def _log_tails(self):
        return "".join(f"\n--- {Path(f.name).name}\n" + Path(f.name).read_bytes()[-800:].decode(errors="replace")
                       for f in self._logs)

    def start(self, timeout=30, attempts=2):
        """Starts both and waits until openbox manages the display. Xvfb picks the display number
        itself (-displayfd), but two servers starting at once can both take the same number
        without lock files; starts are therefore one at a time across processes, and a start
        that does not come up is retried once on a fresh server."""
        for attempt in range(attempts):
            with open(DISPLAY_LOCK, "a") as lock:
                fcntl.flock(lock, fcntl.LOCK_EX)
                try:
                    self._start_once(timeout)
                    return self
                except WineError as e:
                    tails = self._log_tails()
                    self.stop()
                    if attempt + 1 == attempts:
                        raise WineError(f"{e}{tails}")
                finally:
                    fcntl.flock(lock, fcntl.LOCK_UN)
        return self

    def _start_once(self, timeout):
        read_end, write_end = os.pipe()
        try:
            # -noreset: otherwise the server resets when its last client leaves (the xdpyinfo
            # probe below), and a window manager that connects just then fails.
            self._xvfb = started(subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=self._log("xvfb"),
                start_new_session=True))
            os.close(write_end)
            write_end = None
            number = b""
            deadline = time.monotonic() + timeout
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                ready, _, _ = select.select([read_end], [], [], max(0.0, left))
                chunk = os.read(read_end, 16) if ready else b""
                if not chunk:
                    raise WineError("Xvfb did not report a display number")
                number += chunk
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)
        self.name = ":" + number.decode().strip()
        env = self.env()
        wait_until(lambda: subprocess.run(["xdpyinfo", "-display", self.name], stdout=subprocess.DEVNULL,
                                          stderr=subprocess.DEVNULL, timeout=10).returncode == 0,
                   timeout, what=f"display {self.name} to answer")
        self._wm = started(subprocess.Popen(["openbox", "--sm-disable"], env=env, stdin=subprocess.DEVNULL,
                                            stdout=subprocess.DEVNULL, stderr=self._log("openbox"),
                                            start_new_session=True))
        wait_until(lambda: self._wm.poll() is None and b"window id" in subprocess.run(
            ["xprop", "-display", self.name, "-root", "_NET_SUPPORTING_WM_CHECK"], stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL, timeout=10).stdout, timeout // 3, what="openbox to manage the display")

    def env(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.name
        return env

    def screenshot(self, path, timeout=30):
        Path(path).parent.mkdir(parents=True, exist_ok=True)
        result = run_limited(["import", "-display", self.name, "-window", "root", str(path)], self.env(), timeout)
        if result.returncode != 0:
            raise WineError(f"screenshot failed: {result.stderr.decode(errors='replace')}")
        return Path(path)

    def stop(self):
        stop_group(self._wm)
        stop_group(self._xvfb)
        self._wm = self._xvfb = None
        for f in self._logs:
            f.close()
            Path(f.name).unlink(missing_ok=True)
        self._logs = []


class DriverError(WineError):
    pass


class Fact(dict):
    """One line of kdriver's answer: its kind and its key=value fields."""

    def __init__(self, kind, fields, code_page):
        super().__init__(fields)
        self.kind = kind
        self.code_page = code_page

    def text(self, key="text"):
        """A hexadecimal text field decoded from the prefix's code page."""
        return bytes.fromhex(self.get(key, "")).decode(f"cp{self.code_page}", errors="replace")

    def raw(self, key="text"):
        return bytes.fromhex(self.get(key, ""))

    def rect(self, key="rect"):
        return tuple(int(v) for v in self[key].split(","))


def parse_fact(line, code_page):
    kind, _, rest = line.partition(" ")
    fields = {}
    for word in rest.split():
        key, eq, value = word.partition("=")
        if eq:
            fields[key] = value
    return Fact(kind, fields, code_page)


class Driver:
    """kdriver.exe running in a prefix, taking one command a line on its standard input.
    command() sends one and returns (final line as Fact, list of fact lines); a final "error"
    raises DriverError unless check is False. Texts given as str are sent in the prefix's code
    page, so Chinese titles and captions can be written plainly in the tests."""

    TEXT_KEYS = ("title", "text", "cmd", "dir")

    def __init__(self, prefix, dos_exe):
        self.code_page = prefix.code_page
        self.proc = started(subprocess.Popen(prefix.lab.wine_command + [dos_exe], env=prefix.env,
                                             stdin=subprocess.PIPE,
                                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                             start_new_session=True))
        self._lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stdout:
            self._lines.put(line.decode("ascii", errors="replace").rstrip("\r\n"))
        self._lines.put(None)

    def _encode(self, key, value):
        if isinstance(value, bytes):
            return "hex:" + value.hex()
        if key in self.TEXT_KEYS and isinstance(value, str):
            return "hex:" + value.encode(f"cp{self.code_page}").hex()
        return str(value)

    def command(self, name, check=True, limit=None, **args):
        """limit: seconds to wait for the answer; by default a minute more than the command's
        own timeout (milliseconds, as kdriver takes it)."""
        words = [name] + [f"{k.replace('_', '-')}={self._encode(k, v)}" for k, v in args.items()]
        timeout = limit if limit is not None else 60 + int(args.get("timeout", 0)) / 1000
        self.proc.stdin.write((" ".join(words) + "\n").encode("ascii"))
        self.proc.stdin.flush()
        facts = []
        deadline = time.monotonic() + timeout
        while True:
            try:
                line = self._lines.get(timeout=max(0.0, deadline - time.monotonic()))
            except queue.Empty:
                raise DriverError(f"kdriver gave no answer to {' '.join(words)} within {timeout}s")
            if line is None:
                raise DriverError(f"kdriver ended during {' '.join(words)}")
            fact = parse_fact(line, self.code_page)
            if fact.kind in ("ok", "error"):
                if check and fact.kind == "error":
                    raise DriverError(f"{' '.join(words)}: {line}")
                return fact, facts
            facts.append(fact)

    def facts(self, name, **args):
        return self.command(name, **args)[1]

    def close(self):
        if self.proc.poll() is None:
            try:
                self.proc.stdin.write(b"quit\n")
                self.proc.stdin.close()
                self.proc.wait(timeout=10)
            except (OSError, subprocess.TimeoutExpired):
                pass
        stop_group(self.proc)


TOOLS = r"C:\kestrine-tests"


class ShownPrefix:
    """A prefix shown on its own Xvfb display (openbox, the GUI settings of prepare_gui) with
    kdriver.exe running inside it, for every test and script that works real windows.
    kdriver is the built kdriver.exe; make_prefix(display_name) makes the prefix (by default a
    fresh one of the lab); setup(prefix) seeds it before kdriver starts. Everything is stopped
    on leaving, also when the set-up fails half way."""

    def __init__(self, lab, kdriver, name, locale="zh_CN.UTF-8", version=None, make_prefix=None, setup=None):
        self.lab, self.kdriver, self.name, self.locale, self.version = lab, kdriver, name, locale, version
        self.make_prefix, self.setup = make_prefix, setup
        self.display = self.prefix = self.driver = None

    def __enter__(self):
        try:
            self.display = Display(self.lab.work_dir / "x-logs")
            self.display.start()
            if self.make_prefix:
                self.prefix = self.make_prefix(self.display.name)
            else:
                self.prefix = self.lab.prefix(self.name, locale=self.locale, version=self.version,
                                              display=self.display.name)
            self.prefix.prepare_gui()
            if self.setup:
                self.setup(self.prefix)
            self.prefix.put_file(self.kdriver, TOOLS + r"\kdriver.exe")
            self.driver = Driver(self.prefix, TOOLS + r"\kdriver.exe")
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        if self.driver:
            self.driver.close()
        if self.prefix:
            self.lab.discard(self.prefix)
        if self.display:
            self.display.stop()
        return False


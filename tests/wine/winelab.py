"""Wine prefixes for the Wine tiers (32-bit for the i686 build, 64-bit for the x86-64 one, copied
from one template per build folder), Xvfb displays with openbox, and the Driver of kdriver.exe.
Facts (wine-notes.md): /usr/bin/wine picks the 32-bit loader whenever wine32 is installed, so
64-bit prefixes run /usr/lib/wine/wine64, where only HKCU\\Software\\Wine "Version" sets the version;
every process that loads user32 resets preload value "1", so the registry is read from the files."""
import fcntl
import os
import queue
import re
import shutil
import signal
import subprocess
import tempfile
import threading
import time
from pathlib import Path

PROGRAM_DIR = r"C:\Program Files\Kestrine"
TOOLS = r"C:\kestrine-tests"
WINE64 = "/usr/lib/wine/wine64"
# What each kind of prefix sets, and the command that runs a program in it.
ARCH_ENV = {"win32": {"WINEARCH": "win32"}, "win64": {"WINEARCH": "win64", "WINELOADER": WINE64}}
ARCH_WINE = {"win32": ["wine"], "win64": [WINE64]}
# Per locale: the default layout Wine writes to preload value "1", and the ANSI code page.
DEFAULT_LAYOUT = {"zh_CN.UTF-8": "E0010804", "zh_TW.UTF-8": "E0010404", "ja_JP.UTF-8": "E0010411",
                  "ko_KR.UTF-8": "E0010412", "en_US.UTF-8": "00000409"}
CODE_PAGE = {"zh_CN.UTF-8": 936, "zh_TW.UTF-8": 950, "ja_JP.UTF-8": 932, "ko_KR.UTF-8": 949, "en_US.UTF-8": 1252}
# Faces whose CJK glyphs Wine's own fonts lack, replaced so that captions, boxes and controls render
# Chinese; and Marlett, which Debian's Wine keeps but does not put into new prefixes (the caption
# buttons then show letters).
CJK_FONT = "WenQuanYi Micro Hei"
REPLACED_FACES = ("SimSun", "Tahoma", "MS Shell Dlg", "Microsoft Sans Serif")
MARLETT = Path("/usr/share/wine/fonts/marlett.ttf")
DISPLAY_LOCK = Path(tempfile.gettempdir()) / "kestrine-xvfb-start.lock"


class WineError(Exception):
    pass


def build_arch(build):
    """win64 when the build folder's kestrine.exe is an x86-64 program, else win32."""
    data = (Path(build) / "kestrine.exe").read_bytes()[:4096]
    at = int.from_bytes(data[0x3C:0x40], "little")
    return "win64" if data[at + 4:at + 6] == b"\x64\x86" else "win32"


def wait_until(condition, timeout, interval=0.05, what="condition"):
    """Polls condition() until it returns something true; raises WineError after timeout s."""
    deadline = time.monotonic() + timeout
    while not (value := condition()):
        if time.monotonic() >= deadline:
            raise WineError(f"timed out after {timeout}s waiting for {what}")
        time.sleep(interval)
    return value


# Long-lived processes (X servers, window managers, programs, drivers) and prefixes with their
# wineservers: emergency_stop() ends them when the runner is told to stop, since their own
# sessions keep them out of its reach.
_live_processes, _live_prefixes = set(), set()


def started(proc):
    _live_processes.add(proc)
    return proc


def emergency_stop():
    for proc in list(_live_processes):
        stop_group(proc, grace=1)
    for prefix in list(_live_prefixes):
        prefix.lab.discard(prefix)


def stop_group(proc, grace=5):
    """Ends a process started with start_new_session and everything it started."""
    _live_processes.discard(proc)
    for sig in (signal.SIGTERM, signal.SIGKILL):
        if proc is None or proc.poll() is not None:
            return
        try:
            os.killpg(proc.pid, sig)
            proc.wait(timeout=grace)
        except (ProcessLookupError, subprocess.TimeoutExpired):
            pass


def run_limited(args, env, timeout):
    """Runs a command in its own process group; kills the group when the time runs out. Output
    goes through files: programs that Wine starts on the side inherit the handles and would keep
    pipes open."""
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
            raise WineError(f"timed out after {timeout}s: {' '.join(map(str, args))}") from None
        out.seek(0), err.seek(0)
        return subprocess.CompletedProcess(args, proc.returncode, out.read(), err.read())


def unescape(text):
    """A quoted text of Wine's registry files: C escapes, and \\xNNNN for UTF-16 code units."""
    escapes = {"n": "\n", "r": "\r", "t": "\t", "a": "\a", "b": "\b", "f": "\f", "v": "\v", "e": "\x1b", "0": "\0"}
    text = re.sub(r"\\(x[0-9a-fA-F]{1,4}|.)", lambda m: chr(int(m[1][1:], 16)) if len(m[1]) > 1
                  else escapes.get(m[1], m[1]), text)
    return text.encode("utf-16-le", "surrogatepass").decode("utf-16-le", "replace")


def read_wine_keys(prefix_path, wanted):
    """Version-5 .reg text of every key under the wanted ones (compared without regard to case),
    read from the prefix's user.reg and system.reg."""
    wanted = [w.lower() for w in wanted]
    quoted = r'"((?:[^"\\]|\\.)*)"'
    out = ["Windows Registry Editor Version 5.00"]
    for filename, root in (("user.reg", "HKEY_CURRENT_USER"), ("system.reg", "HKEY_LOCAL_MACHINE")):
        text = (prefix_path / filename).read_text(encoding="ascii", errors="replace")
        keep = False
        for line in re.sub(r"\\\n\s*", "", text).split("\n"):  # hex data continues on the next lines
            if line.startswith("["):
                full = root + "\\" + unescape(line[1:line.rindex("]")])
                keep = any(full.lower() == w or full.lower().startswith(w + "\\") for w in wanted)
                out += ["", f"[{full}]"] if keep else []
                continue
            m = re.match(rf'(@|{quoted})=(?:{quoted}|str\((\d)\):{quoted}|(.*))$', line) if keep else None
            if not m:
                continue
            name = "@" if m[1] == "@" else '"' + unescape(m[2]).replace("\\", "\\\\").replace('"', '\\"') + '"'
            if m[3] is not None:
                value = '"' + unescape(m[3]).replace("\\", "\\\\").replace('"', '\\"') + '"'
            elif m[4]:
                value = f"hex({m[4]}):" + ",".join(f"{b:02x}" for b in (unescape(m[5]) + "\0").encode("utf-16-le"))
            else:
                value = m[6]  # dword:, hex:, hex(N): stay as they are
            out.append(f"{name}={value}")
    return "\r\n".join(out) + "\r\n"


class Prefix:
    def __init__(self, lab, path, locale, display=None):
        self.lab, self.path, self.locale = lab, Path(path), locale
        self.env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=", **ARCH_ENV[lab.arch],
                        WINEPREFIX=str(self.path), LANG=locale, LC_ALL=locale)
        self.env.pop("DISPLAY", None)
        if display:
            self.env["DISPLAY"] = display

    @property
    def code_page(self):
        return CODE_PAGE.get(self.locale, 1252)

    def wine(self, args, timeout=60, check=True):
        result = run_limited(self.lab.wine_command + list(args), self.env, timeout)
        if check and result.returncode != 0:
            raise WineError(f"wine {' '.join(args)} exited {result.returncode}: "
                            f"{result.stderr.decode(errors='replace')[-500:]}")
        return result

    def run(self, dos_exe, args=(), timeout=30):
        return self.wine([dos_exe] + list(args), timeout=timeout, check=False)

    def start(self, dos_exe, args=(), name="program"):
        """Starts a program in the background; stop it with the returned object's stop()."""
        return Background(self, self.lab.wine_command + [dos_exe] + list(args), name)

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
        """Imports a .reg file (UTF-8 or REGEDIT4 text, or version 5), converted to version 5
        (UTF-16 with a BOM) first: the one form Wine reads alike under every locale."""
        self.lab.regtool(["v5", str(reg_file), str(self.unix_path(r"C:\kestrine-import.reg"))])
        self.wine(["reg", "import", r"C:\kestrine-import.reg"])

    def registry(self, keys):
        """The keys as canonical UTF-8 REGEDIT4 text, read from the registry files after the
        wineserver saved them (it is stopped), so the first preload value is the program's."""
        self.shutdown()
        merged = self.path / "kestrine-read.reg"
        merged.write_bytes(b"\xff\xfe" + read_wine_keys(self.path, keys).encode("utf-16-le"))
        return self.lab.regtool(["canon", str(merged)] + list(keys)).decode("utf-8")

    def prepare_gui(self):
        """Settings a prefix that shows windows needs before its first program: the CJK font
        replacements, and Wine drawing the frames itself (following the window styles, as
        Windows does) instead of the window manager."""
        lines = ["Windows Registry Editor Version 5.00", "", r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]"]
        lines += [f'"{face}"="{CJK_FONT}"' for face in REPLACED_FACES]
        lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\X11 Driver]", '"Decorated"="N"', ""]
        self.unix_path(r"C:\kestrine-gui.reg").write_bytes(b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le"))
        self.wine(["reg", "import", r"C:\kestrine-gui.reg"])
        if MARLETT.exists():
            self.put_file(MARLETT, r"C:\windows\Fonts\marlett.ttf")

    def shutdown(self):
        try:
            run_limited(["wineserver", "-k"], self.env, 20)
        except WineError:
            pass


class WineLab:
    def __init__(self, work_dir, regtool_path, arch="win32"):
        self.work_dir = Path(work_dir)
        self.work_dir.mkdir(parents=True, exist_ok=True)
        self.regtool_path, self.arch, self.wine_command = str(regtool_path), arch, ARCH_WINE[arch]
        self._template = self.work_dir / f"template-{arch}"

    def regtool(self, args):
        result = run_limited([self.regtool_path] + args, dict(os.environ), 60)
        if result.returncode != 0:
            raise WineError(f"regtool {' '.join(args)}: {result.stderr.decode(errors='replace')}")
        return result.stdout

    def template(self):
        if (self._template / ".ready").exists():
            return self._template
        shutil.rmtree(self._template, ignore_errors=True)
        env = Prefix(self, self._template, "en_US.UTF-8").env
        boot = run_limited(self.wine_command + ["wineboot", "-i"], env, 180)
        run_limited(["wineserver", "-w"], env, 120)
        if boot.returncode != 0 or not (self._template / "system.reg").exists():
            raise WineError(f"could not make a {self.arch} Wine prefix with {self.wine_command[0]} (exit "
                            f"{boot.returncode}): {boot.stderr.decode(errors='replace').strip()[-300:]}")
        (self._template / ".ready").write_text("ok\n")
        return self._template

    def prefix(self, name, locale="en_US.UTF-8", version=None, display=None):
        template = self.template()
        path = Path(tempfile.mkdtemp(prefix=f"{name}-", dir=self.work_dir))
        path.rmdir()
        subprocess.run(["cp", "-a", str(template), str(path)], check=True, timeout=120)
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
    """A program running in a prefix while a test works it, its output in a file beside the
    prefix; stop() ends it and whatever it started (the wineserver stays)."""

    def __init__(self, prefix, args, name):
        self.out_path = prefix.path / f"{name}.out"
        with open(self.out_path, "wb") as out:
            self.proc = started(subprocess.Popen(args, env=prefix.env, stdin=subprocess.DEVNULL, stdout=out,
                                                 stderr=subprocess.STDOUT, start_new_session=True))

    def wait(self, timeout):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise WineError(f"the program still runs after {timeout}s") from None

    def stop(self):
        stop_group(self.proc)


class Display:
    """An X server (Xvfb, 1024x768, 24 bits) on a display number it picks itself, with openbox as
    window manager; as a context manager both are stopped at the end, even on failure."""

    def __init__(self, log_dir):
        self.log, self.name, self._procs = Path(log_dir) / f"x-{os.getpid()}-{id(self)}.log", None, []

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()
        return False

    def start(self, timeout=30, attempts=2):
        """Two servers starting at once can take the same number (-displayfd uses no lock files):
        starts are one at a time across processes, and one that does not come up is retried."""
        self.log.parent.mkdir(parents=True, exist_ok=True)
        for attempt in range(attempts):
            with open(DISPLAY_LOCK, "a") as lock:
                fcntl.flock(lock, fcntl.LOCK_EX)
                try:
                    self._start_once(timeout)
                    return self
                except (WineError, subprocess.TimeoutExpired) as e:
                    tail = self.log.read_bytes()[-1500:].decode(errors="replace")
                    self.stop()
                    if attempt + 1 == attempts:
                        raise WineError(f"{e}\n{tail}") from None

    def _start_once(self, timeout):
        number = self.log.with_suffix(".display")
        with open(number, "wb") as out, open(self.log, "ab") as log:
            # -displayfd reports the number once the server takes connections; -noreset: otherwise
            # it resets when its last client leaves, and a window manager connecting then fails.
            self._procs.append(started(subprocess.Popen(
                ["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"],
                stdin=subprocess.DEVNULL, stdout=out, stderr=log, start_new_session=True)))
            self.name = ":" + wait_until(lambda: number.read_text().endswith("\n") and number.read_text().strip(),
                                         timeout, what="Xvfb to report a display number")
            wm = started(subprocess.Popen(["openbox", "--sm-disable"], env=self.env(), stdin=subprocess.DEVNULL,
                                          stdout=log, stderr=log, start_new_session=True))
            self._procs.append(wm)
        wait_until(lambda: wm.poll() is None and b"window id" in subprocess.run(
            ["xprop", "-display", self.name, "-root", "_NET_SUPPORTING_WM_CHECK"], stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL, timeout=10).stdout, timeout // 3, what="openbox to manage the display")

    def env(self):
        return dict(os.environ, DISPLAY=self.name)

    def screenshot(self, path, timeout=30):
        Path(path).parent.mkdir(parents=True, exist_ok=True)
        result = run_limited(["import", "-display", self.name, "-window", "root", str(path)], self.env(), timeout)
        if result.returncode != 0:
            raise WineError(f"screenshot failed: {result.stderr.decode(errors='replace')}")
        return Path(path)

    def stop(self):
        for proc in reversed(self._procs):
            stop_group(proc)
        self._procs = []
        for path in (self.log, self.log.with_suffix(".display")):
            path.unlink(missing_ok=True)


class Fact(dict):
    """One line of kdriver's answer: its kind and its key=value fields."""

    def __init__(self, line, code_page):
        kind, _, rest = line.partition(" ")
        super().__init__(w.split("=", 1) for w in rest.split() if "=" in w)
        self.kind, self.code_page = kind, code_page

    def raw(self, key="text"):
        return bytes.fromhex(self.get(key, ""))

    def text(self, key="text"):
        """A hexadecimal text field decoded from the prefix's code page."""
        return self.raw(key).decode(f"cp{self.code_page}", errors="replace")

    def rect(self, key="rect"):
        return tuple(int(v) for v in self[key].split(","))


class Driver:
    """kdriver.exe running in a prefix, taking one command a line on its standard input.
    command() sends one and returns (final line, list of fact lines) as Facts; a final "error"
    raises WineError unless check is False. A text given as str is sent in the prefix's code page."""

    def __init__(self, prefix, dos_exe):
        self.code_page = prefix.code_page
        self.proc = started(subprocess.Popen(prefix.lab.wine_command + [dos_exe], env=prefix.env, stdin=subprocess.PIPE,
                                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True))
        self._lines = queue.Queue()
        threading.Thread(target=lambda: [self._lines.put(line.decode("ascii", "replace").rstrip("\r\n"))
                                         for line in self.proc.stdout] + [self._lines.put(None)], daemon=True).start()

    def _encode(self, key, value):
        if isinstance(value, str) and key == "text":
            value = value.encode(f"cp{self.code_page}")
        return "hex:" + value.hex() if isinstance(value, bytes) else str(value)

    def command(self, name, check=True, **args):
        """Waits for the answer a minute more than the command's own timeout (in ms)."""
        words = " ".join([name] + [f"{k.replace('_', '-')}={self._encode(k, v)}" for k, v in args.items()])
        deadline = time.monotonic() + 60 + int(args.get("timeout", 0)) / 1000
        self.proc.stdin.write((words + "\n").encode("ascii"))
        self.proc.stdin.flush()
        facts = []
        while True:
            try:
                line = self._lines.get(timeout=max(0.0, deadline - time.monotonic()))
            except queue.Empty:
                raise WineError(f"kdriver gave no answer to {words} in time") from None
            if line is None:
                raise WineError(f"kdriver ended during {words}")
            fact = Fact(line, self.code_page)
            if fact.kind in ("ok", "error"):
                if check and fact.kind == "error":
                    raise WineError(f"{words}: {line}")
                return fact, facts
            facts.append(fact)

    def facts(self, name, **args):
        return self.command(name, **args)[1]

    def close(self):
        try:
            self.proc.stdin.write(b"quit\n")
            self.proc.stdin.close()
            self.proc.wait(timeout=10)
        except (OSError, subprocess.TimeoutExpired):
            pass
        stop_group(self.proc)


class ShownPrefix:
    """A prefix shown on its own Xvfb display (openbox, prepare_gui) with kdriver.exe running in
    it. kdriver is the built kdriver.exe; make_prefix(display_name) makes the prefix (by default a
    fresh one of the lab); setup(prefix) seeds it before kdriver starts. Everything is stopped on
    leaving, also when the set-up fails half way."""

    def __init__(self, lab, kdriver, name, locale="zh_CN.UTF-8", version=None, make_prefix=None, setup=None):
        self.lab, self.kdriver, self.name, self.locale, self.version = lab, kdriver, name, locale, version
        self.make_prefix = make_prefix or (lambda display: lab.prefix(name, locale, version, display))
        self.setup = setup or (lambda prefix: None)
        self.display = self.prefix = self.driver = None

    def __enter__(self):
        try:
            self.display = Display(self.lab.work_dir / "x-logs")
            self.display.start()
            self.prefix = self.make_prefix(self.display.name)
            self.prefix.prepare_gui()
            self.setup(self.prefix)
            self.driver = Driver(self.prefix, self.prefix.put_file(self.kdriver, TOOLS + r"\kdriver.exe"))
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        for part, end in ((self.driver, Driver.close), (self.prefix, self.lab.discard), (self.display, Display.stop)):
            if part:
                end(part)
        return False

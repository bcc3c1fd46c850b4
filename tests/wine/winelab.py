# Wine prefixes for the Wine tiers (32-bit for the i686 build, 64-bit for the x86-64 one, copied
# from one template per build folder), Xvfb displays with openbox, and kdriver.exe's Driver.
# Facts of wine-notes.md this relies on:
# - /usr/bin/wine picks the 32-bit loader whenever wine32 is installed, so 64-bit prefixes run
#   /usr/lib/wine/wine64, where only HKCU\Software\Wine "Version" sets the Windows version;
# - every process that loads user32 (reg.exe too) resets preload value "1" to the locale's
#   default layout, so the registry is read from the prefix's files after the wineserver saved them;
# - two Xvfb servers starting at once can take the same display number: they start one at a time;
# - programs run in sessions of their own, and each such process group is killed when it stops.
import fcntl
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

PROGRAM_DIR = r"C:\Program Files\Kestrine"
WINE64 = "/usr/lib/wine/wine64"
ARCH_ENV = {"win32": {"WINEARCH": "win32"}, "win64": {"WINEARCH": "win64", "WINELOADER": WINE64}}
# Per locale: the default layout Wine writes to preload value "1", and the ANSI code page.
LOCALES = {"zh_CN.UTF-8": ("E0010804", 936), "zh_TW.UTF-8": ("E0010404", 950), "ja_JP.UTF-8": ("E0010411", 932),
           "ko_KR.UTF-8": ("E0010412", 949), "en_US.UTF-8": ("00000409", 1252)}
# Debian's Wine keeps Marlett but does not put it into new prefixes (caption buttons show letters).
MARLETT = Path("/usr/share/wine/fonts/marlett.ttf")
DISPLAY_LOCK = Path(tempfile.gettempdir()) / "kestrine-xvfb-start.lock"


class WineError(Exception):
    pass


def build_arch(build):
    # win64 when the build folder's kestrine.exe is an x86-64 program, else win32.
    data = (Path(build) / "kestrine.exe").read_bytes()[:4096]
    at = int.from_bytes(data[0x3C:0x40], "little")
    return "win64" if data[at + 4:at + 6] == b"\x64\x86" else "win32"


def wait_until(condition, timeout, what="condition"):
    # Polls condition() until it returns something true, which it returns; WineError after timeout s.
    deadline = time.monotonic() + timeout
    while not (value := condition()):
        if time.monotonic() >= deadline:
            raise WineError(f"timed out after {timeout}s waiting for {what}")
        time.sleep(0.05)
    return value


# Processes and prefixes still alive, which emergency_stop() ends when the runner is told to stop.
_live_processes, _live_prefixes = set(), set()


def started(args, **options):
    proc = subprocess.Popen(args, start_new_session=True, **options)
    _live_processes.add(proc)
    return proc


def stop_group(proc, grace=5):
    _live_processes.discard(proc)
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            if proc.poll() is None:
                os.killpg(proc.pid, sig)
                proc.wait(timeout=grace)
        except (ProcessLookupError, subprocess.TimeoutExpired):
            pass


def emergency_stop():
    for proc in list(_live_processes):
        stop_group(proc, grace=1)
    for prefix in list(_live_prefixes):
        prefix.lab.discard(prefix)


def run_limited(args, env, timeout):
    # Output goes through files: programs that Wine starts on the side inherit the handles and
    # would keep pipes open.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        try:
            proc = started(args, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=err)
            proc.wait(timeout=timeout)
        except OSError as e:
            raise WineError(f"cannot run {args[0]}: {e.strerror}") from None
        except subprocess.TimeoutExpired:
            stop_group(proc, grace=1)
            raise WineError(f"timed out after {timeout}s: {' '.join(map(str, args))}") from None
        _live_processes.discard(proc)
        out.seek(0), err.seek(0)
        return subprocess.CompletedProcess(args, proc.returncode, out.read(), err.read())


def read_wine_keys(prefix_path, wanted):
    # Version-5 .reg text of the wanted keys and their sub-keys (named without regard to case),
    # read from the prefix's user.reg and system.reg, whose texts are C-escaped with \xNNNN for
    # UTF-16 code units.
    def text(quoted):
        escapes = {"n": "\n", "r": "\r", "t": "\t", "a": "\a", "b": "\b", "f": "\f", "v": "\v", "e": "\x1b", "0": "\0"}
        units = re.sub(r"\\(x[0-9a-fA-F]{1,4}|.)", lambda m: chr(int(m[1][1:], 16)) if len(m[1]) > 1
                       else escapes.get(m[1], m[1]), quoted)
        return units.encode("utf-16-le", "surrogatepass").decode("utf-16-le", "replace")

    def sz(quoted):
        return '"' + text(quoted).replace("\\", "\\\\").replace('"', '\\"') + '"'

    wanted, quoted = [w.lower() for w in wanted], r'"((?:[^"\\]|\\.)*)"'
    out = ["Windows Registry Editor Version 5.00"]
    for filename, root in (("user.reg", "HKEY_CURRENT_USER"), ("system.reg", "HKEY_LOCAL_MACHINE")):
        keep = False
        for line in re.sub(r"\\\n\s*", "", (prefix_path / filename).read_text("ascii", "replace")).split("\n"):
            if line.startswith("["):
                full = root + "\\" + text(line[1:line.rindex("]")])
                keep = any(full.lower() == w or full.lower().startswith(w + "\\") for w in wanted)
                out += ["", f"[{full}]"] if keep else []
            elif keep and (m := re.match(rf'(@|{quoted})=(?:{quoted}|str\((\d)\):{quoted}|(.*))$', line)):
                value = sz(m[3]) if m[3] is not None else m[6]  # dword:, hex:, hex(N): stay as they are
                if m[4]:
                    value = f"hex({m[4]}):" + ",".join(f"{b:02x}" for b in (text(m[5]) + "\0").encode("utf-16-le"))
                out.append(("@" if m[1] == "@" else sz(m[2])) + "=" + value)
    return "\r\n".join(out) + "\r\n"


def parse_reg(text):
    # REGEDIT4 text as {key: {value name: data}}, key and value names in lower case.
    keys, current = {}, None
    for line in text.splitlines():
        if line.startswith("["):
            current = keys.setdefault(line[1:-1].lower(), {})
        elif current is not None and (m := re.match(r'(@|"(?:[^"\\]|\\.)*")=(.*)', line)):
            current[m[1].lower()] = m[2]
    return keys


class Prefix:
    def __init__(self, lab, path, locale, display=None):
        self.lab, self.path, self.locale = lab, Path(path), locale
        self.env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=", **ARCH_ENV[lab.arch],
                        WINEPREFIX=str(self.path), LANG=locale, LC_ALL=locale)
        self.env.pop("DISPLAY", None)
        if display:
            self.env["DISPLAY"] = display
        self.default_layout, self.code_page = LOCALES.get(locale, ("00000409", 1252))

    def wine(self, args, timeout=60, check=True):
        result = run_limited(self.lab.wine_command + list(args), self.env, timeout)
        if check and result.returncode != 0:
            raise WineError(f"wine {' '.join(args)} exited {result.returncode}: {result.stderr[-500:].decode(errors='replace')}")
        return result

    def run(self, dos_exe, args=(), timeout=30):
        return self.wine([dos_exe] + list(args), timeout=timeout, check=False)

    def start(self, dos_exe, args=(), name="program"):
        return Background(self, self.lab.wine_command + [dos_exe] + list(args), name)

    def unix_path(self, dos_path):
        assert dos_path[:3].upper() == "C:\\", dos_path
        return self.path / "drive_c" / dos_path[3:].replace("\\", "/")

    def put_file(self, source, dos_path):
        self.unix_path(dos_path).parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(source, self.unix_path(dos_path))
        return dos_path

    def system_dir(self):
        return r"C:\windows\system32"

    def import_reg(self, reg_file):
        # As version 5 (UTF-16 with a byte-order mark): the one form Wine reads alike under every locale.
        self.lab.regtool(["v5", str(reg_file), str(self.unix_path(r"C:\kestrine-import.reg"))])
        self.wine(["reg", "import", r"C:\kestrine-import.reg"])

    def registry(self, keys):
        # The keys as canonical UTF-8 REGEDIT4 text, read from the registry files after the
        # wineserver saved them (it is stopped, and the programs with it).
        self.shutdown()
        merged = self.path / "kestrine-read.reg"
        merged.write_bytes(b"\xff\xfe" + read_wine_keys(self.path, keys).encode("utf-16-le"))
        return self.lab.regtool(["canon", str(merged)] + list(keys)).decode("utf-8")

    def prepare_gui(self):
        self.import_reg(Path(__file__).resolve().parent / "shown.reg")
        if MARLETT.exists():
            self.put_file(MARLETT, r"C:\windows\Fonts\marlett.ttf")

    def shutdown(self):
        try:
            run_limited(["wineserver", "-k"], self.env, 20)
        except WineError:
            pass


class WineLab:
    def __init__(self, work_dir, regtool_path, arch="win32"):
        self.work_dir, self.regtool_path, self.arch = Path(work_dir), str(regtool_path), arch
        self.wine_command = [WINE64] if arch == "win64" else ["wine"]
        self.work_dir.mkdir(parents=True, exist_ok=True)

    def regtool(self, args):
        result = run_limited([self.regtool_path] + args, dict(os.environ), 60)
        if result.returncode != 0:
            raise WineError(f"regtool {' '.join(args)}: {result.stderr.decode(errors='replace')}")
        return result.stdout

    def template(self):
        template = self.work_dir / f"template-{self.arch}"
        if not (template / ".ready").exists():
            shutil.rmtree(template, ignore_errors=True)
            env = Prefix(self, template, "en_US.UTF-8").env
            boot = run_limited(self.wine_command + ["wineboot", "-i"], env, 180)
            run_limited(["wineserver", "-w"], env, 120)
            if boot.returncode != 0 or not (template / "system.reg").exists():
                raise WineError(f"could not make a {self.arch} Wine prefix with {self.wine_command[0]} (exit "
                                f"{boot.returncode}): {boot.stderr.decode(errors='replace').strip()[-300:]}")
            (template / ".ready").write_text("ok\n")
        return template

    def prefix(self, name, locale="en_US.UTF-8", version=None, display=None):
        # A copy of the template (not hard links: the wineserver rewrites the registry files in place).
        path = Path(tempfile.mkdtemp(prefix=f"{name}-", dir=self.work_dir))
        path.rmdir()
        subprocess.run(["cp", "-a", str(self.template()), str(path)], check=True, timeout=120)
        prefix = Prefix(self, path, locale, display)
        _live_prefixes.add(prefix)
        if version:
            prefix.wine(["reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", version, "/f"])
        return prefix

    def discard(self, prefix):
        prefix.shutdown()
        _live_prefixes.discard(prefix)
        shutil.rmtree(prefix.path, ignore_errors=True)


class Background:
    # A program running in a prefix, its output in a file beside the prefix.
    def __init__(self, prefix, args, name):
        self.out_path = prefix.path / f"{name}.out"
        with open(self.out_path, "wb") as out:
            self.proc = started(args, env=prefix.env, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT)

    def wait(self, timeout):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise WineError(f"the program still runs after {timeout}s") from None

    def stop(self):
        stop_group(self.proc)


class Display:
    # An X server (Xvfb, 1024x768, 24 bits) on a display number it picks itself, with openbox as
    # window manager (without one, each hide or destroy of a window stalls about 2 s).
    def __init__(self, log_dir):
        self.log, self.name, self._procs = Path(log_dir) / f"x-{os.getpid()}-{id(self)}.log", None, []

    def start(self, timeout=30):
        self.log.parent.mkdir(parents=True, exist_ok=True)
        number = self.log.with_suffix(".display")
        for attempt in (1, 2):  # a server that does not come up is tried once more
            with open(DISPLAY_LOCK, "a") as lock, open(number, "wb") as out, open(self.log, "ab") as log:
                fcntl.flock(lock, fcntl.LOCK_EX)
                try:
                    # -displayfd reports the number once the server takes connections; -noreset: otherwise
                    # it resets when its last client leaves, and a window manager connecting then fails.
                    self._procs.append(started(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten",
                                                "tcp", "-noreset"], stdin=subprocess.DEVNULL, stdout=out, stderr=log))
                    self.name = ":" + wait_until(lambda: number.read_text().endswith("\n") and number.read_text().strip(),
                                                 timeout, "Xvfb to report a display number")
                    wm = started(["openbox", "--sm-disable"], env=self.env(), stdin=subprocess.DEVNULL, stdout=log,
                                 stderr=log)
                    self._procs.append(wm)
                    wait_until(lambda: wm.poll() is None and b"window id" in subprocess.run(
                        ["xprop", "-display", self.name, "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True,
                        timeout=10).stdout, timeout // 3, "openbox to manage the display")
                    return self
                except (WineError, subprocess.TimeoutExpired) as e:
                    tail = self.log.read_bytes()[-1500:].decode(errors="replace")
                    self.stop()
                    if attempt == 2:
                        raise WineError(f"{e}\n{tail}") from None

    def env(self):
        return dict(os.environ, DISPLAY=self.name)

    def screenshot(self, path):
        Path(path).parent.mkdir(parents=True, exist_ok=True)
        result = run_limited(["import", "-display", self.name, "-window", "root", str(path)], self.env(), 30)
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
    # One line of kdriver's answer: its kind and its key=value fields, texts in the prefix's code page.
    def __init__(self, line, code_page):
        self.kind, _, rest = line.partition(" ")
        super().__init__(w.split("=", 1) for w in rest.split() if "=" in w)
        self.code_page = code_page

    def text(self, key="text"):
        return bytes.fromhex(self.get(key, "")).decode(f"cp{self.code_page}", errors="replace")

    def rect(self, key="rect"):
        return tuple(int(v) for v in self[key].split(","))


class Driver:
    # kdriver.exe running in a prefix, one command a line on its standard input. command() returns
    # (final line, fact lines) as Facts; a final "error" raises WineError unless check is False. A
    # text is sent in the prefix's code page; the answer is awaited a minute more than the
    # command's own timeout (ms).
    def __init__(self, prefix, dos_exe):
        self.code_page = prefix.code_page
        self.proc = started(prefix.lab.wine_command + [dos_exe], env=prefix.env, stdin=subprocess.PIPE,
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, bufsize=0)

    def command(self, name, check=True, **args):
        words = " ".join([name] + [f"{k}={v.encode(f'cp{self.code_page}').hex() if k == 'text' else v}" for k, v in args.items()])
        deadline = time.monotonic() + 60 + int(args.get("timeout", 0)) / 1000
        self.proc.stdin.write((words + "\n").encode("ascii"))
        facts = []
        while not facts or facts[-1].kind not in ("ok", "error"):
            if not select.select([self.proc.stdout], [], [], max(0.0, deadline - time.monotonic()))[0]:
                raise WineError(f"kdriver gave no answer to {words} in time")
            line = self.proc.stdout.readline().decode("ascii", "replace")
            if not line:
                raise WineError(f"kdriver ended during {words}")
            facts.append(Fact(line.rstrip("\r\n"), self.code_page))
        if check and facts[-1].kind == "error":
            raise WineError(f"{words}: {line.strip()}")
        return facts[-1], facts[:-1]

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
    # A prefix shown on its own Xvfb display with kdriver.exe running in it: make_prefix(display
    # name) makes the prefix (by default a fresh one of the lab), setup(prefix) seeds it before
    # kdriver starts. Everything is stopped on leaving, also after a failed set-up.
    def __init__(self, lab, kdriver, name, locale="zh_CN.UTF-8", version=None, make_prefix=None, setup=None):
        self.lab, self.kdriver, self.name, self.locale, self.version = lab, kdriver, name, locale, version
        self.make_prefix = make_prefix or (lambda display: lab.prefix(name, locale, version, display))
        self.setup = setup or (lambda prefix: None)
        self.display = self.prefix = self.driver = None

    def __enter__(self):
        try:
            self.display = Display(self.lab.work_dir / "x-logs").start()
            self.prefix = self.make_prefix(self.display.name)
            self.prefix.prepare_gui()
            self.setup(self.prefix)
            self.driver = Driver(self.prefix, self.prefix.put_file(self.kdriver, r"C:\kestrine-tests\kdriver.exe"))
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        for part, end in ((self.driver, Driver.close), (self.prefix, self.lab.discard), (self.display, Display.stop)):
            if part:
                end(part)
        return False

"""A small laboratory of 32-bit Wine prefixes for the end-to-end tests.

One template prefix is made per build folder (wineboot takes 10-18 s) and copied for each
test (about a second). Every Wine call has a time limit; a run that hangs is killed with its
wineserver, so no test can hang the suite.
"""
import os
import shutil
import signal
import subprocess
import tempfile
from pathlib import Path

import winereg

PROGRAM_DIR = r"C:\Program Files\Kestrine"
BASE_ENV = {
    "WINEARCH": "win32",
    "WINEDEBUG": "-all",
    "WINEDLLOVERRIDES": "mscoree,mshtml=",
}

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


class WineError(Exception):
    pass


def run_limited(args, env, timeout, cwd=None, input_bytes=None):
    """Runs a command in its own process group; kills the group when the time runs out."""
    proc = subprocess.Popen(args, env=env, cwd=cwd, stdin=subprocess.PIPE if input_bytes else subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, start_new_session=True)
    try:
        out, err = proc.communicate(input=input_bytes, timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        out, err = proc.communicate()
        raise WineError(f"timed out after {timeout}s: {' '.join(map(str, args))}")
    return subprocess.CompletedProcess(args, proc.returncode, out, err)


class Prefix:
    def __init__(self, lab, path, locale, display=None):
        self.lab = lab
        self.path = Path(path)
        self.locale = locale
        self.env = dict(os.environ)
        self.env.update(BASE_ENV)
        self.env.update({"WINEPREFIX": str(self.path), "LANG": locale, "LC_ALL": locale})
        if display:
            self.env["DISPLAY"] = display
        else:
            self.env.pop("DISPLAY", None)

    @property
    def code_page(self):
        return CODE_PAGE.get(self.locale, 1252)

    def wine(self, args, timeout=60, check=True):
        result = run_limited(["wine"] + list(args), self.env, timeout)
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
        self.lab.regtool(["v5", str(reg_file), str(v5), "--cp", str(self.lab.reg_code_page(reg_file, self))])
        self.wine(["reg", "import", r"C:\kestrine-import.reg"])

    def export(self, keys):
        """The keys as canonical UTF-8 REGEDIT4 text (values sorted by name)."""
        chunks = []
        for i, key in enumerate(keys):
            dos = rf"C:\kestrine-export{i}.reg"
            out = self.unix_path(dos)
            result = self.wine(["reg", "export", key, dos, "/y"], check=False)
            if result.returncode == 0 and out.exists():
                chunks.append(out)
        if not chunks:
            return ""
        merged = self.path / "merged.reg"
        text = "Windows Registry Editor Version 5.00\r\n\r\n"
        for c in chunks:
            body = c.read_bytes()[2:].decode("utf-16-le")
            text += body.split("\r\n", 1)[1] if body.startswith("Windows Registry") else body
        merged.write_bytes(b"\xff\xfe" + text.encode("utf-16-le"))
        return self.lab.regtool(["canon", str(merged)] + list(keys)).decode("utf-8")

    def registry(self, keys):
        """The keys as canonical UTF-8 REGEDIT4 text, read from the prefix's registry files
        after the wineserver has saved them (it is stopped). Unlike export(), this shows the
        first preload value as the program left it."""
        self.shutdown()
        merged = self.path / "kestrine-read.reg"
        merged.write_bytes(b"\xff\xfe" + winereg.read_keys(self.path, keys).encode("utf-16-le"))
        return self.lab.regtool(["canon", str(merged)] + list(keys)).decode("utf-8")

    def run(self, dos_exe, args=(), timeout=30):
        return self.wine([dos_exe] + list(args), timeout=timeout, check=False)

    def shutdown(self):
        try:
            run_limited(["wineserver", "-k"], self.env, 20)
        except WineError:
            pass

    def wait_idle(self, timeout=30):
        run_limited(["wineserver", "-w"], self.env, timeout)


class WineLab:
    def __init__(self, work_dir, regtool_path):
        self.work_dir = Path(work_dir)
        self.work_dir.mkdir(parents=True, exist_ok=True)
        self.regtool_path = str(regtool_path)
        self._template = self.work_dir / "template"

    def regtool(self, args):
        result = run_limited([self.regtool_path] + args, dict(os.environ), 60)
        if result.returncode != 0:
            raise WineError(f"regtool {' '.join(args)}: {result.stderr.decode(errors='replace')}")
        return result.stdout

    @staticmethod
    def reg_code_page(reg_file, prefix):
        """Fixtures are UTF-8 text; 8-bit REGEDIT4 files written by regedit are in the prefix's
        code page. A file that decodes as UTF-8 is taken as UTF-8."""
        data = Path(reg_file).read_bytes()
        if data[:2] == b"\xff\xfe":
            return 65001
        try:
            data.decode("utf-8")
            return 65001
        except UnicodeDecodeError:
            return prefix.code_page

    def template(self):
        marker = self._template / ".ready"
        if marker.exists():
            return self._template
        shutil.rmtree(self._template, ignore_errors=True)
        env = dict(os.environ)
        env.update(BASE_ENV)
        env.update({"WINEPREFIX": str(self._template), "LANG": "en_US.UTF-8", "LC_ALL": "en_US.UTF-8"})
        env.pop("DISPLAY", None)
        run_limited(["wineboot", "-i"], env, 180)
        run_limited(["wineserver", "-w"], env, 120)
        marker.write_text("ok\n")
        return self._template

    def prefix(self, name, locale="en_US.UTF-8", version=None, display=None):
        template = self.template()
        path = Path(tempfile.mkdtemp(prefix=f"{name}-", dir=self.work_dir))
        shutil.rmtree(path)
        subprocess.run(["cp", "-a", str(template), str(path)], check=True)
        prefix = Prefix(self, path, locale, display)
        if version:
            prefix.set_version(version)
        return prefix

    def discard(self, prefix):
        prefix.shutdown()
        shutil.rmtree(prefix.path, ignore_errors=True)

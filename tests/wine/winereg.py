"""Reads the registry files of a Wine prefix (user.reg, system.reg) after its wineserver has
saved them, and writes the wanted keys as version-5 .reg text.

Reading the files instead of running reg.exe matters here: every process that loads user32,
reg.exe included, resets the first preload value to the locale's default layout, so an
export through reg.exe would hide what the program wrote there."""
import re

ROOTS = {"user.reg": "HKEY_CURRENT_USER", "system.reg": "HKEY_LOCAL_MACHINE"}
SIMPLE_ESCAPES = {"\\": "\\", '"': '"', "n": "\n", "r": "\r", "t": "\t", "a": "\a", "b": "\b",
                  "f": "\f", "v": "\v", "e": "\x1b", "0": "\0"}


def unescape(text):
    """Wine's escapes: backslash sequences, \\xNNNN for UTF-16 code units."""
    units = []
    i = 0
    while i < len(text):
        c = text[i]
        if c != "\\" or i + 1 >= len(text):
            units.extend(c.encode("utf-16-le"))
            i += 1
            continue
        n = text[i + 1]
        if n == "x":
            m = re.match(r"[0-9a-fA-F]{1,4}", text[i + 2:])
            value = int(m.group(0), 16) if m else 0
            units.extend(value.to_bytes(2, "little"))
            i += 2 + (len(m.group(0)) if m else 0)
        else:
            units.extend(SIMPLE_ESCAPES.get(n, n).encode("utf-16-le"))
            i += 2
    return bytes(units).decode("utf-16-le", errors="replace")


def quoted(text, start):
    """The quoted text starting at text[start] == '"'; returns (raw inner text, end index)."""
    i = start + 1
    while i < len(text):
        if text[i] == "\\":
            i += 2
            continue
        if text[i] == '"':
            return text[start + 1:i], i + 1
        i += 1
    raise ValueError("unterminated string")


def reg_escape(text):
    return text.replace("\\", "\\\\").replace('"', '\\"')


def hex_bytes(data):
    return ",".join(f"{b:02x}" for b in data)


def read_keys(prefix_path, wanted):
    """Version-5 .reg text (as a str) with every key under the wanted roots, e.g.
    'HKEY_CURRENT_USER\\Keyboard Layout'. Keys are compared without regard to case."""
    wanted_lower = [w.lower() for w in wanted]
    out = ["Windows Registry Editor Version 5.00", ""]
    for filename, root in ROOTS.items():
        lines = (prefix_path / filename).read_text(encoding="ascii", errors="replace").split("\n")
        # Join continuation lines of hex data.
        joined = []
        for line in lines:
            if joined and joined[-1].endswith("\\") and not joined[-1].startswith("["):
                joined[-1] = joined[-1][:-1] + line.strip()
            else:
                joined.append(line)
        keep = False
        for line in joined:
            if line.startswith("["):
                name, _ = quoted('"' + line[1:line.rindex("]")] + '"', 0)
                full = root + "\\" + unescape(name)
                keep = any(full.lower() == w or full.lower().startswith(w + "\\") for w in wanted_lower)
                if keep:
                    out.append("")
                    out.append(f"[{full}]")
                continue
            if not keep or not line or line.startswith("#") or line.startswith(";"):
                continue
            if line.startswith("@="):
                name_part, rest = "@", line[2:]
            elif line.startswith('"'):
                raw, end = quoted(line, 0)
                name_part = '"' + reg_escape(unescape(raw)) + '"'
                rest = line[end + 1:]
            else:
                continue
            if rest.startswith('"'):
                raw, _ = quoted(rest, 0)
                value = '"' + reg_escape(unescape(raw)) + '"'
            elif rest.startswith("str("):
                kind = rest[4:rest.index(")")]
                raw, _ = quoted(rest, rest.index(":") + 1)
                data = (unescape(raw) + "\0").encode("utf-16-le")
                value = f"hex({kind}):" + hex_bytes(data)
            else:
                value = rest  # dword:, hex:, hex(N): stay as they are
            out.append(f"{name_part}={value}")
    return "\r\n".join(out) + "\r\n"

"""Registry files in the format of `reg export`, and the normal form the scenarios compare.

A .reg file is read into keys and typed values (bytes as Windows stores them), so that a file
written by Wine's regedit and one written by the stand-in layer compare equal whenever the
registry they describe is the same, whatever their encoding, line breaks or value order.
"""

SVDEN_KEY = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SVDEn"

REG_SZ = 1
REG_EXPAND_SZ = 2
REG_DWORD = 4
REG_MULTI_SZ = 7


class RegFileError(Exception):
    pass


def fold(text):
    """ASCII-only upper-casing, the way the registry matches names."""
    return "".join(chr(ord(c) - 32) if "a" <= c <= "z" else c for c in text)


def decode_reg_bytes(data):
    if data.startswith(b"\xff\xfe"):
        return data[2:].decode("utf-16-le")
    if data.startswith(b"\xef\xbb\xbf"):
        return data[3:].decode("utf-8")
    return data.decode("utf-8")


def seed_bytes(text):
    """The UTF-16LE form with byte-order mark and CR LF that Wine's regedit imports faithfully."""
    lines = text.replace("\r\n", "\n").split("\n")
    return b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le")


class Registry:
    """Keys by folded path; each key keeps its spelling and its values by folded name."""

    def __init__(self):
        self.keys = {}  # folded path -> (path, {folded name: (name, type, bytes)})

    def key(self, path):
        entry = self.keys.get(fold(path))
        if entry is None:
            entry = (path, {})
            self.keys[fold(path)] = entry
        return entry[1]

    def delete_key(self, path):
        folded = fold(path)
        for candidate in list(self.keys):
            if candidate == folded or candidate.startswith(folded + "\\"):
                del self.keys[candidate]


def _parse_quoted(text, start, where):
    """The text of a quoted string beginning at text[start] == '"', and the index after it."""
    out = []
    i = start + 1
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            nxt = text[i + 1]
            if nxt in "\\\"":
                out.append(nxt)
            elif nxt == "n":
                out.append("\n")
            elif nxt == "r":
                out.append("\r")
            elif nxt == "0":
                out.append("\0")
            else:
                out.append(c + nxt)
            i += 2
            continue
        if c == '"':
            return "".join(out), i + 1
        out.append(c)
        i += 1
    raise RegFileError(f"{where}: unterminated string")


def _parse_hex_bytes(text, where):
    text = text.strip()
    if not text:
        return b""
    try:
        return bytes(int(part.strip(), 16) for part in text.split(","))
    except ValueError:
        raise RegFileError(f"{where}: bad hex data") from None


def _parse_data(data, where):
    """(type, bytes) of the text after '=', or None for a value deletion ('-')."""
    if data == "-":
        return None
    if data.startswith('"'):
        text, end = _parse_quoted(data, 0, where)
        if data[end:].strip():
            raise RegFileError(f"{where}: text after the string")
        return REG_SZ, (text + "\0").encode("utf-16-le", "surrogatepass")
    lowered = data.lower()
    if lowered.startswith("dword:"):
        try:
            number = int(data[6:].strip(), 16)
        except ValueError:
            raise RegFileError(f"{where}: bad dword") from None
        return REG_DWORD, number.to_bytes(4, "little")
    if lowered.startswith("hex:"):
        return 3, _parse_hex_bytes(data[4:], where)
    if lowered.startswith("hex("):
        close = data.find("):")
        if close < 0:
            raise RegFileError(f"{where}: bad hex type")
        try:
            value_type = int(data[4:close], 16)
        except ValueError:
            raise RegFileError(f"{where}: bad hex type") from None
        return value_type, _parse_hex_bytes(data[close + 2:], where)
    raise RegFileError(f"{where}: unknown value data {data[:20]!r}")


def parse_reg_text(text, name="registry file"):
    registry = Registry()
    raw_lines = text.replace("\r\n", "\n").replace("\r", "\n").split("\n")
    lines = []
    i = 0
    while i < len(raw_lines):
        line = raw_lines[i].strip()
        number = i + 1
        i += 1
        # Hex data continues on the next line after a trailing backslash.
        if "=hex" in line.lower() or line.lower().startswith("@=hex"):
            while line.endswith("\\") and i < len(raw_lines):
                line = line[:-1] + raw_lines[i].strip()
                i += 1
        lines.append((number, line))

    header_seen = False
    current = None
    for number, line in lines:
        where = f"{name} line {number}"
        if not line or line.startswith(";"):
            continue
        if not header_seen:
            if line not in ("Windows Registry Editor Version 5.00", "REGEDIT4"):
                raise RegFileError(f"{where}: missing the header line")
            header_seen = True
            continue
        if line.startswith("["):
            if not line.endswith("]"):
                raise RegFileError(f"{where}: bad key line")
            path = line[1:-1]
            if path.startswith("-"):
                registry.delete_key(path[1:])
                current = None
            else:
                current = registry.key(path)
            continue
        if current is None:
            raise RegFileError(f"{where}: value outside a key")
        if line.startswith("@="):
            value_name, rest = "", line[2:]
        elif line.startswith('"'):
            value_name, end = _parse_quoted(line, 0, where)
            if not line[end:].startswith("="):
                raise RegFileError(f"{where}: missing '=' after the value name")
            rest = line[end + 1:]
        else:
            raise RegFileError(f"{where}: cannot read {line[:30]!r}")
        parsed = _parse_data(rest.strip(), where)
        if parsed is None:
            current.pop(fold(value_name), None)
        else:
            current[fold(value_name)] = (value_name, parsed[0], parsed[1])
    if not header_seen and any(line for _, line in lines):
        raise RegFileError(f"{name}: missing the header line")
    return registry


def parse_reg_file(path):
    with open(path, "rb") as f:
        data = f.read()
    try:
        text = decode_reg_bytes(data)
    except UnicodeDecodeError as error:
        raise RegFileError(f"{path}: not UTF-8 or UTF-16 text ({error})") from None
    return parse_reg_text(text, str(path))


def _escape(text):
    out = []
    for c in text:
        if c == "\\":
            out.append("\\\\")
        elif c == '"':
            out.append('\\"')
        elif c == "\n":
            out.append("\\n")
        elif c == "\r":
            out.append("\\r")
        elif c == "\t":
            out.append("\\t")
        elif ord(c) < 0x20 or ord(c) == 0x7F:
            out.append(f"\\x{ord(c):02x}")
        else:
            out.append(c)
    return "".join(out)


def _utf16_text(data):
    if len(data) % 2:
        return None
    try:
        return data.decode("utf-16-le")
    except UnicodeDecodeError:
        return None


def format_data(value_type, data):
    if value_type in (REG_SZ, REG_EXPAND_SZ):
        text = _utf16_text(data)
        if text is not None and text.endswith("\0") and "\0" not in text[:-1]:
            kind = "sz" if value_type == REG_SZ else "expand_sz"
            return f'{kind}:"{_escape(text[:-1])}"'
    elif value_type == REG_MULTI_SZ:
        text = _utf16_text(data)
        if text is not None and text.endswith("\0\0") and len(text) > 2:
            items = text[:-2].split("\0")
            if all(items):
                return "multi_sz:" + ",".join(f'"{_escape(item)}"' for item in items)
    elif value_type == REG_DWORD and len(data) == 4:
        return f"dword:{int.from_bytes(data, 'little'):08x}"
    return f"hex({value_type:x}):" + ",".join(f"{b:02x}" for b in data)


def normal_form(registry, root=SVDEN_KEY):
    """The keys at and below root, their ancestors up to root included, and their values, as
    lines: [SVDEn\\...] then "Name"=type:data, keys and values sorted ignoring case."""
    prefix = fold(root)
    root_name = root.rsplit("\\", 1)[-1]
    keys = {}  # tuple of folded components -> spelled components
    values = {}
    for folded, (path, key_values) in registry.keys.items():
        if folded != prefix and not folded.startswith(prefix + "\\"):
            continue
        below = path[len(root):].strip("\\")
        parts = [path[len(root) - len(root_name):len(root)]] + (below.split("\\") if below else [])
        for depth in range(1, len(parts) + 1):
            keys.setdefault(tuple(fold(p) for p in parts[:depth]), parts[:depth])
        values.setdefault(tuple(fold(p) for p in parts), {}).update(key_values)
    lines = []
    for folded_parts in sorted(keys):
        lines.append("[" + "\\".join(keys[folded_parts]) + "]")
        key_values = values.get(folded_parts, {})
        for folded_name in sorted(key_values):
            name, value_type, data = key_values[folded_name]
            shown = "@" if name == "" else f'"{_escape(name)}"'
            lines.append(f"{shown}={format_data(value_type, data)}")
    return lines

#!/usr/bin/env python3
"""Writes the scenario folders tests/e2e/scenarios/bad_*: inputs that a factory produces by
mistake (files in UTF-16, binary garbage, lines of a megabyte, sections named twice, a 50 MB
answer file, a broken registry file, paths naming the wrong kind of entry, read-only files).

    make_bad_input_scenarios.py                   (re)writes every bad_* folder
    make_bad_input_scenarios.py --generate NAME FOLDER
                                                  writes the big inputs of scenario NAME below
                                                  FOLDER (drive C:); what each scenario's
                                                  generate.py runs

Inputs above a few kilobytes are never written into the folders: their generate.py makes them
at run time, and expected/sha256 holds the hash of what the run must leave, computed here from
the same functions. Every expectation is written out from the inputs below, so that a changed
input changes its expectation with it.
"""

import functools
import hashlib
import os
import random
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(os.path.dirname(HERE), "scenarios")
sys.path.insert(0, os.path.dirname(HERE))

import registry_file  # noqa: E402

SV = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\SVDEn"
MEGABYTE = 1 << 20

# ---------------------------------------------------------------------------------------------
# Slots, layouts and their dump

KINDS = (("WideTile", "WideTiles", 6, "AppId"), ("SquareTile", "SquareTiles", 12, "AppId"),
         ("SquareOrDesktopTile", "SquareTiles", 12, "AppIdOrPath"))
SLOTS = [(kind, n) for kind, _, count, _ in KINDS for n in range(1, count + 1)]


def dump(layout):
    """The 30 dump lines of a layout given as {(kind, n): text}."""
    return ["%s%d = %s" % (kind, n, layout.get((kind, n), "")) for kind, n in SLOTS]


def reg(values):
    """A .reg text with the 30 slot keys and the given values {(kind, n): text}."""
    out = ["Windows Registry Editor Version 5.00", ""]
    for kind, parent, count, name in KINDS:
        for n in range(1, count + 1):
            out.append("[%s\\%s\\%s%d]" % (SV, parent, kind, n))
            value = values.get((kind, n))
            if value is not None:
                out.append('"%s"="%s"' % (name, value.replace("\\", "\\\\").replace('"', '\\"')))
            out.append("")
    return "\n".join(out) + "\n"


def registry_txt(values):
    """The runner's normal form of the registry that reg(values) describes."""
    lines = registry_file.normal_form(registry_file.parse_reg_text(reg(values)))
    return "\n".join(lines) + "\n"


REGISTRY_VALUES = {("WideTile", 1): "Registry.WideOne_2!App",
                   ("SquareTile", 1): "Registry.SquareOne_2!App",
                   ("SquareTile", 2): "Registry.SquareTwo_2!App",
                   ("SquareOrDesktopTile", 1): r"C:\Users\Public\Desktop\Notes.lnk"}

# ---------------------------------------------------------------------------------------------
# Answer files

SHELL = ('        <component name="Microsoft-Windows-Shell-Setup" processorArchitecture="amd64" '
         'publicKeyToken="31bf3856ad364e35" language="neutral" versionScope="nonSxS" '
         'xmlns:wcm="http://schemas.microsoft.com/WMIConfig/2002/State" '
         'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">')


def answer_lines(section_lines, specialize_lines=()):
    """The lines of an answer file; section_lines go first into the oobeSystem Shell-Setup
    component, specialize_lines into the specialize pass."""
    return (['<?xml version="1.0" encoding="utf-8"?>',
             '<unattend xmlns="urn:schemas-microsoft-com:unattend">',
             '    <settings pass="specialize">', SHELL,
             '            <ComputerName>*</ComputerName>'] + list(specialize_lines) +
            ['        </component>', '    </settings>',
             '    <settings pass="oobeSystem">', SHELL] + list(section_lines) +
            ['            <OOBE>', '                <HideEULAPage>true</HideEULAPage>',
             '            </OOBE>', '        </component>', '    </settings>', '</unattend>'])


def crlf_text(lines):
    return "".join(line + "\r\n" for line in lines)


def old_section(layout):
    """A StartTiles section as a factory tool writes it, for a layout {(kind, n): text}."""
    return (["\t\t\t<StartTiles>"] + layout_block(layout, 0) + ["\t\t\t</StartTiles>"])


def layout_block(layout, d):
    tabs = lambda n: "\t" * (n + d)  # noqa: E731
    lines = [tabs(4) + "<WideTiles>"]
    for kind, n in SLOTS:
        if kind == "SquareTile" and n == 1:
            lines += [tabs(4) + "</WideTiles>", tabs(4) + "<SquareTiles>"]
        text = layout.get((kind, n))
        if text:
            value = "AppIdOrPath" if kind == "SquareOrDesktopTile" else "AppId"
            escaped = text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
            lines += [tabs(5) + "<%s%d>" % (kind, n),
                      tabs(6) + "<%s>%s</%s>" % (value, escaped, value),
                      tabs(5) + "</%s%d>" % (kind, n)]
    return lines + [tabs(4) + "</SquareTiles>"]


def new_section(base, overrides=()):
    """The section the writer inserts: base layout, then one override per (order, region,
    layout)."""
    lines = ["\t\t\t<StartTiles>"] + layout_block(base, 0)
    if overrides:
        lines.append("\t\t\t\t<RegionalOverrides>")
        for order, region, layout in overrides:
            lines += ["\t" * 5 + "<RegionalOverride>", "\t" * 6 + "<Order>%02d</Order>" % order,
                      "\t" * 6 + "<Regions>", "\t" * 7 + "<Region>", "\t" * 8 + "<Key>1</Key>",
                      "\t" * 8 + "<CountryOrRegionID>%s</CountryOrRegionID>" % region,
                      "\t" * 7 + "</Region>", "\t" * 6 + "</Regions>"]
            lines += layout_block(layout, 2) + ["\t" * 5 + "</RegionalOverride>"]
        lines.append("\t\t\t\t</RegionalOverrides>")
    return lines + ["\t\t\t</StartTiles>"]


def without_section(lines):
    """The reader's copy: every line from the one holding <StartTiles> through the one holding
    </StartTiles> is dropped."""
    kept, outside = [], True
    for line in lines:
        if "<StartTiles>" in line:
            outside = False
        if "</StartTiles>" in line:
            outside = True
        elif outside:
            kept.append(line)
    return kept


def with_section(lines, section):
    """The writer's copy: the section after the first oobeSystem Shell-Setup component line."""
    out, pass_seen = [], False
    for line in lines:
        out.append(line)
        pass_seen = pass_seen or 'settings pass="oobeSystem"' in line
        if pass_seen and 'component name="Microsoft-Windows-Shell-Setup"' in line:
            out += section
            pass_seen = False
    return out


def rewritten(lines, section):
    """The answer file and its backup after a successful default-mode run, as bytes, for an
    answer file made of lines (each ended by CR LF). Each of the two passes reads the empty
    remainder after the last line break as one more line, so each adds an empty line."""
    staged = without_section(lines) + [""]
    final = with_section(staged, section) + [""]
    bom = b"\xef\xbb\xbf"
    return bom + crlf_text(final).encode("utf-8"), bom + crlf_text(staged).encode("utf-8")


# ---------------------------------------------------------------------------------------------
# Configuration files and logs

DEFAULT_CONFIG = "[Path]\r\nLogPath=C:\\Logs\r\nTilesDataPath=C:\\Tools\\Tiles\r\n"


def utf16(text, bom=True):
    return (b"\xff\xfe" if bom else b"") + text.encode("utf-16-le")


def garbage(size, seed):
    """Binary garbage that does not begin with a byte-order mark and holds no bracket, so that
    no line of it can name a section."""
    rng = random.Random(seed)
    data = bytearray(rng.randrange(256) for _ in range(size))
    for i, b in enumerate(data):
        if b in b"[]":
            data[i] = 0x00
    data[0:2] = b"\x00\x9d"
    return bytes(data)


def hdiwrite_log(layout, written=True):
    heading = "====== Dump Start Tiles Map ======" if written else \
        "====== Dump Start Tiles Map (WriteReturn FALSE) ======"
    return ["Program Start...", "", heading] + dump(layout) + ["", "Program end."]


def tile_lines(name, type_, app, size="", square=False, regions="<All Region>", score=0):
    return ["Found ini: C:\\Tools\\Tiles\\" + name, "  --- Type = " + type_,
            "  --- AppIdOrPath = " + app, "  --- DefaultSize = " + size,
            "  --- OnlySupportSquare = " + ("True" if square else "False"),
            "  --- SupportRegion = " + regions, "  --- SortScore = %d" % score]


SUCCEEDED = ("Backup unattend succeeded.", "Update unattend succeeded.")


def default_log(merged, catalogue, end=SUCCEEDED):
    return (["Program Start...", "Backup unattend succeeded.", "Open unattend succeeded!.", "",
             "====== Dump Start Tiles list before over-write ======"] + dump(merged) +
            ["", "====== Collect Add-on Tiles Info ======"] + list(catalogue) + list(end))


READ_ONLY_REFUSED = "Replacing the answer file failed (access denied); the answer file is left " \
                    "unchanged."
NOT_UTF8 = "The answer file is not UTF-8 text; it is left unchanged."
NO_PLACE = "The answer file has no oobeSystem Microsoft-Windows-Shell-Setup component to hold " \
           "the Start layout; it is left unchanged."
LEFTOVERS = "Tools/unattend.temp.xml\nTools/unattend.staged.xml\n"

# ---------------------------------------------------------------------------------------------
# Writing a scenario folder


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(path, "wb") as f:
        f.write(data)


def lf_text(lines):
    return "".join(line + "\n" for line in lines)


GENERATE_PY = '''#!/usr/bin/env python3
"""Makes the big inputs of this scenario at run time, below the folder given as argument
(drive C:), so that they are never kept in the repository. The runner runs it before the
program; tests/e2e/tools/make_bad_input_scenarios.py holds what it writes."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import make_bad_input_scenarios  # noqa: E402

make_bad_input_scenarios.generate("%s", sys.argv[1])
'''


def scenario(name, about, image=None, registry=REGISTRY_VALUES, args="", exit_code=0, log=None,
             log_path=None, registry_after=None, files=None, absent="", unchanged=(),
             readonly=(), builds=None, generated=False, sha256=None, registry_unchanged=False):
    """Writes one scenario folder. image and files: {path below C:: bytes or text};
    registry: slot values for registry.reg, or the bytes of a registry.reg as it stands."""
    base = os.path.join(ROOT, name)
    shutil.rmtree(base, ignore_errors=True)
    write(os.path.join(base, "about.txt"), about.strip() + "\n")
    for path, data in (image or {}).items():
        write(os.path.join(base, "image", *path.split("/")), data)
    if isinstance(registry, bytes):
        write(os.path.join(base, "registry.reg"), registry)
    elif registry is not None:
        write(os.path.join(base, "registry.reg"), reg(registry).replace("\n", "\r\n"))
    if args:
        write(os.path.join(base, "args"), args + "\n")
    if builds:
        write(os.path.join(base, "builds"), builds + "\n")
    if readonly:
        write(os.path.join(base, "readonly"), lf_text(readonly))
    if generated:
        write(os.path.join(base, "generate.py"), GENERATE_PY % name)
    expected = os.path.join(base, "expected")
    write(os.path.join(expected, "exit_code"), "%d\n" % exit_code)
    if log is not None:
        write(os.path.join(expected, "log.txt"), lf_text("[TIME]\t" + line for line in log))
    if log_path:
        write(os.path.join(expected, "log_path"), log_path + "\n")
    if registry_after is not None:
        write(os.path.join(expected, "registry.txt"), registry_txt(registry_after))
    for path, data in (files or {}).items():
        write(os.path.join(expected, "files", *path.split("/")), data)
    if absent:
        write(os.path.join(expected, "absent"), absent)
    if unchanged:
        write(os.path.join(expected, "unchanged"), lf_text(unchanged))
    if sha256:
        write(os.path.join(expected, "sha256"),
              lf_text("%s  %s" % (hashlib.sha256(data).hexdigest(), path)
                      for path, data in sha256.items()))
    if registry_unchanged:
        write(os.path.join(expected, "registry_unchanged"), "")


# ---------------------------------------------------------------------------------------------
# Configuration files, read in the HDIWRITE mode (the one that shows what was read)

HDI_DEFAULT = {("WideTile", 1): "Microsoft.BingNews_8wekyb3d8bbwe!AppexNews",
               ("SquareTile", 3): "Microsoft.WindowsStore_8wekyb3d8bbwe!App",
               ("SquareOrDesktopTile", 2): "C:\\Users\\Public\\Desktop\\Caf\u00e9 Men\u00fc.lnk"}
HDI_CONFIG = ("; saved by the image tool as Unicode\r\n[Path]\r\nLogPath=C:\\Logs\r\n\r\n"
              "[Default]\r\nWideTile1=Microsoft.BingNews_8wekyb3d8bbwe!AppexNews\r\n"
              "SquareTile3=Microsoft.WindowsStore_8wekyb3d8bbwe!App\r\n"
              "SquareOrDesktopTile2=C:\\Users\\Public\\Desktop\\Caf\u00e9 Men\u00fc.lnk\r\n")

# The big inputs are made only when asked for, so that a generate.py stays quick.
@functools.lru_cache(maxsize=None)
def long_value():
    return "Contoso.Long_" + "".join("%07d," % i for i in range(MEGABYTE // 8))


def megabyte_config():
    note = "History=" + "written by hand, " * (MEGABYTE // 17)
    return ("[Notes]\r\n" + note + "\r\n[Path]\r\nLogPath=C:\\Logs\r\n[Default]\r\n"
            "WideTile1=" + long_value() + "\r\nWideTile2=Microsoft.BingNews_8wekyb3d8bbwe!"
            "AppexNews\r\nSquareTile1=" + long_value() + "\r\n")


def config_scenarios():
    scenario("bad_config_utf16_bom", """
Tilewright.ini saved as UTF-16LE with a byte-order mark, with text beyond ASCII: read as UTF-16
by both builds, so HDIWRITE writes its Default values.
""", image={"Tools/Tilewright.ini": utf16(HDI_CONFIG)}, args="HDIWRITE",
             log=hdiwrite_log(HDI_DEFAULT), registry_after=HDI_DEFAULT,
             unchanged=["Tools/Tilewright.ini"], absent="Tools/Tilewright.log\n")

    scenario("bad_config_utf16be", """
Tilewright.ini saved as UTF-16 big-endian with its byte-order mark: read as UTF-16 by both
builds, so HDIWRITE writes its Default values.
""", image={"Tools/Tilewright.ini": b"\xfe\xff" + HDI_CONFIG.encode("utf-16-be")},
             args="HDIWRITE", log=hdiwrite_log(HDI_DEFAULT), registry_after=HDI_DEFAULT,
             unchanged=["Tools/Tilewright.ini"], absent="Tools/Tilewright.log\n")

    scenario("bad_config_utf16_nobom", """
Tilewright.ini saved as UTF-16LE without a byte-order mark: both builds read it as 8-bit text,
in which every character is followed by a zero, so no section name matches. [Path] reads empty:
the log goes to the program's folder; [Default] reads empty: HDIWRITE deletes every slot value
and dumps 30 empty slots.
""", image={"Tools/Tilewright.ini": utf16(HDI_CONFIG, bom=False)}, args="HDIWRITE",
             log=hdiwrite_log({}), log_path="C:\\Tools\\Tilewright.log", registry_after={},
             unchanged=["Tools/Tilewright.ini"], absent="Logs\n")

    garbage_config = (garbage(4096, 1) + b"\r\n[Path]\r\nLogPath=C:\\Logs\r\n" +
                      garbage(2048, 2) + b"\r\n[Default]\r\n"
                      b"WideTile1=Microsoft.BingNews_8wekyb3d8bbwe!AppexNews\r\n"
                      b"SquareTile3=Microsoft.WindowsStore_8wekyb3d8bbwe!App\r\n")
    ascii_default = {k: v for k, v in HDI_DEFAULT.items() if v.isascii()}
    scenario("bad_config_garbage", """
Tilewright.ini holding 4 KB of binary garbage (zero bytes, bytes that are not UTF-8, stray line
breaks and equals signs) before a valid [Path] section, and 2 KB more before [Default]: the
garbage is skipped, the sections after it read.
""", image={"Tools/Tilewright.ini": garbage_config}, args="HDIWRITE",
             log=hdiwrite_log(ascii_default), registry_after=ascii_default,
             unchanged=["Tools/Tilewright.ini"])

    cut = {("WideTile", 1): long_value()[:259],
           ("WideTile", 2): "Microsoft.BingNews_8wekyb3d8bbwe!AppexNews",
           ("SquareTile", 1): long_value()[:259]}
    scenario("bad_config_megabyte_line", """
Tilewright.ini with a line of a megabyte before [Path] and two values of a megabyte in [Default]
(made at run time by generate.py): the sections after the long line read, and each long value
is cut to its first 259 characters.
""", args="HDIWRITE", log=hdiwrite_log(cut), registry_after=cut, generated=True,
             sha256={"Tools/Tilewright.ini": megabyte_config().encode("utf-8")})

    twice = ("[Path]\r\nLogPath=C:\\Logs\r\n\r\n[Default]\r\nWideTile1=First.WideOne_1!App\r\n"
             "SquareTile1=First.SquareOne_1!App\r\nSquareTile1=Repeated.SquareOne_1!App\r\n\r\n"
             "[Path]\r\nLogPath=C:\\Elsewhere\r\n\r\n"
             "[default]\r\nWideTile1=Second.WideOne_2!App\r\n"
             "WideTile2=Second.WideTwo_2!App\r\n")
    first = {("WideTile", 1): "First.WideOne_1!App", ("SquareTile", 1): "First.SquareOne_1!App"}
    scenario("bad_config_section_twice", """
Tilewright.ini naming [Path] and [Default] twice (the second time in other letter case) and a
key twice within a section: the first section and the first key win, on both builds; a key that
only the second section holds is not read.
""", image={"Tools/Tilewright.ini": twice}, args="HDIWRITE", log=hdiwrite_log(first),
             registry_after=first, absent="Elsewhere\n")


# ---------------------------------------------------------------------------------------------
# Description files of add-on tiles, read in the default mode

BASE_ANSWER = answer_lines([])
MERGED = REGISTRY_VALUES  # the answer file holds no section: the registry layout is the merged one


def answer_image(extra):
    image = {"Tools/Tilewright.ini": DEFAULT_CONFIG,
             "Windows/Panther/unattend.xml": crlf_text(BASE_ANSWER)}
    image.update(extra)
    return image


def answer_files(section):
    final, backup = rewritten(BASE_ANSWER, section)
    return {"Windows/Panther/unattend.xml": final, "Windows/Panther/unattend.save.xml": backup}


def with_slots(layout, **changes):
    out = dict(layout)
    for key, text in changes.items():
        kind = key.rstrip("0123456789")
        out[(kind, int(key[len(kind):]))] = text
    return out


def tile_scenario(name, about, tiles, catalogue, base, overrides=(), extra_image=None,
                  generated=False, sha256=None):
    image = {"Tools/Tiles/" + n: data for n, data in tiles.items()}
    image.update(extra_image or {})
    files = answer_files(new_section(base, overrides))
    scenario(name, about, image=answer_image(image), log=default_log(MERGED, catalogue),
             registry_after={}, files=files if not generated else None,
             sha256=dict(files, **(sha256 or {})) if generated else None, absent=LEFTOVERS,
             unchanged=["Tools/Tiles/" + n for n in tiles], generated=generated)


CAFE = "C:\\Users\\Public\\Desktop\\Caf\u00e9 Men\u00fc.lnk"
CAFE_TILE = "[TileInfo]\r\nType=Desktop\r\nAppIdOrPath=" + CAFE + "\r\nSortScore=4\r\n"
WIDE_TILE = ("[TileInfo]\r\nType=Modern\r\nAppIdOrPath=Contoso.Weather_7!App\r\n"
             "DefaultSize=Wide\r\nSortScore=6\r\n")


def long_tile():
    return ("; " + "exported from the catalogue database " * (MEGABYTE // 37) + "\r\n"
            "[TileInfo]\r\nType=Modern\r\nAppIdOrPath=" + long_value() + "\r\n"
            "DefaultSize=Wide\r\nSortScore=3\r\n")


def tile_scenarios():
    # The desktop tile takes the first free square-or-desktop slot and, scoring 4, is sorted
    # ahead of Notes.lnk (score 0).
    cafe_layout = with_slots(MERGED, SquareOrDesktopTile1=CAFE,
                             SquareOrDesktopTile2=REGISTRY_VALUES[("SquareOrDesktopTile", 1)])
    tile_scenario("bad_tile_utf16_bom", """
A description file saved as UTF-16LE with a byte-order mark, with a path beyond ASCII: read as
UTF-16 by both builds; the tile is placed.
""", {"01-cafe.ini": utf16(CAFE_TILE)},
                  tile_lines("01-cafe.ini", "Desktop", CAFE, square=True, score=4), cafe_layout)

    tile_scenario("bad_tile_utf16_nobom", """
A description file saved as UTF-16LE without a byte-order mark: unreadable to both builds (no
section name matches), so its Type reads empty and the file is skipped after its "Found ini"
line; the next file is read as usual.
""", {"01-cafe.ini": utf16(CAFE_TILE, bom=False), "02-weather.ini": WIDE_TILE},
                  ["Found ini: C:\\Tools\\Tiles\\01-cafe.ini"] +
                  tile_lines("02-weather.ini", "Modern", "Contoso.Weather_7!App", "Wide", score=6),
                  with_slots(MERGED, WideTile1="Contoso.Weather_7!App",
                             WideTile2=REGISTRY_VALUES[("WideTile", 1)]))

    tile_scenario("bad_tile_garbage", """
Two description files of binary garbage: the first holds nothing else and is skipped after its
"Found ini" line; the second holds a valid [TileInfo] section after the garbage, which is read.
""", {"01-garbage.ini": garbage(3000, 3),
      "02-weather.ini": garbage(3000, 4) + b"\r\n" + WIDE_TILE.encode("ascii")},
                  ["Found ini: C:\\Tools\\Tiles\\01-garbage.ini"] +
                  tile_lines("02-weather.ini", "Modern", "Contoso.Weather_7!App", "Wide", score=6),
                  with_slots(MERGED, WideTile1="Contoso.Weather_7!App",
                             WideTile2=REGISTRY_VALUES[("WideTile", 1)]))

    twice = ("[TileInfo]\r\nType=Modern\r\nAppIdOrPath=Contoso.Twice_1!App\r\nDefaultSize=Wide\r\n"
             "Type=Desktop\r\n\r\n[SupportRegion]\r\nRegion1=US\r\n\r\n"
             "[TileInfo]\r\nType=Desktop\r\nAppIdOrPath=C:\\Other.lnk\r\nSortScore=9\r\n"
             "OnlySupportSquare=True\r\n\r\n[SupportRegion]\r\nRegion1=DE\r\nRegion2=FR\r\n")
    tile_scenario("bad_tile_section_twice", """
A description file naming [TileInfo] and [SupportRegion] twice, and Type twice in the first
section: the first section and the first key win (Type Modern, region US); SortScore and
OnlySupportSquare, only in the second section, read empty. "ALL" gets no tile, US gets the tile
in the first free wide slot.
""", {"01-twice.ini": twice},
                  tile_lines("01-twice.ini", "Modern", "Contoso.Twice_1!App", "Wide",
                             regions="US  "),
                  MERGED,
                  overrides=[(1, "US", with_slots(MERGED, WideTile2="Contoso.Twice_1!App"))])

    tile_scenario("bad_tile_megabyte_line", """
A description file with a comment line of a megabyte before [TileInfo] and an AppIdOrPath of a
megabyte (made at run time by generate.py): the section is read, and the identifier is cut to its
first 259 characters. Scoring 3, the tile is sorted ahead of the registry's wide tile.
""", {}, tile_lines("01-long.ini", "Modern", long_value()[:259], "Wide", score=3),
                  with_slots(MERGED, WideTile1=long_value()[:259],
                             WideTile2=REGISTRY_VALUES[("WideTile", 1)]),
                  generated=True, sha256={"Tools/Tiles/01-long.ini": long_tile().encode("utf-8")})

    scenario("bad_tiles_path_is_file", """
TilesDataPath names a description file instead of the folder that holds it: the listing of
C:\\Tools\\Tiles\\01-weather.ini\\*.ini finds nothing, no add-on tile is read, and the run goes
on with the merged layout.
""", image=answer_image({"Tools/Tilewright.ini": DEFAULT_CONFIG.replace(
        "C:\\Tools\\Tiles", "C:\\Tools\\Tiles\\01-weather.ini"),
        "Tools/Tiles/01-weather.ini": WIDE_TILE}),
             log=default_log(MERGED, []), registry_after={},
             files=answer_files(new_section(MERGED)), absent=LEFTOVERS,
             unchanged=["Tools/Tiles/01-weather.ini"])

    tile_scenario("bad_tile_is_folder", """
A folder named like a description file (01-folder.ini, holding a file) in the tiles folder: it
is listed, logged as "Found ini" and skipped, as its Type reads empty; the folder and its file
stay; the next file is read as usual.
""", {"02-weather.ini": WIDE_TILE},
                  ["Found ini: C:\\Tools\\Tiles\\01-folder.ini"] +
                  tile_lines("02-weather.ini", "Modern", "Contoso.Weather_7!App", "Wide", score=6),
                  with_slots(MERGED, WideTile1="Contoso.Weather_7!App",
                             WideTile2=REGISTRY_VALUES[("WideTile", 1)]),
                  extra_image={"Tools/Tiles/01-folder.ini/readme.txt": "not a description\r\n"})


# ---------------------------------------------------------------------------------------------
# Answer files

ANSWER_LAYOUT = {("WideTile", 1): "Answer.WideOne_1!App",
                 ("SquareTile", 1): "Answer.SquareOne_1!App",
                 ("SquareTile", 2): "Answer.SquareTwo_1!App",
                 ("SquareOrDesktopTile", 1): "C:\\Program Files\\Tom & Jerry\\Cartoons.lnk"}
# The registry fills slots that the answer file leaves free, right after its tiles; the merged
# layout has an even count of square tiles and no gaps, so balancing moves nothing (the config
# names no BackupItem for the odd count of square-or-desktop tiles).
ANSWER_REGISTRY = {("WideTile", 2): "Registry.WideTwo_2!App",
                   ("SquareTile", 3): "Registry.SquareThree_2!App",
                   ("SquareTile", 4): "Registry.SquareFour_2!App",
                   ("SquareOrDesktopTile", 2): r"C:\Users\Public\Desktop\Notes.lnk"}
ANSWER_MERGED = {**ANSWER_LAYOUT, **ANSWER_REGISTRY}
ANSWER_CONFIG = "[Path]\r\nLogPath=C:\\Logs\r\nTilesDataPath=C:\\Tools\\Tiles\r\n"
WITH_SECTION = answer_lines(old_section(ANSWER_LAYOUT))



def huge_tile():
    return "Contoso.Huge_" + "abcdefghij" * (MEGABYTE // 10)


def megabyte_layout():
    return {**ANSWER_LAYOUT, ("WideTile", 1): huge_tile()}


def megabyte_answer():
    comment = "<!-- " + "The image was prepared on line 7. " * (MEGABYTE // 34) + "-->"
    return answer_lines(old_section(megabyte_layout()), ["            " + comment])


def big_answer():
    """About 50 MB: 640,000 comment lines in the specialize pass."""
    notes = ["            <!-- %07d: the image tool keeps a note of each step it took here -->" % i
             for i in range(640000)]
    return answer_lines(old_section(ANSWER_LAYOUT), notes)


def answer_scenario(name, about, answer, registry=ANSWER_REGISTRY, **more):
    image = {"Tools/Tilewright.ini": ANSWER_CONFIG}
    if answer is not None:
        image["Windows/Panther/unattend.xml"] = answer
    image.update(more.pop("image", {}))
    scenario(name, about, image=image, registry=registry, absent=more.pop("absent", LEFTOVERS),
             **more)


def failed_log(before, lines):
    return ["Program Start..."] + before + lines + ["Update unattend failed."]


def answer_scenarios():
    original = utf16(crlf_text(WITH_SECTION))
    answer_scenario("bad_answer_utf16", """
The answer file saved as UTF-16LE with a byte-order mark: not UTF-8 text. The first pass stops
with a clear line and leaves the answer file as it was; the run ends with exit code 1 and the
registry untouched. The backup holds the file as it was.
""", original, exit_code=1,
                    log=failed_log(["Backup unattend succeeded.", "Open unattend succeeded!."],
                                   [NOT_UTF8]),
                    registry_after=ANSWER_REGISTRY, unchanged=["Windows/Panther/unattend.xml"],
                    files={"Windows/Panther/unattend.save.xml": original})

    ansi = crlf_text(answer_lines(old_section(ANSWER_LAYOUT), [
        "            <!-- Pr\u00e9par\u00e9 pour le caf\u00e9 -->"])).encode("cp1252")
    answer_scenario("bad_answer_ansi", """
The answer file saved in the ANSI code page (Windows-1252) with accented letters in a comment
before the section: not UTF-8 text. The first pass stops with a clear line and leaves the
answer file as it was; exit code 1, the registry untouched.
""", ansi, exit_code=1,
                    log=failed_log(["Backup unattend succeeded.", "Open unattend succeeded!."],
                                   [NOT_UTF8]),
                    registry_after=ANSWER_REGISTRY, unchanged=["Windows/Panther/unattend.xml"],
                    files={"Windows/Panther/unattend.save.xml": ansi})

    nobom = crlf_text(WITH_SECTION).encode("utf-16-le")
    answer_scenario("bad_answer_utf16_nobom", """
The answer file saved as UTF-16LE without a byte-order mark, ASCII only: valid UTF-8 in which
every character is followed by a zero, so neither the section nor the oobeSystem component is
found. The writer finds no place for the layout: exit code 1, the answer file as it was, the
registry untouched.
""", nobom, exit_code=1,
                    log=["Program Start...", "Backup unattend succeeded.",
                         "Open unattend succeeded!.", "",
                         "====== Dump Start Tiles list before over-write ======"] +
                    dump(ANSWER_REGISTRY) + ["", "====== Collect Add-on Tiles Info ======",
                                             NO_PLACE, "Update unattend failed."],
                    registry_after=ANSWER_REGISTRY, unchanged=["Windows/Panther/unattend.xml"],
                    files={"Windows/Panther/unattend.save.xml": nobom})

    merged = {**ANSWER_MERGED, **megabyte_layout()}
    final, backup = rewritten(megabyte_answer(), new_section(merged))
    log = default_log(merged, [])
    log = [line[:511] for line in log]  # the dump line of the huge tile: the message buffer
    answer_scenario("bad_answer_megabyte_line", """
The answer file holds a comment line of a megabyte outside the StartTiles section, and a tile
whose value is a megabyte long inside it (made at run time by generate.py): the run succeeds,
the comment survives whole and the tile is carried whole into the new section (the answer file
and its backup are compared by their hashes); only its dump line in the log is cut, to the 511
characters of the message buffer.
""", None, log=log, registry_after={}, generated=True,
                    sha256={"Windows/Panther/unattend.xml": final,
                            "Windows/Panther/unattend.save.xml": backup})

    final, backup = rewritten(big_answer(), new_section(ANSWER_MERGED))
    answer_scenario("bad_answer_50mb", """
An answer file of 50 MB (640,000 comment lines before the oobeSystem pass, made at run time by
generate.py) with a StartTiles section: the run succeeds, every line survives, and the answer
file and its backup are what the two passes must make of it (compared by their hashes).
""", None, log=default_log(ANSWER_MERGED, []), registry_after={}, generated=True,
                    sha256={"Windows/Panther/unattend.xml": final,
                            "Windows/Panther/unattend.save.xml": backup})

    # "<StartTiles>" a second time inside the section: the line lies inside and is dropped; the
    # one closing line ends the section. Tiles before and after the second opening are read.
    section = old_section(ANSWER_LAYOUT)
    opened_twice = (section[:5] + ["\t\t\t<StartTiles>", "\t\t\t\t<WideTiles>",
                                   "\t\t\t\t\t<WideTile3>",
                                   "\t\t\t\t\t\t<AppId>Answer.WideThree_1!App</AppId>",
                                   "\t\t\t\t\t</WideTile3>"] + section[5:])
    lines = answer_lines(opened_twice)
    merged = {**ANSWER_MERGED, ("WideTile", 3): "Answer.WideThree_1!App"}
    final, backup = rewritten(lines, new_section(merged))
    answer_scenario("bad_answer_section_opened_twice", """
The StartTiles section opened twice before its one closing line: the second opening lies inside
the section and is dropped with it, the one closing line ends the section, the tiles on both
sides of the second opening are read, and every line outside the section stays.
""", crlf_text(lines), log=default_log(merged, []), registry_after={},
                    files={"Windows/Panther/unattend.xml": final,
                           "Windows/Panther/unattend.save.xml": backup})

    final, backup = rewritten(WITH_SECTION, new_section(ANSWER_MERGED))
    answer = crlf_text(WITH_SECTION)
    answer_scenario("bad_answer_readonly", """
The answer file is read-only (no write bit: the native build counts it read-only even for root,
and Wine shows it with the read-only attribute). The first pass reads it; its backup, a copy,
is read-only as well, so the second backup fails; replacing the answer file is refused with a
clear line: exit code 1, the answer file and the registry untouched.
""", answer, exit_code=1, readonly=["Windows/Panther/unattend.xml"],
                    log=default_log(ANSWER_MERGED, [],
                                    end=["Backup unattend failed.", READ_ONLY_REFUSED,
                                         "Update unattend failed."]),
                    registry_after=ANSWER_REGISTRY, unchanged=["Windows/Panther/unattend.xml"],
                    files={"Windows/Panther/unattend.save.xml": answer},
                    absent=LEFTOVERS + "Windows/Panther/.unattend.xml.tilewright-new\n")

    old_backup = "<!-- the backup of an earlier run -->\r\n"
    answer_scenario("bad_backup_readonly", """
The backup unattend.save.xml is read-only: both backups fail ("Backup unattend failed."), which
is not fatal; the run succeeds, the backup stays as it was.
""", answer, readonly=["Windows/Panther/unattend.save.xml"],
                    image={"Windows/Panther/unattend.save.xml": old_backup},
                    log=["Program Start...", "Backup unattend failed.",
                         "Open unattend succeeded!.", "",
                         "====== Dump Start Tiles list before over-write ======"] +
                    dump(ANSWER_MERGED) + ["", "====== Collect Add-on Tiles Info ======",
                                           "Backup unattend failed.", "Update unattend succeeded."],
                    registry_after={}, unchanged=["Windows/Panther/unattend.save.xml"],
                    files={"Windows/Panther/unattend.xml": final})


# ---------------------------------------------------------------------------------------------
# Registry files of the native build

NATIVE_ONLY = """
Native only: under Wine the registry is Wine's own and regedit imports the seed, so a registry
file that cannot be read exists only for the native build's stand-in registry.
"""


def registry_scenarios():
    whole = reg(REGISTRY_VALUES).replace("\n", "\r\n")
    cut = whole.index("Registry.SquareOne") + len("Registry.Squ")
    truncated = utf16(whole[:cut])
    scenario("bad_registry_truncated", """
The registry file (UTF-16LE, as reg export writes it) is cut off in the middle of a value: it
cannot be read, so every registry call fails and the file is never written. HDIWRITE logs the
failed write in its heading and dumps what it meant to write.
""" + NATIVE_ONLY, image={"Tools/Tilewright.ini": utf16(HDI_CONFIG)}, registry=truncated,
             args="HDIWRITE", log=hdiwrite_log(HDI_DEFAULT, written=False), builds="native",
             registry_unchanged=True)

    not_reg = ("Tiles for the Contoso image, version 3\r\n"
               "WideTile1 = Registry.WideOne_2!App\r\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
               "SVDEn\\WideTiles\\WideTile1]\r\n\"AppId\"=\"Registry.WideOne_2!App\"\r\n")
    final, backup = rewritten(WITH_SECTION, new_section(ANSWER_LAYOUT))
    scenario("bad_registry_not_reg", """
The registry file is a text file that is not a registry export (no header line): it cannot be
read, so the registry layout reads empty and clearing it fails silently; the default mode goes
on with the answer file's layout and succeeds, and the registry file is never written.
""" + NATIVE_ONLY, image={"Tools/Tilewright.ini": ANSWER_CONFIG,
                          "Windows/Panther/unattend.xml": crlf_text(WITH_SECTION)},
             registry=not_reg.encode("utf-8"), log=default_log(ANSWER_LAYOUT, []),
             builds="native", registry_unchanged=True, absent=LEFTOVERS,
             files={"Windows/Panther/unattend.xml": final,
                    "Windows/Panther/unattend.save.xml": backup})


# ---------------------------------------------------------------------------------------------
# Inputs made at run time

def generate(name, folder):
    big = {
        "bad_config_megabyte_line": ("Tools/Tilewright.ini", megabyte_config),
        "bad_tile_megabyte_line": ("Tools/Tiles/01-long.ini", long_tile),
        "bad_answer_megabyte_line": ("Windows/Panther/unattend.xml",
                                     lambda: crlf_text(megabyte_answer())),
        "bad_answer_50mb": ("Windows/Panther/unattend.xml", lambda: crlf_text(big_answer())),
    }
    path, make = big[name]
    write(os.path.join(folder, *path.split("/")), make())


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "--generate":
        generate(sys.argv[2], sys.argv[3])
        return
    config_scenarios()
    tile_scenarios()
    answer_scenarios()
    registry_scenarios()


if __name__ == "__main__":
    main()

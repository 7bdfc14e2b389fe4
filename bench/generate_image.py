#!/usr/bin/env python3
"""Makes a Windows image folder at factory scale for the benchmark.

    generate_image.py FOLDER [--program PATH] [--answer-lines N] [--tiles N] [--regions N]
                      [--required N] [--shortcuts N] [--registry-keys N]

FOLDER becomes drive C: of the run (TILEWRIGHT_IMAGE). It receives:

- Tools/Tilewright.ini: the Path section, a full Default layout, N required applications,
  an OnlySupportSquare list and a BackupItem;
- Tools/tilewright: a copy of --program, when given;
- Windows/Panther/unattend.xml: an answer file of exactly --answer-lines lines, most of them
  RunSynchronous commands of the specialize pass, with a StartTiles section (base layout and
  three overrides) inside the Shell-Setup component of the oobeSystem pass near its end;
- Tools/Tiles/*.ini: --tiles add-on tile description files naming --regions regions, of which
  --shortcuts are Desktop tiles with SupportMuti=TRUE and a de-DE name in MutiName, whose
  shortcut files exist under ProgramData (some named in other letter case);
- HKLM.reg (UTF-16LE, as "reg export" writes it): the 30 slot keys under SVDEn with a value in
  every slot (a full registry layout) and, with --registry-keys, a tree of that many keys under
  SVDEn (profiles of 33 keys) in which three AppIdOrPath values name each shortcut, one of them
  in other letter case, and the other values name other shortcuts.
"""

import argparse
import os
import shutil

SVDEN = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SVDEn"
SHORTCUT_FOLDER = "ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Factory"
SHELL_SETUP = ('<component name="Microsoft-Windows-Shell-Setup" processorArchitecture="amd64" '
               'publicKeyToken="31bf3856ad364e35" language="neutral" versionScope="nonSxS" '
               'xmlns:wcm="http://schemas.microsoft.com/WMIConfig/2002/State" '
               'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">')
CRLF = "\r\n"
VALUES_PER_SHORTCUT = 3  # registry values naming each shortcut, when the tree is large enough


def region_name(index):
    """Two-letter region codes AA, AB, ... (676 of them)."""
    return chr(65 + index // 26 % 26) + chr(65 + index % 26)


def store_app(index):
    return f"Factory.StoreApp{index:04d}_8wekyb3d8bbwe!App"


def required_app(index):
    return f"Microsoft.Required{index:02d}_8wekyb3d8bbwe!App"


def shortcut_path(index):
    return f"C:\\{SHORTCUT_FOLDER}\\Factory App {index:04d}.lnk"


def default_layout():
    """The 30 slots of the configuration's Default section and of the registry layout."""
    wide = [required_app(n) for n in range(1, 4)] + [store_app(9000 + n) for n in range(3)]
    square = [required_app(n) for n in range(4, 10)] + [store_app(9100 + n) for n in range(6)]
    desktop = ([f"%ALLUSERSPROFILE%\\Microsoft\\Windows\\Start Menu\\Programs\\Tool {n}.lnk"
                for n in range(1, 7)] + [store_app(9200 + n) for n in range(6)])
    return wide, square, desktop


def write_config(folder, required):
    wide, square, desktop = default_layout()
    lines = ["[Path]", "LogPath=C:\\Logs", "TilesDataPath=C:\\Tools\\Tiles", "", "[Default]"]
    lines += [f"WideTile{n}={v}" for n, v in enumerate(wide, 1)]
    lines += [f"SquareTile{n}={v}" for n, v in enumerate(square, 1)]
    lines += [f"SquareOrDesktopTile{n}={v}" for n, v in enumerate(desktop, 1)]
    lines += ["", "[Requirement]"]
    lines += [f"AppIdOrPath{n}={required_app(n)}" for n in range(1, required + 1)]
    lines += ["", "[OnlySupportSquare]"]
    lines += [f"AppIdOrPath{n}={store_app(n * 7)}" for n in range(1, 21)]
    lines += ["", "[BackupItem]",
              "AppIdOrPath=%ALLUSERSPROFILE%\\Microsoft\\Windows\\Start Menu\\Programs\\"
              "Accessories\\Calculator.lnk", ""]
    write_text(os.path.join(folder, "Tools", "Tilewright.ini"), CRLF.join(lines))


def tile_regions(index, regions):
    """Every fifth tile names no region; the others one or two of the regions."""
    if regions == 0 or index % 5 == 0:
        return []
    # The tiles that name a region take the regions in turn, so that every region is named.
    names = [region_name((index - index // 5) % regions)]
    if index % 3 == 0:
        second = region_name(index * 7 % regions)
        if second != names[0]:
            names.append(second.lower() if index % 2 else second)
    return names


def write_tiles(folder, tiles, regions, shortcuts):
    tiles_folder = os.path.join(folder, "Tools", "Tiles")
    os.makedirs(tiles_folder, exist_ok=True)
    shortcut_host = os.path.join(folder, *SHORTCUT_FOLDER.split("\\"))
    os.makedirs(shortcut_host, exist_ok=True)
    # The shortcuts are spread over the tile list.
    step = tiles / shortcuts if shortcuts else 0
    shortcut_tiles = {int(n * step) + 1: n + 1 for n in range(shortcuts)} if shortcuts else {}
    for index in range(1, tiles + 1):
        lines = ["[TileInfo]"]
        if index in shortcut_tiles:
            number = shortcut_tiles[index]
            path = shortcut_path(number)
            with open(os.path.join(shortcut_host, f"Factory App {number:04d}.lnk"), "wb") as lnk:
                lnk.write(b"L\0\0\0" + bytes(72))
            if number % 4 == 0:
                path = path.replace("ProgramData", "programdata").replace("Start Menu", "START MENU")
            lines += ["Type=Desktop", f"AppIdOrPath={path}", "DefaultSize=Square",
                      f"SortScore={index % 17 - 3}", "SupportMuti=TRUE"]
        else:
            size = "Wide" if index % 3 == 0 else "Square"
            lines += ["Type=Modern", f"AppIdOrPath={store_app(index)}", f"DefaultSize={size}",
                      f"OnlySupportSquare={'True' if index % 11 == 0 else 'False'}",
                      f"SortScore={index % 23 - 5}"]
        names = tile_regions(index, regions)
        if names:
            lines += ["", "[SupportRegion]"] + [f"Region{n}={r}" for n, r in enumerate(names, 1)]
        if index in shortcut_tiles:
            number = shortcut_tiles[index]
            lines += ["", "[MutiName]", f"de-DE=Fabrik-Anwendung {number:04d} (Übersicht)",
                      f"fr-FR=Application d'usine {number:04d}"]
        lines.append("")
        write_text(os.path.join(tiles_folder, f"tile{index:04d}.ini"), CRLF.join(lines))


def start_tiles_section():
    """An existing StartTiles section: part of the base layout and three overrides."""
    wide, square, desktop = default_layout()
    lines = ["\t\t\t<StartTiles>", "\t\t\t\t<WideTiles>"]

    def tile(tabs, name, tag, value):
        return [tabs + f"<{name}>", tabs + f"\t<{tag}>{value}</{tag}>", tabs + f"</{name}>"]

    for n, value in enumerate(wide[:4], 1):
        lines += tile("\t\t\t\t\t", f"WideTile{n}", "AppId", value)
    lines += ["\t\t\t\t</WideTiles>", "\t\t\t\t<SquareTiles>"]
    for n, value in enumerate(square[:8], 1):
        lines += tile("\t\t\t\t\t", f"SquareTile{n}", "AppId", value)
    for n, value in enumerate(desktop[:8], 1):
        lines += tile("\t\t\t\t\t", f"SquareOrDesktopTile{n}", "AppIdOrPath", value)
    lines += ["\t\t\t\t</SquareTiles>", "\t\t\t\t<RegionalOverrides>"]
    for order in range(1, 4):
        lines += ["\t\t\t\t\t<RegionalOverride>", f"\t\t\t\t\t\t<Order>{order:02d}</Order>",
                  "\t\t\t\t\t\t<Regions>", "\t\t\t\t\t\t\t<Region>", "\t\t\t\t\t\t\t\t<Key>1</Key>",
                  f"\t\t\t\t\t\t\t\t<CountryOrRegionID>{region_name(order)}</CountryOrRegionID>",
                  "\t\t\t\t\t\t\t</Region>", "\t\t\t\t\t\t</Regions>",
                  "\t\t\t\t\t\t<WideTiles>", "\t\t\t\t\t\t</WideTiles>", "\t\t\t\t\t\t<SquareTiles>"]
        lines += tile("\t\t\t\t\t\t\t", "SquareTile1", "AppId", store_app(8000 + order))
        lines += ["\t\t\t\t\t\t</SquareTiles>", "\t\t\t\t\t</RegionalOverride>"]
    lines += ["\t\t\t\t</RegionalOverrides>", "\t\t\t</StartTiles>"]
    return lines


def write_answer_file(folder, total_lines):
    head = ['<?xml version="1.0" encoding="utf-8"?>',
            '<unattend xmlns="urn:schemas-microsoft-com:unattend">',
            '\t<settings pass="specialize">',
            '\t\t<component name="Microsoft-Windows-Deployment" processorArchitecture="amd64" '
            'publicKeyToken="31bf3856ad364e35" language="neutral" versionScope="nonSxS" '
            'xmlns:wcm="http://schemas.microsoft.com/WMIConfig/2002/State">',
            '\t\t\t<RunSynchronous>']
    middle = ['\t\t\t</RunSynchronous>', '\t\t</component>', '\t</settings>',
              '\t<settings pass="oobeSystem">', '\t\t' + SHELL_SETUP]
    tail = start_tiles_section() + [
        '\t\t\t<OOBE>', '\t\t\t\t<HideEULAPage>true</HideEULAPage>',
        '\t\t\t\t<ProtectYourPC>1</ProtectYourPC>', '\t\t\t</OOBE>',
        '\t\t\t<RegisteredOrganization>Contoso &amp; Söhne GmbH</RegisteredOrganization>',
        '\t\t</component>', '\t</settings>', '</unattend>', '']
    # Every line ends with CR LF (tail ends with an empty string for the last line break).
    padding = max(0, total_lines - len(head) - len(middle) - (len(tail) - 1))
    body = []
    order = 0
    while len(body) < padding:
        order += 1
        body += ['\t\t\t\t<RunSynchronousCommand wcm:action="add">',
                 f'\t\t\t\t\t<Order>{order}</Order>',
                 f'\t\t\t\t\t<Path>cmd /c "C:\\Factory\\Steps\\step{order:05d}.cmd" /quiet '
                 f'/log:C:\\Logs\\step{order:05d}.log</Path>',
                 f'\t\t\t\t\t<Description>Werksschritt {order} – Vorbereitung</Description>',
                 '\t\t\t\t</RunSynchronousCommand>']
    body = body[:padding]
    path = os.path.join(folder, "Windows", "Panther", "unattend.xml")
    write_text(path, CRLF.join(head + body + middle + tail), bom=True)


def reg_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def registry_keys(count, shortcuts):
    """The keys below SVDEn: the 30 slot keys, then profiles of 33 keys each up to count keys.
    Yields (relative path, value name, value) with value None for a key without values."""
    wide, square, desktop = default_layout()
    made = 0

    def slots(prefix, wide_values, square_values, desktop_values):
        yield prefix + "WideTiles", None, None
        for n, value in enumerate(wide_values, 1):
            yield prefix + f"WideTiles\\WideTile{n}", "AppId", value
        yield prefix + "SquareTiles", None, None
        for n, value in enumerate(square_values, 1):
            yield prefix + f"SquareTiles\\SquareTile{n}", "AppId", value
        for n, value in enumerate(desktop_values, 1):
            yield prefix + f"SquareTiles\\SquareOrDesktopTile{n}", "AppIdOrPath", value

    for entry in slots("", wide, square, desktop):
        yield entry
        made += 1
    profile = 0
    named = 0
    while made < count:
        profile += 1
        prefix = f"Profiles\\Profile{profile:04d}\\"
        entries = [(prefix[:-1], None, None)]
        desktop_values = []
        for n in range(12):
            if shortcuts and n % 3 == 0 and named < VALUES_PER_SHORTCUT * shortcuts:
                # Each shortcut is named by three keys, one of them in other letter case.
                path = shortcut_path(named % shortcuts + 1)
                if named // shortcuts % 2 == 1:
                    path = path.lower()
                desktop_values.append(path)
                named += 1
            else:
                desktop_values.append(f"C:\\Users\\Public\\Desktop\\Other {profile}-{n}.lnk")
        entries += list(slots(prefix, [store_app(profile * 6 + n) for n in range(6)],
                              [store_app(5000 + profile * 12 + n) for n in range(12)],
                              desktop_values))
        for entry in entries:
            if made >= count:
                break
            yield entry
            made += 1


def write_registry(folder, key_count, shortcuts):
    lines = ["Windows Registry Editor Version 5.00", ""]
    parents = SVDEN.split("\\")
    for depth in range(2, len(parents) + 1):
        lines += ["[" + "\\".join(parents[:depth]) + "]", ""]
    for path, name, value in registry_keys(max(key_count, 32), shortcuts):
        lines.append(f"[{SVDEN}\\{path}]")
        if name is not None:
            lines.append(f"{reg_string(name)}={reg_string(value)}")
        lines.append("")
    lines.append("")
    data = CRLF.join(lines).encode("utf-16-le")
    with open(os.path.join(folder, "HKLM.reg"), "wb") as out:
        out.write(b"\xff\xfe" + data)


def write_text(path, text, bom=False):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write((b"\xef\xbb\xbf" if bom else b"") + text.encode("utf-8"))


def generate(folder, program=None, answer_lines=10000, tiles=500, regions=50, required=30,
             shortcuts=200, registry_keys_count=32):
    os.makedirs(os.path.join(folder, "Tools"), exist_ok=True)
    os.makedirs(os.path.join(folder, "Logs"), exist_ok=True)
    if program:
        shutil.copy2(program, os.path.join(folder, "Tools", "tilewright"))
    write_config(folder, required)
    write_tiles(folder, tiles, regions, min(shortcuts, tiles))
    write_answer_file(folder, answer_lines)
    write_registry(folder, registry_keys_count, min(shortcuts, tiles))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("--program")
    parser.add_argument("--answer-lines", type=int, default=10000)
    parser.add_argument("--tiles", type=int, default=500)
    parser.add_argument("--regions", type=int, default=50)
    parser.add_argument("--required", type=int, default=30)
    parser.add_argument("--shortcuts", type=int, default=200)
    parser.add_argument("--registry-keys", type=int, default=32,
                        help="keys below SVDEn (at least the 32 of the slot layout)")
    args = parser.parse_args()
    generate(args.folder, args.program, args.answer_lines, args.tiles, args.regions,
             args.required, args.shortcuts, args.registry_keys)


if __name__ == "__main__":
    main()

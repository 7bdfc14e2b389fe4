import os, shutil
ROOT = 'tests/e2e/scenarios'
SV = r'HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\SVDEn'

def w(path, text, bom=False, crlf=True):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if crlf:
        text = text.replace('\r\n', '\n').replace('\n', '\r\n')
    data = text.encode('utf-8')
    if bom:
        data = b'\xef\xbb\xbf' + data
    open(path, 'wb').write(data)

def reg(values):
    """values: {(kind, n): 'text'} -> .reg with the 30 slot keys"""
    out = ['Windows Registry Editor Version 5.00', '']
    for kind, parent, count, name in (('WideTile', 'WideTiles', 6, 'AppId'), ('SquareTile', 'SquareTiles', 12, 'AppId'),
                                      ('SquareOrDesktopTile', 'SquareTiles', 12, 'AppIdOrPath')):
        for n in range(1, count + 1):
            out.append('[%s\\%s\\%s%d]' % (SV, parent, kind, n))
            v = values.get((kind, n))
            if v is not None:
                out.append('"%s"="%s"' % (name, v.replace('\\', '\\\\').replace('"', '\\"')))
            out.append('')
    return '\n'.join(out) + '\n'

SHELL = '''        <component name="Microsoft-Windows-Shell-Setup" processorArchitecture="amd64" publicKeyToken="31bf3856ad364e35" language="neutral" versionScope="nonSxS" xmlns:wcm="http://schemas.microsoft.com/WMIConfig/2002/State" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">'''

def answer(section_lines, oobe=True):
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             '<unattend xmlns="urn:schemas-microsoft-com:unattend">',
             '    <settings pass="specialize">',
             SHELL,
             '            <ComputerName>*</ComputerName>',
             '        </component>',
             '    </settings>']
    if oobe:
        lines += ['    <settings pass="oobeSystem">', SHELL]
        lines += section_lines
        lines += ['            <OOBE>', '                <HideEULAPage>true</HideEULAPage>', '            </OOBE>',
                  '        </component>', '    </settings>']
    else:
        lines += ['    <settings pass="auditUser">', '        <component name="Microsoft-Windows-Deployment">']
        lines += section_lines
        lines += ['        </component>', '    </settings>']
    lines += ['</unattend>']
    return '\n'.join(lines) + '\n'

OLD_SECTION = ['\t\t\t<StartTiles>', '\t\t\t\t<WideTiles>', '\t\t\t\t\t<WideTile1>',
               '\t\t\t\t\t\t<AppId>Answer.WideOne_1!App</AppId>', '\t\t\t\t\t</WideTile1>', '\t\t\t\t</WideTiles>',
               '\t\t\t\t<SquareTiles>', '\t\t\t\t\t<SquareTile1>', '\t\t\t\t\t\t<AppId>Answer.SquareOne_1!App</AppId>',
               '\t\t\t\t\t</SquareTile1>', '\t\t\t\t\t<SquareOrDesktopTile1>',
               '\t\t\t\t\t\t<AppIdOrPath>C:\\Program Files\\Tom &amp; Jerry\\Cartoons.lnk</AppIdOrPath>',
               '\t\t\t\t\t</SquareOrDesktopTile1>', '\t\t\t\t</SquareTiles>', '\t\t\t</StartTiles>']

REGISTRY = reg({('WideTile', 1): 'Registry.WideOne_2!App', ('WideTile', 2): 'Registry.WideTwo_2!App',
                ('SquareTile', 2): 'Registry.SquareTwo_2!App', ('SquareTile', 3): 'Registry.SquareThree_2!App',
                ('SquareOrDesktopTile', 2): r'C:\Users\Public\Desktop\Notes.lnk'})

CONFIG = r'''[Path]
LogPath=C:\Logs
TilesDataPath=C:\Tools\Tiles

[Requirement]
AppIdOrPath1=Answer.SquareOne_1!App

[OnlySupportSquare]
AppIdOrPath1=Registry.SquareThree_2!App

[BackupItem]
AppIdOrPath=C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Accessories\Calculator.lnk
'''

TILES = {
    '01-photos.ini': '[TileInfo]\nType=Modern\nAppIdOrPath=Contoso.Photos_1!App\nDefaultSize=Wide\nSortScore=20\n',
    '02-support.ini': '[TileInfo]\nType=desktop\nAppIdOrPath=C:\\Users\\Public\\Desktop\\Support & Help.lnk\nOnlySupportSquare=False\nSortScore=10\n',
    '03-maps.ini': '[TileInfo]\nType=Modern\nAppIdOrPath=Fabrikam.Maps_3!App\nDefaultSize=Square\nOnlySupportSquare=TRUE\nSortScore=5\n\n[SupportRegion]\nRegion1=US\nRegion2=CA\n',
    '04-routen.ini': '[TileInfo]\nType=Modern\nAppIdOrPath=Fabrikam.Routen_4!App\nDefaultSize=wide\nSortScore=8\n\n[SupportRegion]\nRegion1=DE\n',
    '05-games.ini': '[TileInfo]\nType=Modern\nAppIdOrPath=Litware.Games_5!App\nDefaultSize=Square\nSortScore=-3\n\n[SupportRegion]\nRegion1=us\nRegion3=JP\n',
    '06-notype.ini': '[TileInfo]\nAppIdOrPath=Ignored.NoType_6!App\n',
    'readme.txt': 'not a description file\n',
}

def scenario(name, files, registry=REGISTRY, exit_code=None):
    base = os.path.join(ROOT, name)
    shutil.rmtree(base, ignore_errors=True)
    for rel, (text, bom) in files.items():
        w(os.path.join(base, 'image', rel), text, bom=bom)
    if registry is not None:
        w(os.path.join(base, 'registry.reg'), registry)

def tiles():
    return {'Tools/Tiles/' + k: (v, False) for k, v in TILES.items()}

# 1. The whole job: merge answer file and registry, three regions plus ALL, required and
#    square-only values, the backup item, negative scores, escaping.
scenario('default_merge_regions', dict({'Tools/Tilewright.ini': (CONFIG, False),
          'Windows/Panther/unattend.xml': (answer(OLD_SECTION), True)}, **tiles()))
# 2. No add-on description files: one base layout, no RegionalOverrides element.
scenario('default_no_addons', {'Tools/Tilewright.ini': (CONFIG, False),
          'Windows/Panther/unattend.xml': (answer([]), True)})
# 3. No answer file: the write fails, exit 1, registry untouched.
scenario('default_no_answer_file', dict({'Tools/Tilewright.ini': (CONFIG, False)}, **tiles()))
# 4. No oobeSystem Shell-Setup component: nowhere to put the layout, exit 1, registry untouched.
scenario('default_no_shell_setup', {'Tools/Tilewright.ini': (CONFIG, False),
          'Windows/Panther/unattend.xml': (answer(OLD_SECTION, oobe=False), True)})
# 5. A StartTiles section that is never closed: the answer file is left as it was, exit 1.
scenario('default_unclosed_section', {'Tools/Tilewright.ini': (CONFIG, False),
          'Windows/Panther/unattend.xml': (answer(OLD_SECTION[:-1]), True)})

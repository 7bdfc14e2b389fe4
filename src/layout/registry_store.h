// The registry layout: one key per slot below SVDEn of HKEY_LOCAL_MACHINE, and the default layout
// of the configuration file's section Default. Also the HDIWRITE mode.
#pragma once

#include "layout/tile_layout.h"

// L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SVDEn\\"
extern const wchar_t* const SvdenKeyPath;

// The registry key path of a slot, e.g. "...\\SVDEn\\WideTiles\\WideTile1".
std::wstring SlotKeyPath(int index);
// The value a slot's key holds: L"AppId" or L"AppIdOrPath".
std::wstring SlotValueName(int index);

// Fills each slot whose registry value can be read; leaves the others as they are. Gives 1.
int ReadRegistryLayout(TileLayout& layout);
// Sets each filled slot's value (REG_SZ) and deletes each free slot's value. Gives 1 when every
// key opened and every value that had to be set was set, else 0.
int WriteRegistryLayout(const TileLayout& layout);
// Replaces all 30 slots with the values of section Default of the configuration file. Gives 1.
int ReadDefaultLayout(TileLayout& layout);

// The whole HDIWRITE mode: default layout into the registry, then dumped to the log.
void RunHdiWriteMode();

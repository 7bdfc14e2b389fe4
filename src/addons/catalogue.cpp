#include "addons/catalogue.h"

#include "addons/identifier.h"
#include "addons/numbered_list.h"
#include "addons/sort_score.h"
#include "app/ignore_case.h"
#include "app/run_settings.h"
#include "log/log_file.h"
#include "platform/platform.h"

#include <unordered_set>

namespace {

// Reads one description file into tile. False when its Type is empty: the file describes no tile.
bool ReadTileInfo(const std::wstring& iniPath, TileInfo& tile) {
    tile.Type = ReadProfileString(iniPath, L"TileInfo", L"Type");
    if (tile.Type.empty()) {
        return false;
    }
    tile.AppIdOrPath = ReadProfileString(iniPath, L"TileInfo", L"AppIdOrPath");
    tile.DefaultSize = ReadProfileString(iniPath, L"TileInfo", L"DefaultSize");
    // A desktop program's shortcut is always shown square; the key is not read for it.
    if (EqualsIgnoreCase(tile.Type, L"Desktop")) {
        tile.OnlySupportSquare = true;
    } else {
        tile.OnlySupportSquare = EqualsIgnoreCase(
            ReadProfileString(iniPath, L"TileInfo", L"OnlySupportSquare"), L"True");
    }
    tile.SupportRegion = ReadNumberedList(iniPath, L"SupportRegion", L"Region");
    tile.SortScore = ParseSortScore(ReadProfileString(iniPath, L"TileInfo", L"SortScore"));
    return true;
}

void LogTileInfo(LogFile& log, const TileInfo& tile) {
    std::wstring regionText;
    for (const std::wstring& region : tile.SupportRegion) {
        regionText += region + L"  ";
    }
    if (tile.SupportRegion.empty()) {
        regionText = L"<All Region>";
    }
    LogMessage(log, L"  --- Type = " + tile.Type);
    LogMessage(log, L"  --- AppIdOrPath = " + tile.AppIdOrPath);
    LogMessage(log, L"  --- DefaultSize = " + tile.DefaultSize);
    LogMessage(log, tile.OnlySupportSquare ? L"  --- OnlySupportSquare = True"
                                           : L"  --- OnlySupportSquare = False");
    LogMessage(log, L"  --- SupportRegion = " + regionText);
    LogMessage(log, L"  --- SortScore = " + std::to_wstring(tile.SortScore));
}

} // namespace

void CollectAddOnTiles(std::vector<TileInfo>& addOnTiles, std::vector<TileInfo>& protectedTiles,
                       std::vector<std::wstring>& regionList) {
    LogFile log;
    const RunSettings& settings = Settings();
    addOnTiles.clear();
    protectedTiles.clear();
    regionList.clear();

    regionList.push_back(L"ALL");
    // The region names already in regionList, folded: the same answer as ContainsRegion without
    // walking the list for every name read.
    std::unordered_set<std::wstring> knownRegions{ToAsciiUpper(L"ALL")};

    for (const std::wstring& required :
         ReadNumberedList(settings.configFilePath, L"Requirement", L"AppIdOrPath")) {
        TileInfo tile;
        tile.AppIdOrPath = required;
        protectedTiles.push_back(tile);
    }

    const std::wstring pattern = settings.tilesDataPath + L"\\*.ini";
    if (!FitsPathBuffer(pattern)) {
        LogMessage(log, L"Tiles data path too long, no ini searched: " + pattern);
        return;
    }
    for (const std::wstring& name : ListMatchingNames(pattern)) {
        const std::wstring iniPath = settings.tilesDataPath + L"\\" + name;
        if (!FitsPathBuffer(iniPath)) {
            LogMessage(log, L"Ini path too long, skipped: " + iniPath);
            continue;
        }
        LogMessage(log, L"Found ini: " + iniPath);

        TileInfo tile;
        if (!ReadTileInfo(iniPath, tile)) {
            continue;
        }
        for (const std::wstring& region : tile.SupportRegion) {
            if (knownRegions.insert(ToAsciiUpper(region)).second) {
                regionList.push_back(region);
            }
        }
        LogTileInfo(log, tile);
        protectedTiles.push_back(tile);
        addOnTiles.push_back(tile);
    }
}

bool ContainsRegion(const std::vector<std::wstring>& regions, const std::wstring& name) {
    for (const std::wstring& region : regions) {
        if (SameIdentifier(region, name)) {
            return true;
        }
    }
    return false;
}

bool IsProtected(const std::vector<TileInfo>& protectedTiles, const std::wstring& value) {
    for (const TileInfo& tile : protectedTiles) {
        if (tile.AppIdOrPath.find(value) != std::wstring::npos) {
            return true;
        }
    }
    return false;
}

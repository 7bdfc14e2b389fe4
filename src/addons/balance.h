// Balancing of a placed layout: evens out the filled slots of the two square groups, then orders
// each slot group by the add-on tiles' SortScore, highest first. Also the requirement checks it
// uses.
#pragma once

#include "addons/tile_info.h"
#include "layout/tile_layout.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// What balancing reads from the configuration file, read once for a whole run of placements.
struct BalanceLists {
    std::vector<std::wstring> required;               // [Requirement] AppIdOrPath1, 2, ...
    std::vector<std::wstring> onlySupportSquare;      // [OnlySupportSquare] AppIdOrPath1, 2, ...
    std::vector<std::wstring> defaultSquareOrDesktop; // [Default] SquareOrDesktopTile1, 2, ...
    std::wstring backupItem;                          // [BackupItem] AppIdOrPath; may be empty

    // Filled by IndexAddOnTiles for the one list of add-on tiles then handed to BalanceLayout, so
    // that balancing a region looks up its 30 slots instead of walking every add-on tile: by
    // folded AppIdOrPath, the SortScore of the first tile with it, and the tiles that support
    // square only. Without it, the list is walked.
    bool indexed = false;
    std::unordered_map<std::wstring, std::int32_t> sortScores{};
    std::unordered_set<std::wstring> squareOnlyTiles{};
};

// Reads the four lists from the configuration file; missing sections or keys give empty lists.
BalanceLists ReadBalanceLists(const std::wstring& configFilePath);

// Indexes addOnTiles into lists (see BalanceLists); the answers stay those of walking the list.
void IndexAddOnTiles(BalanceLists& lists, const std::vector<TileInfo>& addOnTiles);

// True when identifier is one of the required applications (ignoring case). Never for "".
bool IsRequired(const BalanceLists& lists, const std::wstring& identifier);

// True when identifier may only be shown square: listed under OnlySupportSquare, listed as a
// default SquareOrDesktopTile, or an add-on tile with that identifier supports square only.
bool IsSquareOnly(const BalanceLists& lists, const std::wstring& identifier,
                  const std::vector<TileInfo>& addOnTiles);

// The ordering weight of a slot value: -1 when empty, the SortScore of the first add-on tile
// with that identifier (ignoring case), 0 for any other value.
std::int32_t SortScoreOf(const std::wstring& value, const std::vector<TileInfo>& addOnTiles);

// Moves at most one tile between the wide and square groups when the square group holds an odd
// number of tiles, adds the backup item when the square-or-desktop group does, then orders each
// group by descending SortScoreOf, equal scores keeping their order.
void BalanceLayout(TileLayout& layout, const std::vector<TileInfo>& addOnTiles,
                   const BalanceLists& lists);

// Balancing of a placed layout: evens out the filled slots of the two square groups, then orders
// each slot group by the add-on tiles' SortScore, highest first. Also the requirement checks it
// uses.
#pragma once

#include "addons/tile_info.h"
#include "layout/tile_layout.h"

#include <cstdint>
#include <string>
#include <vector>

// What balancing reads from the configuration file, read once for a whole run of placements.
struct BalanceLists {
    std::vector<std::wstring> required;               // [Requirement] AppIdOrPath1, 2, ...
    std::vector<std::wstring> onlySupportSquare;      // [OnlySupportSquare] AppIdOrPath1, 2, ...
    std::vector<std::wstring> defaultSquareOrDesktop; // [Default] SquareOrDesktopTile1, 2, ...
    std::wstring backupItem;                          // [BackupItem] AppIdOrPath; may be empty
};

// Reads the four lists from the configuration file; missing sections or keys give empty lists.
BalanceLists ReadBalanceLists(const std::wstring& configFilePath);

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

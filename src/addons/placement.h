// Region placement: one copy of the merged layout per region, the region's add-on tiles placed
// into it and the copy balanced.
#pragma once

#include "addons/tile_info.h"
#include "layout/regional_override.h"
#include "layout/tile_layout.h"

#include <string>
#include <vector>

// One record per entry of regionList, in that order, numbered from 0.
std::vector<RegionalOverride> BuildRegionalOverrides(const TileLayout& merged,
                                                     const std::vector<TileInfo>& addOnTiles,
                                                     const std::vector<TileInfo>& protectedTiles,
                                                     const std::vector<std::wstring>& regionList);

// Puts tile into layout by the slot-search and replacement rules, or leaves layout unchanged.
void PlaceTile(TileLayout& layout, const TileInfo& tile, const std::vector<TileInfo>& protectedTiles);

// True when some slot's text equals identifier ignoring case.
bool IsInLayout(const TileLayout& layout, const std::wstring& identifier);

// An add-on tile, as its description file in the tiles data folder describes it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TileInfo {
    std::wstring Type;        // "Modern" or "Desktop" (as written); never empty in AddOnTiles
    std::wstring AppIdOrPath; // what goes into a slot; the tile's identity
    std::wstring DefaultSize; // "Wide" or "Square" (as written)
    bool OnlySupportSquare = false;
    std::vector<std::wstring> SupportRegion; // empty: every region
    std::int32_t SortScore = 0;
};

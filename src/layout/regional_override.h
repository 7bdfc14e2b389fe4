// One region's finished layout, as the answer file's StartTiles section holds it: order number 0
// is the base layout, every other number a RegionalOverride element.
#pragma once

#include "layout/tile_layout.h"

#include <cstdint>
#include <string>
#include <vector>

struct RegionalOverride {
    std::int32_t order = 0;
    std::vector<std::wstring> regions;
    TileLayout layout;
};

// Layouts and tiles written compactly for the tables of the add-on tests. A slot group is a list
// of identifiers separated by blanks, "." for a free slot; slots missing at the end are free.
#pragma once

#include "addons/tile_info.h"
#include "layout/tile_layout.h"

#include <sstream>
#include <string>
#include <vector>

inline void FillGroup(TileLayout& layout, const std::wstring& text, int first, int count) {
    std::wistringstream tokens(text);
    std::wstring token;
    for (int index = first; index < first + count && tokens >> token; ++index) {
        layout.slots[index] = token == L"." ? L"" : token;
    }
}

inline TileLayout LayoutOf(const std::wstring& wide, const std::wstring& square = L"",
                           const std::wstring& squareOrDesktop = L"") {
    TileLayout layout;
    FillGroup(layout, wide, FirstWideSlot, WideSlotCount);
    FillGroup(layout, square, FirstSquareSlot, SquareSlotCount);
    FillGroup(layout, squareOrDesktop, FirstSquareOrDesktopSlot, SquareOrDesktopSlotCount);
    return layout;
}

inline std::wstring GroupText(const TileLayout& layout, int first, int count) {
    int last = first + count - 1;
    while (last >= first && layout.slots[last].empty()) {
        --last;
    }
    std::wstring text;
    for (int index = first; index <= last; ++index) {
        text += (index == first ? L"" : L" ") +
                (layout.slots[index].empty() ? std::wstring(L".") : layout.slots[index]);
    }
    return text;
}

// The layout in the same form, groups separated by " | ", for comparison in failure messages.
inline std::wstring TextOf(const TileLayout& layout) {
    return GroupText(layout, FirstWideSlot, WideSlotCount) + L" | " +
           GroupText(layout, FirstSquareSlot, SquareSlotCount) + L" | " +
           GroupText(layout, FirstSquareOrDesktopSlot, SquareOrDesktopSlotCount);
}

// "p1 p2 ... pN": a group filled with distinct identifiers.
inline std::wstring Filled(const std::wstring& prefix, int count) {
    std::wstring text;
    for (int number = 1; number <= count; ++number) {
        text += (number == 1 ? L"" : L" ") + prefix + std::to_wstring(number);
    }
    return text;
}

inline TileInfo Tile(const std::wstring& type, const std::wstring& appIdOrPath,
                     const std::wstring& defaultSize = L"", bool onlySupportSquare = false,
                     std::int32_t sortScore = 0, std::vector<std::wstring> regions = {}) {
    TileInfo tile;
    tile.Type = type;
    tile.AppIdOrPath = appIdOrPath;
    tile.DefaultSize = defaultSize;
    tile.OnlySupportSquare = onlySupportSquare;
    tile.SortScore = sortScore;
    tile.SupportRegion = std::move(regions);
    return tile;
}

inline TileInfo Scored(const std::wstring& appIdOrPath, std::int32_t sortScore,
                       bool onlySupportSquare = false) {
    return Tile(L"Modern", appIdOrPath, L"Square", onlySupportSquare, sortScore);
}

inline std::vector<TileInfo> ProtectedIds(const std::vector<std::wstring>& ids) {
    std::vector<TileInfo> tiles;
    for (const std::wstring& id : ids) {
        TileInfo tile;
        tile.AppIdOrPath = id;
        tiles.push_back(tile);
    }
    return tiles;
}

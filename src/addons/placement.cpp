#include "addons/placement.h"

#include "addons/balance.h"
#include "addons/catalogue.h"
#include "addons/identifier.h"
#include "app/ignore_case.h"
#include "app/run_settings.h"

#include <unordered_map>
#include <unordered_set>

namespace {

enum class TileClass { None, ModernWide, ModernSquare, Desktop };

TileClass ClassOf(const TileInfo& tile) {
    if (SameIdentifier(tile.Type, L"Modern")) {
        if (SameIdentifier(tile.DefaultSize, L"Wide")) {
            return TileClass::ModernWide;
        }
        if (SameIdentifier(tile.DefaultSize, L"Square")) {
            return TileClass::ModernSquare;
        }
        return TileClass::None;
    }
    if (SameIdentifier(tile.Type, L"Desktop")) {
        return TileClass::Desktop;
    }
    return TileClass::None;
}

// Answers IsProtected for slot texts, remembering each answer: within one run of placements the
// protected list does not change. A text equal to some protected identifier is protected without
// a search (it is a substring of itself). While the regions are built, every other slot text
// comes from the merged layout, so only those few texts are ever searched for.
struct ProtectionCheck {
    const std::vector<TileInfo>& protectedTiles;
    std::unordered_set<std::wstring> identifiers; // may be left empty: every text is searched
    std::unordered_map<std::wstring, bool> known;
};

bool IsProtectedText(ProtectionCheck& check, const std::wstring& text) {
    if (check.identifiers.count(text) != 0) {
        return true;
    }
    auto found = check.known.find(text);
    if (found != check.known.end()) {
        return found->second;
    }
    bool isProtected = IsProtected(check.protectedTiles, text);
    check.known.emplace(text, isProtected);
    return isProtected;
}

// Puts text into the lowest-numbered free slot of the group. False when the group is full.
bool PutIntoFreeSlot(TileLayout& layout, const std::wstring& text, int first, int count) {
    for (int index = first; index < first + count; ++index) {
        if (layout.slots[index].empty()) {
            layout.slots[index] = text;
            return true;
        }
    }
    return false;
}

// Overwrites the highest-numbered slot of the group whose text is not protected. False, the
// layout unchanged, when every slot of the group is protected.
bool ReplaceFromEnd(TileLayout& layout, const std::wstring& text, int first, int count,
                    ProtectionCheck& check) {
    for (int index = first + count - 1; index >= first; --index) {
        if (!IsProtectedText(check, layout.slots[index])) {
            layout.slots[index] = text;
            return true;
        }
    }
    return false;
}

void PlaceTileChecked(TileLayout& layout, const TileInfo& tile, ProtectionCheck& check) {
    const std::wstring& text = tile.AppIdOrPath;
    // A tile without an identifier would only ever empty a slot: it is never placed.
    if (text.empty() || IsInLayout(layout, text)) {
        return;
    }
    switch (ClassOf(tile)) {
    case TileClass::ModernWide:
        if (!PutIntoFreeSlot(layout, text, FirstWideSlot, WideSlotCount) &&
            !PutIntoFreeSlot(layout, text, FirstSquareSlot, SquareSlotCount) &&
            !PutIntoFreeSlot(layout, text, FirstSquareOrDesktopSlot, SquareOrDesktopSlotCount)) {
            ReplaceFromEnd(layout, text, FirstWideSlot, WideSlotCount, check);
        }
        return;
    case TileClass::ModernSquare:
        if (!PutIntoFreeSlot(layout, text, FirstSquareSlot, SquareSlotCount) &&
            !PutIntoFreeSlot(layout, text, FirstSquareOrDesktopSlot, SquareOrDesktopSlotCount) &&
            (tile.OnlySupportSquare ||
             !PutIntoFreeSlot(layout, text, FirstWideSlot, WideSlotCount))) {
            ReplaceFromEnd(layout, text, FirstSquareSlot, SquareSlotCount, check);
        }
        return;
    case TileClass::Desktop:
        if (!PutIntoFreeSlot(layout, text, FirstSquareOrDesktopSlot, SquareOrDesktopSlotCount)) {
            ReplaceFromEnd(layout, text, FirstSquareOrDesktopSlot, SquareOrDesktopSlotCount, check);
        }
        return;
    case TileClass::None:
        return;
    }
}

// For each region, in order, the indices of the add-on tiles eligible for it, in tile order: for
// "ALL" the tiles that name no region; for any other region those tiles together with the tiles
// whose SupportRegion names it (ignoring case). Built from one pass over the tiles' region names.
std::vector<std::vector<std::size_t>> EligibleTiles(const std::vector<TileInfo>& addOnTiles,
                                                    const std::vector<std::wstring>& regionList) {
    std::vector<std::size_t> everywhere;
    std::unordered_map<std::wstring, std::vector<std::size_t>> byRegion; // folded name -> tiles
    for (std::size_t tile = 0; tile < addOnTiles.size(); ++tile) {
        if (addOnTiles[tile].SupportRegion.empty()) {
            everywhere.push_back(tile);
        }
        for (const std::wstring& region : addOnTiles[tile].SupportRegion) {
            std::vector<std::size_t>& tiles = byRegion[ToAsciiUpper(region)];
            if (tiles.empty() || tiles.back() != tile) {
                tiles.push_back(tile);
            }
        }
    }

    std::vector<std::vector<std::size_t>> eligible;
    for (const std::wstring& region : regionList) {
        auto named = byRegion.find(ToAsciiUpper(region));
        if (EqualsIgnoreCase(region, L"ALL") || named == byRegion.end()) {
            eligible.push_back(everywhere);
            continue;
        }
        // Both lists are in tile order and share no tile: merge them.
        const std::vector<std::size_t>& own = named->second;
        std::vector<std::size_t> merged;
        merged.reserve(everywhere.size() + own.size());
        std::size_t a = 0;
        std::size_t b = 0;
        while (a < everywhere.size() || b < own.size()) {
            if (b == own.size() || (a < everywhere.size() && everywhere[a] < own[b])) {
                merged.push_back(everywhere[a++]);
            } else {
                merged.push_back(own[b++]);
            }
        }
        eligible.push_back(std::move(merged));
    }
    return eligible;
}

} // namespace

std::vector<RegionalOverride> BuildRegionalOverrides(const TileLayout& merged,
                                                     const std::vector<TileInfo>& addOnTiles,
                                                     const std::vector<TileInfo>& protectedTiles,
                                                     const std::vector<std::wstring>& regionList) {
    BalanceLists lists = ReadBalanceLists(Settings().configFilePath);
    IndexAddOnTiles(lists, addOnTiles);
    ProtectionCheck check{protectedTiles, {}, {}};
    for (const TileInfo& tile : protectedTiles) {
        check.identifiers.insert(tile.AppIdOrPath);
    }
    const std::vector<std::vector<std::size_t>> eligible = EligibleTiles(addOnTiles, regionList);

    std::vector<RegionalOverride> overrides;
    for (std::size_t n = 0; n < regionList.size(); ++n) {
        RegionalOverride record;
        record.order = static_cast<std::int32_t>(n);
        record.regions.push_back(regionList[n]);
        record.layout = merged;
        for (std::size_t tile : eligible[n]) {
            PlaceTileChecked(record.layout, addOnTiles[tile], check);
        }
        BalanceLayout(record.layout, addOnTiles, lists);
        overrides.push_back(std::move(record));
    }
    return overrides;
}

void PlaceTile(TileLayout& layout, const TileInfo& tile,
               const std::vector<TileInfo>& protectedTiles) {
    ProtectionCheck check{protectedTiles, {}, {}};
    PlaceTileChecked(layout, tile, check);
}

bool IsInLayout(const TileLayout& layout, const std::wstring& identifier) {
    for (const std::wstring& slot : layout.slots) {
        if (SameIdentifier(slot, identifier)) {
            return true;
        }
    }
    return false;
}

#include "addons/balance.h"

#include "addons/identifier.h"
#include "addons/numbered_list.h"
#include "app/ignore_case.h"
#include "platform/platform.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace {

bool ListHolds(const std::vector<std::wstring>& list, const std::wstring& identifier) {
    for (const std::wstring& value : list) {
        if (SameIdentifier(value, identifier)) {
            return true;
        }
    }
    return false;
}

int CountFilled(const TileLayout& layout, int first, int count) {
    int filled = 0;
    for (int index = first; index < first + count; ++index) {
        if (!layout.slots[index].empty()) {
            ++filled;
        }
    }
    return filled;
}

// Index of the lowest-numbered empty slot of the group, or -1.
int FirstEmptySlot(const TileLayout& layout, int first, int count) {
    for (int index = first; index < first + count; ++index) {
        if (layout.slots[index].empty()) {
            return index;
        }
    }
    return -1;
}

void MoveSlot(TileLayout& layout, int from, int to) {
    layout.slots[to] = std::move(layout.slots[from]);
    layout.slots[from].clear();
}

// An odd number of square tiles: one tile changes between the wide and the square group.
void EvenSquareGroup(TileLayout& layout, const std::vector<TileInfo>& addOnTiles,
                     const BalanceLists& lists, int wideFilled) {
    if (wideFilled == WideSlotCount) {
        // The wide group is full: its last tile that is not required becomes square.
        for (int index = FirstWideSlot + WideSlotCount - 1; index >= FirstWideSlot; --index) {
            const std::wstring& value = layout.slots[index];
            if (!value.empty() && !IsRequired(lists, value)) {
                int target = FirstEmptySlot(layout, FirstSquareSlot, SquareSlotCount);
                if (target >= 0) {
                    MoveSlot(layout, index, target);
                }
                return;
            }
        }
        return;
    }
    // Room in the wide group: the last square tile that may be wide and is not required moves.
    for (int index = FirstSquareSlot + SquareSlotCount - 1; index >= FirstSquareSlot; --index) {
        const std::wstring& value = layout.slots[index];
        if (!value.empty() && !IsRequired(lists, value) &&
            !IsSquareOnly(lists, value, addOnTiles)) {
            int target = FirstEmptySlot(layout, FirstWideSlot, WideSlotCount);
            if (target >= 0) {
                MoveSlot(layout, index, target);
            }
            return;
        }
    }
}

// Scores of all 30 slots, each add-on tile looked at once: the first tile in list order with a
// slot's identifier gives that slot its score.
std::vector<std::int32_t> SlotScores(const TileLayout& layout,
                                     const std::vector<TileInfo>& addOnTiles,
                                     const BalanceLists& lists) {
    std::vector<std::int32_t> scores(SlotCount, 0);
    if (lists.indexed) {
        for (int index = 0; index < SlotCount; ++index) {
            if (layout.slots[index].empty()) {
                scores[index] = -1;
                continue;
            }
            auto found = lists.sortScores.find(ToAsciiUpper(layout.slots[index]));
            if (found != lists.sortScores.end()) {
                scores[index] = found->second;
            }
        }
        return scores;
    }
    std::unordered_map<std::wstring, std::vector<int>> unscored; // folded text -> slot indices
    for (int index = 0; index < SlotCount; ++index) {
        if (layout.slots[index].empty()) {
            scores[index] = -1;
        } else {
            unscored[ToAsciiUpper(layout.slots[index])].push_back(index);
        }
    }
    for (const TileInfo& tile : addOnTiles) {
        if (unscored.empty()) {
            break;
        }
        auto found = unscored.find(ToAsciiUpper(tile.AppIdOrPath));
        if (found != unscored.end()) {
            for (int index : found->second) {
                scores[index] = tile.SortScore;
            }
            unscored.erase(found);
        }
    }
    return scores;
}

// Orders one group by descending score; equal scores keep their order, as neighbour exchanges
// of strictly greater scores would leave them.
void OrderGroup(TileLayout& layout, const std::vector<std::int32_t>& scores, int first, int count) {
    std::vector<std::pair<std::int32_t, std::wstring>> entries;
    for (int index = first; index < first + count; ++index) {
        entries.emplace_back(scores[index], std::move(layout.slots[index]));
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (int offset = 0; offset < count; ++offset) {
        layout.slots[first + offset] = std::move(entries[offset].second);
    }
}

} // namespace

BalanceLists ReadBalanceLists(const std::wstring& configFilePath) {
    BalanceLists lists;
    lists.required = ReadNumberedList(configFilePath, L"Requirement", L"AppIdOrPath");
    lists.onlySupportSquare =
        ReadNumberedList(configFilePath, L"OnlySupportSquare", L"AppIdOrPath");
    lists.defaultSquareOrDesktop =
        ReadNumberedList(configFilePath, L"Default", L"SquareOrDesktopTile");
    lists.backupItem = ReadProfileString(configFilePath, L"BackupItem", L"AppIdOrPath");
    return lists;
}

void IndexAddOnTiles(BalanceLists& lists, const std::vector<TileInfo>& addOnTiles) {
    lists.sortScores.clear();
    lists.squareOnlyTiles.clear();
    for (const TileInfo& tile : addOnTiles) {
        std::wstring folded = ToAsciiUpper(tile.AppIdOrPath);
        lists.sortScores.emplace(folded, tile.SortScore); // the first tile keeps its score
        if (tile.OnlySupportSquare) {
            lists.squareOnlyTiles.insert(folded);
        }
    }
    lists.indexed = true;
}

bool IsRequired(const BalanceLists& lists, const std::wstring& identifier) {
    // A list read from the file holds no empty value; one built by hand might.
    return !identifier.empty() && ListHolds(lists.required, identifier);
}

bool IsSquareOnly(const BalanceLists& lists, const std::wstring& identifier,
                  const std::vector<TileInfo>& addOnTiles) {
    if (ListHolds(lists.onlySupportSquare, identifier) ||
        ListHolds(lists.defaultSquareOrDesktop, identifier)) {
        return true;
    }
    if (lists.indexed) {
        return lists.squareOnlyTiles.count(ToAsciiUpper(identifier)) != 0;
    }
    for (const TileInfo& tile : addOnTiles) {
        if (tile.OnlySupportSquare && SameIdentifier(tile.AppIdOrPath, identifier)) {
            return true;
        }
    }
    return false;
}

std::int32_t SortScoreOf(const std::wstring& value, const std::vector<TileInfo>& addOnTiles) {
    if (value.empty()) {
        return -1;
    }
    for (const TileInfo& tile : addOnTiles) {
        if (SameIdentifier(tile.AppIdOrPath, value)) {
            return tile.SortScore;
        }
    }
    return 0;
}

void BalanceLayout(TileLayout& layout, const std::vector<TileInfo>& addOnTiles,
                   const BalanceLists& lists) {
    const int wideFilled = CountFilled(layout, FirstWideSlot, WideSlotCount);
    const int squareFilled = CountFilled(layout, FirstSquareSlot, SquareSlotCount);
    const int squareOrDesktopFilled =
        CountFilled(layout, FirstSquareOrDesktopSlot, SquareOrDesktopSlotCount);

    if (squareFilled % 2 == 1) {
        EvenSquareGroup(layout, addOnTiles, lists, wideFilled);
    }
    if (squareOrDesktopFilled % 2 == 1) {
        int target = FirstEmptySlot(layout, FirstSquareOrDesktopSlot, SquareOrDesktopSlotCount);
        if (target >= 0) {
            layout.slots[target] = lists.backupItem;
        }
    }

    const std::vector<std::int32_t> scores = SlotScores(layout, addOnTiles, lists);
    OrderGroup(layout, scores, FirstWideSlot, WideSlotCount);
    OrderGroup(layout, scores, FirstSquareSlot, SquareSlotCount);
    OrderGroup(layout, scores, FirstSquareOrDesktopSlot, SquareOrDesktopSlotCount);
}

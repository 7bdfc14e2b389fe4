// The preset Start layout: 30 slots in a fixed order, six WideTile slots (indices 0 to 5), twelve
// SquareTile slots (6 to 17) and twelve SquareOrDesktopTile slots (18 to 29). An empty string is
// a free slot; any other text is kept exactly as given.
#pragma once

#include <array>
#include <string>

constexpr int SlotCount = 30;
constexpr int WideSlotCount = 6;
constexpr int SquareSlotCount = 12;
constexpr int SquareOrDesktopSlotCount = 12;
constexpr int FirstWideSlot = 0;
constexpr int FirstSquareSlot = 6;
constexpr int FirstSquareOrDesktopSlot = 18;

struct TileLayout {
    std::array<std::wstring, SlotCount> slots;
};

// Empties all 30 slots.
void ResetLayout(TileLayout& layout);

// The slot's name with its number within its kind: L"WideTile1", L"SquareTile12",
// L"SquareOrDesktopTile3".
std::wstring SlotName(int index);

// Writes the 30 slots to the run's log, one line each: "WideTile1 = <text>" and so on.
void DumpLayout(const TileLayout& layout);

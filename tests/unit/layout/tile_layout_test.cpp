#include "layout/tile_layout.h"

#include "test_support.h"

#include <gtest/gtest.h>

TEST(TileLayout, CopiesAreIndependent) {
    TileLayout source;
    source.slots[4] = L"A";
    TileLayout copy = source;
    copy.slots[4] = L"B";
    source.slots[5] = L"C";
    EXPECT_EQ(source.slots[4], L"A");
    EXPECT_EQ(copy.slots[4], L"B");
    EXPECT_EQ(copy.slots[5], L"");
}

TEST(TileLayout, ResetEmptiesEverySlot) {
    TileLayout layout;
    for (int index = 0; index < SlotCount; ++index) {
        layout.slots[index] = L"x" + std::to_wstring(index);
    }
    ResetLayout(layout);
    for (const std::wstring& slot : layout.slots) {
        EXPECT_EQ(slot, L"");
    }
}

TEST(TileLayout, DumpWritesThirtyLinesInSlotOrder) {
    TestImage image = MakeTestImage();
    TileLayout layout;
    layout.slots[0] = L"First wide";
    layout.slots[17] = L"Caf\u00e9 square";
    layout.slots[29] = L"C:\\Last.lnk";
    DumpLayout(layout);
    std::string expected;
    for (int n = 1; n <= 6; ++n) {
        expected += "WideTile" + std::to_string(n) + " = " + (n == 1 ? "First wide" : "") + "\n";
    }
    for (int n = 1; n <= 12; ++n) {
        expected += "SquareTile" + std::to_string(n) + " = " + (n == 12 ? "Caf\xC3\xA9 square" : "") + "\n";
    }
    for (int n = 1; n <= 12; ++n) {
        expected += "SquareOrDesktopTile" + std::to_string(n) + " = " + (n == 12 ? "C:\\Last.lnk" : "") + "\n";
    }
    EXPECT_EQ(LogWithoutTimestamps(image), expected);
}

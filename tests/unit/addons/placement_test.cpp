#include "addons/catalogue.h"
#include "addons/placement.h"
#include "layout_text.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::wstring FullWide = Filled(L"w", 6);
const std::wstring FullSquare = Filled(L"s", 12);
const std::wstring FullDesktop = Filled(L"d", 12);

struct PlaceCase {
    const char* name;
    TileLayout before;
    TileInfo tile;
    std::vector<std::wstring> protectedIds;
    TileLayout after;
};

TEST(PlaceTile, FollowsTheSlotSearchAndReplacementOrders) {
    const TileInfo wide = Tile(L"Modern", L"N", L"Wide");
    const TileInfo square = Tile(L"Modern", L"N", L"Square");
    const TileInfo squareOnly = Tile(L"Modern", L"N", L"Square", true);
    const TileInfo desktop = Tile(L"Desktop", L"N", L"Wide");
    const PlaceCase cases[] = {
        {"wide: first free wide slot", LayoutOf(L"a . b"), wide, {}, LayoutOf(L"a N b")},
        {"wide: wide group full, first free square slot",
         LayoutOf(FullWide, L"a b . c"),
         wide,
         {},
         LayoutOf(FullWide, L"a b N c")},
        {"wide: then first free square-or-desktop slot",
         LayoutOf(FullWide, FullSquare, L"a . ."),
         wide,
         {},
         LayoutOf(FullWide, FullSquare, L"a N")},
        {"wide: full layout, last wide slot replaced",
         LayoutOf(FullWide, FullSquare, FullDesktop),
         wide,
         {},
         LayoutOf(L"w1 w2 w3 w4 w5 N", FullSquare, FullDesktop)},
        {"wide: protected by substring, next wide slot down",
         LayoutOf(FullWide, FullSquare, FullDesktop),
         wide,
         {L"Example.w6!App"},
         LayoutOf(L"w1 w2 w3 w4 N w6", FullSquare, FullDesktop)},
        {"wide: all but the first wide slot protected",
         LayoutOf(FullWide, FullSquare, FullDesktop),
         wide,
         {L"w2w3w4w5w6"},
         LayoutOf(L"N w2 w3 w4 w5 w6", FullSquare, FullDesktop)},
        {"wide: every wide slot protected, not placed",
         LayoutOf(FullWide, FullSquare, FullDesktop),
         wide,
         {L"w1w2w3w4w5w6"},
         LayoutOf(FullWide, FullSquare, FullDesktop)},
        {"wide: square-only flag is not looked at",
         LayoutOf(L". a"),
         Tile(L"Modern", L"N", L"Wide", true),
         {},
         LayoutOf(L"N a")},
        {"wide: type and size in lower case",
         LayoutOf(L"a"),
         Tile(L"modern", L"N", L"wide"),
         {},
         LayoutOf(L"a N")},
        {"square: first free square slot, wide group free",
         LayoutOf(L"", L"a . b ."),
         square,
         {},
         LayoutOf(L"", L"a N b")},
        {"square: then first free square-or-desktop slot",
         LayoutOf(L"", FullSquare, L"a b . ."),
         square,
         {},
         LayoutOf(L"", FullSquare, L"a b N")},
        {"square: then first free wide slot",
         LayoutOf(L"a b c . .", FullSquare, FullDesktop),
         square,
         {},
         LayoutOf(L"a b c N", FullSquare, FullDesktop)},
        {"square-only: highest unprotected square slot, wide slot left free",
         LayoutOf(L"a b c . .", FullSquare, FullDesktop),
         squareOnly,
         {L"s12"},
         LayoutOf(L"a b c", L"s1 s2 s3 s4 s5 s6 s7 s8 s9 s10 N s12", FullDesktop)},
        {"square: full layout, last square slot replaced",
         LayoutOf(FullWide, FullSquare, FullDesktop),
         square,
         {},
         LayoutOf(FullWide, L"s1 s2 s3 s4 s5 s6 s7 s8 s9 s10 s11 N", FullDesktop)},
        {"square-only: every square slot protected, not placed",
         LayoutOf(L"", FullSquare, FullDesktop),
         squareOnly,
         {FullSquare},
         LayoutOf(L"", FullSquare, FullDesktop)},
        {"desktop: first free square-or-desktop slot, other groups free",
         LayoutOf(L"", L"", L"a ."),
         desktop,
         {},
         LayoutOf(L"", L"", L"a N")},
        {"desktop: group full, highest unprotected slot",
         LayoutOf(L"", L"", FullDesktop),
         desktop,
         {L"d12"},
         LayoutOf(L"", L"", L"d1 d2 d3 d4 d5 d6 d7 d8 d9 d10 N d12")},
        {"desktop: every slot of its group protected",
         LayoutOf(L"", L"", FullDesktop),
         desktop,
         {FullDesktop},
         LayoutOf(L"", L"", FullDesktop)},
        {"other size: no class", LayoutOf(L""), Tile(L"Modern", L"N", L"Large"), {}, LayoutOf(L"")},
        {"other type: no class", LayoutOf(L""), Tile(L"Widget", L"N", L"Wide"), {}, LayoutOf(L"")},
        {"already shown in other case", LayoutOf(L"a", L"n"), wide, {}, LayoutOf(L"a", L"n")},
        {"empty identifier, free slots",
         LayoutOf(L"a"),
         Tile(L"Modern", L"", L"Wide"),
         {},
         LayoutOf(L"a")},
        {"empty identifier never empties a slot",
         LayoutOf(FullWide, FullSquare, FullDesktop),
         Tile(L"Desktop", L""),
         {},
         LayoutOf(FullWide, FullSquare, FullDesktop)},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        TileLayout layout = c.before;
        PlaceTile(layout, c.tile, ProtectedIds(c.protectedIds));
        EXPECT_EQ(TextOf(layout), TextOf(c.after));
    }
}

// Placement looks for a tile in the layout ignoring case and by whole text; protection is a
// case-sensitive substring test.
TEST(PlaceTile, LayoutSearchIgnoresCaseWhereProtectionDoesNot) {
    const TileLayout layout = LayoutOf(L"Example.Notes_1a2b!App", L"", L". x");
    EXPECT_TRUE(IsInLayout(layout, L"example.notes_1A2B!app"));
    EXPECT_FALSE(IsInLayout(layout, L"Notes_1a2b"));
    EXPECT_TRUE(IsInLayout(layout, L"X"));
    EXPECT_TRUE(IsInLayout(layout, L"")) << "an empty identifier matches a free slot";
    EXPECT_FALSE(IsInLayout(LayoutOf(FullWide, FullSquare, FullDesktop), L""));

    const std::vector<TileInfo> guarded = ProtectedIds({L"Example.Notes_1a2b!App"});
    EXPECT_TRUE(IsProtected(guarded, L"Notes_1a2b"));
    EXPECT_TRUE(IsProtected(guarded, L"Example.Notes_1a2b!App"));
    EXPECT_FALSE(IsProtected(guarded, L"notes_1a2b"));
    EXPECT_FALSE(IsProtected(guarded, L"Example.Notes_1a2b!App2"));
    EXPECT_FALSE(IsProtected({}, L"x"));

    // A full layout whose last wide slot differs from a protected identifier only in case: not
    // protected, so a new wide tile takes it.
    TileLayout full = LayoutOf(L"w1 w2 w3 w4 w5 notes", FullSquare, FullDesktop);
    PlaceTile(full, Tile(L"Modern", L"N", L"Wide"), ProtectedIds({L"Example.Notes!App"}));
    EXPECT_EQ(full.slots[5], L"N");
    full = LayoutOf(L"w1 w2 w3 w4 w5 Notes", FullSquare, FullDesktop);
    PlaceTile(full, Tile(L"Modern", L"N", L"Wide"), ProtectedIds({L"Example.Notes!App"}));
    EXPECT_EQ(TextOf(full), TextOf(LayoutOf(L"w1 w2 w3 w4 N Notes", FullSquare, FullDesktop)));
}

class RegionalOverrides : public ::testing::Test {
  protected:
    void TearDown() override { std::filesystem::remove_all(image.root); }
    void WriteConfig(const std::string& text) {
        WriteHostFile(ImagePath(image, "Tools/Tilewright.ini"), text);
    }
    TestImage image = MakeTestImage();
};

// Desktop tiles and no backup item: balancing leaves these layouts as placed.
TEST_F(RegionalOverrides, EachRegionGetsItsOwnTilesOnACopyOfTheMergedLayout) {
    const TileLayout merged = LayoutOf(L"m1", L"m2 m3");
    const std::vector<TileInfo> tiles = {
        Tile(L"Desktop", L"A"),
        Tile(L"Desktop", L"B", L"", false, 0, {L"us"}),
        Tile(L"Desktop", L"C", L"", false, 0, {L"DE", L"all"}),
        Tile(L"Desktop", L"D", L"", false, 0, {L"All"}),
        Tile(L"Desktop", L"a"), // the same identifier as the first tile: never placed twice
    };
    const std::vector<std::wstring> regions = {L"ALL", L"US", L"De", L"FR"};

    const std::vector<RegionalOverride> records =
        BuildRegionalOverrides(merged, tiles, tiles, regions);

    const std::wstring expected[] = {L"A", L"A B", L"A C", L"A"};
    ASSERT_EQ(records.size(), 4u);
    for (std::size_t n = 0; n < records.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(records[n].order, static_cast<std::int32_t>(n));
        EXPECT_EQ(records[n].regions, std::vector<std::wstring>{regions[n]});
        EXPECT_EQ(TextOf(records[n].layout), TextOf(LayoutOf(L"m1", L"m2 m3", expected[n])));
    }
}

TEST_F(RegionalOverrides, TilesPlacedEarlierAndProtectedTextsAreNotDisplaced) {
    const TileLayout merged = LayoutOf(L"w1 w2 w3 w4 Pro w6", FullSquare, FullDesktop);
    const std::vector<TileInfo> tiles = {
        Tile(L"Modern", L"P", L"Wide"),
        Tile(L"Modern", L"Q", L"Wide"),
        Tile(L"Modern", L"R", L"Wide", false, 0, {L"US"}),
    };
    std::vector<TileInfo> protectedTiles = ProtectedIds({L"Program!App"});
    protectedTiles.insert(protectedTiles.end(), tiles.begin(), tiles.end());

    const std::vector<RegionalOverride> records =
        BuildRegionalOverrides(merged, tiles, protectedTiles, {L"ALL", L"US"});

    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(TextOf(records[0].layout),
              TextOf(LayoutOf(L"w1 w2 w3 Q Pro P", FullSquare, FullDesktop)));
    EXPECT_EQ(TextOf(records[1].layout),
              TextOf(LayoutOf(L"w1 w2 R Q Pro P", FullSquare, FullDesktop)));
}

TEST_F(RegionalOverrides, EveryLayoutIsBalancedWithTheConfiguredLists) {
    WriteConfig("[Requirement]\r\nAppIdOrPath1=w6\r\n[BackupItem]\r\nAppIdOrPath=Backup!App\r\n");
    const TileLayout merged = LayoutOf(FullWide, L"s1 s2", L"d1 d2");
    const std::vector<TileInfo> tiles = {Tile(L"Desktop", L"X", L"", false, 5),
                                         Tile(L"Modern", L"Y", L"Square")};

    const std::vector<RegionalOverride> records =
        BuildRegionalOverrides(merged, tiles, tiles, {L"ALL"});

    // The square group held s1 s2 Y: w5, the last wide tile not required, became square. The
    // square-or-desktop group held d1 d2 X: the backup item filled it up, and X scores highest.
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(TextOf(records[0].layout),
              TextOf(LayoutOf(L"w1 w2 w3 w4 w6", L"s1 s2 Y w5", L"X d1 d2 Backup!App")));
}

TEST_F(RegionalOverrides, WithoutAddOnTilesTheMergedLayoutIsOnlyBalanced) {
    const std::vector<RegionalOverride> records =
        BuildRegionalOverrides(LayoutOf(L"a", L"b c d"), {}, {}, {L"ALL"});
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].order, 0);
    EXPECT_EQ(records[0].regions, std::vector<std::wstring>{L"ALL"});
    EXPECT_EQ(TextOf(records[0].layout), TextOf(LayoutOf(L"a d", L"b c")));
}

} // namespace

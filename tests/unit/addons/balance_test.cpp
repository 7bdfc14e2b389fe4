#include "addons/balance.h"
#include "layout_text.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

namespace {

const std::wstring FullWide = Filled(L"w", 6);

struct BalanceCase {
    const char* name;
    TileLayout before;
    std::vector<TileInfo> addOnTiles;
    BalanceLists lists;
    TileLayout after;
};

BalanceLists Lists(std::vector<std::wstring> required, std::vector<std::wstring> onlySquare = {},
                   std::vector<std::wstring> defaultSquareOrDesktop = {},
                   std::wstring backupItem = L"") {
    return BalanceLists{std::move(required), std::move(onlySquare),
                        std::move(defaultSquareOrDesktop), std::move(backupItem)};
}

TEST(BalanceLayout, EvensTheSquareGroupsThenOrdersEachGroup) {
    const BalanceCase cases[] = {
        {"even counts: only the ordering",
         LayoutOf(L"a . b", L"c . d", L". e f ."),
         {},
         Lists({}),
         LayoutOf(L"a b", L"c d", L"e f")},
        {"wide group full: its last tile becomes square",
         LayoutOf(FullWide, L"a . b c"),
         {},
         Lists({}),
         LayoutOf(L"w1 w2 w3 w4 w5", L"a w6 b c")},
        {"wide group full, last tile required: the one before it moves",
         LayoutOf(FullWide, L"a b c"),
         {},
         Lists({L"W6"}),
         LayoutOf(L"w1 w2 w3 w4 w6", L"a b c w5")},
        {"wide group full of required tiles: nothing moves",
         LayoutOf(FullWide, L"a b c"),
         {},
         Lists({L"w1", L"w2", L"w3", L"w4", L"w5", L"w6"}),
         LayoutOf(FullWide, L"a b c")},
        {"room in the wide group: last square tile neither required nor square-only moves",
         LayoutOf(L"w1 . w2 w3 w4", L"s1 . s2 . . . . . r d q ."),
         {},
         Lists({L"R"}, {L"Q"}, {L"x", L"D"}),
         LayoutOf(L"w1 s2 w2 w3 w4", L"s1 r d q")},
        {"one free wide slot takes the last square tile",
         LayoutOf(L"w1 w2 w3 w4 w5", L"a b c"),
         {},
         Lists({}),
         LayoutOf(L"w1 w2 w3 w4 w5 c", L"a b")},
        {"a square-only add-on tile stays square, in any case",
         LayoutOf(L"w1", L"s1 s2 t"),
         {Tile(L"Modern", L"T", L"Square", true)},
         Lists({}),
         LayoutOf(L"w1 s2", L"s1 t")},
        {"an add-on tile not square-only may go wide",
         LayoutOf(L"w1", L"s1 s2 t"),
         {Tile(L"Modern", L"T", L"Square", false)},
         Lists({}),
         LayoutOf(L"w1 t", L"s1 s2")},
        {"nothing qualifies: square count stays odd",
         LayoutOf(L"", L"a b c"),
         {},
         Lists({L"a", L"c"}, {L"b"}),
         LayoutOf(L"", L"a b c")},
        {"odd square-or-desktop group: backup item in its first empty slot",
         LayoutOf(L"", L"", L"d1 . d2 d3"),
         {},
         Lists({}, {}, {}, L"Backup"),
         LayoutOf(L"", L"", L"d1 Backup d2 d3")},
        {"backup item added even when already shown",
         LayoutOf(L"", L"", L"Backup d2 d3"),
         {},
         Lists({}, {}, {}, L"Backup"),
         LayoutOf(L"", L"", L"Backup d2 d3 Backup")},
        {"no backup item: the count stays odd",
         LayoutOf(L"", L"", L"d1 . d2 d3"),
         {},
         Lists({}),
         LayoutOf(L"", L"", L"d1 d2 d3")},
        {"scores order a group, ties keep their order",
         LayoutOf(L"A B . C . E"),
         {Scored(L"B", 5), Scored(L"E", 3)},
         Lists({}),
         LayoutOf(L"B E A C")},
        {"score -1 mixes with the empty slots, below -1 goes last",
         LayoutOf(L"N M . A"),
         {Scored(L"N", -3), Scored(L"M", -1)},
         Lists({}),
         LayoutOf(L"A M . . . N")},
        {"extreme scores",
         LayoutOf(L"lo hi a"),
         {Scored(L"lo", std::numeric_limits<std::int32_t>::min()),
          Scored(L"hi", std::numeric_limits<std::int32_t>::max())},
         Lists({}),
         LayoutOf(L"hi a . . . lo")},
        {"values stay in their group",
         LayoutOf(L"a", L"b c", L"d e"),
         {Scored(L"E", 9)},
         Lists({}),
         LayoutOf(L"a", L"b c", L"e d")},
        {"a moved tile is ordered in its new group",
         LayoutOf(FullWide, L"a b c"),
         {Scored(L"w6", 9)},
         Lists({}),
         LayoutOf(L"w1 w2 w3 w4 w5", L"w6 a b c")},
        {"first add-on tile with the identifier gives the score",
         LayoutOf(L"a x"),
         {Scored(L"X", 4), Scored(L"x", -7)},
         Lists({}),
         LayoutOf(L"x a")},
    };
    for (const BalanceCase& c : cases) {
        SCOPED_TRACE(c.name);
        TileLayout layout = c.before;
        BalanceLayout(layout, c.addOnTiles, c.lists);
        EXPECT_EQ(TextOf(layout), TextOf(c.after));
        // Placement indexes the add-on tiles once for all its regions: same answers.
        BalanceLists indexed = c.lists;
        IndexAddOnTiles(indexed, c.addOnTiles);
        layout = c.before;
        BalanceLayout(layout, c.addOnTiles, indexed);
        EXPECT_EQ(TextOf(layout), TextOf(c.after)) << "with the add-on tiles indexed";
    }
}

TEST(BalanceQueries, CompareWholeIdentifiersIgnoringCase) {
    const BalanceLists lists = Lists({L"Req!App", L""}, {L"Only!App"}, {L"C:\\Desk.lnk"});
    const std::vector<TileInfo> tiles = {Scored(L"Tile!App", 6, true), Scored(L"tile!app", 2),
                                         Scored(L"Wide!App", 0, false)};

    EXPECT_TRUE(IsRequired(lists, L"REQ!APP"));
    EXPECT_FALSE(IsRequired(lists, L"Req"));
    EXPECT_FALSE(IsRequired(lists, L"")) << "an empty identifier is never required";

    BalanceLists indexed = lists;
    IndexAddOnTiles(indexed, tiles);
    const BalanceLists* const both[] = {&lists, &indexed};
    for (const BalanceLists* queried : both) {
        SCOPED_TRACE(queried == &indexed ? "add-on tiles indexed" : "add-on tiles walked");
        EXPECT_TRUE(IsSquareOnly(*queried, L"only!app", tiles));
        EXPECT_TRUE(IsSquareOnly(*queried, L"c:\\desk.LNK", tiles));
        EXPECT_TRUE(IsSquareOnly(*queried, L"TILE!APP", tiles));
        EXPECT_FALSE(IsSquareOnly(*queried, L"Wide!App", tiles));
        EXPECT_FALSE(IsSquareOnly(*queried, L"Req!App", tiles));
    }

    EXPECT_EQ(SortScoreOf(L"", tiles), -1);
    EXPECT_EQ(SortScoreOf(L"TILE!app", tiles), 6);
    EXPECT_EQ(SortScoreOf(L"Other", tiles), 0);
    EXPECT_EQ(SortScoreOf(L"Tile", tiles), 0);
}

class BalanceConfig : public ::testing::Test {
  protected:
    void TearDown() override { std::filesystem::remove_all(image.root); }
    TestImage image = MakeTestImage();
};

TEST_F(BalanceConfig, ListsAreReadUpToTheFirstEmptyValue) {
    std::string config = "[Requirement]\r\nAppIdOrPath1=A\r\nAppIdOrPath3=C\r\n"
                         "[OnlySupportSquare]\r\nAppIdOrPath1=Sq1\r\nAppIdOrPath2=Sq2\r\n"
                         "[BackupItem]\r\nAppIdOrPath=Backup!App\r\n[Default]\r\n";
    std::vector<std::wstring> desktop;
    for (int n = 1; n <= 14; ++n) {
        config += "SquareOrDesktopTile" + std::to_string(n) + "=D" + std::to_string(n) + "\r\n";
        desktop.push_back(L"D" + std::to_wstring(n));
    }
    WriteHostFile(ImagePath(image, "Tools/Tilewright.ini"), config);

    const BalanceLists lists = ReadBalanceLists(L"C:\\Tools\\Tilewright.ini");
    EXPECT_EQ(lists.required, std::vector<std::wstring>{L"A"});
    EXPECT_EQ(lists.onlySupportSquare, (std::vector<std::wstring>{L"Sq1", L"Sq2"}));
    EXPECT_EQ(lists.defaultSquareOrDesktop, desktop) << "no upper bound at 12";
    EXPECT_EQ(lists.backupItem, L"Backup!App");
    EXPECT_TRUE(IsSquareOnly(lists, L"d13", {}));
}

TEST_F(BalanceConfig, MissingFileGivesEmptyLists) {
    const BalanceLists lists = ReadBalanceLists(L"C:\\Tools\\Tilewright.ini");
    EXPECT_TRUE(lists.required.empty());
    EXPECT_TRUE(lists.onlySupportSquare.empty());
    EXPECT_TRUE(lists.defaultSquareOrDesktop.empty());
    EXPECT_TRUE(lists.backupItem.empty());
}

} // namespace

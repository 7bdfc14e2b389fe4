#include "addons/catalogue.h"
#include "app/run_settings.h"
#include "layout_text.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class Catalogue : public ::testing::Test {
  protected:
    void TearDown() override { std::filesystem::remove_all(image.root); }
    void WriteTile(const std::string& name, const std::string& text) {
        WriteHostFile(ImagePath(image, "Tiles/" + name), text);
    }
    void WriteConfig(const std::string& text) {
        WriteHostFile(ImagePath(image, "Tools/Tilewright.ini"), text);
    }
    void Collect() { CollectAddOnTiles(addOnTiles, protectedTiles, regionList); }
    std::vector<std::wstring> Ids(const std::vector<TileInfo>& tiles) {
        std::vector<std::wstring> ids;
        for (const TileInfo& tile : tiles) {
            ids.push_back(tile.AppIdOrPath);
        }
        return ids;
    }

    TestImage image = MakeTestImage();
    std::vector<TileInfo> addOnTiles;
    std::vector<TileInfo> protectedTiles;
    std::vector<std::wstring> regionList;
};

TEST_F(Catalogue, NothingToReadGivesAllAloneAndNoLogLines) {
    Collect();
    EXPECT_TRUE(addOnTiles.empty());
    EXPECT_TRUE(protectedTiles.empty());
    EXPECT_EQ(regionList, std::vector<std::wstring>{L"ALL"});
    EXPECT_EQ(LogWithoutTimestamps(image), "");
}

TEST_F(Catalogue, RequiredApplicationsEndAtTheFirstGap) {
    WriteConfig("[Requirement]\r\nAppIdOrPath1=A\r\nAppIdOrPath3=C\r\n");
    Collect();
    EXPECT_EQ(Ids(protectedTiles), std::vector<std::wstring>{L"A"});
    EXPECT_TRUE(addOnTiles.empty());
}

TEST_F(Catalogue, ReadsEveryDescriptionFileInNameOrderAndLogsIt) {
    WriteConfig("[Requirement]\r\nAppIdOrPath1=Req.One\r\nAppIdOrPath2=Req.Two\r\n");
    WriteTile("b.ini", "[TileInfo]\r\nType=Modern\r\nAppIdOrPath=Example.B!App\r\n"
                       "DefaultSize=Wide\r\nOnlySupportSquare=TRUE\r\nSortScore=-5\r\n"
                       "[SupportRegion]\r\nRegion1=us\r\nRegion2=all\r\nRegion3=DE\r\n");
    WriteTile("A.ini", "[TileInfo]\r\nType=desktop\r\nAppIdOrPath=C:\\x.lnk\r\n"
                       "DefaultSize=Square\r\nOnlySupportSquare=False\r\nSortScore=12abc\r\n"
                       "[SupportRegion]\r\nRegion1=US\r\nRegion3=FR\r\n");
    WriteTile("c.ini", "[TileInfo]\r\nAppIdOrPath=NoType!App\r\n");
    WriteTile("d.ini", "[TileInfo]\r\nType=Modern\r\nAppIdOrPath=Example.D!App\r\n"
                       "OnlySupportSquare=1\r\nSortScore=abc\r\n");
    WriteTile("e.txt", "[TileInfo]\r\nType=Modern\r\nAppIdOrPath=Text!App\r\n");
    std::filesystem::create_directories(ImagePath(image, "Tiles/f.ini"));

    Collect();

    EXPECT_EQ(LogWithoutTimestamps(image), "Found ini: C:\\Tiles\\A.ini\n"
                                           "  --- Type = desktop\n"
                                           "  --- AppIdOrPath = C:\\x.lnk\n"
                                           "  --- DefaultSize = Square\n"
                                           "  --- OnlySupportSquare = True\n"
                                           "  --- SupportRegion = US  \n"
                                           "  --- SortScore = 12\n"
                                           "Found ini: C:\\Tiles\\b.ini\n"
                                           "  --- Type = Modern\n"
                                           "  --- AppIdOrPath = Example.B!App\n"
                                           "  --- DefaultSize = Wide\n"
                                           "  --- OnlySupportSquare = True\n"
                                           "  --- SupportRegion = us  all  DE  \n"
                                           "  --- SortScore = -5\n"
                                           "Found ini: C:\\Tiles\\c.ini\n"
                                           "Found ini: C:\\Tiles\\d.ini\n"
                                           "  --- Type = Modern\n"
                                           "  --- AppIdOrPath = Example.D!App\n"
                                           "  --- DefaultSize = \n"
                                           "  --- OnlySupportSquare = False\n"
                                           "  --- SupportRegion = <All Region>\n"
                                           "  --- SortScore = 0\n"
                                           "Found ini: C:\\Tiles\\f.ini\n");

    EXPECT_EQ(Ids(addOnTiles),
              (std::vector<std::wstring>{L"C:\\x.lnk", L"Example.B!App", L"Example.D!App"}));
    EXPECT_EQ(Ids(protectedTiles), (std::vector<std::wstring>{L"Req.One", L"Req.Two", L"C:\\x.lnk",
                                                              L"Example.B!App", L"Example.D!App"}));
    EXPECT_EQ(regionList, (std::vector<std::wstring>{L"ALL", L"US", L"DE"}));

    ASSERT_EQ(addOnTiles.size(), 3u);
    const TileInfo& desktop = addOnTiles[0];
    EXPECT_EQ(desktop.Type, L"desktop");
    EXPECT_EQ(desktop.DefaultSize, L"Square");
    EXPECT_TRUE(desktop.OnlySupportSquare);
    EXPECT_EQ(desktop.SupportRegion, std::vector<std::wstring>{L"US"});
    EXPECT_EQ(desktop.SortScore, 12);
    const TileInfo& modern = addOnTiles[1];
    EXPECT_TRUE(modern.OnlySupportSquare);
    EXPECT_EQ(modern.SupportRegion, (std::vector<std::wstring>{L"us", L"all", L"DE"}));
    EXPECT_EQ(modern.SortScore, -5);
    EXPECT_FALSE(addOnTiles[2].OnlySupportSquare);
    EXPECT_TRUE(addOnTiles[2].SupportRegion.empty());
    EXPECT_EQ(addOnTiles[2].SortScore, 0);
    EXPECT_EQ(protectedTiles[3].SupportRegion, modern.SupportRegion)
        << "protected copies are whole";
}

TEST_F(Catalogue, PathsTooLongForTheBufferAreRefusedNotCut) {
    const std::string longName = std::string(247, 'n') + ".ini"; // C:\Tiles\ + 251 = 260
    WriteTile(longName, "[TileInfo]\r\nType=Modern\r\nAppIdOrPath=Long!App\r\n");
    WriteTile("ok.ini", "[TileInfo]\r\nType=Modern\r\nAppIdOrPath=Ok!App\r\n");
    Collect();
    EXPECT_EQ(Ids(addOnTiles), std::vector<std::wstring>{L"Ok!App"});
    const std::string log = LogWithoutTimestamps(image);
    EXPECT_EQ(log.substr(0, log.find('\n') + 1),
              "Ini path too long, skipped: C:\\Tiles\\" + longName + "\n");

    // C:\ and 251 characters: the folder itself fits, the pattern "\*.ini" after it does not.
    const std::string longFolder = std::string(251, 't');
    Settings().tilesDataPath = L"C:\\" + std::wstring(longFolder.begin(), longFolder.end());
    WriteHostFile(ImagePath(image, longFolder + "/x.ini"), "[TileInfo]\r\nType=Modern\r\n");
    std::filesystem::remove(ImagePath(image, "Logs/Tilewright.log"));
    Collect();
    EXPECT_TRUE(addOnTiles.empty());
    EXPECT_EQ(regionList, std::vector<std::wstring>{L"ALL"});
    EXPECT_EQ(LogWithoutTimestamps(image),
              "Tiles data path too long, no ini searched: C:\\" + longFolder + "\\*.ini\n");
}

TEST(CatalogueQueries, ContainsRegionComparesWholeNamesIgnoringCase) {
    EXPECT_TRUE(ContainsRegion({L"ALL", L"US"}, L"us"));
    EXPECT_TRUE(ContainsRegion({L"ALL", L"US"}, L"all"));
    EXPECT_FALSE(ContainsRegion({L"ALL", L"US"}, L"U"));
    EXPECT_FALSE(ContainsRegion({}, L"US"));
}

} // namespace

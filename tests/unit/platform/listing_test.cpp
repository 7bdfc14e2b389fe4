// Existence tests, listings with wildcards, and folder creation.
#include "platform/platform.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class Listing : public ::testing::Test {
  protected:
    void SetUp() override {
        image = MakeTestImage();
        for (const char* name : {"b.ini", "A.INI", "a.ini.bak", "b.txt", "_first.ini", "Zeta.ini",
                                 "c.inix", "noext", "x.ini"}) {
            WriteHostFile(ImagePath(image, std::string("Tiles/") + name), "[TileInfo]\r\n");
        }
        fs::create_directories(ImagePath(image, "Tiles/Folder.ini"));
        fs::create_directories(ImagePath(image, "Tiles/sub"));
    }
    void TearDown() override { fs::remove_all(image.root); }

    TestImage image;
};

TEST_F(Listing, PatternMatchesIgnoringCaseInCaseBlindOrder) {
    using Names = std::vector<std::wstring>;
    EXPECT_EQ(ListMatchingNames(L"C:\\Tiles\\*.ini"),
              (Names{L"A.INI", L"b.ini", L"Folder.ini", L"x.ini", L"Zeta.ini", L"_first.ini"}));
    EXPECT_EQ(ListMatchingNames(L"c:\\TILES\\?.INI"), (Names{L"A.INI", L"b.ini", L"x.ini"}));
    EXPECT_EQ(ListMatchingNames(L"C:\\Tiles\\*.*").size(), 11u);
    EXPECT_EQ(ListMatchingNames(L"C:\\Tiles\\*"), ListMatchingNames(L"C:\\Tiles\\*.*"));
    EXPECT_EQ(ListMatchingNames(L"C:\\Tiles\\b*"), (Names{L"b.ini", L"b.txt"}));
    EXPECT_EQ(ListMatchingNames(L"C:/Tiles/*t"), (Names{L"b.txt", L"noext"}));
    EXPECT_EQ(ListMatchingNames(L"C:\\Tiles\\NOEXT"), (Names{L"noext"}));
}

TEST_F(Listing, MissingOrUnreadableFolderListsNothing) {
    EXPECT_TRUE(ListMatchingNames(L"C:\\NoSuchFolder\\*.ini").empty());
    EXPECT_TRUE(ListMatchingNames(L"C:\\Tiles\\b.ini\\*.ini").empty());
    EXPECT_TRUE(ListMatchingNames(L"D:\\Tiles\\*.ini").empty());
    EXPECT_TRUE(ListMatchingNames(L"C:\\Tiles\\*.none").empty());
}

TEST_F(Listing, ExistenceOfFilesAndFolders) {
    EXPECT_TRUE(PathExists(L"C:\\Tiles\\B.INI"));
    EXPECT_TRUE(PathExists(L"C:\\Tiles\\folder.ini"));
    EXPECT_TRUE(PathExists(L"C:\\Tiles\\"));
    EXPECT_FALSE(PathExists(L"C:\\Tiles\\none.ini"));
    EXPECT_EQ(LastPlatformError(), PlatformError::NotFound);
    EXPECT_FALSE(PathExists(L"C:\\Tiles\\b.ini\\x"));
    EXPECT_FALSE(PathExists(L"\\\\server\\share"));
    EXPECT_TRUE(IsFolder(L"C:\\tiles\\SUB"));
    EXPECT_FALSE(IsFolder(L"C:\\Tiles\\b.ini"));
    EXPECT_FALSE(IsFolder(L"C:\\Nothing"));
}

TEST_F(Listing, FolderCreation) {
    EXPECT_TRUE(CreateOneFolder(L"C:\\Logs"));
    EXPECT_TRUE(fs::is_directory(ImagePath(image, "Logs")));
    EXPECT_FALSE(CreateOneFolder(L"C:\\logs"));
    EXPECT_EQ(LastPlatformError(), PlatformError::AlreadyExists);
    EXPECT_FALSE(CreateOneFolder(L"C:\\A\\B"));
    EXPECT_EQ(LastPlatformError(), PlatformError::NotFound);

    EXPECT_TRUE(CreateFolderTree(L"C:\\logs\\Deep\\er\\"));
    EXPECT_TRUE(fs::is_directory(ImagePath(image, "Logs/Deep/er")));
    EXPECT_FALSE(CreateFolderTree(L"C:\\Logs\\deep"));
    EXPECT_EQ(LastPlatformError(), PlatformError::AlreadyExists);
    EXPECT_FALSE(CreateFolderTree(L"C:\\Tiles\\b.ini\\x"));
    EXPECT_FALSE(CreateFolderTree(L"D:\\x"));
}

} // namespace

// The default mode's staged pair of passes: the answer file changes once, from its old content to
// its complete new content, and ends as the two plain passes leave it.
#include "layout/unattend_store.h"

#include "answer_file_fixture.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

const std::string Bom = "\xEF\xBB\xBF";

const std::string Answer =
    Bom + "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<unattend>\r\n"
          "\t<settings pass=\"oobeSystem\">\r\n"
          "\t\t<component name=\"Microsoft-Windows-Shell-Setup\">\r\n"
          "\t\t\t<StartTiles>\r\n\t\t\t\t<WideTiles>\r\n\t\t\t\t\t<WideTile1>\r\n"
          "\t\t\t\t\t\t<AppId>A</AppId>\r\n\t\t\t\t\t</WideTile1>\r\n\t\t\t\t</WideTiles>\r\n"
          "\t\t\t</StartTiles>\r\n\t\t</component>\r\n\t</settings>\r\n</unattend>\r\n";

std::string BackupHost(const TestImage& image) {
    return ImagePath(image, "Windows/Panther/unattend.save.xml");
}
std::string StagedHost(const TestImage& image) {
    return ImagePath(image, "Tools/unattend.staged.xml");
}
std::string TemporaryHost(const TestImage& image) {
    return ImagePath(image, "Tools/unattend.temp.xml");
}

std::vector<RegionalOverride> BaseOnly(const std::wstring& wideTile) {
    RegionalOverride base;
    base.layout.slots[0] = wideTile;
    return {base};
}

} // namespace

TEST(UnattendStaged, EndsAsTheTwoPlainPassesAndChangesTheAnswerFileOnlyAtTheWrite) {
    TestImage plain = MakeTestImage();
    WriteHostFile(AnswerHost(plain), Answer);
    TileLayout plainLayout;
    ASSERT_EQ(ReadUnattendLayout(plainLayout), 1);
    ASSERT_EQ(WriteUnattendLayout(BaseOnly(L"B")), 1);
    std::string plainAnswer = ReadHostFile(AnswerHost(plain));
    std::string plainBackup = ReadHostFile(BackupHost(plain));

    TestImage staged = MakeTestImage();
    WriteHostFile(AnswerHost(staged), Answer);
    TileLayout stagedLayout;
    ASSERT_EQ(ReadUnattendLayoutStaged(stagedLayout), 1);
    EXPECT_EQ(stagedLayout.slots, plainLayout.slots);
    EXPECT_EQ(ReadHostFile(AnswerHost(staged)), Answer);
    EXPECT_TRUE(HostFileExists(StagedHost(staged)));
    ASSERT_EQ(WriteUnattendLayoutStaged(BaseOnly(L"B")), 1);

    EXPECT_EQ(ReadHostFile(AnswerHost(staged)), plainAnswer);
    EXPECT_EQ(ReadHostFile(BackupHost(staged)), plainBackup);
    EXPECT_FALSE(HostFileExists(StagedHost(staged)));
    EXPECT_FALSE(HostFileExists(TemporaryHost(staged)));
}

TEST(UnattendStaged, AWriteThatFailsLeavesTheAnswerFileWithItsOldSection) {
    struct Case {
        const char* name;
        std::string answer;
        bool readOnly;
    };
    const std::string noPlace = Bom +
                                "<unattend>\r\n\t<StartTiles>\r\n\t\t<WideTile1>\r\n"
                                "\t\t\t<AppId>A</AppId>\r\n\t</StartTiles>\r\n</unattend>\r\n";
    const std::vector<Case> cases = {
        {"no Shell-Setup component to hold the section", noPlace, false},
        {"the answer file is read-only", Answer, true},
    };
    for (const Case& c : cases) {
        TestImage image = MakeTestImage();
        WriteHostFile(AnswerHost(image), c.answer);
        if (c.readOnly) {
            ::chmod(AnswerHost(image).c_str(), 0444);
        }
        TileLayout layout;
        ASSERT_EQ(ReadUnattendLayoutStaged(layout), 1) << c.name;
        EXPECT_EQ(layout.slots[0], L"A") << c.name;
        EXPECT_EQ(WriteUnattendLayoutStaged(BaseOnly(L"B")), 0) << c.name;
        EXPECT_EQ(ReadHostFile(AnswerHost(image)), c.answer) << c.name;
        EXPECT_FALSE(HostFileExists(StagedHost(image))) << c.name;
        EXPECT_FALSE(HostFileExists(TemporaryHost(image))) << c.name;
    }
}

TEST(UnattendStaged, AStagedCopyLeftByAKilledRunNeverReachesTheAnswerFile) {
    const std::string leftover =
        Bom + "<unattend>\r\n\t<settings pass=\"oobeSystem\">\r\n"
              "\t\t<component name=\"Microsoft-Windows-Shell-Setup\">\r\n<leftover/>\r\n";

    // With an answer file, the first pass starts a fresh copy of it.
    TestImage image = MakeTestImage();
    WriteHostFile(StagedHost(image), leftover);
    WriteHostFile(TemporaryHost(image), leftover);
    WriteHostFile(AnswerHost(image), Answer);
    TileLayout layout;
    ASSERT_EQ(ReadUnattendLayoutStaged(layout), 1);
    EXPECT_FALSE(HostFileExists(TemporaryHost(image)));
    ASSERT_EQ(WriteUnattendLayoutStaged(BaseOnly(L"B")), 1);
    EXPECT_EQ(ReadHostFile(AnswerHost(image)).find("leftover"), std::string::npos);

    // Without one, the leftover is deleted, so no later write can take it for the stripped file.
    TestImage missing = MakeTestImage();
    WriteHostFile(StagedHost(missing), leftover);
    EXPECT_EQ(ReadUnattendLayoutStaged(layout), 0);
    EXPECT_FALSE(HostFileExists(StagedHost(missing)));
    EXPECT_FALSE(HostFileExists(AnswerHost(missing)));
}

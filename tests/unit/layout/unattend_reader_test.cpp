#include "layout/unattend_store.h"

#include "answer_file_fixture.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

namespace {

const std::string Bom = "\xEF\xBB\xBF";

void ExpectLayout(const TileLayout& actual, const TileLayout& expected, const std::string& what) {
    for (int index = 0; index < SlotCount; ++index) {
        EXPECT_EQ(actual.slots[index], expected.slots[index]) << what << ", slot " << index;
    }
}

} // namespace

// The writer's own output read back: every slot holds the value of the last override that fills
// it, else the base value; the section is gone and the rest of the file is kept line for line.
TEST(ReadUnattendLayout, TakesTheTilesAndRemovesTheSection) {
    TestImage image = MakeTestImage();
    std::string before = Golden("writer_overrides.xml");
    WriteHostFile(AnswerHost(image), before);

    TileLayout layout;
    EXPECT_EQ(ReadUnattendLayout(layout), 1);

    TileLayout expected = LayoutOf({
        {0, L"Microsoft.BingNews_8wekyb3d8bbwe!AppexNews"},
        {1, L"Contoso.Atlas_1a2b3c!App"},
        {2, L"Microsoft.BingWeather_8wekyb3d8bbwe!App"},
        {5, L"Contoso.\u65e5\u672c_1a2b3c!App"},
        {6, L"Contoso.Radio_1a2b3c!App"},
        {8, L"Microsoft.WindowsCalculator_8wekyb3d8bbwe!App"},
        {12, L"Microsoft.ZuneMusic_8wekyb3d8bbwe!Microsoft.ZuneMusic"},
        {17, L"X"},
        {18, L"%ProgramData%\\Microsoft\\Windows\\Start Menu\\Programs\\Accessories\\Paint.lnk"},
        {22, L"C:\\Program Files\\Contoso\\Viewer.lnk"},
        {29, L"Microsoft.Camera_8wekyb3d8bbwe!App"},
    });
    ExpectLayout(layout, expected, "read layout");
    // The input ended with a line break: the empty remainder after it is one more line.
    EXPECT_EQ(ReadHostFile(AnswerHost(image)), Golden("answer_before.xml") + "\r\n\r\n");
    EXPECT_EQ(ReadHostFile(ImagePath(image, "Windows/Panther/unattend.save.xml")), before);
    EXPECT_EQ(LogWithoutTimestamps(image),
              "Backup unattend succeeded.\nOpen unattend succeeded!.\n");
    EXPECT_FALSE(HostFileExists(ImagePath(image, "Tools/unattend.temp.xml")));
}

TEST(ReadUnattendLayout, TakesEachValueFromTheLineAfterItsTag) {
    struct Case {
        const char* name;
        std::vector<std::string> body; // lines between <StartTiles> and </StartTiles>
        std::vector<std::pair<int, std::wstring>> filled;
    };
    const Case cases[] = {
        {"tag on the line before its value",
         {"<WideTile2>", "<AppId>X</AppId>", "</WideTile2>"},
         {{1, L"X"}}},
        {"blanks inside the tags are kept",
         {"<SquareTile1>", "\t<AppId>  A B  </AppId>", "</SquareTile1>"},
         {{6, L"  A B  "}}},
        {"the value element's name is not examined",
         {"<SquareTile12>", "<Whatever>v</Whatever>", "<SquareOrDesktopTile1>", "no tags at all"},
         {{17, L"v"}, {18, L"no tags at all"}}},
        {"predefined entities and numeric references are decoded",
         {"<SquareOrDesktopTile12>",
          "<AppIdOrPath>A&amp;B &lt;&gt;&quot;&apos; &#65;&#x42;&#x65e5;&#x1F600;</AppIdOrPath>"},
         {{29, L"A&B <>\"' AB\u65e5\U0001F600"}}},
        {"anything else that starts with an ampersand stays as written",
         {"<WideTile1>", "<AppId>&nbsp; & &amp &#xZZ; &#0; &#x110000; &#X41; &#;</AppId>"},
         {{0, L"&nbsp; & &amp &#xZZ; &#0; &#x110000; &#X41; &#;"}}},
        {"numbers outside the ranges and tags with blanks or attributes are ignored",
         {"<WideTile7>", "<AppId>a</AppId>", "<SquareTile13>", "<AppId>b</AppId>",
          "<SquareOrDesktopTile0>", "<AppIdOrPath>c</AppIdOrPath>", "<WideTile1 >",
          "<AppId>d</AppId>", "<WideTile2 x=\"1\">", "<AppId>e</AppId>"},
         {}},
        {"a tag with its value on one line takes the next line instead",
         {"<WideTile3><AppId>Z</AppId>", "</WideTile3>", "<WideTile4><AppId>Z</AppId></WideTile4>",
          "<Next>Y</Next>"},
         {{2, L""}, {3, L"Y"}}},
        {"a later override replaces the base value",
         {"<WideTiles>",           "<WideTile1>",          "<AppId>base</AppId>", "</WideTile1>",
          "</WideTiles>",          "<RegionalOverrides>",  "<RegionalOverride>",  "<WideTiles>",
          "<WideTile1>",           "<AppId>first</AppId>", "</WideTile1>",        "</WideTiles>",
          "</RegionalOverride>",   "<RegionalOverride>",   "<WideTiles>",         "<WideTile1>",
          "<AppId>second</AppId>", "</WideTile1>",         "</WideTiles>",        "<SquareTiles>",
          "<SquareTile2>",         "<AppId>o</AppId>",     "</SquareTile2>",      "</SquareTiles>",
          "</RegionalOverride>",   "</RegionalOverrides>"},
         {{0, L"second"}, {7, L"o"}}},
    };
    for (const Case& c : cases) {
        TestImage image = MakeTestImage();
        std::string file = "<unattend>\r\n\t<StartTiles>\r\n";
        for (const std::string& line : c.body) {
            file += line + "\r\n";
        }
        file += "\t</StartTiles>\r\n</unattend>";
        WriteHostFile(AnswerHost(image), file);

        // A slot that no element names keeps what the caller put there.
        TileLayout layout = LayoutOf({{28, L"untouched"}});
        EXPECT_EQ(ReadUnattendLayout(layout), 1) << c.name;
        std::vector<std::pair<int, std::wstring>> expected = c.filled;
        expected.push_back({28, L"untouched"});
        ExpectLayout(layout, LayoutOf(expected), c.name);
        EXPECT_EQ(ReadHostFile(AnswerHost(image)), Bom + "<unattend>\r\n</unattend>\r\n") << c.name;
    }
}

TEST(ReadUnattendLayout, RewritesTheFileAsUtf8WithOneMarkAndCrLf) {
    struct Case {
        const char* name;
        std::string before;
        std::string after;
    };
    const std::string longLine =
        std::string(5000, 'a') + "\xF0\x9F\x98\x80" + std::string(5000, 'b');
    const Case cases[] = {
        {"a final line break gives one empty line more", "<a>\n<b>\n", Bom + "<a>\r\n<b>\r\n\r\n"},
        {"no final line break", "<a>\r\n<b>", Bom + "<a>\r\n<b>\r\n"},
        {"the file's byte-order mark is not doubled", Bom + "<a>\r\n<b>", Bom + "<a>\r\n<b>\r\n"},
        {"an empty file", "", Bom + "\r\n"},
        {"a mark alone", Bom, Bom + "\r\n"},
        {"whole lines go with the section, text around its tags too",
         "<x>\n<y><StartTiles>\n<WideTiles>\n</StartTiles><z>\n<w>", Bom + "<x>\r\n<w>\r\n"},
        {"a closing tag outside any section drops its line", "<x>\n</StartTiles>\n<w>",
         Bom + "<x>\r\n<w>\r\n"},
        {"long lines and characters beyond 16 bits are kept whole", longLine + "\n<w>",
         Bom + longLine + "\r\n<w>\r\n"},
    };
    for (const Case& c : cases) {
        TestImage image = MakeTestImage();
        WriteHostFile(AnswerHost(image), c.before);
        TileLayout layout;
        EXPECT_EQ(ReadUnattendLayout(layout), 1) << c.name;
        EXPECT_EQ(ReadHostFile(AnswerHost(image)), c.after) << c.name;
        EXPECT_EQ(ReadHostFile(ImagePath(image, "Windows/Panther/unattend.save.xml")), c.before)
            << c.name;
        EXPECT_FALSE(HostFileExists(ImagePath(image, "Tools/unattend.temp.xml"))) << c.name;
    }
}

TEST(ReadUnattendLayout, LeftoverTemporaryCopyNeverReachesTheAnswerFile) {
    TestImage image = MakeTestImage();
    // A copy left by an interrupted run, with the mark that would let lines be appended to it.
    WriteHostFile(ImagePath(image, "Tools/unattend.temp.xml"), Bom + "<leftover/>\r\n");
    WriteHostFile(AnswerHost(image), "<a>");
    TileLayout layout;
    EXPECT_EQ(ReadUnattendLayout(layout), 1);
    EXPECT_EQ(ReadHostFile(AnswerHost(image)), Bom + "<a>\r\n");
    EXPECT_FALSE(HostFileExists(ImagePath(image, "Tools/unattend.temp.xml")));
}

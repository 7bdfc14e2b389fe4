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
const std::string EmptySection = "\t\t\t<StartTiles>\r\n\t\t\t</StartTiles>\r\n";
const std::string NoPlaceLine = "The answer file has no oobeSystem Microsoft-Windows-Shell-Setup "
                                "component to hold the Start layout; it is left unchanged.\n";

RegionalOverride Record(std::int32_t order, std::vector<std::wstring> regions,
                        const std::vector<std::pair<int, std::wstring>>& slots) {
    RegionalOverride record;
    record.order = order;
    record.regions = std::move(regions);
    record.layout = LayoutOf(slots);
    return record;
}

// The records behind the golden files.
const RegionalOverride Base = Record(
    0, {},
    {{0, L"Microsoft.BingNews_8wekyb3d8bbwe!AppexNews"},
     {2, L"Microsoft.BingWeather_8wekyb3d8bbwe!App"},
     {8, L"Microsoft.WindowsCalculator_8wekyb3d8bbwe!App"},
     {12, L"Microsoft.ZuneMusic_8wekyb3d8bbwe!Microsoft.ZuneMusic"},
     {18, L"%ProgramData%\\Microsoft\\Windows\\Start Menu\\Programs\\Accessories\\Paint.lnk"},
     {29, L"Microsoft.Camera_8wekyb3d8bbwe!App"}});
const RegionalOverride Order1 =
    Record(1, {L"DE"}, {{1, L"Contoso.Atlas_1a2b3c!App"}, {6, L"Contoso.Radio_1a2b3c!App"}});
const RegionalOverride Order9 =
    Record(9, {L"AT", L"CH"}, {{22, L"C:\\Program Files\\Contoso\\Viewer.lnk"}});
const RegionalOverride Order12 = Record(12, {L"FR"}, {});
const RegionalOverride Order100 =
    Record(100, {L"JP"}, {{5, L"Contoso.\u65e5\u672c_1a2b3c!App"}, {17, L"X"}});

// Runs the writer on an answer file holding before; gives its result.
int WriteOver(const TestImage& image, const std::string& before,
              const std::vector<RegionalOverride>& overrides) {
    WriteHostFile(AnswerHost(image), before);
    return WriteUnattendLayout(overrides);
}

} // namespace

TEST(WriteUnattendLayout, WritesTheSectionByteForByte) {
    struct Case {
        const char* golden;
        std::vector<RegionalOverride> overrides;
    };
    const Case cases[] = {
        {"writer_base_only.xml", {Base}},
        {"writer_overrides.xml", {Base, Order1, Order9, Order12, Order100}},
        // The base record is taken wherever it stands; the others keep their order.
        {"writer_overrides.xml", {Order1, Order9, Base, Order12, Order100}},
        {"writer_empty_list.xml", {}},
        {"writer_empty_layouts.xml", {Record(0, {}, {}), Record(1, {L"DE"}, {})}},
        {"writer_ampersand.xml",
         {Record(0, {},
                 {{0, L"Contoso.Tools&Games_1a2b3c!App"}, {19, L"C:\\Games\\<Best> & Co.lnk"}}),
          Record(1, {L"A&B"}, {{0, L"&amp;"}})}},
    };
    for (const Case& c : cases) {
        TestImage image = MakeTestImage();
        std::string before = Golden("answer_before.xml");
        EXPECT_EQ(WriteOver(image, before, c.overrides), 1) << c.golden;
        EXPECT_EQ(ReadHostFile(AnswerHost(image)), Golden(c.golden)) << c.golden;
        EXPECT_EQ(ReadHostFile(ImagePath(image, "Windows/Panther/unattend.save.xml")), before)
            << c.golden;
        EXPECT_EQ(LogWithoutTimestamps(image), "Backup unattend succeeded.\n") << c.golden;
        EXPECT_FALSE(HostFileExists(ImagePath(image, "Tools/unattend.temp.xml"))) << c.golden;
    }
}

TEST(WriteUnattendLayout, WithoutABaseRecordWritesOnlyTheOverrides) {
    TestImage image = MakeTestImage();
    std::string before = "<settings pass=\"oobeSystem\">\r\n"
                         "<component name=\"Microsoft-Windows-Shell-Setup\">";
    EXPECT_EQ(WriteOver(image, before, {Record(3, {L"DE"}, {})}), 1);
    EXPECT_EQ(ReadHostFile(AnswerHost(image)),
              Bom + before + "\r\n" +
                  "\t\t\t<StartTiles>\r\n"
                  "\t\t\t\t<RegionalOverrides>\r\n"
                  "\t\t\t\t\t<RegionalOverride>\r\n"
                  "\t\t\t\t\t\t<Order>03</Order>\r\n"
                  "\t\t\t\t\t\t<Regions>\r\n"
                  "\t\t\t\t\t\t\t<Region>\r\n"
                  "\t\t\t\t\t\t\t\t<Key>1</Key>\r\n"
                  "\t\t\t\t\t\t\t\t<CountryOrRegionID>DE</CountryOrRegionID>\r\n"
                  "\t\t\t\t\t\t\t</Region>\r\n"
                  "\t\t\t\t\t\t</Regions>\r\n"
                  "\t\t\t\t\t\t<WideTiles>\r\n"
                  "\t\t\t\t\t\t</WideTiles>\r\n"
                  "\t\t\t\t\t\t<SquareTiles>\r\n"
                  "\t\t\t\t\t\t</SquareTiles>\r\n"
                  "\t\t\t\t\t</RegionalOverride>\r\n"
                  "\t\t\t\t</RegionalOverrides>\r\n"
                  "\t\t\t</StartTiles>\r\n");
}

TEST(WriteUnattendLayout, InsertsTheSectionAfterEachPassAndComponentPair) {
    const std::string pass = "<settings pass=\"oobeSystem\">\r\n";
    const std::string component = "<component name=\"Microsoft-Windows-Shell-Setup\">\r\n";
    const std::string other = "<component name=\"Microsoft-Windows-International-Core\">\r\n";
    struct Case {
        const char* name;
        std::string before; // every line ends with CR LF; the empty remainder is one more line
        std::string after;  // without the byte-order mark and the final empty line
    };
    const Case cases[] = {
        {"markers in capitals",
         "<SETTINGS PASS=\"OOBESYSTEM\">\r\n<COMPONENT NAME=\"MICROSOFT-"
         "WINDOWS-SHELL-SETUP\">\r\n<x/>\r\n",
         "<SETTINGS PASS=\"OOBESYSTEM\">\r\n<COMPONENT "
         "NAME=\"MICROSOFT-WINDOWS-SHELL-SETUP\">\r\n" +
             EmptySection + "<x/>\r\n"},
        {"a component before the pass does not count", component + pass + other + component,
         component + pass + other + component + EmptySection},
        {"both markers on one line",
         "<settings pass=\"oobeSystem\"><component name=\"Microsoft-Windows-Shell-Setup\">\r\n",
         "<settings pass=\"oobeSystem\"><component name=\"Microsoft-Windows-Shell-Setup\">\r\n" +
             EmptySection},
        {"a second pair gets a second section", pass + component + pass + component,
         pass + component + EmptySection + pass + component + EmptySection},
    };
    for (const Case& c : cases) {
        TestImage image = MakeTestImage();
        EXPECT_EQ(WriteOver(image, c.before, {}), 1) << c.name;
        EXPECT_EQ(ReadHostFile(AnswerHost(image)), Bom + c.after + "\r\n") << c.name;
    }
}

TEST(WriteUnattendLayout, WithoutAPlaceForTheSectionChangesNothing) {
    struct Case {
        const char* name;
        std::string before;
    };
    const Case cases[] = {
        {"no oobeSystem pass", "<settings pass=\"windowsPE\">\r\n<component "
                               "name=\"Microsoft-Windows-Shell-Setup\">\r\n"},
        {"the component only before the pass",
         "<component name=\"Microsoft-Windows-Shell-Setup\">\r\n<settings pass=\"oobeSystem\">"},
        {"an empty file", ""},
    };
    for (const Case& c : cases) {
        TestImage image = MakeTestImage();
        EXPECT_EQ(WriteOver(image, c.before, {Base}), 0) << c.name;
        EXPECT_EQ(ReadHostFile(AnswerHost(image)), c.before) << c.name;
        EXPECT_FALSE(HostFileExists(ImagePath(image, "Windows/Panther/unattend.save.xml")))
            << c.name;
        EXPECT_FALSE(HostFileExists(ImagePath(image, "Tools/unattend.temp.xml"))) << c.name;
        EXPECT_EQ(LogWithoutTimestamps(image), NoPlaceLine) << c.name;
    }
}

// What the writer puts in and the reader takes out are the same values, however they are spelt.
TEST(UnattendStore, ValuesComeBackUnchangedThroughWriteAndRead) {
    TestImage image = MakeTestImage();
    const TileLayout written = LayoutOf({
        {0, L"Contoso.Tools&Games_1a2b3c!App"},
        {1, L"<x>"},
        {2, L"&amp;"},
        {3, L"&#65;"},
        {4, L"  spaced  "},
        {5, L"two\r\nlines\n</StartTiles>\r"},
        {6, L"C:\\Users\\Ren\u00e9\\\u65e5\u672c \U0001F600.lnk"},
        {18, std::wstring(3000, L'w') + L"&" + std::wstring(3000, L'z')},
    });
    RegionalOverride base;
    base.layout = written;
    std::string before = Golden("answer_before.xml");
    ASSERT_EQ(WriteOver(image, before, {base}), 1);

    TileLayout read;
    EXPECT_EQ(ReadUnattendLayout(read), 1);
    for (int index = 0; index < SlotCount; ++index) {
        EXPECT_EQ(read.slots[index], written.slots[index]) << "slot " << index;
    }
    // Each pass reads the empty remainder after the final line break as one more line.
    EXPECT_EQ(ReadHostFile(AnswerHost(image)), before + "\r\n\r\n");
}

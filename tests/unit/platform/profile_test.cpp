// Reading values from INI files as GetPrivateProfileStringW does.
#include "platform/platform.h"
#include "platform/text.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Lookup {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* expected;
};

class ProfileReading : public ::testing::Test {
  protected:
    void SetUp() override { image = MakeTestImage(); }
    void TearDown() override { fs::remove_all(image.root); }

    void Check(const std::string& bytes, const std::vector<Lookup>& lookups) {
        WriteHostFile(ImagePath(image, "Tiles/Test.ini"), bytes);
        for (const Lookup& lookup : lookups) {
            EXPECT_EQ(ReadProfileString(L"C:\\Tiles\\Test.ini", lookup.section, lookup.key),
                      lookup.expected)
                << fs::path(lookup.section).string() << "/" << fs::path(lookup.key).string();
        }
    }

    TestImage image;
};

TEST_F(ProfileReading, NamesBlanksQuotesAndComments) {
    Check("; a comment\r\n"
          "Orphan=before any section\r\n"
          "[TileInfo]\r\n"
          "Type=Desktop\r\n"
          "  appidorpath \t=  C:\\Users\\Public\\Desktop\\Foo.lnk  \r\n"
          "type=second key of the same name\r\n"
          "Quoted=\"  kept blanks  \"\r\n"
          "Single='single'\r\n"
          "Mismatched=\"open'\r\n"
          "OnlyQuote=\"\r\n"
          "Inner=a \"b\" c\r\n"
          "Empty=\r\n"
          "Trailing=value ; not a comment\r\n"
          "   ; Hidden=commented out\r\n"
          "line without equals sign\r\n"
          "Equals=a=b\r\n"
          "[ SupportRegion ]\r\n"
          "Region1=DE\r\n"
          "[tileinfo]\r\n"
          "Type=from a repeated section\r\n"
          "Extra=from a repeated section\r\n",
          {
              {L"TileInfo", L"Type", L"Desktop"},
              {L"TILEINFO", L"TYPE", L"Desktop"},
              {L"TileInfo", L"AppIdOrPath", L"C:\\Users\\Public\\Desktop\\Foo.lnk"},
              {L"TileInfo", L"Quoted", L"  kept blanks  "},
              {L"TileInfo", L"Single", L"single"},
              {L"TileInfo", L"Mismatched", L"\"open'"},
              {L"TileInfo", L"OnlyQuote", L"\""},
              {L"TileInfo", L"Inner", L"a \"b\" c"},
              {L"TileInfo", L"Empty", L""},
              {L"TileInfo", L"Missing", L""},
              {L"TileInfo", L"Trailing", L"value ; not a comment"},
              {L"TileInfo", L"Hidden", L""},
              {L"TileInfo", L"; Hidden", L""},
              {L"TileInfo", L"Equals", L"a=b"},
              {L"TileInfo", L"Extra", L""},
              {L"TileInfo", L"Orphan", L""},
              {L"SupportRegion", L"Region1", L"DE"},
              {L"NoSection", L"Type", L""},
          });
}

TEST_F(ProfileReading, LineEndsOfEveryKind) {
    Check("[A]\nLf=1\r\nCrLf=2\rCr=3\n[B]\rKey=4", {
                                                       {L"A", L"Lf", L"1"},
                                                       {L"A", L"CrLf", L"2"},
                                                       {L"A", L"Cr", L"3"},
                                                       {L"B", L"Key", L"4"},
                                                   });
}

TEST_F(ProfileReading, Encodings) {
    const std::string text = "[MutiName]\r\nde-DE=Verkn\xC3\xBCpfung\r\n";
    std::vector<std::uint8_t> units =
        Utf16LeFromWide(L"[MutiName]\r\nde-DE=Verkn\u00FCpfung \u20AC\r\n", false);
    std::string utf16 = "\xFF\xFE" + std::string(units.begin(), units.end());
    Check(text, {{L"MutiName", L"de-DE", L"Verkn\u00FCpfung"}});
    Check("\xEF\xBB\xBF" + text, {{L"MutiName", L"de-DE", L"Verkn\u00FCpfung"}});
    Check("[MutiName]\r\nde-DE=Verkn\xFCpfung \x80\r\n",
          {{L"MutiName", L"de-DE", L"Verkn\u00FCpfung \u20AC"}});
    Check(utf16, {{L"MutiName", L"de-DE", L"Verkn\u00FCpfung \u20AC"}});
    std::string bigEndian = "\xFE\xFF";
    for (std::size_t i = 2; i + 1 < utf16.size(); i += 2) {
        bigEndian += utf16.substr(i + 1, 1) + utf16.substr(i, 1);
    }
    Check(bigEndian, {{L"MutiName", L"de-DE", L"Verkn\u00FCpfung \u20AC"}});
    // Without its mark UTF-16 is 8-bit text with a zero after every character: nothing matches.
    Check(utf16.substr(2), {{L"MutiName", L"de-DE", L""}});
}

TEST_F(ProfileReading, LongValueIsCutTo259Characters) {
    std::string value(300, 'x');
    value[258] = 'L';
    value[259] = 'N';
    Check("[Default]\r\nWideTile1=" + value + "\r\nQuoted=\"" + value + "\"\r\n",
          {{L"Default", L"WideTile1", std::wstring(258, L'x').append(L"L").c_str()},
           {L"Default", L"Quoted", std::wstring(258, L'x').append(L"L").c_str()}});
}

TEST_F(ProfileReading, MissingFolderOrUnreadableFileReadsEmpty) {
    EXPECT_EQ(ReadProfileString(L"C:\\Tiles\\None.ini", L"A", L"B"), L"");
    fs::create_directories(ImagePath(image, "Tiles/Folder.ini"));
    EXPECT_EQ(ReadProfileString(L"C:\\Tiles\\Folder.ini", L"A", L"B"), L"");
    EXPECT_EQ(ReadProfileString(L"D:\\Tiles\\Any.ini", L"A", L"B"), L"");
    if (geteuid() != 0) {
        WriteHostFile(ImagePath(image, "Tiles/Locked.ini"), "[A]\r\nB=1\r\n");
        chmod(ImagePath(image, "Tiles/Locked.ini").c_str(), 0);
        EXPECT_EQ(ReadProfileString(L"C:\\Tiles\\Locked.ini", L"A", L"B"), L"");
    }
}

TEST_F(ProfileReading, FileNameMatchesIgnoringCaseAndChangesAreSeen) {
    WriteHostFile(ImagePath(image, "Tiles/Case.INI"), "[A]\r\nB=first\r\n");
    EXPECT_EQ(ReadProfileString(L"c:\\tiles\\case.ini", L"A", L"B"), L"first");
    // Same size, rewritten at once: the file's change time or mtime still tells it apart.
    WriteHostFile(ImagePath(image, "Tiles/Case.INI"), "[A]\r\nB=other\r\n");
    struct timespec times[2] = {{0, UTIME_OMIT}, {12345, 678}};
    utimensat(AT_FDCWD, ImagePath(image, "Tiles/Case.INI").c_str(), times, 0);
    EXPECT_EQ(ReadProfileString(L"c:\\tiles\\case.ini", L"A", L"B"), L"other");
    WriteHostFile(ImagePath(image, "Tiles/Case.INI"), "[A]\r\nB=longer value\r\n");
    EXPECT_EQ(ReadProfileString(L"c:\\tiles\\case.ini", L"A", L"B"), L"longer value");
}

} // namespace

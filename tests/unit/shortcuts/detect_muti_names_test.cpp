#include "shortcuts/muti_name.h"

#include "app/run_settings.h"
#include "log/log_file.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "registry_fixture.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const std::string RefusedNameReason =
    ": a file name may not be . or .., nor hold a folder, a drive, a control character or any of "
    "\\ / : * ? \" < > |";

// A fresh image whose user-interface language is German (de-DE).
class DetectMutiNamesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        setenv("LANG", "de_DE.UTF-8", 1);
        image = MakeTestImage();
    }

    // A description file in C:\Tiles.
    void WriteTile(const std::string& name, const std::string& tileInfo,
                   const std::string& mutiNames) {
        WriteHostFile(ImagePath(image, "Tiles/" + name), "[TileInfo]\r\nType=Desktop\r\n" +
                                                             tileInfo + "\r\n[MutiName]\r\n" +
                                                             mutiNames + "\r\n");
    }

    // A shortcut-enabled description file for the shortcut at path with a German name.
    void WriteMutiTile(const std::string& name, const std::string& path,
                       const std::string& germanName) {
        WriteTile(name, "SupportMuti=TRUE\r\nAppIdOrPath=" + path,
                  "en-US=English\r\nde-DE=" + germanName);
    }

    std::string Shortcut(const std::string& relative) {
        return ImagePath(image, "Users/Public/Desktop/" + relative);
    }

    TestImage image;
};

// The lines a description file gets up to the existence test of its shortcut.
std::string FoundLines(const std::string& iniName, const std::string& shortcut, bool exists) {
    return "\nFound ini : C:\\Tiles\\" + iniName +
           "\nSupportMuti = TRUE\nPrepare to search : " + shortcut +
           (exists ? "\nResult : The AppIdOrPath is exist\n"
                   : "\nResult : The AppIdOrPath is not exist\n");
}

// The success lines of one value (paths in ASCII); the first names two paths of up to 259
// characters and is cut to the message buffer by the log writer.
std::string SuccessLines(const std::string& oldPath, const std::string& newPath,
                         const std::string& keyBelowStartLayout) {
    std::string modified = "Modify registry succeeded:[" + oldPath + "] -> [" + newPath + "]";
    return modified.substr(0, MessageBufferChars) + "\n" +
           "  --- Active key = [HKEY_LOCAL_MACHINE\\" + Utf8FromWide(StartLayoutKey) +
           keyBelowStartLayout + "\\]\n";
}

TEST_F(DetectMutiNamesTest, RenamesTheShortcutAndEveryRegistryValueThatNamedIt) {
    const std::wstring oldPath = L"C:\\Users\\Public\\Desktop\\Foo.lnk";
    const std::wstring newPath = L"C:\\Users\\Public\\Desktop\\Bar.lnk";
    WriteHostFile(Shortcut("Foo.lnk"), "shortcut");
    WriteMutiTile("foo.ini", "C:\\Users\\Public\\Desktop\\Foo.lnk", "Bar");
    // Keys in name order, so that every way of enumerating subkeys visits them alike.
    WriteStartLayoutRegistry(
        image.registry,
        {
            {L"Extra", {}},
            {L"Extra\\Deeper", {}},
            {L"Extra\\Deeper\\Deepest", {{L"AppIdOrPath", RegistryTypeString, oldPath}}},
            {L"SquareTiles", {{L"AppIdOrPath", RegistryTypeString, oldPath}}},
            {L"SquareTiles\\SquareOrDesktopTile1",
             {{L"AppIdOrPath", RegistryTypeString, L"c:\\users\\public\\desktop\\foo.lnk"}}},
            {L"SquareTiles\\SquareOrDesktopTile2",
             {{L"AppIdOrPath", RegistryTypeString, L"C:\\Users\\Public\\Desktop\\Foo.lnk2"}}},
            {L"SquareTiles\\SquareOrDesktopTile3",
             {{L"AppIdOrPath", RegistryTypeExpandString, L"C:\\USERS\\PUBLIC\\DESKTOP\\FOO.LNK"}}},
            // A multi-string is never overwritten by one path: its other strings would be lost.
            {L"SquareTiles\\SquareOrDesktopTile4",
             {{L"AppIdOrPath", RegistryTypeMultiString,
               oldPath + L'\0' + L"C:\\Other.lnk" + L'\0'}}},
            {L"SquareTiles\\SquareTile1", {{L"AppId", RegistryTypeString, oldPath}}},
            {L"WideTiles", {}},
            {L"WideTiles\\WideTile1", {{L"AppId", RegistryTypeString, oldPath}}},
        });

    DetectMutiNames();

    EXPECT_FALSE(HostFileExists(Shortcut("Foo.lnk")));
    EXPECT_EQ(ReadHostFile(Shortcut("Bar.lnk")), "shortcut");
    struct Expected {
        const wchar_t* key;
        const wchar_t* name;
        std::uint32_t type;
        std::wstring text;
    };
    const Expected values[] = {
        {L"Extra\\Deeper\\Deepest", L"AppIdOrPath", RegistryTypeString, newPath},
        {L"SquareTiles", L"AppIdOrPath", RegistryTypeString, oldPath},
        {L"SquareTiles\\SquareOrDesktopTile1", L"AppIdOrPath", RegistryTypeString, newPath},
        {L"SquareTiles\\SquareOrDesktopTile2", L"AppIdOrPath", RegistryTypeString,
         L"C:\\Users\\Public\\Desktop\\Foo.lnk2"},
        {L"SquareTiles\\SquareOrDesktopTile3", L"AppIdOrPath", RegistryTypeExpandString, newPath},
        {L"SquareTiles\\SquareOrDesktopTile4", L"AppIdOrPath", RegistryTypeMultiString, oldPath},
        {L"SquareTiles\\SquareTile1", L"AppId", RegistryTypeString, oldPath},
        {L"WideTiles\\WideTile1", L"AppId", RegistryTypeString, oldPath},
    };
    for (const Expected& expected : values) {
        RegistryValueRead read = ReadStartLayoutValue(expected.key, expected.name);
        ASSERT_TRUE(read.found) << Utf8FromWide(expected.key);
        EXPECT_EQ(read.type, expected.type) << Utf8FromWide(expected.key);
        EXPECT_EQ(read.text, expected.text) << Utf8FromWide(expected.key);
    }
    const std::string oldText = Utf8FromWide(oldPath);
    const std::string newText = Utf8FromWide(newPath);
    const std::string firstRun =
        FoundLines("foo.ini", oldText, true) +
        SuccessLines(oldText, newText, "Extra\\Deeper\\Deepest") +
        SuccessLines(oldText, newText, "SquareTiles\\SquareOrDesktopTile1") +
        SuccessLines(oldText, newText, "SquareTiles\\SquareOrDesktopTile3");
    EXPECT_EQ(LogWithoutTimestamps(image), firstRun);

    // A second run finds the old shortcut gone and changes nothing.
    const std::string registryAfterFirstRun = ReadHostFile(image.registry);
    DetectMutiNames();
    EXPECT_EQ(ReadHostFile(image.registry), registryAfterFirstRun);
    EXPECT_EQ(ReadHostFile(Shortcut("Bar.lnk")), "shortcut");
    EXPECT_EQ(LogWithoutTimestamps(image), firstRun + FoundLines("foo.ini", oldText, false));
}

TEST_F(DetectMutiNamesTest, ARunStoppedAfterTheRenameIsCompletedByTheNext) {
    // An earlier run renamed Foo.lnk to Bar.lnk and was stopped before the registry followed.
    const std::wstring oldPath = L"C:\\Users\\Public\\Desktop\\Foo.lnk";
    const std::wstring newPath = L"C:\\Users\\Public\\Desktop\\Bar.lnk";
    WriteHostFile(Shortcut("Bar.lnk"), "shortcut");
    WriteMutiTile("foo.ini", "C:\\Users\\Public\\Desktop\\Foo.lnk", "Bar");
    WriteStartLayoutRegistry(image.registry, {{L"SquareTiles", {}},
                                              {L"SquareTiles\\SquareOrDesktopTile1",
                                               {{L"AppIdOrPath", RegistryTypeString, oldPath}}}});

    DetectMutiNames();

    EXPECT_EQ(ReadStartLayoutValue(L"SquareTiles\\SquareOrDesktopTile1", L"AppIdOrPath").text,
              newPath);
    const std::string oldText = Utf8FromWide(oldPath);
    EXPECT_EQ(LogWithoutTimestamps(image), FoundLines("foo.ini", oldText, false) +
                                               SuccessLines(oldText, Utf8FromWide(newPath),
                                                            "SquareTiles\\SquareOrDesktopTile1"));
}

TEST_F(DetectMutiNamesTest, OnlyTheSpellingsOfTrueTurnTheDetectionOn) {
    struct Case {
        const char* iniName;
        const char* supportMuti; // nullptr: no such key
        bool on;
    };
    const Case cases[] = {
        {"a.ini", "true", true},   {"b.ini", "True", true},   {"c.ini", "TRUE", true},
        {"d.ini", "yes", false},   {"e.ini", "1", false},     {"f.ini", "", false},
        {"g.ini", nullptr, false}, {"h.ini", "TRUE1", false},
    };
    std::string expected;
    for (const Case& c : cases) {
        std::string tileInfo = "AppIdOrPath=C:\\Missing\\" + std::string(c.iniName) + ".lnk";
        if (c.supportMuti != nullptr) {
            tileInfo += "\r\nSupportMuti=" + std::string(c.supportMuti);
        }
        WriteTile(c.iniName, tileInfo, "de-DE=Bar");
        expected +=
            c.on ? FoundLines(c.iniName, "C:\\Missing\\" + std::string(c.iniName) + ".lnk", false)
                 : "\nFound ini : C:\\Tiles\\" + std::string(c.iniName) + "\nSupportMuti = FALSE\n";
    }
    // A file that is no description at all reads like one without the key.
    WriteHostFile(ImagePath(image, "Tiles/i.ini"), "");
    expected += "\nFound ini : C:\\Tiles\\i.ini\nSupportMuti = FALSE\n";
    WriteHostFile(ImagePath(image, "Tiles/notes.txt"), "[TileInfo]\r\nSupportMuti=TRUE\r\n");

    DetectMutiNames();

    EXPECT_EQ(LogWithoutTimestamps(image), expected);
}

TEST_F(DetectMutiNamesTest, AShortcutWithoutANameForTheLanguageKeepsItsName) {
    WriteHostFile(Shortcut("Foo.lnk"), "shortcut");
    WriteTile("foo.ini", "SupportMuti=TRUE\r\nAppIdOrPath=C:\\Users\\Public\\Desktop\\Foo.lnk",
              "en-US=Bar\r\nfr-FR=Barre\r\nde-AT=Balken");
    WriteStartLayoutRegistry(
        image.registry,
        {{L"SquareTiles", {}},
         {L"SquareTiles\\SquareOrDesktopTile1",
          {{L"AppIdOrPath", RegistryTypeString, L"C:\\Users\\Public\\Desktop\\Foo.lnk"}}}});
    const std::string registryBefore = ReadHostFile(image.registry);

    DetectMutiNames();

    EXPECT_EQ(ReadHostFile(Shortcut("Foo.lnk")), "shortcut");
    EXPECT_EQ(ReadHostFile(image.registry), registryBefore);
    EXPECT_EQ(LogWithoutTimestamps(image),
              FoundLines("foo.ini", "C:\\Users\\Public\\Desktop\\Foo.lnk", true));
}

TEST_F(DetectMutiNamesTest, AFileOfTheNewNameStaysAndTheRegistryNamesIt) {
    WriteHostFile(Shortcut("Foo.lnk"), "old shortcut");
    WriteHostFile(Shortcut("Bar.lnk"), "present shortcut");
    WriteMutiTile("foo.ini", "C:\\Users\\Public\\Desktop\\Foo.lnk", "Bar");
    WriteStartLayoutRegistry(
        image.registry,
        {{L"SquareTiles", {}},
         {L"SquareTiles\\SquareOrDesktopTile1",
          {{L"AppIdOrPath", RegistryTypeString, L"C:\\Users\\Public\\Desktop\\Foo.lnk"}}}});

    DetectMutiNames();

    EXPECT_EQ(ReadHostFile(Shortcut("Foo.lnk")), "old shortcut");
    EXPECT_EQ(ReadHostFile(Shortcut("Bar.lnk")), "present shortcut");
    EXPECT_EQ(ReadStartLayoutValue(L"SquareTiles\\SquareOrDesktopTile1", L"AppIdOrPath").text,
              L"C:\\Users\\Public\\Desktop\\Bar.lnk");
    EXPECT_EQ(LogWithoutTimestamps(image),
              FoundLines("foo.ini", "C:\\Users\\Public\\Desktop\\Foo.lnk", true) +
                  SuccessLines("C:\\Users\\Public\\Desktop\\Foo.lnk",
                               "C:\\Users\\Public\\Desktop\\Bar.lnk",
                               "SquareTiles\\SquareOrDesktopTile1"));
}

TEST_F(DetectMutiNamesTest, ANameEqualToThePresentOneRewritesTheValuesAsWritten) {
    WriteHostFile(Shortcut("Foo.lnk"), "shortcut");
    WriteMutiTile("foo.ini", "C:\\Users\\Public\\Desktop\\Foo.lnk", "Foo");
    WriteStartLayoutRegistry(
        image.registry,
        {{L"SquareTiles", {}},
         {L"SquareTiles\\SquareOrDesktopTile1",
          {{L"AppIdOrPath", RegistryTypeString, L"C:\\USERS\\Public\\Desktop\\foo.lnk"}}}});

    DetectMutiNames();

    EXPECT_EQ(ReadHostFile(Shortcut("Foo.lnk")), "shortcut");
    EXPECT_EQ(ReadStartLayoutValue(L"SquareTiles\\SquareOrDesktopTile1", L"AppIdOrPath").text,
              L"C:\\Users\\Public\\Desktop\\Foo.lnk");
    EXPECT_EQ(LogWithoutTimestamps(image),
              FoundLines("foo.ini", "C:\\Users\\Public\\Desktop\\Foo.lnk", true) +
                  SuccessLines("C:\\Users\\Public\\Desktop\\Foo.lnk",
                               "C:\\Users\\Public\\Desktop\\Foo.lnk",
                               "SquareTiles\\SquareOrDesktopTile1"));
}

TEST_F(DetectMutiNamesTest, ANameThatWouldLeaveTheFolderIsRefused) {
    const std::vector<std::string> names = {
        "..\\Evil", "Sub\\Evil", "Sub/Evil", "..",  ".",   "C:Evil", "D:\\Evil", "a*b",
        "a?b",      "a\"b",      "a<b",      "a>b", "a|b", "a\tb",   "a\x01z",   "x\x1fz",
    };
    std::vector<RegFileKey> keys = {{L"SquareTiles", {}}};
    std::string expected;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string number = std::to_string(10 + i);
        std::string shortcut = "C:\\Users\\Public\\Desktop\\S" + number + ".lnk";
        WriteHostFile(Shortcut("S" + number + ".lnk"), "shortcut " + number);
        WriteMutiTile("r" + number + ".ini", shortcut, names[i]);
        std::wstring wideShortcut;
        ASSERT_TRUE(WideFromUtf8(shortcut.data(), shortcut.size(), wideShortcut));
        keys.push_back({L"SquareTiles\\SquareOrDesktopTile" + std::to_wstring(10 + i),
                        {{L"AppIdOrPath", RegistryTypeString, wideShortcut}}});
        expected += FoundLines("r" + number + ".ini", shortcut, true) + "Refused localised name [" +
                    names[i] + "] for C:\\Tiles\\r" + number + ".ini" + RefusedNameReason + "\n";
    }
    WriteStartLayoutRegistry(image.registry, keys);
    const std::string registryBefore = ReadHostFile(image.registry);

    DetectMutiNames();

    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string number = std::to_string(10 + i);
        EXPECT_EQ(ReadHostFile(Shortcut("S" + number + ".lnk")), "shortcut " + number);
    }
    EXPECT_FALSE(HostFileExists(ImagePath(image, "Users/Public/Evil.lnk")));
    EXPECT_EQ(ReadHostFile(image.registry), registryBefore);
    EXPECT_EQ(LogWithoutTimestamps(image), expected);
}

TEST_F(DetectMutiNamesTest, AFailedRenameLeavesTheRegistryAlone) {
    // 250 two-byte characters: the new path fits its 259 characters, but the name is longer
    // than the host's file system takes, so the rename fails without a file of that name.
    std::string longName;
    for (int i = 0; i < 250; ++i) {
        longName += "\xC3\xA9";
    }
    WriteHostFile(ImagePath(image, "S/Long.lnk"), "shortcut");
    WriteMutiTile("long.ini", "C:\\S\\Long.lnk", longName);
    WriteStartLayoutRegistry(image.registry,
                             {{L"SquareTiles", {}},
                              {L"SquareTiles\\SquareOrDesktopTile1",
                               {{L"AppIdOrPath", RegistryTypeString, L"C:\\S\\Long.lnk"}}}});
    const std::string registryBefore = ReadHostFile(image.registry);

    DetectMutiNames();

    EXPECT_EQ(ReadHostFile(ImagePath(image, "S/Long.lnk")), "shortcut");
    EXPECT_EQ(ReadHostFile(image.registry), registryBefore);
    const std::string log = LogWithoutTimestamps(image);
    const std::string found = FoundLines("long.ini", "C:\\S\\Long.lnk", true);
    const std::string failure =
        "Rename failed:[C:\\S\\Long.lnk] -> [C:\\S\\" + longName + ".lnk]: ";
    const std::string unchanged = "; the registry is left unchanged\n";
    ASSERT_EQ(log.substr(0, found.size() + failure.size()), found + failure);
    std::string reason = log.substr(found.size() + failure.size());
    ASSERT_GE(reason.size(), unchanged.size());
    EXPECT_EQ(reason.substr(reason.size() - unchanged.size()), unchanged);
    reason.resize(reason.size() - unchanged.size());
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(reason.find('\n'), std::string::npos);
    EXPECT_NE(reason, Utf8FromWide(PlatformErrorText(PlatformError::AlreadyExists)));
}

TEST_F(DetectMutiNamesTest, ANewPathLongerThanItsBufferIsRefused) {
    // A folder path of 244 characters: a name of 11 characters with ".lnk" fills the 259
    // characters, a name of 12 does not fit.
    const std::string folder(240, 'd');
    const std::string folderPath = "C:\\" + folder + "\\";
    WriteHostFile(ImagePath(image, folder + "/a.lnk"), "a");
    WriteHostFile(ImagePath(image, folder + "/b.lnk"), "b");
    WriteMutiTile("a.ini", folderPath + "a.lnk", "LongerName1");
    WriteMutiTile("b.ini", folderPath + "b.lnk", "LongerName12");
    const std::wstring wideFolderPath(folderPath.begin(), folderPath.end());
    WriteStartLayoutRegistry(image.registry,
                             {{L"SquareTiles", {}},
                              {L"SquareTiles\\SquareOrDesktopTile1",
                               {{L"AppIdOrPath", RegistryTypeString, wideFolderPath + L"a.lnk"}}},
                              {L"SquareTiles\\SquareOrDesktopTile2",
                               {{L"AppIdOrPath", RegistryTypeString, wideFolderPath + L"b.lnk"}}}});

    DetectMutiNames();

    EXPECT_EQ(ReadHostFile(ImagePath(image, folder + "/LongerName1.lnk")), "a");
    EXPECT_EQ(ReadHostFile(ImagePath(image, folder + "/b.lnk")), "b");
    EXPECT_EQ(ReadStartLayoutValue(L"SquareTiles\\SquareOrDesktopTile1", L"AppIdOrPath").text,
              wideFolderPath + L"LongerName1.lnk");
    EXPECT_EQ(ReadStartLayoutValue(L"SquareTiles\\SquareOrDesktopTile2", L"AppIdOrPath").text,
              wideFolderPath + L"b.lnk");
    EXPECT_EQ(LogWithoutTimestamps(image),
              FoundLines("a.ini", folderPath + "a.lnk", true) +
                  SuccessLines(folderPath + "a.lnk", folderPath + "LongerName1.lnk",
                               "SquareTiles\\SquareOrDesktopTile1") +
                  FoundLines("b.ini", folderPath + "b.lnk", true) + "Refused new path [" +
                  folderPath + "LongerName12.lnk] for C:\\Tiles\\b.ini: a path may hold at most " +
                  "259 characters\n");
}

TEST_F(DetectMutiNamesTest, AnIniPathLongerThanItsBufferIsRefused) {
    const std::string folder(245, 't');
    Settings().tilesDataPath = L"C:\\" + std::wstring(folder.begin(), folder.end());
    const std::string folderPath = "C:\\" + folder + "\\";
    // 3 + 245 + 1 + 10 = 259 characters: read; one more: refused.
    WriteHostFile(ImagePath(image, folder + "/abcdef.ini"), "[TileInfo]\r\n");
    WriteHostFile(ImagePath(image, folder + "/abcdefg.ini"), "[TileInfo]\r\nSupportMuti=TRUE\r\n");

    DetectMutiNames();

    EXPECT_EQ(LogWithoutTimestamps(image),
              "\nFound ini : " + folderPath + "abcdef.ini\nSupportMuti = FALSE\n\nRefused ini : " +
                  folderPath + "abcdefg.ini: a path may hold at most 259 characters\n");
}

TEST_F(DetectMutiNamesTest, NoDescriptionFilesLogNothing) {
    WriteHostFile(ImagePath(image, "Tiles/readme.txt"), "[TileInfo]\r\nSupportMuti=TRUE\r\n");
    DetectMutiNames();
    Settings().tilesDataPath = L"C:\\Missing";
    DetectMutiNames();
    EXPECT_FALSE(HostFileExists(ImagePath(image, "Logs/Tilewright.log")));
}

class RenameRegistryPathTest : public DetectMutiNamesTest {};

TEST_F(RenameRegistryPathTest, AKeyThatCannotBeOpenedIsLoggedAndGivesZero) {
    WriteStartLayoutRegistry(image.registry, {{L"SquareTiles", {}}});
    EXPECT_EQ(RenameRegistryPath(StartLayoutKey + L"Missing\\", L"C:\\a.lnk", L"C:\\b.lnk"), 0);
    EXPECT_EQ(RenameRegistryPath(StartLayoutKey, L"C:\\a.lnk", L"C:\\b.lnk"), 1);
    EXPECT_EQ(LogWithoutTimestamps(image), "RegOpenKeyEx failed; key = [HKEY_LOCAL_MACHINE\\" +
                                               Utf8FromWide(StartLayoutKey) + "Missing\\]\n");
}

TEST_F(RenameRegistryPathTest, AChildKeyPathLongerThanItsBufferIsNotWalked) {
    // The Start layout key has 57 characters: a child of 200 fits with its backslash (258), its
    // own child Leaf does not (263).
    const std::wstring longName(200, L'k');
    WriteStartLayoutRegistry(
        image.registry,
        {{longName, {}},
         {longName + L"\\Leaf", {{L"AppIdOrPath", RegistryTypeString, L"C:\\a.lnk"}}},
         {L"Short", {{L"AppIdOrPath", RegistryTypeString, L"C:\\a.lnk"}}}});

    EXPECT_EQ(RenameRegistryPath(StartLayoutKey, L"C:\\a.lnk", L"C:\\b.lnk"), 1);

    EXPECT_EQ(ReadStartLayoutValue(longName + L"\\Leaf", L"AppIdOrPath").text, L"C:\\a.lnk");
    EXPECT_EQ(ReadStartLayoutValue(L"Short", L"AppIdOrPath").text, L"C:\\b.lnk");
    const std::string longKey = Utf8FromWide(StartLayoutKey + longName);
    EXPECT_EQ(LogWithoutTimestamps(image),
              "Skipped key [HKEY_LOCAL_MACHINE\\" + longKey +
                  "\\Leaf\\]: a key path may hold at most 259 characters\n" +
                  SuccessLines("C:\\a.lnk", "C:\\b.lnk", "Short"));
}

} // namespace

// The registry stand-in: a .reg file read, queried, changed and written back.
#include "platform/platform.h"
#include "platform/posix/registry_file.h"
#include "platform/text.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

const wchar_t* const TypesFile =
    L"Windows Registry Editor Version 5.00\r\n"
    L"\r\n"
    L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Types]\r\n"
    L"@=\"default\"\r\n"
    L"\"Text\"=\"C:\\\\Users\\\\Public \\\"quoted\\\"\"\r\n"
    L"\"Sz As Hex\"=hex(1):41,00,00,00,42,00,00,00\r\n"
    L"\"Path\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,\\\r\n"
    L"  00,25,00,5c,00,73,00,79,00,73,00,74,00,65,00,6d,00,33,00,32,00,00,00\r\n"
    L"\"Binary\"=hex:01,ff,00\r\n"
    L"\"Empty\"=hex:\r\n"
    L"\"Number\"=dword:0000002a\r\n"
    L"\"List\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
    L"\"Big\"=hex(b):01,00,00,00,00,00,00,80\r\n"
    L"\"Nothing\"=hex(0):\r\n"
    L"\"Odd \\\\ \\\"name\\\"\"=\"x\"\r\n"
    L"\r\n"
    L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n"
    L"; kept where it stands\r\n"
    L"\"AppId\"=\"Other App\"\r\n"
    L"\r\n";

struct ValueCase {
    const wchar_t* name;
    std::uint32_t type;
    Bytes data;
};

std::string Utf16File(const std::wstring& text) {
    Bytes units = Utf16LeFromWide(text, false);
    return "\xFF\xFE" + std::string(units.begin(), units.end());
}

Bytes Sz(const std::wstring& text) {
    return Utf16LeFromWide(text, true);
}

class Registry : public ::testing::Test {
  protected:
    void SetUp() override { image = MakeTestImage(); }
    void TearDown() override { fs::remove_all(image.root); }

    RegistryKey Open(const std::wstring& path) {
        RegistryKey key;
        EXPECT_TRUE(OpenRegistryKey(path, key)) << fs::path(path).string();
        return key;
    }

    std::vector<std::wstring> SubKeys(const std::wstring& path) {
        RegistryKey key = Open(path);
        std::vector<std::wstring> names;
        std::wstring name;
        for (std::uint32_t i = 0; EnumRegistrySubKey(key, i, name); ++i) {
            names.push_back(name);
        }
        CloseRegistryKey(key);
        return names;
    }

    TestImage image;
};

TEST_F(Registry, EveryValueTypeKeepsItsTypeAndBytes) {
    WriteHostFile(image.registry, Utf16File(TypesFile));
    const ValueCase cases[] = {
        {L"", RegistryTypeString, Sz(L"default")},
        {L"TEXT", RegistryTypeString, Sz(L"C:\\Users\\Public \"quoted\"")},
        {L"Sz As Hex", RegistryTypeString, {0x41, 0, 0, 0, 0x42, 0, 0, 0}},
        {L"Path", RegistryTypeExpandString, Sz(L"%SystemRoot%\\system32")},
        {L"Binary", RegistryTypeBinary, {0x01, 0xFF, 0x00}},
        {L"Empty", RegistryTypeBinary, {}},
        {L"Number", RegistryTypeDword, {0x2A, 0, 0, 0}},
        {L"List", RegistryTypeMultiString, {0x61, 0, 0, 0, 0x62, 0, 0, 0, 0, 0}},
        {L"Big", RegistryTypeQword, {1, 0, 0, 0, 0, 0, 0, 0x80}},
        {L"Nothing", RegistryTypeNone, {}},
        {L"odd \\ \"NAME\"", RegistryTypeString, Sz(L"x")},
    };
    RegistryKey key = Open(L"software\\TYPES");
    for (const ValueCase& c : cases) {
        std::uint32_t type = 99;
        Bytes data;
        EXPECT_TRUE(QueryRegistryValue(key, c.name, 520, type, data)) << fs::path(c.name);
        EXPECT_EQ(type, c.type) << fs::path(c.name);
        EXPECT_EQ(data, c.data) << fs::path(c.name);
    }

    // Written back after a change, every value comes out in its form of before, and set again
    // with its own type and bytes, none changes the file.
    RegistryKey other = Open(L"SOFTWARE\\Other\\");
    EXPECT_TRUE(SetRegistryValue(other, L"AppId", RegistryTypeString, Sz(L"changed")));
    std::wstring expected = TypesFile;
    expected.replace(expected.find(L"Other App"), 9, L"changed");
    EXPECT_EQ(ReadHostFile(image.registry), Utf16File(expected));
    for (const ValueCase& c : cases) {
        EXPECT_TRUE(SetRegistryValue(key, c.name, c.type, c.data));
    }
    EXPECT_EQ(ReadHostFile(image.registry), Utf16File(expected));
    CloseRegistryKey(key);
    CloseRegistryKey(other);
}

TEST_F(Registry, ChangedValuesAreWrittenAsRegExportDoes) {
    WriteHostFile(image.registry, Utf16File(L"Windows Registry Editor Version 5.00\r\n\r\n"
                                            L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Types]\r\n"
                                            L"\"Keep\"=dword:00000001\r\n\r\n"));
    RegistryKey key = Open(L"SOFTWARE\\Types");
    for (const ValueCase& c : std::vector<ValueCase>{
             {L"Text", RegistryTypeString, Sz(L"a\\b \"c\"")},
             {L"", RegistryTypeString, Sz(L"default")},
             {L"Embedded", RegistryTypeString, {0x41, 0, 0, 0, 0x42, 0, 0, 0}},
             {L"Unended", RegistryTypeString, {0x41, 0}},
             {L"Path", RegistryTypeExpandString, Sz(L"%SystemRoot%\\system32")},
             {L"Number", RegistryTypeDword, {0x2A, 0x01, 0, 0xFF}},
             {L"Short dword", RegistryTypeDword, {0x2A}},
             {L"Big", RegistryTypeQword, {1, 2, 3, 4, 5, 6, 7, 8}},
             {L"Binary", RegistryTypeBinary, {}},
             {L"Odd", 0x20001, {0xAB}},
         }) {
        EXPECT_TRUE(SetRegistryValue(key, c.name, c.type, c.data));
    }
    EXPECT_TRUE(DeleteRegistryValue(key, L"KEEP"));
    CloseRegistryKey(key);
    EXPECT_EQ(
        ReadHostFile(image.registry),
        Utf16File(
            L"Windows Registry Editor Version 5.00\r\n\r\n"
            L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Types]\r\n"
            L"\"Text\"=\"a\\\\b \\\"c\\\"\"\r\n"
            L"@=\"default\"\r\n"
            L"\"Embedded\"=hex(1):41,00,00,00,42,00,00,00\r\n"
            L"\"Unended\"=hex(1):41,00\r\n"
            L"\"Path\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,\\\r\n"
            L"  00,25,00,5c,00,73,00,79,00,73,00,74,00,65,00,6d,00,33,00,32,00,00,00\r\n"
            L"\"Number\"=dword:ff00012a\r\n"
            L"\"Short dword\"=hex(4):2a\r\n"
            L"\"Big\"=hex(b):01,02,03,04,05,06,07,08\r\n"
            L"\"Binary\"=hex:\r\n"
            L"\"Odd\"=hex(20001):ab\r\n\r\n"));
}

TEST_F(Registry, LongByteListsWrapAtTheSameColumnsAsRegExport) {
    RegistryValueEntry value;
    value.name = L"Data";
    value.type = RegistryTypeBinary;
    value.data.assign(60, 0xAB);
    std::vector<std::wstring> lines = FormatRegistryValue(value);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), 78u); // "Data"=hex: and 22 bytes, then the backslash
    EXPECT_EQ(lines[1].size(), 78u); // two blanks and 25 bytes, then the backslash
    EXPECT_EQ(lines[2], L"  ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab");
}

TEST_F(Registry, Utf8FilesAreReadAndWrittenBackAsUtf8) {
    for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
        WriteHostFile(image.registry, mark + "Windows Registry Editor Version 5.00\n\n"
                                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tiles]\n"
                                             "\"AppId\"=\"Stra\xC3\x9F"
                                             "e\"\n");
        RegistryKey key = Open(L"SOFTWARE\\Tiles");
        std::uint32_t type = 0;
        Bytes data;
        EXPECT_TRUE(QueryRegistryValue(key, L"AppId", 520, type, data));
        EXPECT_EQ(data, Sz(L"Stra\u00DFe"));
        EXPECT_TRUE(SetRegistryValue(key, L"AppIdOrPath", RegistryTypeString, Sz(L"\u00C4")));
        CloseRegistryKey(key);
        EXPECT_EQ(ReadHostFile(image.registry), mark +
                                                    "Windows Registry Editor Version 5.00\r\n\r\n"
                                                    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tiles]\r\n"
                                                    "\"AppId\"=\"Stra\xC3\x9F"
                                                    "e\"\r\n"
                                                    "\"AppIdOrPath\"=\"\xC3\x84\"\r\n\r\n");
    }
}

TEST_F(Registry, Regedit4FilesHoldStringsAsSingleBytes) {
    WriteHostFile(image.registry, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]\r\n"
                                  "\"Path\"=hex(2):25,41,25,00\r\n\"Text\"=\"t\"\r\n");
    RegistryKey key = Open(L"SOFTWARE\\Old");
    std::uint32_t type = 0;
    Bytes data;
    EXPECT_TRUE(QueryRegistryValue(key, L"Path", 520, type, data));
    EXPECT_EQ(type, RegistryTypeExpandString);
    EXPECT_EQ(data, Sz(L"%A%"));
    EXPECT_TRUE(SetRegistryValue(key, L"Text", RegistryTypeString, Sz(L"u")));
    CloseRegistryKey(key);
    EXPECT_EQ(ReadHostFile(image.registry),
              "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]\r\n"
              "\"Path\"=hex(2):25,00,41,00,25,00,00,00\r\n\"Text\"=\"u\"\r\n\r\n");
}

TEST_F(Registry, SubkeysInFileOrderWithImpliedParents) {
    const std::string file = "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\SVDEn\\SquareTiles\\SquareTile1]\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\SVDEn\\WideTiles\\WideTile1]\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\SVDEn\\squaretiles\\Square2]\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\SVDEn\\WideTiles]\r\n"
                             "\"AppId\"=\"not a slot\"\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Elsewhere]\r\n";
    WriteHostFile(image.registry, file);
    using Names = std::vector<std::wstring>;
    EXPECT_EQ(SubKeys(L""), (Names{L"SOFTWARE"}));
    EXPECT_EQ(SubKeys(L"SOFTWARE\\SVDEn\\"), (Names{L"SquareTiles", L"WideTiles"}));
    EXPECT_EQ(SubKeys(L"software\\svden\\SQUARETILES"), (Names{L"SquareTile1", L"Square2"}));
    EXPECT_EQ(SubKeys(L"SOFTWARE\\SVDEn\\WideTiles\\WideTile1"), Names{});

    RegistryKey key;
    EXPECT_FALSE(OpenRegistryKey(L"SOFTWARE\\SVDEn\\Missing", key));
    EXPECT_EQ(LastPlatformError(), PlatformError::NotFound);
    EXPECT_FALSE(OpenRegistryKey(L"Software\\Elsewhere", key));
    EXPECT_FALSE(OpenRegistryKey(L"\\SOFTWARE", key));

    // A value set in a key that was only implied lists the key before its first subkey.
    key = Open(L"SOFTWARE\\SVDEN\\SquareTiles");
    EXPECT_TRUE(SetRegistryValue(key, L"V", RegistryTypeDword, {1, 0, 0, 0}));
    CloseRegistryKey(key);
    std::string written = ReadHostFile(image.registry);
    EXPECT_LT(
        written.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\SVDEn\\SquareTiles]\r\n\"V\"=dword:00000001"),
        written.find("SquareTile1]"));
    EXPECT_EQ(SubKeys(L"SOFTWARE\\SVDEn"), (Names{L"SquareTiles", L"WideTiles"}));
    EXPECT_EQ(SubKeys(L"SOFTWARE\\SVDEn\\SquareTiles"), (Names{L"SquareTile1", L"Square2"}));
}

TEST_F(Registry, ValuesMissingOrTooBig) {
    WriteHostFile(image.registry, "Windows Registry Editor Version 5.00\r\n\r\n"
                                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tiles]\r\n"
                                  "\"Fits\"=\"" +
                                      std::string(259, 'a') + "\"\r\n\"TooBig\"=\"" +
                                      std::string(260, 'a') + "\"\r\n");
    RegistryKey key = Open(L"SOFTWARE\\Tiles");
    std::uint32_t type = 0;
    Bytes data;
    EXPECT_TRUE(QueryRegistryValue(key, L"Fits", 520, type, data));
    EXPECT_EQ(data.size(), 520u);
    EXPECT_FALSE(QueryRegistryValue(key, L"TooBig", 520, type, data));
    EXPECT_EQ(LastPlatformError(), PlatformError::TooLong);
    EXPECT_FALSE(QueryRegistryValue(key, L"Missing", 520, type, data));
    EXPECT_EQ(LastPlatformError(), PlatformError::NotFound);
    EXPECT_FALSE(DeleteRegistryValue(key, L"Missing"));
    EXPECT_EQ(LastPlatformError(), PlatformError::NotFound);
    CloseRegistryKey(key);
    key = Open(L"SOFTWARE");
    EXPECT_FALSE(QueryRegistryValue(key, L"Fits", 520, type, data));
    EXPECT_FALSE(DeleteRegistryValue(key, L"Fits"));
    EXPECT_EQ(LastPlatformError(), PlatformError::NotFound);
    CloseRegistryKey(key);
}

TEST_F(Registry, MissingFileHasNoKeys) {
    RegistryKey key;
    EXPECT_FALSE(OpenRegistryKey(L"SOFTWARE", key));
    EXPECT_EQ(LastPlatformError(), PlatformError::NotFound);
    EXPECT_FALSE(HostFileExists(image.registry));
}

TEST_F(Registry, UnparsableFileIsNeverOverwritten) {
    const std::string good = "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tiles]\r\n\"AppId\"=\"a\"\r\n";
    const std::string broken[] = {
        "Not a registry file\r\n",
        good + "\"AppId\"=-\r\n",
        good + "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Tiles]\r\n",
        good + "\"Bad\"=hex:1,2,xyz\r\n",
        good + "\"Bad\"=dword:123456789\r\n",
        good + "\"Bad\"=\"unterminated\r\n",
        good + "\"Bad\"=\"escape \\n\"\r\n",
        good + "\"Bad\"=hex(2):00,\\",
        good + "stray text\r\n",
        "Windows Registry Editor Version 5.00\r\n\"Early\"=\"value before any key\"\r\n",
    };
    for (const std::string& bytes : broken) {
        WriteHostFile(image.registry, good);
        RegistryKey key = Open(L"SOFTWARE\\Tiles");
        WriteHostFile(image.registry, bytes);
        RegistryKey again;
        EXPECT_FALSE(OpenRegistryKey(L"SOFTWARE\\Tiles", again)) << bytes;
        EXPECT_EQ(LastPlatformError(), PlatformError::BadFormat);
        std::uint32_t type = 0;
        Bytes data;
        std::wstring name;
        EXPECT_FALSE(QueryRegistryValue(key, L"AppId", 520, type, data));
        EXPECT_EQ(LastPlatformError(), PlatformError::BadFormat);
        EXPECT_FALSE(SetRegistryValue(key, L"AppId", RegistryTypeString, Sz(L"b")));
        EXPECT_EQ(LastPlatformError(), PlatformError::BadFormat);
        EXPECT_FALSE(DeleteRegistryValue(key, L"AppId"));
        EXPECT_FALSE(EnumRegistrySubKey(key, 0, name));
        CloseRegistryKey(key);
        EXPECT_EQ(ReadHostFile(image.registry), bytes);
    }
}

TEST_F(Registry, FailedWriteKeepsModelAndFile) {
    const std::string file = "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tiles]\r\n\"AppId\"=\"a\"\r\n";
    WriteHostFile(image.registry, file);
    chmod(image.registry.c_str(), 0444);
    RegistryKey key = Open(L"SOFTWARE\\Tiles");
    EXPECT_FALSE(SetRegistryValue(key, L"AppId", RegistryTypeString, Sz(L"b")));
    EXPECT_EQ(LastPlatformError(), PlatformError::AccessDenied);
    EXPECT_FALSE(DeleteRegistryValue(key, L"AppId"));
    std::uint32_t type = 0;
    Bytes data;
    EXPECT_TRUE(QueryRegistryValue(key, L"AppId", 520, type, data));
    EXPECT_EQ(data, Sz(L"a"));
    EXPECT_EQ(ReadHostFile(image.registry), file);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(image.root)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names.size(), 2u); // Tools and HKLM.reg, no new file left behind
    CloseRegistryKey(key);
}

TEST_F(Registry, ChangesMadeToTheFileAreSeen) {
    WriteHostFile(image.registry, "Windows Registry Editor Version 5.00\r\n\r\n"
                                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tiles]\r\n\"AppId\"=\"a\"\r\n");
    RegistryKey key = Open(L"SOFTWARE\\Tiles");
    std::uint32_t type = 0;
    Bytes data;
    EXPECT_TRUE(QueryRegistryValue(key, L"AppId", 520, type, data));
    WriteHostFile(image.registry, "Windows Registry Editor Version 5.00\r\n\r\n"
                                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tiles]\r\n\"AppId\"=\"b\"\r\n");
    struct timespec times[2] = {{0, UTIME_OMIT}, {12345, 678}};
    utimensat(AT_FDCWD, image.registry.c_str(), times, 0);
    EXPECT_TRUE(QueryRegistryValue(key, L"AppId", 520, type, data));
    EXPECT_EQ(data, Sz(L"b"));
    CloseRegistryKey(key);
}

} // namespace

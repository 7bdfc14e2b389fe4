#include "log/log_file.h"

#include "app/run_settings.h"
#include "platform/platform.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

const char* const Bom = "\xEF\xBB\xBF";

void Message(const std::wstring& path, const std::wstring& text) {
    LogFile log;
    WriteLine(log, path, text, true, false);
}

void Data(const std::wstring& path, const std::wstring& text) {
    LogFile log;
    WriteLine(log, path, text, false, true);
}

} // namespace

TEST(LogFile, MessageLineHasTimestampTabTextAndCrLf) {
    TestImage image = MakeTestImage();
    Message(L"C:\\Logs\\Tilewright.log", L"Program Start...");
    Message(L"C:\\Logs\\Tilewright.log", L"");
    std::string log = ReadHostFile(ImagePath(image, "Logs/Tilewright.log"));
    static const std::regex expected(R"(\[\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}\]\tProgram Start\.\.\.\r\n)"
                                     R"(\[\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}\]\t\r\n)");
    EXPECT_TRUE(std::regex_match(log, expected)) << log;
}

TEST(LogFile, CreatesMissingFoldersOfAnAbsolutePath) {
    TestImage image = MakeTestImage();
    Message(L"C:\\Logs\\A\\B\\x.log", L"hello");
    EXPECT_NE(ReadHostFile(ImagePath(image, "Logs/A/B/x.log")).find("\thello\r\n"), std::string::npos);
}

TEST(LogFile, RelativePathIsPlacedInTheProgramFolderWithoutCreatingSubfolders) {
    TestImage image = MakeTestImage();
    // The test program's folder has no such subfolder: the line is dropped and nothing is created.
    Message(L"tilewright-no-such-sub\\x.log", L"dropped");
    std::wstring folder = ProgramFolderOf(ProgramFilePath());
    EXPECT_FALSE(PathExists(folder + L"\\tilewright-no-such-sub"));
}

TEST(LogFile, NonAsciiTextIsStoredAsUtf8) {
    TestImage image = MakeTestImage();
    Message(L"C:\\Logs\\Tilewright.log", L"C:\\Users\\Ren\u00e9\\\u65e5\u672c.lnk");
    std::string log = ReadHostFile(ImagePath(image, "Logs/Tilewright.log"));
    EXPECT_NE(log.find("\tC:\\Users\\Ren\xC3\xA9\\\xE6\x97\xA5\xE6\x9C\xAC.lnk\r\n"), std::string::npos);
    EXPECT_NE(log.substr(0, 3), Bom);
}

TEST(LogFile, DataLinesFollowTheByteOrderMarkRule) {
    struct Case {
        const char* name;
        const char* before; // nullptr: no file
        std::string after;
    };
    const Case cases[] = {
        {"new file gets the mark", nullptr, std::string(Bom) + "one\r\ntwo\r\n"},
        {"empty file gets the mark", "", std::string(Bom) + "one\r\ntwo\r\n"},
        {"file with the mark is appended to", "\xEF\xBB\xBFzero\r\n",
         std::string(Bom) + "zero\r\none\r\ntwo\r\n"},
        {"file without the mark receives nothing", "plain\r\n", "plain\r\n"},
        {"file shorter than the mark receives nothing", "\xEF\xBB", "\xEF\xBB"},
    };
    for (const Case& c : cases) {
        TestImage image = MakeTestImage();
        std::string host = ImagePath(image, "Tools/copy.xml");
        if (c.before != nullptr) {
            WriteHostFile(host, c.before);
        }
        Data(L"C:\\Tools\\copy.xml", L"one");
        Data(L"C:\\Tools\\copy.xml", L"two");
        EXPECT_EQ(ReadHostFile(host), c.after) << c.name;
    }
}

TEST(LogFile, LongMessageIsCutToFitKeepingItsLineEnd) {
    TestImage image = MakeTestImage();
    // Two-byte characters so that the UTF-8 limit, not the character limit, decides the cut.
    Message(L"C:\\Logs\\Tilewright.log", std::wstring(2000, L'\u00e9'));
    std::string log = ReadHostFile(ImagePath(image, "Logs/Tilewright.log"));
    ASSERT_GE(log.size(), 2u);
    EXPECT_LE(log.size(), 999u);
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
    // No character is split: the text part is whole two-byte sequences.
    std::size_t tab = log.find('\t');
    EXPECT_EQ((log.size() - 2 - tab - 1) % 2, 0u);
}

TEST(LogFile, LongDataLineIsWrittenWhole) {
    TestImage image = MakeTestImage();
    std::wstring line(100000, L'x');
    Data(L"C:\\Tools\\copy.xml", line);
    EXPECT_EQ(ReadHostFile(ImagePath(image, "Tools/copy.xml")),
              std::string(Bom) + std::string(100000, 'x') + "\r\n");
}

TEST(LogFile, PathTooLongForItsBufferDropsTheLine) {
    TestImage image = MakeTestImage();
    std::wstring longName(300, L'n');
    Message(L"C:\\Logs\\" + longName + L".log", L"dropped");
    EXPECT_FALSE(HostFileExists(ImagePath(image, "Logs")));
}

TEST(LogFile, MessageTextIsCutToTheMessageBuffer) {
    EXPECT_EQ(MessageText(std::wstring(600, L'a')).size(), 511u);
    EXPECT_EQ(MessageText(L"short"), L"short");
}

TEST(ProgramFolderOf, CutsAtTheLastSeparatorOrAfterTheDrive) {
    struct Case {
        const wchar_t* path;
        const wchar_t* folder;
    };
    const Case cases[] = {
        {L"C:\\Tools\\Tilewright.exe", L"C:\\Tools"},
        {L"C:/Tools/Tilewright.exe", L"C:/Tools"},
        {L"C:Tilewright.exe", L"C:"},
        {L"Tilewright.exe", L""},
        {L"", L""},
        {L"\\\\server\\share\\t.exe", L"\\\\server\\share"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgramFolderOf(c.path), c.folder) << c.path;
    }
}

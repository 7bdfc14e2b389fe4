// Opening, copying, replacing, deleting and renaming files in the image.
#include "platform/platform.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class Files : public ::testing::Test {
  protected:
    void SetUp() override {
        image = MakeTestImage();
        WriteHostFile(ImagePath(image, "Data/old.txt"), "old content");
        WriteHostFile(ImagePath(image, "Data/new.txt"), "new content, longer");
        WriteHostFile(ImagePath(image, "Data/locked.txt"), "locked content");
        chmod(ImagePath(image, "Data/locked.txt").c_str(), 0444);
        fs::create_directories(ImagePath(image, "Data/Folder"));
    }
    void TearDown() override { fs::remove_all(image.root); }

    // Names in the folder, to see that nothing of an attempt is left behind.
    std::vector<std::string> Entries(const std::string& relative) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(ImagePath(image, relative))) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string Content(const std::string& relative) const {
        return ReadHostFile(ImagePath(image, relative));
    }

    TestImage image;
};

std::string ReadAll(FileHandle file) {
    std::string text;
    char buffer[4];
    std::size_t got = 0;
    while (ReadFromFile(file, buffer, sizeof buffer, got) && got > 0) {
        text.append(buffer, got);
    }
    return text;
}

TEST_F(Files, OpenModes) {
    FileHandle file;
    ASSERT_TRUE(OpenFile(L"C:\\data\\OLD.txt", FileMode::ReadExisting, file));
    std::uint64_t size = 0;
    EXPECT_TRUE(GetFileSize64(file, size));
    EXPECT_EQ(size, 11u);
    EXPECT_EQ(ReadAll(file), "old content");
    EXPECT_TRUE(CloseFile(file));

    ASSERT_TRUE(OpenFile(L"C:\\Data\\old.txt", FileMode::ReadWriteExisting, file));
    EXPECT_TRUE(WriteToFile(file, "NEW", 3));
    EXPECT_TRUE(FlushFileToDisk(file));
    EXPECT_TRUE(CloseFile(file));
    EXPECT_EQ(Content("Data/old.txt"), "NEW content");

    ASSERT_TRUE(OpenFile(L"C:\\Data\\old.txt", FileMode::AppendOrCreate, file));
    EXPECT_TRUE(WriteToFile(file, "!", 1));
    EXPECT_TRUE(CloseFile(file));
    EXPECT_EQ(Content("Data/old.txt"), "NEW content!");

    ASSERT_TRUE(OpenFile(L"C:\\Data\\log.txt", FileMode::AppendOrCreate, file));
    EXPECT_TRUE(CloseFile(file));
    EXPECT_TRUE(HostFileExists(ImagePath(image, "Data/log.txt")));

    ASSERT_TRUE(OpenFile(L"C:\\Data\\old.txt", FileMode::CreateOrTruncate, file));
    EXPECT_TRUE(CloseFile(file));
    EXPECT_EQ(Content("Data/old.txt"), "");

    EXPECT_FALSE(OpenFile(L"C:\\Data\\NEW.TXT", FileMode::CreateNew, file));
    EXPECT_EQ(LastPlatformError(), PlatformError::AlreadyExists);
    EXPECT_FALSE(OpenFile(L"C:\\Data\\Folder", FileMode::CreateNew, file));
    EXPECT_EQ(LastPlatformError(), PlatformError::AlreadyExists);
    ASSERT_TRUE(OpenFile(L"C:\\Data\\fresh.txt", FileMode::CreateNew, file));
    EXPECT_TRUE(CloseFile(file));
    EXPECT_TRUE(HostFileExists(ImagePath(image, "Data/fresh.txt")));
}

TEST_F(Files, OpeningFailures) {
    struct Case {
        const wchar_t* path;
        FileMode mode;
        PlatformError error;
    };
    const Case cases[] = {
        {L"C:\\Data\\missing.txt", FileMode::ReadExisting, PlatformError::NotFound},
        {L"C:\\Data\\missing.txt", FileMode::ReadWriteExisting, PlatformError::NotFound},
        {L"C:\\NoFolder\\x.txt", FileMode::CreateOrTruncate, PlatformError::NotFound},
        {L"D:\\x.txt", FileMode::AppendOrCreate, PlatformError::NotFound},
        {L"C:\\Data\\Folder", FileMode::ReadExisting, PlatformError::AccessDenied},
        {L"C:\\Data\\Folder", FileMode::CreateOrTruncate, PlatformError::AccessDenied},
        {L"C:\\Data\\locked.txt", FileMode::ReadWriteExisting, PlatformError::AccessDenied},
        {L"C:\\Data\\locked.txt", FileMode::AppendOrCreate, PlatformError::AccessDenied},
        {L"C:\\Data\\locked.txt", FileMode::CreateOrTruncate, PlatformError::AccessDenied},
    };
    for (const Case& c : cases) {
        FileHandle file;
        EXPECT_FALSE(OpenFile(c.path, c.mode, file)) << fs::path(c.path).string();
        EXPECT_EQ(LastPlatformError(), c.error) << fs::path(c.path).string();
        EXPECT_EQ(file.raw, -1);
    }
    EXPECT_EQ(Content("Data/locked.txt"), "locked content");
    FileHandle file;
    EXPECT_TRUE(OpenFile(L"C:\\Data\\locked.txt", FileMode::ReadExisting, file));
    EXPECT_TRUE(CloseFile(file));
}

TEST_F(Files, CopyOver) {
    EXPECT_TRUE(CopyFileOver(L"C:\\Data\\new.txt", L"C:\\Data\\old.txt"));
    EXPECT_EQ(Content("Data/old.txt"), "new content, longer");
    EXPECT_TRUE(CopyFileOver(L"C:\\Data\\old.txt", L"C:\\Data\\copy.txt"));
    EXPECT_EQ(Content("Data/copy.txt"), "new content, longer");

    EXPECT_FALSE(CopyFileOver(L"C:\\Data\\new.txt", L"C:\\Data\\locked.txt"));
    EXPECT_EQ(LastPlatformError(), PlatformError::AccessDenied);
    EXPECT_EQ(Content("Data/locked.txt"), "locked content");
    EXPECT_FALSE(CopyFileOver(L"C:\\Data\\missing.txt", L"C:\\Data\\x.txt"));
    EXPECT_EQ(LastPlatformError(), PlatformError::NotFound);
    EXPECT_FALSE(CopyFileOver(L"C:\\Data\\new.txt", L"C:\\Data\\Folder"));
    EXPECT_EQ(LastPlatformError(), PlatformError::AccessDenied);
    // A copy onto itself must not empty the file.
    EXPECT_FALSE(CopyFileOver(L"C:\\Data\\new.txt", L"C:\\DATA\\NEW.txt"));
    EXPECT_EQ(Content("Data/new.txt"), "new content, longer");
    // The read-only attribute travels with the copy.
    EXPECT_TRUE(CopyFileOver(L"C:\\Data\\locked.txt", L"C:\\Data\\locked copy.txt"));
    EXPECT_EQ(Content("Data/locked copy.txt"), "locked content");
    FileHandle file;
    EXPECT_FALSE(OpenFile(L"C:\\Data\\locked copy.txt", FileMode::AppendOrCreate, file));
}

TEST_F(Files, ReplaceAtomically) {
    chmod(ImagePath(image, "Data/old.txt").c_str(), 0640);
    std::vector<std::string> before = Entries("Data");
    EXPECT_TRUE(ReplaceFileAtomically(L"C:\\Data\\new.txt", L"C:\\data\\OLD.TXT"));
    EXPECT_EQ(Content("Data/old.txt"), "new content, longer");
    EXPECT_EQ(Content("Data/new.txt"), "new content, longer");
    EXPECT_EQ(fs::status(ImagePath(image, "Data/old.txt")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Entries("Data"), before);

    EXPECT_TRUE(ReplaceFileAtomically(L"C:\\Data\\new.txt", L"C:\\Data\\created.txt"));
    EXPECT_EQ(Content("Data/created.txt"), "new content, longer");

    // A leftover of an attempt that was cut short does not stand in the way.
    WriteHostFile(ImagePath(image, "Data/.old.txt.tilewright-new"), "stale");
    EXPECT_TRUE(ReplaceFileAtomically(L"C:\\Data\\locked.txt", L"C:\\Data\\old.txt"));
    EXPECT_EQ(Content("Data/old.txt"), "locked content");
    EXPECT_FALSE(HostFileExists(ImagePath(image, "Data/.old.txt.tilewright-new")));
}

TEST_F(Files, FailedReplaceLeavesTargetAndNothingElse) {
    struct Case {
        const wchar_t* source;
        const wchar_t* target;
        PlatformError error;
    };
    const Case cases[] = {
        {L"C:\\Data\\new.txt", L"C:\\Data\\locked.txt", PlatformError::AccessDenied},
        {L"C:\\Data\\new.txt", L"C:\\Data\\Folder", PlatformError::AccessDenied},
        {L"C:\\Data\\new.txt", L"C:\\Missing\\old.txt", PlatformError::NotFound},
        {L"C:\\Data\\missing.txt", L"C:\\Data\\old.txt", PlatformError::NotFound},
        {L"C:\\Data\\Folder", L"C:\\Data\\old.txt", PlatformError::AccessDenied},
    };
    std::vector<std::string> before = Entries("Data");
    for (const Case& c : cases) {
        EXPECT_FALSE(ReplaceFileAtomically(c.source, c.target)) << fs::path(c.target).string();
        EXPECT_EQ(LastPlatformError(), c.error) << fs::path(c.target).string();
    }
    EXPECT_EQ(Entries("Data"), before);
    EXPECT_EQ(Content("Data/locked.txt"), "locked content");
    EXPECT_EQ(Content("Data/old.txt"), "old content");
}

TEST_F(Files, Delete) {
    EXPECT_TRUE(DeleteFileAt(L"C:\\Data\\OLD.txt"));
    EXPECT_FALSE(HostFileExists(ImagePath(image, "Data/old.txt")));
    EXPECT_FALSE(DeleteFileAt(L"C:\\Data\\old.txt"));
    EXPECT_EQ(LastPlatformError(), PlatformError::NotFound);
    EXPECT_FALSE(DeleteFileAt(L"C:\\Data\\locked.txt"));
    EXPECT_EQ(LastPlatformError(), PlatformError::AccessDenied);
    EXPECT_FALSE(DeleteFileAt(L"C:\\Data\\Folder"));
    EXPECT_EQ(LastPlatformError(), PlatformError::AccessDenied);
    EXPECT_TRUE(HostFileExists(ImagePath(image, "Data/locked.txt")));
    EXPECT_TRUE(fs::is_directory(ImagePath(image, "Data/Folder")));
}

TEST_F(Files, RenameNeverReplaces) {
    EXPECT_TRUE(RenameFileNoReplace(L"C:\\Data\\old.txt", L"C:\\Data\\Renamed.txt"));
    EXPECT_EQ(Content("Data/Renamed.txt"), "old content");
    EXPECT_FALSE(HostFileExists(ImagePath(image, "Data/old.txt")));

    EXPECT_FALSE(RenameFileNoReplace(L"C:\\Data\\Renamed.txt", L"C:\\Data\\NEW.txt"));
    EXPECT_EQ(LastPlatformError(), PlatformError::AlreadyExists);
    EXPECT_EQ(Content("Data/Renamed.txt"), "old content");
    EXPECT_EQ(Content("Data/new.txt"), "new content, longer");

    EXPECT_FALSE(RenameFileNoReplace(L"C:\\Data\\missing.txt", L"C:\\Data\\other.txt"));
    EXPECT_EQ(LastPlatformError(), PlatformError::NotFound);

    // Another letter case of the same name changes the spelling, as on Windows.
    EXPECT_TRUE(RenameFileNoReplace(L"C:\\Data\\renamed.txt", L"C:\\Data\\RENAMED.txt"));
    EXPECT_TRUE(HostFileExists(ImagePath(image, "Data/RENAMED.txt")));
    EXPECT_FALSE(HostFileExists(ImagePath(image, "Data/Renamed.txt")));
    EXPECT_TRUE(RenameFileNoReplace(L"C:\\Data\\RENAMED.txt", L"C:\\Data\\RENAMED.txt"));
    EXPECT_EQ(Content("Data/RENAMED.txt"), "old content");
}

} // namespace

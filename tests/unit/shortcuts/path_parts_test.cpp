#include "shortcuts/path_parts.h"

#include <gtest/gtest.h>

namespace {

TEST(DriveAndFolderOf, KeepsDriveAndFolderAndDropsTheName) {
    struct Case {
        const wchar_t* path;
        const wchar_t* folder;
    };
    const Case cases[] = {
        {L"C:\\Users\\Public\\Desktop\\Foo.lnk", L"C:\\Users\\Public\\Desktop\\"},
        {L"C:/Users/Public/Foo.lnk", L"C:/Users/Public/"},
        {L"C:\\Users/Public\\Foo", L"C:\\Users/Public\\"},
        {L"C:\\Foo.lnk", L"C:\\"},
        {L"C:Foo.lnk", L"C:"},
        {L"Foo.lnk", L""},
        {L"Desktop\\Foo.lnk", L"Desktop\\"},
        {L"\\\\server\\share\\Foo.lnk", L"\\\\server\\share\\"},
        {L"C:\\Users\\Desktop\\", L"C:\\Users\\Desktop\\"},
        {L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DriveAndFolderOf(c.path), c.folder);
    }
}

} // namespace

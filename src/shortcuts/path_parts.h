// Splitting a Windows path the way the C runtime's _wsplitpath does, for the parts this mode needs.
#pragma once

#include <string>

// The drive ("C:" when the second character is a colon, else empty) followed by the directory
// (everything after the drive up to and including the last backslash or slash, else empty):
// "C:\Users\Public\Desktop\Foo.lnk" gives "C:\Users\Public\Desktop\".
std::wstring DriveAndFolderOf(const std::wstring& path);

#include "shortcuts/path_parts.h"

std::wstring DriveAndFolderOf(const std::wstring& path) {
    std::size_t driveLength = (path.size() >= 2 && path[1] == L':') ? 2 : 0;
    std::size_t lastSeparator = path.find_last_of(L"\\/");
    if (lastSeparator == std::wstring::npos || lastSeparator < driveLength) {
        return path.substr(0, driveLength);
    }
    return path.substr(0, lastSeparator + 1);
}

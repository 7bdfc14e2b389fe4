// Existence tests and folder listings through the Windows directory search.
#include "platform/platform.h"
#include "platform/platform_error.h"
#include "platform/win32/windows_error.h"

#include <algorithm>

#include <windows.h>

namespace {

wchar_t FoldAscii(wchar_t unit) {
    return (unit >= L'a' && unit <= L'z') ? static_cast<wchar_t>(unit - (L'a' - L'A')) : unit;
}

// The listing order, as NTFS keeps its names: UTF-16 units compared with the letters a to z
// taken as A to Z; names equal but for case are ordered by their exact units.
bool ComesBefore(const std::wstring& a, const std::wstring& b) {
    std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        wchar_t x = FoldAscii(a[i]);
        wchar_t y = FoldAscii(b[i]);
        if (x != y) {
            return x < y;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;
}

} // namespace

bool PathExists(const std::wstring& path) {
    // No Windows name holds a wildcard, so a path with one names nothing; the directory search
    // would otherwise take it as a pattern.
    if (path.empty() || path.find_first_of(L"*?") != std::wstring::npos) {
        return FailWith(PlatformError::NotFound);
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return FailWithLastError();
    }
    FindClose(search);
    return true;
}

bool IsFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return FailWithLastError();
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::wstring> ListMatchingNames(const std::wstring& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        FailWithLastError();
        return names;
    }
    do {
        std::wstring name(found.cFileName);
        if (name != L"." && name != L"..") {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end(), ComesBefore);
    return names;
}

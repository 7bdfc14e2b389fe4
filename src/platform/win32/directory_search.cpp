// Existence tests and folder listings through the Windows directory search.
#include "platform/name_matching.h"
#include "platform/platform.h"
#include "platform/platform_error.h"
#include "platform/win32/windows_error.h"

#include <algorithm>

#include <windows.h>

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
    // The search also matches the old 8.3 short names ("abc.initial" is "ABC~1.INI"); only names
    // that match the pattern themselves are listed, as on the other build.
    std::size_t separator = pattern.find_last_of(L"\\/:");
    std::wstring namePattern =
        separator == std::wstring::npos ? pattern : pattern.substr(separator + 1);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        FailWithLastError();
        return names;
    }
    do {
        std::wstring name(found.cFileName);
        if (name != L"." && name != L".." && MatchesWildcard(name, namePattern)) {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end(), ComesBeforeInListing);
    return names;
}

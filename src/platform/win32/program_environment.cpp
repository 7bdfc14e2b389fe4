// The program's own path, the local time and the user-interface language.
#include "platform/platform.h"

#include <windows.h>

std::wstring ProgramFilePath() {
    // The path is asked for in full, however long; the callers refuse a path that does not fit
    // their 260-character buffers rather than work with a cut one.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD got = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (got == 0) {
            return std::wstring();
        }
        if (got < path.size()) {
            path.resize(got);
            return path;
        }
        if (path.size() >= 32768) {
            return std::wstring();
        }
        path.resize(path.size() * 2);
    }
}

LocalDateTime CurrentLocalTime() {
    SYSTEMTIME utc = {};
    GetSystemTime(&utc);
    SYSTEMTIME local = utc;
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
        local = utc;
    }
    return LocalDateTime{local.wYear, local.wMonth,  local.wDay,
                         local.wHour, local.wMinute, local.wSecond};
}

std::uint16_t UserDefaultUiLanguage() {
    return GetUserDefaultUILanguage();
}

// INI values through the Windows private-profile reading.
#include "platform/platform.h"

#include <windows.h>

std::wstring ReadProfileString(const std::wstring& iniPath, const std::wstring& section,
                               const std::wstring& key) {
    // An empty default and a zero-filled buffer of 260 characters: a missing file, section or
    // key reads as the empty string, and a longer value arrives cut to its first 259 characters.
    wchar_t buffer[260] = {};
    GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer, 260, iniPath.c_str());
    buffer[259] = L'\0';
    return std::wstring(buffer);
}

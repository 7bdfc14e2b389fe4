#include "shortcuts/localised_name.h"

#include <cstdint>

bool IsPlainFileName(const std::wstring& name) {
    if (name == L"." || name == L"..") {
        return false;
    }
    for (wchar_t c : name) {
        if (static_cast<std::uint32_t>(c) < 0x20) {
            return false;
        }
        if (std::wstring(L"\\/:*?\"<>|").find(c) != std::wstring::npos) {
            return false;
        }
    }
    return true;
}

// The registry below HKEY_LOCAL_MACHINE, 64-bit view, keys opened with full access.
#include "platform/platform.h"
#include "platform/platform_error.h"
#include "platform/win32/windows_error.h"

#include <windows.h>

namespace {

HKEY KeyOf(RegistryKey key) {
    return reinterpret_cast<HKEY>(key.raw);
}

bool Succeeded(LONG result) {
    if (result != ERROR_SUCCESS) {
        return FailWithCode(static_cast<DWORD>(result));
    }
    return true;
}

} // namespace

bool OpenRegistryKey(const std::wstring& path, RegistryKey& key) {
    // Key paths are formed with a trailing backslash; the key is the same without it.
    std::wstring name = path;
    while (!name.empty() && name.back() == L'\\') {
        name.pop_back();
    }
    HKEY opened = nullptr;
    if (!Succeeded(RegOpenKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), 0,
                                 KEY_ALL_ACCESS | KEY_WOW64_64KEY, &opened))) {
        return false;
    }
    key.raw = reinterpret_cast<std::intptr_t>(opened);
    return true;
}

void CloseRegistryKey(RegistryKey key) {
    if (key.raw != -1) {
        RegCloseKey(KeyOf(key));
    }
}

bool QueryRegistryValue(RegistryKey key, const std::wstring& name, std::size_t maxBytes,
                        std::uint32_t& type, std::vector<std::uint8_t>& data) {
    // A buffer is always handed over, even for maxBytes 0: without one Windows reports only the
    // size and a value of any length would seem to fit.
    std::vector<std::uint8_t> buffer(maxBytes > 0 ? maxBytes : 1);
    DWORD size = static_cast<DWORD>(maxBytes);
    DWORD valueType = REG_NONE;
    if (!Succeeded(RegQueryValueExW(KeyOf(key), name.c_str(), nullptr, &valueType, buffer.data(),
                                    &size))) {
        return false;
    }
    buffer.resize(size);
    type = valueType;
    data.swap(buffer);
    return true;
}

bool SetRegistryValue(RegistryKey key, const std::wstring& name, std::uint32_t type,
                      const std::vector<std::uint8_t>& data) {
    return Succeeded(RegSetValueExW(KeyOf(key), name.c_str(), 0, type,
                                    data.empty() ? nullptr : data.data(),
                                    static_cast<DWORD>(data.size())));
}

bool DeleteRegistryValue(RegistryKey key, const std::wstring& name) {
    return Succeeded(RegDeleteValueW(KeyOf(key), name.c_str()));
}

bool EnumRegistrySubKey(RegistryKey key, std::uint32_t index, std::wstring& name) {
    wchar_t buffer[260] = {};
    if (!Succeeded(RegEnumKeyW(KeyOf(key), index, buffer, 260))) {
        return false;
    }
    buffer[259] = L'\0';
    name = buffer;
    return true;
}

// The registry half of the MUTINAME mode: every AppIdOrPath value under a key that named the old
// shortcut path is made to name the new one.
#include "shortcuts/muti_name.h"

#include "app/ignore_case.h"
#include "app/run_settings.h"
#include "log/log_file.h"
#include "platform/platform.h"
#include "platform/text.h"

#include <cstdint>
#include <vector>

namespace {

// The value buffer of a walk: 260 characters of two bytes.
constexpr std::size_t ValueBufferBytes = 520;

const wchar_t* const PathValueName = L"AppIdOrPath";

std::wstring FullKeyName(const std::wstring& keyPath) {
    return L"HKEY_LOCAL_MACHINE\\" + keyPath;
}

// Replaces the AppIdOrPath value of a key without subkeys when it names oldPath (ignoring case),
// keeping the value's type. Only text values (REG_SZ, REG_EXPAND_SZ) are rewritten: writing one
// path over a multi-string or binary value would destroy the rest of its data.
void RenameValueOfLeafKey(LogFile& log, RegistryKey key, const std::wstring& keyPath,
                          const std::wstring& oldPath, const std::wstring& newPath) {
    std::uint32_t type = RegistryTypeNone;
    std::vector<std::uint8_t> data;
    if (!QueryRegistryValue(key, PathValueName, ValueBufferBytes, type, data)) {
        return;
    }
    if (type != RegistryTypeString && type != RegistryTypeExpandString) {
        return;
    }
    std::wstring text = WideFromUtf16Le(data.data(), data.size());
    if (!EqualsIgnoreCase(text, oldPath)) {
        return;
    }
    if (!SetRegistryValue(key, PathValueName, type, Utf16LeFromWide(newPath, true))) {
        return;
    }
    LogMessage(log, L"Modify registry succeeded:[" + oldPath + L"] -> [" + newPath + L"]");
    LogMessage(log, L"  --- Active key = [" + FullKeyName(keyPath) + L"]");
}

} // namespace

int RenameRegistryPath(const std::wstring& keyPath, const std::wstring& oldPath,
                       const std::wstring& newPath) {
    LogFile log;
    RegistryKey key;
    if (!OpenRegistryKey(keyPath, key)) {
        LogMessage(log, L"RegOpenKeyEx failed; key = [" + FullKeyName(keyPath) + L"]");
        return 0;
    }
    std::wstring childName;
    if (EnumRegistrySubKey(key, 0, childName)) {
        // A key with subkeys: only its subkeys are walked, its own values are left as they are.
        for (std::uint32_t index = 0; EnumRegistrySubKey(key, index, childName); ++index) {
            std::wstring childPath = keyPath + childName + L"\\";
            if (!FitsPathBuffer(childPath)) {
                // Cutting the path would name another key; such a key is not walked.
                LogMessage(log, L"Skipped key [" + FullKeyName(childPath) +
                                    L"]: a key path may hold at most " +
                                    std::to_wstring(MaxPathChars) + L" characters");
                continue;
            }
            RenameRegistryPath(childPath, oldPath, newPath);
        }
    } else {
        RenameValueOfLeafKey(log, key, keyPath, oldPath, newPath);
    }
    CloseRegistryKey(key);
    return 1;
}

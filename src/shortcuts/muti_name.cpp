// The MUTINAME mode: each add-on tile description that declares localised shortcut names has its
// shortcut renamed, within its folder, to the name for the user-interface language, and the
// registry values under SVDEn that named the old path are made to follow.
#include "shortcuts/muti_name.h"

#include "app/ignore_case.h"
#include "app/run_settings.h"
#include "log/log_file.h"
#include "platform/platform.h"
#include "shortcuts/localised_name.h"
#include "shortcuts/path_parts.h"

#include <vector>

namespace {

const wchar_t* const StartLayoutKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SVDEn\\";

std::wstring TooLongReason() {
    return L"a path may hold at most " + std::to_wstring(MaxPathChars) + L" characters";
}

// The shortcut is gone. When a file of its localised name stands in its folder, an earlier run
// renamed it and may have been stopped before the registry followed; walking the registry again
// completes that run. It changes and logs nothing when no value names the old path any more.
void CompleteEarlierRename(const std::wstring& iniPath, const std::wstring& languageTag,
                           const std::wstring& shortcutPath) {
    std::wstring localisedName = ReadProfileString(iniPath, L"MutiName", languageTag);
    if (shortcutPath.empty() || localisedName.empty() || !IsPlainFileName(localisedName)) {
        return;
    }
    std::wstring newPath = DriveAndFolderOf(shortcutPath) + localisedName + L".lnk";
    if (!FitsPathBuffer(newPath) || EqualsIgnoreCase(newPath, shortcutPath) ||
        !PathExists(newPath)) {
        return;
    }
    RenameRegistryPath(StartLayoutKey, shortcutPath, newPath);
}

// The localised name the shortcut of iniPath gets for languageTag, or the empty string when the
// file declares none or its shortcut is missing; logs what it finds on the way.
std::wstring FindLocalisedName(LogFile& log, const std::wstring& iniPath,
                               const std::wstring& languageTag, std::wstring& shortcutPath) {
    std::wstring supportMuti = ReadProfileString(iniPath, L"TileInfo", L"SupportMuti");
    if (!EqualsIgnoreCase(supportMuti, L"TRUE")) {
        LogMessage(log, L"SupportMuti = FALSE");
        return std::wstring();
    }
    LogMessage(log, L"SupportMuti = TRUE");
    shortcutPath = ReadProfileString(iniPath, L"TileInfo", L"AppIdOrPath");
    LogMessage(log, L"Prepare to search : " + shortcutPath);
    if (!PathExists(shortcutPath)) {
        LogMessage(log, L"Result : The AppIdOrPath is not exist");
        CompleteEarlierRename(iniPath, languageTag, shortcutPath);
        return std::wstring();
    }
    LogMessage(log, L"Result : The AppIdOrPath is exist");
    return ReadProfileString(iniPath, L"MutiName", languageTag);
}

// Renames the shortcut of one description file and has the registry follow.
void RenameShortcut(LogFile& log, const std::wstring& iniPath, const std::wstring& shortcutPath,
                    const std::wstring& localisedName) {
    if (!IsPlainFileName(localisedName)) {
        LogMessage(log, L"Refused localised name [" + localisedName + L"] for " + iniPath +
                            L": a file name may not be . or .., nor hold a folder, a drive, a "
                            L"control character or any of \\ / : * ? \" < > |");
        return;
    }
    std::wstring newPath = DriveAndFolderOf(shortcutPath) + localisedName + L".lnk";
    if (!FitsPathBuffer(newPath)) {
        LogMessage(log,
                   L"Refused new path [" + newPath + L"] for " + iniPath + L": " + TooLongReason());
        return;
    }
    // A shortcut that bears its localised name already needs no rename; the registry is still
    // made to name it as written.
    if (newPath != shortcutPath && !RenameFileNoReplace(shortcutPath, newPath)) {
        PlatformError error = LastPlatformError();
        // When a file of the new name exists already, the old shortcut stays where it was and
        // the registry is made to name the file of the new name.
        if (error != PlatformError::AlreadyExists) {
            LogMessage(log, L"Rename failed:[" + shortcutPath + L"] -> [" + newPath + L"]: " +
                                PlatformErrorText(error) + L"; the registry is left unchanged");
            return;
        }
    }
    RenameRegistryPath(StartLayoutKey, shortcutPath, newPath);
}

} // namespace

void DetectMutiNames() {
    LogFile log;
    std::wstring languageTag = GetUiLanguageTag();
    const std::wstring& tilesFolder = Settings().tilesDataPath;
    std::vector<std::wstring> names = ListMatchingNames(tilesFolder + L"\\*.ini");
    for (const std::wstring& name : names) {
        std::wstring iniPath = tilesFolder + L"\\" + name;
        LogMessage(log, L"");
        if (!FitsPathBuffer(iniPath)) {
            // A cut path would name another file; this one is not read.
            LogMessage(log, L"Refused ini : " + iniPath + L": " + TooLongReason());
            continue;
        }
        LogMessage(log, L"Found ini : " + iniPath);
        std::wstring shortcutPath;
        std::wstring localisedName = FindLocalisedName(log, iniPath, languageTag, shortcutPath);
        if (!localisedName.empty()) {
            RenameShortcut(log, iniPath, shortcutPath, localisedName);
        }
    }
}

// Replacing a file as one step: copy beside the target, flush, rename over it.
#include "platform/platform.h"
#include "platform/platform_error.h"
#include "platform/win32/windows_error.h"

#include <windows.h>

namespace {

// The temporary sibling that receives the new content: ".<name>.tilewright-new" in the target's
// folder, so that the final rename stays on one volume.
std::wstring TemporarySiblingOf(const std::wstring& target) {
    std::size_t cut = target.find_last_of(L"\\/:");
    std::wstring folder = cut == std::wstring::npos ? std::wstring() : target.substr(0, cut + 1);
    std::wstring name = cut == std::wstring::npos ? target : target.substr(cut + 1);
    return folder + L"." + name + L".tilewright-new";
}

// The extended-length form (\\?\C:\... or \\?\UNC\server\...) of a path, for a temporary name
// that outgrows the classic 260-character limit. The path as given when it cannot be formed.
std::wstring ExtendedFormOf(const std::wstring& path) {
    DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::wstring full(needed, L'\0');
    DWORD got = GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
    if (got == 0 || got >= needed) {
        return path;
    }
    full.resize(got);
    if (full.compare(0, 4, L"\\\\?\\") == 0) {
        return full;
    }
    if (full.compare(0, 2, L"\\\\") == 0) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    if (full.size() >= 2 && full[1] == L':') {
        return L"\\\\?\\" + full;
    }
    return path;
}

void RemoveTemporary(const std::wstring& temporary) {
    SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temporary.c_str());
}

// Ends a failed attempt: the temporary goes, and the step's own error is what gets reported.
bool FailAndClean(DWORD code, const std::wstring& temporary) {
    RemoveTemporary(temporary);
    return FailWithCode(code);
}

bool FlushFileAt(const std::wstring& path, DWORD& code) {
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        code = GetLastError();
        return false;
    }
    bool flushed = FlushFileBuffers(handle) != 0;
    code = flushed ? ERROR_SUCCESS : GetLastError();
    bool closed = CloseHandle(handle) != 0;
    if (flushed && !closed) {
        code = GetLastError();
    }
    return flushed && closed;
}

} // namespace

bool ReplaceFileAtomically(const std::wstring& source, const std::wstring& target) {
    // A read-only target stays as it is: the rename below would otherwise replace it.
    DWORD targetAttributes = GetFileAttributesW(target.c_str());
    if (targetAttributes != INVALID_FILE_ATTRIBUTES &&
        (targetAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return FailWith(PlatformError::AccessDenied);
    }

    std::wstring temporary = TemporarySiblingOf(target);
    std::wstring finalTarget = target;
    if (temporary.size() > MAX_PATH - 1) {
        temporary = ExtendedFormOf(temporary);
        finalTarget = ExtendedFormOf(target);
    }
    RemoveTemporary(temporary); // a leftover of an attempt that was cut short

    if (!CopyFileW(source.c_str(), temporary.c_str(), FALSE)) {
        return FailAndClean(GetLastError(), temporary);
    }
    // The copy takes the source's attributes; a read-only copy could be neither flushed nor
    // leave the target writable.
    DWORD copyAttributes = GetFileAttributesW(temporary.c_str());
    if (copyAttributes != INVALID_FILE_ATTRIBUTES &&
        (copyAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        if (!SetFileAttributesW(temporary.c_str(), copyAttributes & ~FILE_ATTRIBUTE_READONLY)) {
            return FailAndClean(GetLastError(), temporary);
        }
    }
    DWORD code = ERROR_SUCCESS;
    if (!FlushFileAt(temporary, code)) {
        return FailAndClean(code, temporary);
    }
    if (!MoveFileExW(temporary.c_str(), finalTarget.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return FailAndClean(GetLastError(), temporary);
    }
    return true;
}

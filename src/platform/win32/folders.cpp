// Folder creation: one level, or a whole tree through the shell.
#include "platform/platform.h"
#include "platform/win32/windows_error.h"

#include <windows.h>

#include <shlobj.h>

bool CreateOneFolder(const std::wstring& path) {
    if (!CreateDirectoryW(path.c_str(), nullptr)) {
        return FailWithLastError();
    }
    return true;
}

bool CreateFolderTree(const std::wstring& path) {
    int result = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    if (result != ERROR_SUCCESS) {
        return FailWithCode(static_cast<DWORD>(result));
    }
    return true;
}

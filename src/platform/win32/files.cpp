// Files through Windows handles: open, read, write, size, flush, close, copy, delete, rename.
#include "platform/platform.h"
#include "platform/platform_error.h"
#include "platform/win32/windows_error.h"

#include <windows.h>

namespace {

HANDLE HandleOf(FileHandle file) {
    return reinterpret_cast<HANDLE>(file.raw);
}

// The largest piece handed to one ReadFile or WriteFile call, whose sizes are 32-bit.
constexpr std::size_t MaxPiece = 1u << 30;

// Windows refuses to write into a read-only file. Wine, run by the superuser, lets the write
// through, so the attribute is tested here as well and both give the same answer.
bool IsReadOnlyFile(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) ==
               FILE_ATTRIBUTE_READONLY;
}

} // namespace

bool OpenFile(const std::wstring& path, FileMode mode, FileHandle& file) {
    DWORD access = 0;
    DWORD disposition = 0;
    switch (mode) {
    case FileMode::ReadExisting:
        access = GENERIC_READ;
        disposition = OPEN_EXISTING;
        break;
    case FileMode::ReadWriteExisting:
        access = GENERIC_READ | GENERIC_WRITE;
        disposition = OPEN_EXISTING;
        break;
    case FileMode::AppendOrCreate:
        // Append-only access: every write lands at the end of the file.
        access = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
        disposition = OPEN_ALWAYS;
        break;
    case FileMode::CreateOrTruncate:
        access = GENERIC_WRITE;
        disposition = CREATE_ALWAYS;
        break;
    case FileMode::CreateNew:
        access = GENERIC_WRITE;
        disposition = CREATE_NEW;
        break;
    }
    if (mode != FileMode::ReadExisting && mode != FileMode::CreateNew && IsReadOnlyFile(path)) {
        return FailWith(PlatformError::AccessDenied);
    }
    HANDLE handle = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return FailWithLastError();
    }
    file.raw = reinterpret_cast<std::intptr_t>(handle);
    return true;
}

bool ReadFromFile(FileHandle file, void* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    DWORD read = 0;
    DWORD piece = static_cast<DWORD>(size < MaxPiece ? size : MaxPiece);
    if (!ReadFile(HandleOf(file), buffer, piece, &read, nullptr)) {
        return FailWithLastError();
    }
    got = read;
    return true;
}

bool WriteToFile(FileHandle file, const void* data, std::size_t size) {
    const char* next = static_cast<const char*>(data);
    while (size > 0) {
        DWORD written = 0;
        DWORD piece = static_cast<DWORD>(size < MaxPiece ? size : MaxPiece);
        if (!WriteFile(HandleOf(file), next, piece, &written, nullptr)) {
            return FailWithLastError();
        }
        if (written == 0) {
            return FailWith(PlatformError::Other);
        }
        next += written;
        size -= written;
    }
    return true;
}

bool GetFileSize64(FileHandle file, std::uint64_t& size) {
    LARGE_INTEGER value;
    if (!GetFileSizeEx(HandleOf(file), &value)) {
        return FailWithLastError();
    }
    size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
}

bool FlushFileToDisk(FileHandle file) {
    if (!FlushFileBuffers(HandleOf(file))) {
        return FailWithLastError();
    }
    return true;
}

bool CloseFile(FileHandle file) {
    if (HandleOf(file) == INVALID_HANDLE_VALUE) {
        return FailWith(PlatformError::Other);
    }
    if (!CloseHandle(HandleOf(file))) {
        return FailWithLastError();
    }
    return true;
}

bool CopyFileOver(const std::wstring& from, const std::wstring& to) {
    if (IsReadOnlyFile(to)) {
        return FailWith(PlatformError::AccessDenied);
    }
    if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
        return FailWithLastError();
    }
    return true;
}

bool DeleteFileAt(const std::wstring& path) {
    if (!DeleteFileW(path.c_str())) {
        return FailWithLastError();
    }
    return true;
}

bool RenameFileNoReplace(const std::wstring& from, const std::wstring& to) {
    // Without MOVEFILE_REPLACE_EXISTING an existing target makes the move fail.
    if (!MoveFileExW(from.c_str(), to.c_str(), 0)) {
        return FailWithLastError();
    }
    return true;
}

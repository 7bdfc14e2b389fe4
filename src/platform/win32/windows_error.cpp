#include "platform/win32/windows_error.h"

#include "platform/platform_error.h"

PlatformError PlatformErrorOfCode(DWORD code) {
    switch (code) {
    case ERROR_SUCCESS:
        return PlatformError::Other; // a call that failed without saying why
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_NO_MORE_FILES:
    case ERROR_NO_MORE_ITEMS:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return PlatformError::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return PlatformError::AccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return PlatformError::InUse;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return PlatformError::DiskFull;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return PlatformError::AlreadyExists;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
    case ERROR_INSUFFICIENT_BUFFER:
    case ERROR_MORE_DATA:
        return PlatformError::TooLong;
    case ERROR_BADDB:
    case ERROR_BADKEY:
    case ERROR_CANTREAD:
        return PlatformError::BadFormat;
    default:
        return PlatformError::Other;
    }
}

bool FailWithCode(DWORD code) {
    return FailWith(PlatformErrorOfCode(code));
}

bool FailWithLastError() {
    return FailWithCode(GetLastError());
}

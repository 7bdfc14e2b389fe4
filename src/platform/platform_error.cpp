#include "platform/platform_error.h"

namespace {
thread_local PlatformError lastError = PlatformError::None;
}

bool FailWith(PlatformError error) {
    lastError = error;
    return false;
}

PlatformError LastPlatformError() { return lastError; }

std::wstring PlatformErrorText(PlatformError error) {
    switch (error) {
    case PlatformError::None:
        return L"no error";
    case PlatformError::NotFound:
        return L"not found";
    case PlatformError::AlreadyExists:
        return L"the target exists already";
    case PlatformError::AccessDenied:
        return L"access denied";
    case PlatformError::InUse:
        return L"the file is in use";
    case PlatformError::DiskFull:
        return L"the disk is full";
    case PlatformError::BadFormat:
        return L"the data cannot be read";
    case PlatformError::TooLong:
        return L"the path is too long";
    case PlatformError::Other:
        break;
    }
    return L"the system reported an error";
}

#include "platform/platform_error.h"
#include "platform/posix/fault_points.h"
#include "platform/posix/layer_state.h"

#include <cerrno>

PlatformError ErrorOfErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return PlatformError::NotFound;
    case EEXIST:
    case ENOTEMPTY:
        return PlatformError::AlreadyExists;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return PlatformError::AccessDenied;
    case ETXTBSY:
    case EBUSY:
        return PlatformError::InUse;
    case ENOSPC:
    case EDQUOT:
        return PlatformError::DiskFull;
    case ENAMETOOLONG:
        return PlatformError::TooLong;
    default:
        return PlatformError::Other;
    }
}

bool FailWithErrno(int error) {
    return FailWith(ErrorOfErrno(error));
}

bool StatHostPath(const std::string& hostPath, struct stat& info) {
    return !hostPath.empty() && ::stat(hostPath.c_str(), &info) == 0;
}

bool IsReadOnlyMode(mode_t mode) {
    return (mode & 0222) == 0;
}

bool FaultStops(FaultOperation operation) {
    PlatformError error = PlatformError::None;
    if (FaultInjected(operation, error)) {
        return !FailWith(error == PlatformError::None ? PlatformError::Other : error);
    }
    return false;
}

FileIdentity IdentityOf(const struct stat& info) {
    FileIdentity identity;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modified =
        static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
    identity.changed =
        static_cast<long long>(info.st_ctim.tv_sec) * 1000000000LL + info.st_ctim.tv_nsec;
    return identity;
}

bool SameIdentity(const FileIdentity& a, const FileIdentity& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified == b.modified && a.changed == b.changed;
}

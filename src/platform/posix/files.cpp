// Opening, reading, writing and closing files; deleting and renaming them.
#include "platform/platform_error.h"
#include "platform/posix/fault_points.h"
#include "platform/posix/layer_state.h"
#include "platform/posix/stand_in.h"
#include "platform/text.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

bool IsWriting(FileMode mode) {
    return mode != FileMode::ReadExisting;
}

int OpenFlags(FileMode mode) {
    switch (mode) {
    case FileMode::ReadExisting:
        return O_RDONLY;
    case FileMode::ReadWriteExisting:
        return O_RDWR;
    case FileMode::AppendOrCreate:
        return O_WRONLY | O_CREAT | O_APPEND;
    case FileMode::CreateOrTruncate:
        return O_WRONLY | O_CREAT | O_TRUNC;
    case FileMode::CreateNew:
        break;
    }
    return O_WRONLY | O_CREAT | O_EXCL;
}

int Descriptor(FileHandle file) {
    return static_cast<int>(file.raw);
}

// renameat2 with RENAME_NOREPLACE, called directly: older C libraries lack the wrapper.
int RenameNoReplace(const char* from, const char* to) {
#ifdef SYS_renameat2
    constexpr unsigned int NoReplace = 1; // RENAME_NOREPLACE
    return static_cast<int>(::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, NoReplace));
#else
    errno = ENOSYS;
    return -1;
#endif
}

int OpenRetrying(const std::string& host, int flags) {
    int descriptor;
    do {
        descriptor = ::open(host.c_str(), flags | O_CLOEXEC, 0666);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

// Keeps an opened descriptor unless it is a folder or, with existed, a read-only file opened for
// writing (which root may open; nothing has been written through it).
bool AdoptOpened(int descriptor, FileMode mode, bool existed, FileHandle& file) {
    struct stat info;
    if (::fstat(descriptor, &info) == 0 &&
        (S_ISDIR(info.st_mode) || (existed && IsWriting(mode) && IsReadOnlyMode(info.st_mode)))) {
        ::close(descriptor);
        return FailWith(PlatformError::AccessDenied);
    }
    file.raw = descriptor;
    return true;
}

} // namespace

bool OpenFile(const std::wstring& path, FileMode mode, FileHandle& file) {
    file = FileHandle();
    bool creates = mode == FileMode::CreateOrTruncate || mode == FileMode::CreateNew;
    if (FaultStops(creates ? FaultOperation::Create : FaultOperation::Open)) {
        return false;
    }
    if (!creates) {
        // Most files are opened with the spelling they have: try that first, creating nothing,
        // and look at what was opened. Only a path that is not there as written is resolved.
        std::string exact = ExactHostPathOf(path);
        if (exact.empty()) {
            return FailWith(PlatformError::NotFound);
        }
        int flags = (mode == FileMode::AppendOrCreate ? O_WRONLY | O_APPEND : OpenFlags(mode));
        int descriptor = OpenRetrying(exact, flags);
        if (descriptor >= 0) {
            return AdoptOpened(descriptor, mode, true, file);
        }
        if (errno != ENOENT && errno != ENOTDIR) {
            return FailWithErrno(errno);
        }
    }
    std::string host = HostPathOf(path);
    if (host.empty()) {
        return FailWith(PlatformError::NotFound);
    }
    struct stat info;
    if (::stat(host.c_str(), &info) == 0) {
        if (mode == FileMode::CreateNew) {
            return FailWith(PlatformError::AlreadyExists);
        }
        if (S_ISDIR(info.st_mode)) {
            return FailWith(PlatformError::AccessDenied);
        }
        if (IsWriting(mode) && IsReadOnlyMode(info.st_mode)) {
            return FailWith(PlatformError::AccessDenied);
        }
    }
    int descriptor = OpenRetrying(host, OpenFlags(mode));
    if (descriptor < 0) {
        return FailWithErrno(errno);
    }
    return AdoptOpened(descriptor, mode, false, file);
}

bool ReadFromFile(FileHandle file, void* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    char* into = static_cast<char*>(buffer);
    while (got < size) {
        ssize_t count = ::read(Descriptor(file), into + got, size - got);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return FailWithErrno(errno);
        }
        if (count == 0) {
            break;
        }
        got += static_cast<std::size_t>(count);
    }
    return true;
}

bool WriteAllToDescriptor(int descriptor, const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        ssize_t count = ::write(descriptor, data + done, size - done);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return FailWithErrno(errno);
        }
        if (count == 0) {
            return FailWith(PlatformError::DiskFull);
        }
        done += static_cast<std::size_t>(count);
    }
    return true;
}

bool WriteToFile(FileHandle file, const void* data, std::size_t size) {
    if (FaultStops(FaultOperation::Write)) {
        return false;
    }
    return WriteAllToDescriptor(Descriptor(file), static_cast<const char*>(data), size);
}

bool GetFileSize64(FileHandle file, std::uint64_t& size) {
    struct stat info;
    if (::fstat(Descriptor(file), &info) != 0) {
        return FailWithErrno(errno);
    }
    size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool FlushFileToDisk(FileHandle file) {
    if (FaultStops(FaultOperation::Flush)) {
        return false;
    }
    if (::fsync(Descriptor(file)) != 0) {
        return FailWithErrno(errno);
    }
    return true;
}

bool CloseFile(FileHandle file) {
    if (file.raw < 0) {
        return FailWith(PlatformError::Other);
    }
    // The descriptor is released even when close() reports an error; it must not be retried.
    if (::close(Descriptor(file)) != 0) {
        return FailWithErrno(errno);
    }
    return true;
}

bool DeleteFileAt(const std::wstring& path) {
    if (FaultStops(FaultOperation::Delete)) {
        return false;
    }
    std::string host = HostPathOf(path);
    struct stat info;
    if (host.empty() || ::lstat(host.c_str(), &info) != 0) {
        return FailWithErrno(host.empty() ? ENOENT : errno);
    }
    if (S_ISDIR(info.st_mode) || (S_ISREG(info.st_mode) && IsReadOnlyMode(info.st_mode))) {
        return FailWith(PlatformError::AccessDenied);
    }
    if (::unlink(host.c_str()) != 0) {
        return FailWithErrno(errno);
    }
    return true;
}

bool RenameFileNoReplace(const std::wstring& from, const std::wstring& to) {
    if (FaultStops(FaultOperation::Rename)) {
        return false;
    }
    std::string hostFrom = HostPathOf(from);
    std::string hostTo = HostPathOf(to);
    struct stat source;
    if (hostFrom.empty() || ::lstat(hostFrom.c_str(), &source) != 0) {
        return FailWithErrno(hostFrom.empty() ? ENOENT : errno);
    }
    if (hostTo.empty()) {
        return FailWith(PlatformError::NotFound);
    }
    if (hostTo == hostFrom) {
        // The target names the source itself, perhaps in another letter case: as on Windows,
        // the file takes the spelling asked for.
        std::size_t slash = hostTo.find_last_of('/');
        std::size_t nameStart = to.find_last_of(L"\\/");
        std::wstring name = (nameStart == std::wstring::npos) ? to : to.substr(nameStart + 1);
        std::string respelled = hostTo.substr(0, slash + 1) + Utf8FromWide(name);
        if (respelled != hostFrom && ::rename(hostFrom.c_str(), respelled.c_str()) != 0) {
            return FailWithErrno(errno);
        }
        return true;
    }
    struct stat target;
    if (::lstat(hostTo.c_str(), &target) == 0) {
        return FailWith(PlatformError::AlreadyExists);
    }
    if (RenameNoReplace(hostFrom.c_str(), hostTo.c_str()) == 0) {
        return true;
    }
    if (errno != ENOSYS && errno != EINVAL) {
        return FailWithErrno(errno);
    }
    // The file system cannot refuse a replacement on its own: a hard link can, for files.
    if (S_ISDIR(source.st_mode)) {
        if (::lstat(hostTo.c_str(), &target) == 0) {
            return FailWith(PlatformError::AlreadyExists);
        }
        if (::rename(hostFrom.c_str(), hostTo.c_str()) != 0) {
            return FailWithErrno(errno);
        }
        return true;
    }
    if (::link(hostFrom.c_str(), hostTo.c_str()) != 0) {
        return FailWithErrno(errno);
    }
    if (::unlink(hostFrom.c_str()) != 0) {
        int error = errno;
        ::unlink(hostTo.c_str());
        return FailWithErrno(error);
    }
    return true;
}

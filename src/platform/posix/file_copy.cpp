// Copying files: the plain copy over a target, and the atomic replacement through a new file
// next to the target.
#include "platform/platform_error.h"
#include "platform/posix/layer_state.h"
#include "platform/posix/stand_in.h"

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t CopyChunk = 1 << 16;
constexpr std::size_t LongestName = 255;

// Copies the rest of from into to. With regular (from is a regular file) the kernel copies the
// bytes without their passing through here, where it can; otherwise they are read and written.
bool CopyBytes(int from, int to, bool regular) {
    while (regular) {
        ssize_t count = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (count > 0) {
            continue;
        }
        if (count == 0) {
            return true;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
            return FailWithErrno(errno);
        }
        break;
    }
    std::vector<char> buffer(CopyChunk);
    for (;;) {
        ssize_t count = ::read(from, buffer.data(), buffer.size());
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return FailWithErrno(errno);
        }
        if (count == 0) {
            return true;
        }
        if (!WriteAllToDescriptor(to, buffer.data(), static_cast<std::size_t>(count))) {
            return false;
        }
    }
}

// Opens a file for reading that must be a file, not a folder; info tells what it is.
bool OpenSource(const std::string& host, int& descriptor, struct stat& info) {
    if (host.empty()) {
        return FailWith(PlatformError::NotFound);
    }
    descriptor = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return FailWithErrno(errno);
    }
    if (::fstat(descriptor, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(descriptor);
        return FailWith(PlatformError::AccessDenied);
    }
    return true;
}

// A target that may be written over: a folder or a read-only file may not.
bool TargetWritable(const struct stat& info) {
    if (S_ISDIR(info.st_mode) || IsReadOnlyMode(info.st_mode)) {
        return FailWith(PlatformError::AccessDenied);
    }
    return true;
}

// The name of the new file written next to target before it takes target's place.
std::string TemporaryPathFor(const std::string& folder, const std::string& name) {
    std::string temporary = "." + name + ".tilewright-new";
    if (temporary.size() > LongestName) {
        temporary = ".tilewright-replace.tilewright-new";
    }
    return folder + "/" + temporary;
}

// A file whose bytes are to take target's place, open for reading.
struct SourceFile {
    std::string host;
    int descriptor = -1;
    struct stat info;
};

// Links source next to the target as temporary instead of copying its bytes, when that gives the
// same file a copy would: source is a regular file on the target's volume with the owner and
// permissions the copy would get. The source is flushed to disk first, as a copy would be.
bool LinkInsteadOfCopy(const SourceFile& source, const struct stat& folder, bool existed,
                       const struct stat& old, const std::string& temporary) {
    if (!S_ISREG(source.info.st_mode) || source.info.st_dev != folder.st_dev) {
        return false;
    }
    if (existed && (old.st_uid != source.info.st_uid || old.st_gid != source.info.st_gid ||
                    (old.st_mode & 07777) != (source.info.st_mode & 07777))) {
        return false;
    }
    if (::fsync(source.descriptor) != 0) {
        return false;
    }
    if (::linkat(AT_FDCWD, source.host.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) !=
        0) {
        return false;
    }
    // The name may have come to stand for another file since it was opened.
    struct stat linked;
    if (::stat(temporary.c_str(), &linked) != 0 || linked.st_dev != source.info.st_dev ||
        linked.st_ino != source.info.st_ino) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

// Replaces hostTarget with what fill writes into a new file, see ReplaceHostFileWithBytes. With
// source, the new file may be a link to it (see LinkInsteadOfCopy), and fill is not called.
bool ReplaceHostFile(const std::string& hostTarget, const std::function<bool(int)>& fill,
                     bool askRenameFault, const SourceFile* source = nullptr) {
    std::size_t slash = hostTarget.find_last_of('/');
    if (hostTarget.empty() || slash == std::string::npos || slash + 1 == hostTarget.size()) {
        return FailWith(PlatformError::NotFound);
    }
    std::string folder = slash == 0 ? std::string("/") : hostTarget.substr(0, slash);
    std::string name = hostTarget.substr(slash + 1);
    struct stat info;
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return FailWith(PlatformError::NotFound);
    }
    struct stat old;
    bool existed = ::stat(hostTarget.c_str(), &old) == 0;
    if (existed && !TargetWritable(old)) {
        return false;
    }

    std::string temporary = TemporaryPathFor(slash == 0 ? std::string() : folder, name);
    ::unlink(temporary.c_str()); // a leftover of an attempt that was killed
    auto abandon = [&temporary](int open) {
        if (open >= 0) {
            ::close(open);
        }
        ::unlink(temporary.c_str());
        return false;
    };
    if (source == nullptr || !LinkInsteadOfCopy(*source, info, existed, old, temporary)) {
        int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            return FailWithErrno(errno);
        }
        if (existed) {
            // Keep the target's owner and permissions; an owner change needs rights we may lack.
            if (::fchown(descriptor, old.st_uid, old.st_gid) != 0) {
                // the new file keeps our own owner
            }
            ::fchmod(descriptor, old.st_mode & 07777);
        }
        if (!fill(descriptor)) {
            return abandon(descriptor);
        }
        if (::fsync(descriptor) != 0) {
            FailWithErrno(errno);
            return abandon(descriptor);
        }
        if (::close(descriptor) != 0) {
            FailWithErrno(errno);
            return abandon(-1);
        }
    }
    // The target may have changed while the copy was written.
    if (::stat(hostTarget.c_str(), &old) == 0 && !TargetWritable(old)) {
        return abandon(-1);
    }
    if (askRenameFault && FaultStops(FaultOperation::Rename)) {
        return abandon(-1);
    }
    if (::rename(temporary.c_str(), hostTarget.c_str()) != 0) {
        FailWithErrno(errno);
        return abandon(-1);
    }
    // Make the rename itself durable. Some file systems cannot flush a folder; the replacement
    // has happened all the same.
    int folderDescriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderDescriptor >= 0) {
        ::fsync(folderDescriptor);
        ::close(folderDescriptor);
    }
    return true;
}

} // namespace

bool ReplaceHostFileWithBytes(const std::string& hostTarget, const std::string& bytes) {
    return ReplaceHostFile(
        hostTarget,
        [&bytes](int descriptor) {
            return WriteAllToDescriptor(descriptor, bytes.data(), bytes.size());
        },
        false);
}

bool CopyFileOver(const std::wstring& from, const std::wstring& to) {
    if (FaultStops(FaultOperation::Copy)) {
        return false;
    }
    int source = -1;
    struct stat sourceInfo;
    if (!OpenSource(HostPathOf(from), source, sourceInfo)) {
        return false;
    }
    std::string hostTarget = HostPathOf(to);
    if (hostTarget.empty()) {
        ::close(source);
        return FailWith(PlatformError::NotFound);
    }
    struct stat targetInfo;
    if (::stat(hostTarget.c_str(), &targetInfo) == 0) {
        if (!TargetWritable(targetInfo)) {
            ::close(source);
            return false;
        }
        if (targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino) {
            // Truncating the target would destroy the source: Windows refuses this copy too.
            ::close(source);
            return FailWith(PlatformError::InUse);
        }
    }
    int target = ::open(hostTarget.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (target < 0) {
        int error = errno;
        ::close(source);
        return FailWithErrno(error);
    }
    bool copied = CopyBytes(source, target, S_ISREG(sourceInfo.st_mode));
    ::close(source);
    // The copy takes the source's read-only attribute, as CopyFileW does.
    if (copied && IsReadOnlyMode(sourceInfo.st_mode)) {
        struct stat now;
        if (::fstat(target, &now) == 0) {
            ::fchmod(target, now.st_mode & 07777 & ~0222);
        }
    }
    if (::close(target) != 0 && copied) {
        return FailWithErrno(errno);
    }
    return copied;
}

bool ReplaceFileAtomically(const std::wstring& source, const std::wstring& target) {
    if (FaultStops(FaultOperation::Copy)) {
        return false;
    }
    SourceFile file;
    file.host = HostPathOf(source);
    if (!OpenSource(file.host, file.descriptor, file.info)) {
        return false;
    }
    int descriptor = file.descriptor;
    bool regular = S_ISREG(file.info.st_mode);
    bool replaced = ReplaceHostFile(
        HostPathOf(target),
        [descriptor, regular](int into) { return CopyBytes(descriptor, into, regular); }, true,
        &file);
    ::close(descriptor);
    return replaced;
}

// What the parts of the stand-in layer share: where the image and the registry file are, the
// caches that a change of stand-in must empty, and the mapping of host errors.
#pragma once

#include "platform/platform.h"
#include "platform/posix/fault_points.h"

#include <string>
#include <sys/stat.h>

// Absolute host paths set by StartStandInLayer or UseStandIn.
const std::string& StandInImageFolder();
const std::string& StandInRegistryFile();

// Drop every parsed profile file and the loaded registry model (with its open keys).
void ForgetProfileCache();
void ForgetRegistryModel();

// The platform error that stands for a host errno value.
PlatformError ErrorOfErrno(int error);
// Records the error that stands for the errno value and returns false.
bool FailWithErrno(int error);

// Writes all size bytes to an open descriptor, going on after short writes and interruptions.
bool WriteAllToDescriptor(int descriptor, const char* data, std::size_t size);

// stat() of a host path; false when nothing is there (or it cannot be examined).
bool StatHostPath(const std::string& hostPath, struct stat& info);
// A file that has no write permission bit counts as read-only, for root as well: that is how a
// Windows read-only attribute looks on the host.
bool IsReadOnlyMode(mode_t mode);

// Replaces the host file target with bytes, atomically: a new file next to it is written, flushed,
// and renamed over target. Fails (leaving target untouched and nothing behind) when the folder is
// missing, when target is a folder or read-only, or when any step fails.
bool ReplaceHostFileWithBytes(const std::string& hostTarget, const std::string& bytes);

// The host path of a Windows path (as HostPathOf gives it) and the stat() of what is there. One
// system call when the path exists with its exact spelling. False, with errno set, when nothing
// is there.
bool StatWindowsPath(const std::wstring& windowsPath, std::string& host, struct stat& info);

// The host path of a Windows path with every component spelled as written, without looking at
// the disk: the path HostPathOf gives whenever it exists as written. Empty when it names nothing.
std::string ExactHostPathOf(const std::wstring& windowsPath);

// The name of the entry of host folder that equals name ignoring ASCII case (the first in byte
// order when several do); false when there is none or the folder cannot be read.
bool FindEntryIgnoringCase(const std::string& hostFolder, const std::string& name,
                           std::string& found);

// ASCII letters a to z folded to A to Z, every other character as it is.
wchar_t FoldAscii(wchar_t c);
std::wstring FoldAsciiText(const std::wstring& text);

// Wide text of host bytes: UTF-8, or Windows-1252 when they are not valid UTF-8.
std::wstring WideFromHostBytes(const std::string& bytes);

// Asks the failure points about operation; true (with the reason recorded) when the call must
// fail now.
bool FaultStops(FaultOperation operation);

// Decodes all of UTF-16LE text, null characters included; unpaired surrogates are kept.
std::wstring WideFromWholeUtf16Le(const std::uint8_t* bytes, std::size_t size);

// The whole content of a host file; false when it cannot be read (a folder cannot).
bool ReadWholeHostFile(const std::string& hostPath, std::string& bytes);

// What tells whether a file changed since it was read.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    long long modified = 0; // nanoseconds
    long long changed = 0;  // nanoseconds
};
FileIdentity IdentityOf(const struct stat& info);
bool SameIdentity(const FileIdentity& a, const FileIdentity& b);

// Existence tests, folder listings with Windows wildcards, and folder creation.
#include "platform/name_matching.h"
#include "platform/platform_error.h"
#include "platform/posix/layer_state.h"
#include "platform/posix/stand_in.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

bool PathExists(const std::wstring& path) {
    struct stat info;
    std::string host;
    if (!StatWindowsPath(path, host, info)) {
        return host.empty() ? FailWith(PlatformError::NotFound) : FailWithErrno(errno);
    }
    return true;
}

bool IsFolder(const std::wstring& path) {
    struct stat info;
    std::string host;
    if (!StatWindowsPath(path, host, info)) {
        return host.empty() ? FailWith(PlatformError::NotFound) : FailWithErrno(errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return FailWith(PlatformError::NotFound);
    }
    return true;
}

std::vector<std::wstring> ListMatchingNames(const std::wstring& pattern) {
    std::vector<std::wstring> names;
    std::size_t split = pattern.find_last_of(L"\\/");
    std::wstring folder;
    std::wstring namePattern;
    if (split != std::wstring::npos) {
        folder = pattern.substr(0, split + 1);
        namePattern = pattern.substr(split + 1);
    } else if (pattern.size() >= 2 && pattern[1] == L':') {
        folder = pattern.substr(0, 2);
        namePattern = pattern.substr(2);
    } else {
        folder = L".";
        namePattern = pattern;
    }
    if (namePattern.empty()) {
        FailWith(PlatformError::NotFound);
        return names;
    }
    // "*.*" stands for every name, with or without a dot, as on Windows.
    if (namePattern == L"*.*") {
        namePattern = L"*";
    }
    std::string host = HostPathOf(folder);
    DIR* listing = host.empty() ? nullptr : ::opendir(host.c_str());
    if (listing == nullptr) {
        FailWithErrno(host.empty() ? ENOENT : errno);
        return names;
    }
    while (struct dirent* entry = ::readdir(listing)) {
        std::string raw(entry->d_name);
        if (raw == "." || raw == "..") {
            continue;
        }
        std::wstring name = WideFromHostBytes(raw);
        if (MatchesWildcard(name, namePattern)) {
            names.push_back(name);
        }
    }
    ::closedir(listing);
    std::sort(names.begin(), names.end(), ComesBeforeInListing);
    if (names.empty()) {
        FailWith(PlatformError::NotFound);
    }
    return names;
}

bool CreateOneFolder(const std::wstring& path) {
    std::string host = HostPathOf(path);
    if (host.empty()) {
        return FailWith(PlatformError::NotFound);
    }
    if (::mkdir(host.c_str(), 0777) != 0) {
        return FailWithErrno(errno);
    }
    return true;
}

bool CreateFolderTree(const std::wstring& path) {
    struct stat info;
    std::string host;
    if (StatWindowsPath(path, host, info)) {
        return FailWith(PlatformError::AlreadyExists);
    }
    if (host.empty()) {
        return FailWith(PlatformError::NotFound);
    }
    while (host.size() > 1 && host.back() == '/') {
        host.pop_back();
    }
    if (::stat(host.c_str(), &info) == 0) {
        return FailWith(PlatformError::AlreadyExists); // a file named with a trailing separator
    }
    // Create every missing folder from the top down.
    for (std::size_t at = host.find('/', 1);; at = host.find('/', at + 1)) {
        std::string prefix = host.substr(0, at);
        if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) {
            return FailWithErrno(errno);
        }
        if (at == std::string::npos) {
            break;
        }
    }
    if (::stat(host.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return FailWith(PlatformError::NotFound);
    }
    return true;
}

// Existence tests, folder listings with Windows wildcards, and folder creation.
#include "platform/platform_error.h"
#include "platform/posix/layer_state.h"
#include "platform/posix/stand_in.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace {

// Windows wildcard match ignoring ASCII case: '*' any run of characters, '?' exactly one.
bool MatchesWildcard(const std::wstring& name, const std::wstring& pattern) {
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starPattern = std::wstring::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == L'?' || FoldAscii(pattern[p]) == FoldAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starPattern != std::wstring::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') {
        ++p;
    }
    return p == pattern.size();
}

// Sorting key of a character as NTFS orders names: by UTF-16 code units.
char32_t Utf16Order(wchar_t c) {
    char32_t point = static_cast<char32_t>(c);
    return point < 0x10000 ? point << 10
                           : ((0xD800 + ((point - 0x10000) >> 10)) << 10) | (point & 0x3FF);
}

bool NameBefore(const std::wstring& a, const std::wstring& b) {
    std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        char32_t x = Utf16Order(FoldAscii(a[i]));
        char32_t y = Utf16Order(FoldAscii(b[i]));
        if (x != y) {
            return x < y;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;
}

} // namespace

bool PathExists(const std::wstring& path) {
    struct stat info;
    std::string host = HostPathOf(path);
    if (host.empty()) {
        return FailWith(PlatformError::NotFound);
    }
    if (::stat(host.c_str(), &info) != 0) {
        return FailWithErrno(errno);
    }
    return true;
}

bool IsFolder(const std::wstring& path) {
    struct stat info;
    std::string host = HostPathOf(path);
    if (host.empty()) {
        return FailWith(PlatformError::NotFound);
    }
    if (::stat(host.c_str(), &info) != 0) {
        return FailWithErrno(errno);
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
    std::sort(names.begin(), names.end(), NameBefore);
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
    std::string host = HostPathOf(path);
    if (host.empty()) {
        return FailWith(PlatformError::NotFound);
    }
    while (host.size() > 1 && host.back() == '/') {
        host.pop_back();
    }
    struct stat info;
    if (::stat(host.c_str(), &info) == 0) {
        return FailWith(PlatformError::AlreadyExists);
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

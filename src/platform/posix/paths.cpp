// The stand-in's settings and the mapping between Windows paths and host paths.
#include "platform/posix/layer_state.h"
#include "platform/posix/stand_in.h"
#include "platform/text.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <limits.h>
#include <string_view>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

std::string imageFolder;     // absolute and normalised, as the settings name it
std::string imageRealFolder; // the same with symbolic links resolved (empty when it has none)
std::string registryFile;

// The exact host path of a Windows path with a drive, as ExactHostPathOf gives it, with whether
// it names more than the drive's root. It depends only on the text and the image folder, so it
// is remembered: the log writer and the profile reader look up the same few paths thousands of
// times in a run. Emptied when the stand-in changes.
struct ExactPath {
    std::string host; // empty when the path names nothing
    bool belowRoot = false;
};
std::unordered_map<std::wstring, ExactPath> exactPaths;
constexpr std::size_t MostExactPathsKept = 4096;

std::string CurrentFolder() {
    std::vector<char> buffer(PATH_MAX);
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
            return buffer.data();
        }
        if (errno != ERANGE) {
            return "/";
        }
        buffer.resize(buffer.size() * 2);
    }
}

// Absolute host path with "." and ".." and repeated slashes removed lexically.
std::string NormaliseHostPath(const std::string& path) {
    std::string full = (!path.empty() && path[0] == '/') ? path : CurrentFolder() + "/" + path;
    std::vector<std::string_view> parts;
    std::string_view rest(full);
    while (!rest.empty()) {
        std::size_t slash = rest.find('/');
        std::string_view part = rest.substr(0, slash);
        rest = (slash == std::string_view::npos) ? std::string_view() : rest.substr(slash + 1);
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
            continue;
        }
        parts.push_back(part);
    }
    std::string result;
    for (std::string_view part : parts) {
        result += '/';
        result += part;
    }
    return result.empty() ? "/" : result;
}

std::string RealFolder(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) {
        return std::string();
    }
    std::string result(real);
    std::free(real);
    return result;
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// The rest of host path below root ("" for root itself), or false when it lies elsewhere.
bool RelativeBelow(const std::string& path, const std::string& root, std::string& rest) {
    if (root.empty()) {
        return false;
    }
    if (root == "/") {
        rest = path.substr(1);
        return true;
    }
    if (path == root) {
        rest.clear();
        return true;
    }
    if (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
        path[root.size()] == '/') {
        rest = path.substr(root.size() + 1);
        return true;
    }
    return false;
}

std::string JoinHost(const std::string& folder, const std::string& name) {
    return (folder == "/") ? "/" + name : folder + "/" + name;
}

bool EntryExists(const std::string& hostPath) {
    struct stat info;
    return ::lstat(hostPath.c_str(), &info) == 0;
}

} // namespace

bool FindEntryIgnoringCase(const std::string& hostFolder, const std::string& name,
                           std::string& found) {
    DIR* folder = ::opendir(hostFolder.c_str());
    if (folder == nullptr) {
        return false;
    }
    auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    bool any = false;
    while (struct dirent* entry = ::readdir(folder)) {
        std::string_view candidate(entry->d_name);
        if (candidate.size() != name.size() || candidate == "." || candidate == "..") {
            continue;
        }
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) {
            same = fold(candidate[i]) == fold(name[i]);
        }
        if (same && (!any || candidate < std::string_view(found))) {
            found.assign(candidate);
            any = true;
        }
    }
    ::closedir(folder);
    return any;
}

const std::string& StandInImageFolder() {
    return imageFolder;
}
const std::string& StandInRegistryFile() {
    return registryFile;
}

bool StartStandInLayer(std::string& problem) {
    const char* image = std::getenv("TILEWRIGHT_IMAGE");
    if (image == nullptr || image[0] == '\0') {
        problem = "TILEWRIGHT_IMAGE is not set; it must name the folder that stands for drive C:";
        return false;
    }
    struct stat info;
    if (::stat(image, &info) != 0 || !S_ISDIR(info.st_mode)) {
        problem = std::string("TILEWRIGHT_IMAGE is not a folder: ") + image;
        return false;
    }
    // An unset or empty TILEWRIGHT_REGISTRY means HKLM.reg in the image folder.
    const char* registry = std::getenv("TILEWRIGHT_REGISTRY");
    UseStandIn(image, registry != nullptr ? registry : "");
    return true;
}

void UseStandIn(const std::string& folder, const std::string& registry) {
    imageFolder = NormaliseHostPath(folder);
    imageRealFolder = RealFolder(imageFolder);
    if (imageRealFolder == imageFolder) {
        imageRealFolder.clear();
    }
    registryFile = NormaliseHostPath(registry.empty() ? imageFolder + "/HKLM.reg" : registry);
    exactPaths.clear();
    ForgetProfileCache();
    ForgetRegistryModel();
}

namespace {

// A Windows path taken apart: the host folder of its drive and its components below it, with
// "." and ".." already applied.
struct WindowsPathParts {
    std::string root;
    std::vector<std::wstring> parts;
    bool trailingSeparator = false;
};

// False when the path names nothing on the host (other drives, UNC paths, embedded nulls).
bool SplitWindowsPath(const std::wstring& windowsPath, WindowsPathParts& split) {
    if (windowsPath.empty() || windowsPath.find(L'\0') != std::wstring::npos) {
        return false;
    }
    if (windowsPath.size() >= 2 && IsSeparator(windowsPath[0]) && IsSeparator(windowsPath[1])) {
        return false; // UNC paths and device paths name nothing here
    }
    std::wstring absolute;
    if (windowsPath.size() >= 2 && IsDriveLetter(windowsPath[0]) && windowsPath[1] == L':') {
        // "C:name" (relative to the drive's current folder) is taken from the drive's root.
        absolute = windowsPath.substr(0, 2) + L"\\" + windowsPath.substr(2);
    } else {
        std::wstring current = WindowsPathOf(CurrentFolder());
        if (IsSeparator(windowsPath[0])) {
            absolute = current.substr(0, 2) + windowsPath;
        } else {
            absolute = current + L"\\" + windowsPath;
        }
    }
    wchar_t drive = FoldAscii(absolute[0]);
    if (drive == L'C') {
        split.root = imageFolder;
    } else if (drive == L'Z') {
        split.root = "/";
    }
    if (split.root.empty()) {
        return false;
    }

    std::size_t at = 2;
    while (at < absolute.size()) {
        std::size_t end = at;
        while (end < absolute.size() && !IsSeparator(absolute[end])) {
            ++end;
        }
        std::wstring part = absolute.substr(at, end - at);
        at = end + 1;
        if (part.empty() || part == L".") {
            continue;
        }
        if (part == L"..") {
            if (!split.parts.empty()) {
                split.parts.pop_back();
            }
            continue;
        }
        split.parts.push_back(part);
    }
    split.trailingSeparator = !split.parts.empty() && IsSeparator(windowsPath.back());
    return true;
}

// The host path with every component spelled as written.
std::string ExactHostPath(const WindowsPathParts& split) {
    std::string exact = split.root;
    for (const std::wstring& part : split.parts) {
        exact = JoinHost(exact, Utf8FromWide(part));
    }
    return exact;
}

// The host path with each component that does not exist as written matched ignoring case.
std::string ResolvedHostPath(const WindowsPathParts& split, const std::string& exact) {
    std::string host = split.root;
    if (split.parts.empty() || EntryExists(exact)) {
        host = exact;
    } else {
        bool parentExists = true;
        for (const std::wstring& part : split.parts) {
            std::string name = Utf8FromWide(part);
            std::string candidate = JoinHost(host, name);
            if (parentExists && !EntryExists(candidate)) {
                std::string found;
                if (FindEntryIgnoringCase(host, name, found)) {
                    candidate = JoinHost(host, found);
                } else {
                    parentExists = false;
                }
            }
            host = candidate;
        }
    }
    if (split.trailingSeparator) {
        host += '/';
    }
    return host;
}

} // namespace

std::string HostPathOf(const std::wstring& windowsPath) {
    WindowsPathParts split;
    if (!SplitWindowsPath(windowsPath, split)) {
        return std::string();
    }
    return ResolvedHostPath(split, ExactHostPath(split));
}

namespace {

ExactPath ExactPathOf(const std::wstring& windowsPath) {
    // A path without a drive depends on the current folder: it is not remembered.
    bool remembered = windowsPath.size() >= 2 && windowsPath[1] == L':';
    if (remembered) {
        auto found = exactPaths.find(windowsPath);
        if (found != exactPaths.end()) {
            return found->second;
        }
    }
    ExactPath exact;
    WindowsPathParts split;
    if (SplitWindowsPath(windowsPath, split)) {
        exact.host = ExactHostPath(split);
        if (split.trailingSeparator) {
            exact.host += '/';
        }
        exact.belowRoot = !split.parts.empty();
    }
    if (remembered) {
        if (exactPaths.size() >= MostExactPathsKept) {
            exactPaths.clear();
        }
        exactPaths.emplace(windowsPath, exact);
    }
    return exact;
}

} // namespace

bool StatWindowsPath(const std::wstring& windowsPath, std::string& host, struct stat& info) {
    ExactPath exact = ExactPathOf(windowsPath);
    host = exact.host;
    if (host.empty()) {
        errno = ENOENT;
        return false;
    }
    // Most paths exist as they are written: one stat() answers both questions then.
    if (::stat(host.c_str(), &info) == 0) {
        return true;
    }
    if (!exact.belowRoot || (errno != ENOENT && errno != ENOTDIR)) {
        return false;
    }
    host = HostPathOf(windowsPath);
    return ::stat(host.c_str(), &info) == 0;
}

std::string ExactHostPathOf(const std::wstring& windowsPath) {
    return ExactPathOf(windowsPath).host;
}

std::wstring WindowsPathOf(const std::string& hostPath) {
    std::string path = NormaliseHostPath(hostPath);
    std::string rest;
    std::wstring windows;
    if (RelativeBelow(path, imageFolder, rest) || RelativeBelow(path, imageRealFolder, rest)) {
        windows = L"C:\\" + WideFromHostBytes(rest);
    } else {
        windows = L"Z:\\" + WideFromHostBytes(path.substr(1));
    }
    for (wchar_t& c : windows) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return windows;
}

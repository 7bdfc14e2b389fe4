// Private-profile reading as GetPrivateProfileStringW does it, with each file parsed once while
// it stays unchanged.
#include "platform/posix/layer_state.h"
#include "platform/posix/stand_in.h"
#include "platform/text.h"

#include <sys/stat.h>
#include <unordered_map>
#include <utility>

namespace {

constexpr std::size_t LongestValue = 259;
constexpr std::size_t MostFilesKept = 4096;

struct ProfileSection {
    std::unordered_map<std::wstring, std::wstring> values; // by folded key name, first one kept
};

struct ParsedProfile {
    FileIdentity identity;
    std::unordered_map<std::wstring, ProfileSection> sections; // by folded name, first one kept
};

std::unordered_map<std::string, ParsedProfile> parsedFiles;

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring Trimmed(const std::wstring& text, std::size_t begin, std::size_t end) {
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

std::wstring DecodeProfile(const std::string& bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    if (bytes.size() >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        return WideFromWholeUtf16Le(data + 2, bytes.size() - 2);
    }
    if (bytes.size() >= 2 && data[0] == 0xFE && data[1] == 0xFF) {
        // Big-endian UTF-16 with its mark is read as well, as the Windows build reads it.
        std::string swapped = bytes.substr(2);
        for (std::size_t i = 0; i + 1 < swapped.size(); i += 2) {
            std::swap(swapped[i], swapped[i + 1]);
        }
        return WideFromWholeUtf16Le(reinterpret_cast<const std::uint8_t*>(swapped.data()),
                                    swapped.size());
    }
    if (bytes.size() >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        return WideFromHostBytes(bytes.substr(3));
    }
    return WideFromHostBytes(bytes);
}

void ParseLine(const std::wstring& text, std::size_t begin, std::size_t end, ParsedProfile& profile,
               ProfileSection*& section) {
    std::wstring line = Trimmed(text, begin, end);
    if (line.empty() || line[0] == L';') {
        return;
    }
    if (line[0] == L'[') {
        std::size_t close = line.rfind(L']');
        if (close != std::wstring::npos) {
            std::wstring name = FoldAsciiText(Trimmed(line, 1, close));
            auto added = profile.sections.emplace(name, ProfileSection());
            // A section repeated later in the file is not looked at: the first one wins.
            section = added.second ? &added.first->second : nullptr;
            return;
        }
    }
    std::size_t equals = line.find(L'=');
    if (section == nullptr || equals == std::wstring::npos) {
        return;
    }
    section->values.emplace(FoldAsciiText(Trimmed(line, 0, equals)),
                            Trimmed(line, equals + 1, line.size()));
}

ParsedProfile ParseProfile(const std::string& bytes) {
    ParsedProfile profile;
    std::wstring text = DecodeProfile(bytes);
    ProfileSection* section = nullptr;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find_first_of(L"\r\n", begin);
        if (end == std::wstring::npos) {
            ParseLine(text, begin, text.size(), profile, section);
            break;
        }
        ParseLine(text, begin, end, profile, section);
        begin =
            end + ((text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n') ? 2 : 1);
    }
    return profile;
}

const ParsedProfile* ProfileAt(const std::wstring& iniPath) {
    struct stat info;
    std::string host;
    if (!StatWindowsPath(iniPath, host, info) || !S_ISREG(info.st_mode)) {
        return nullptr;
    }
    FileIdentity identity = IdentityOf(info);
    auto cached = parsedFiles.find(host);
    if (cached != parsedFiles.end() && SameIdentity(cached->second.identity, identity)) {
        return &cached->second;
    }
    std::string bytes;
    if (!ReadWholeHostFile(host, bytes)) {
        return nullptr;
    }
    if (parsedFiles.size() >= MostFilesKept) {
        parsedFiles.clear();
    }
    ParsedProfile& profile = parsedFiles[host];
    profile = ParseProfile(bytes);
    profile.identity = identity;
    return &profile;
}

std::wstring WithoutQuotes(const std::wstring& value) {
    if (value.size() >= 2 && (value[0] == L'"' || value[0] == L'\'') && value.back() == value[0]) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

} // namespace

void ForgetProfileCache() {
    parsedFiles.clear();
}

std::wstring ReadProfileString(const std::wstring& iniPath, const std::wstring& section,
                               const std::wstring& key) {
    const ParsedProfile* profile = ProfileAt(iniPath);
    if (profile == nullptr) {
        return std::wstring();
    }
    auto foundSection = profile->sections.find(FoldAsciiText(section));
    if (foundSection == profile->sections.end()) {
        return std::wstring();
    }
    auto foundKey = foundSection->second.values.find(FoldAsciiText(key));
    if (foundKey == foundSection->second.values.end()) {
        return std::wstring();
    }
    return WithoutQuotes(foundKey->second).substr(0, LongestValue);
}

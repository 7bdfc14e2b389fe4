#include "log/log_file.h"

#include "app/run_settings.h"
#include "platform/platform.h"
#include "platform/text.h"

#include <algorithm>
#include <cstdio>

namespace {

// The formatted line must fit 1024 wide characters and its UTF-8 form, with the terminating zero,
// 1000 bytes; so a message line carries at most 999 bytes, CR LF included.
constexpr std::size_t MaxLineChars = 1023;
constexpr std::size_t MaxLineBytes = 999;
constexpr std::size_t MaxDirectoryChars = 255;

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// Drive ("C:" or empty) and directory (up to and including the last separator) of a path, as the
// standard splitting of a path gives them.
void SplitDriveAndDirectory(const std::wstring& path, std::wstring& drive,
                            std::wstring& directory) {
    std::size_t start = 0;
    drive.clear();
    if (path.size() >= 2 && path[1] == L':') {
        drive = path.substr(0, 2);
        start = 2;
    }
    std::size_t last = std::wstring::npos;
    for (std::size_t i = start; i < path.size(); ++i) {
        if (IsSeparator(path[i])) {
            last = i;
        }
    }
    directory =
        (last == std::wstring::npos) ? std::wstring() : path.substr(start, last + 1 - start);
}

std::wstring TimestampPrefix() {
    LocalDateTime now = CurrentLocalTime();
    wchar_t prefix[32] = {};
    std::swprintf(prefix, 32, L"[%04d/%02d/%02d %02d:%02d:%02d]\t", now.year, now.month, now.day,
                  now.hour, now.minute, now.second);
    return prefix;
}

// Drops characters from the end of text until prefix + text + CR LF fits the line limits, never
// splitting a surrogate pair.
std::string BoundedMessageBytes(const std::wstring& prefix, std::wstring text) {
    for (;;) {
        std::wstring line = prefix + text;
        std::string bytes = Utf8FromWide(line);
        if (line.size() + 2 <= MaxLineChars && bytes.size() + 2 <= MaxLineBytes) {
            return bytes + "\r\n";
        }
        std::size_t excessBytes =
            bytes.size() + 2 > MaxLineBytes ? bytes.size() + 2 - MaxLineBytes : 0;
        std::size_t excessChars =
            line.size() + 2 > MaxLineChars ? line.size() + 2 - MaxLineChars : 0;
        // Each character takes at most 4 bytes: drop at least a quarter of the excess bytes.
        std::size_t drop = std::max<std::size_t>({excessChars, (excessBytes + 3) / 4, 1});
        text.resize(text.size() > drop ? text.size() - drop : 0);
        if (!text.empty()) {
            unsigned int last = static_cast<unsigned int>(text.back());
            if (last >= 0xD800 && last <= 0xDBFF) {
                text.pop_back();
            }
        }
    }
}

// Makes sure the file exists (created empty when missing, in folder made with all its parents)
// and applies the byte-order-mark rule: a data-line file must be empty (the mark is written then)
// or begin with EF BB BF. A file that exists has its folder, which is then not looked at again.
bool PrepareFile(const std::wstring& filePath, const std::wstring& folder, bool withBom) {
    if (!PathExists(filePath)) {
        if (!folder.empty()) {
            CreateFolderTree(folder); // a folder that exists already is no failure here
        }
        FileHandle created;
        if (!OpenFile(filePath, FileMode::AppendOrCreate, created)) {
            return false;
        }
        CloseFile(created);
    }
    FileHandle file;
    if (!OpenFile(filePath, FileMode::ReadWriteExisting, file)) {
        return false;
    }
    bool ok = true;
    if (withBom) {
        static const unsigned char Bom[3] = {0xEF, 0xBB, 0xBF};
        std::uint64_t size = 0;
        ok = GetFileSize64(file, size);
        if (ok && size == 0) {
            ok = WriteToFile(file, Bom, 3);
        } else if (ok) {
            unsigned char head[3] = {};
            std::size_t got = 0;
            ok = ReadFromFile(file, head, 3, got) && got == 3 && head[0] == Bom[0] &&
                 head[1] == Bom[1] && head[2] == Bom[2];
        }
    }
    return CloseFile(file) && ok;
}

} // namespace

std::wstring ProgramFolderOf(const std::wstring& programPath) {
    for (std::size_t i = programPath.size(); i > 0; --i) {
        wchar_t c = programPath[i - 1];
        if (IsSeparator(c)) {
            return programPath.substr(0, i - 1);
        }
        if (c == L':') {
            return programPath.substr(0, i);
        }
    }
    return std::wstring();
}

std::wstring MessageText(const std::wstring& text) {
    if (text.size() <= MessageBufferChars) {
        return text;
    }
    std::wstring cut = text.substr(0, MessageBufferChars);
    unsigned int last = static_cast<unsigned int>(cut.back());
    if (last >= 0xD800 && last <= 0xDBFF) {
        cut.pop_back();
    }
    return cut;
}

void WriteLine(LogFile& log, const std::wstring& path, const std::wstring& text, bool withTimestamp,
               bool withBom) {
    std::lock_guard<std::recursive_mutex> hold(log.lock);

    // Resolve the path: one with a drive letter is taken as it is, any other is placed in the
    // program's folder. A path that does not fit its buffer is refused, never cut.
    if (!FitsPathBuffer(path)) {
        return;
    }
    std::wstring drive;
    std::wstring directory;
    SplitDriveAndDirectory(path, drive, directory);
    if (directory.size() > MaxDirectoryChars) {
        return;
    }
    std::wstring folder;
    std::wstring filePath;
    if (drive.size() == 2 && drive[1] == L':') {
        folder = drive + directory;
        filePath = path;
    } else {
        folder = ProgramFolderOf(ProgramFilePath());
        filePath = folder + L"\\" + path;
        if (!FitsPathBuffer(filePath)) {
            return;
        }
    }
    // A data line must first pass the byte-order-mark rule. A line without the mark only appends,
    // whatever the file holds: one open that creates a missing file does what the separate
    // existence probe and read-write open would (both fail exactly when appending fails), so the
    // log costs one open per line and is still complete on disk after every line.
    if (withBom && !PrepareFile(filePath, folder, withBom)) {
        return;
    }

    std::string bytes;
    if (withTimestamp) {
        bytes = BoundedMessageBytes(TimestampPrefix(), text);
    } else {
        bytes = Utf8FromWide(text) + "\r\n";
    }

    FileHandle file;
    if (!OpenFile(filePath, FileMode::AppendOrCreate, file)) {
        // The folder may be missing: make it with all its parents, then try once more.
        if (withBom || folder.empty() || !CreateFolderTree(folder) ||
            !OpenFile(filePath, FileMode::AppendOrCreate, file)) {
            return;
        }
    }
    WriteToFile(file, bytes.data(), bytes.size());
    CloseFile(file);
}

void LogMessage(LogFile& log, const std::wstring& text) {
    WriteLine(log, Settings().logFilePath, MessageText(text), true, false);
}

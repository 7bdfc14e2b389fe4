#include "platform/line_reader.h"

#include "platform/text.h"

#include <cstring>

namespace {
constexpr std::size_t ChunkSize = 1 << 16;

LineStatus Decode(std::string& bytes, std::wstring& line) {
    if (!bytes.empty() && bytes.back() == '\r') {
        bytes.pop_back();
    }
    bool valid = WideFromUtf8(bytes.data(), bytes.size(), line);
    bytes.clear();
    return valid ? LineStatus::Line : LineStatus::NotUtf8;
}
} // namespace

bool OpenLineReader(LineReader& reader, const std::wstring& path) {
    reader = LineReader();
    if (!OpenFile(path, FileMode::ReadExisting, reader.file)) {
        return false;
    }
    reader.buffer.resize(ChunkSize);
    return true;
}

LineStatus ReadNextLine(LineReader& reader, std::wstring& line) {
    line.clear();
    if (reader.done) {
        return LineStatus::End;
    }
    for (;;) {
        const char* begin = reader.buffer.data() + reader.start;
        const char* newline =
            static_cast<const char*>(std::memchr(begin, '\n', reader.end - reader.start));
        if (newline != nullptr) {
            reader.pending.append(begin, newline);
            reader.start = static_cast<std::size_t>(newline - reader.buffer.data()) + 1;
            return Decode(reader.pending, line);
        }
        reader.pending.append(begin, reader.end - reader.start);
        reader.start = reader.end = 0;
        if (reader.fileEnded) {
            reader.done = true;
            return Decode(reader.pending, line);
        }
        std::size_t got = 0;
        if (!ReadFromFile(reader.file, reader.buffer.data(), reader.buffer.size(), got)) {
            reader.done = true;
            return LineStatus::ReadError;
        }
        reader.end = got;
        if (got == 0) {
            reader.fileEnded = true;
        }
    }
}

void CloseLineReader(LineReader& reader) {
    if (reader.file.raw != -1) {
        CloseFile(reader.file);
        reader.file = FileHandle();
    }
    reader.done = true;
}

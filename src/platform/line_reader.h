// Reads a UTF-8 text file line by line, as a file opened in text mode is read: a line ends at LF
// and a CR directly before the LF is not part of it. After the last line break the remainder is
// one more line, empty when the file ends with a line break (so an empty file is one empty line).
#pragma once

#include "platform/platform.h"

#include <string>
#include <vector>

enum class LineStatus {
    Line,      // line holds the next line
    End,       // no more lines
    ReadError, // the file could not be read further
    NotUtf8,   // the next line is not valid UTF-8 text
};

struct LineReader {
    FileHandle file;
    std::vector<char> buffer;
    std::size_t start = 0; // first unread byte in buffer
    std::size_t end = 0;   // one past the last byte read into buffer
    bool fileEnded = false;
    bool done = false;
    std::string pending; // bytes of the current line gathered across buffer refills
};

bool OpenLineReader(LineReader& reader, const std::wstring& path);
LineStatus ReadNextLine(LineReader& reader, std::wstring& line);
void CloseLineReader(LineReader& reader);

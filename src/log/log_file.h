// Appends single UTF-8 lines to a file: message lines (timestamped, the run's log) and data lines
// (no timestamp, the file must begin with a UTF-8 byte-order mark). Each line opens, appends and
// closes the file, so the log is complete on disk after every line.
#pragma once

#include <mutex>
#include <string>

// Message lines are formatted into a buffer of 512 characters: 511 and the terminator.
constexpr std::size_t MessageBufferChars = 511;

struct LogFile {
    std::recursive_mutex lock; // serialises the lines written through this instance
};

// Appends one line; a line that cannot be written is dropped without notice. A message line too
// long for the writer is cut to fit, keeping its line end; a data line is written whole.
void WriteLine(LogFile& log, const std::wstring& path, const std::wstring& text,
               bool withTimestamp, bool withBom);

// A message line to the run's log (Settings().logFilePath), its text first cut to the message
// buffer.
void LogMessage(LogFile& log, const std::wstring& text);

// text cut to the 511 characters of the message buffer.
std::wstring MessageText(const std::wstring& text);

// The folder of the program's executable without a trailing separator, e.g. L"C:\\Tools": the
// path cut at its last backslash or slash, or after its drive colon.
std::wstring ProgramFolderOf(const std::wstring& programPath);

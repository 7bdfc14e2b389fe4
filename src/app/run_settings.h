// The global run settings: filled once by the program entry before any mode runs, read-only after.
#pragma once

#include <cstddef>
#include <string>

// Paths and values travel through buffers of 260 characters: 259 and the terminator.
constexpr std::size_t MaxPathChars = 259;

struct RunSettings {
    std::wstring commandLine;    // the arguments after the program's name, upper-cased
    std::wstring moduleFolder;   // drive and folder of the executable, ending in a backslash
    std::wstring configFilePath; // moduleFolder + "Tilewright.ini"
    std::wstring logFolder;      // [Path] LogPath
    std::wstring logFilePath;    // logFolder + "\Tilewright.log"
    std::wstring tilesDataPath;  // [Path] TilesDataPath
};

RunSettings& Settings();

// True when text fits a 260-character buffer with its terminator (counted in UTF-16 units).
bool FitsPathBuffer(const std::wstring& text);

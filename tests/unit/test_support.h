// Helpers for the unit tests: a fresh image folder per test, with the stand-in layer pointed at it.
#pragma once

#include <string>

struct TestImage {
    std::string root;     // host folder standing for drive C:
    std::string registry; // host path of the .reg file standing for HKEY_LOCAL_MACHINE
};

// A new empty image folder under the system's temporary folder, the stand-in layer pointed at
// it, and the run settings set as for a program at C:\Tools\ logging to C:\Logs\Tilewright.log
// with tiles in C:\Tiles.
TestImage MakeTestImage();

// Host path of a path relative to the image root, e.g. ImagePath(image, "Windows/Panther").
std::string ImagePath(const TestImage& image, const std::string& relative);

// Writes bytes to a host file, creating its folders.
void WriteHostFile(const std::string& path, const std::string& bytes);
// The whole content of a host file, or the empty string when it cannot be read.
std::string ReadHostFile(const std::string& path);
bool HostFileExists(const std::string& path);

// The lines of the run's log with their timestamp prefix removed (each checked to be
// "[YYYY/MM/DD hh:mm:ss]\t"); CR LF line ends are required and removed.
std::string LogWithoutTimestamps(const TestImage& image);

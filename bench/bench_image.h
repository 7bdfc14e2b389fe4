// Images for the in-process benchmarks, made by generate_image.py (the generator of the whole
// runs) in a temporary folder that is removed when the program ends.
#pragma once

#include <string>

// The host folder of an image made with these generator options (for instance
// "--registry-keys 10000"); made on first use and kept for the rest of the run.
const std::string& ImageFolder(const std::string& generatorOptions);

// Points the stand-in layer at the image, with the run settings of a program at C:\Tools\ that
// logs to C:\Logs\Tilewright.log and finds its tiles in C:\Tools\Tiles.
void UseImage(const std::string& folder);

// The whole content of a host file, and writing one back.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

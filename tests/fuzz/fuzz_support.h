// What the fuzz targets share: one image folder per process, made once and reused by every input,
// with the stand-in layer pointed at it afresh for each input.
#pragma once

#include <string>

// Makes the image on the first call (C:\Tools\, C:\Windows\Panther\, C:\Tiles\) and, on every
// call, forgets what the stand-in layer read before, sets the run settings for a program at
// C:\Tools\ logging to C:\Logs\Tilewright.log, and deletes the log, the answer file, its backup
// and the copies of earlier inputs. Gives the image's host folder.
const std::string& FreshFuzzImage();

// Host path of a path relative to the image, e.g. "Windows/Panther/unattend.xml".
std::string FuzzPath(const std::string& relative);

void WriteFuzzFile(const std::string& relative, const std::string& bytes);
// The file's bytes; false when it cannot be read.
bool ReadFuzzFile(const std::string& relative, std::string& bytes);
bool FuzzFileExists(const std::string& relative);

// Ends the process with a message on standard error: a broken promise found by a target.
[[noreturn]] void FuzzFailure(const std::string& what);

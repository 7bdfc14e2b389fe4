// Numbered key lists of INI files: keys made of a prefix and the numbers 1, 2, 3 ... in one
// section, ending at the first key whose value reads empty.
#pragma once

#include <string>
#include <vector>

// The values of prefix1, prefix2, ... in section of the INI file, up to the first value that
// reads empty (a missing key reads empty, so a gap ends the list). No upper bound on the count.
std::vector<std::wstring> ReadNumberedList(const std::wstring& iniPath, const std::wstring& section,
                                           const std::wstring& prefix);

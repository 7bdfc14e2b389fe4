// The SortScore value of a description file as a number.
#pragma once

#include <cstdint>
#include <string>

// Reads a decimal integer the way wcstol does with base 10: leading white space, one optional
// sign, then digits up to the first other character. No digits gives 0; a value beyond the
// 32-bit range gives the largest or smallest 32-bit value (on every build, whatever the width
// of long).
std::int32_t ParseSortScore(const std::wstring& text);

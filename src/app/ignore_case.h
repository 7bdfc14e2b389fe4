// Case-insensitive comparison of wide strings: only the ASCII letters a to z are folded to A to Z,
// every other character (letters outside ASCII included) compares as it is.
#pragma once

#include <string>

wchar_t FoldAsciiUpper(wchar_t c);
std::wstring ToAsciiUpper(std::wstring text);

// Whole strings: same length and same folded characters.
bool EqualsIgnoreCase(std::wstring a, std::wstring b);

// Position of the first occurrence of part in text after both are folded, or std::wstring::npos.
std::size_t FindIgnoreCase(const std::wstring& text, const std::wstring& part);

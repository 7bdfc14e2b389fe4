#include "platform/name_matching.h"

#include <algorithm>
#include <type_traits>

namespace {

wchar_t FoldLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - (L'a' - L'A')) : c;
}

// Sorting key of a character as NTFS orders names: by UTF-16 code units (a code point beyond
// U+FFFF, held whole where wchar_t is 32 bits wide, sorts by its high surrogate).
char32_t Utf16Order(wchar_t c) {
    char32_t point = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(c));
    return point < 0x10000 ? point << 10
                           : ((0xD800 + ((point - 0x10000) >> 10)) << 10) | (point & 0x3FF);
}

} // namespace

bool MatchesWildcard(const std::wstring& name, const std::wstring& pattern) {
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starPattern = std::wstring::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == L'?' || FoldLetter(pattern[p]) == FoldLetter(name[n]))) {
            ++p;
            ++n;
        } else if (starPattern != std::wstring::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') {
        ++p;
    }
    return p == pattern.size();
}

bool ComesBeforeInListing(const std::wstring& a, const std::wstring& b) {
    std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        char32_t x = Utf16Order(FoldLetter(a[i]));
        char32_t y = Utf16Order(FoldLetter(b[i]));
        if (x != y) {
            return x < y;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;
}

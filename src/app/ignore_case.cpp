#include "app/ignore_case.h"

wchar_t FoldAsciiUpper(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
}

std::wstring ToAsciiUpper(std::wstring text) {
    for (wchar_t& c : text) {
        c = FoldAsciiUpper(c);
    }
    return text;
}

// Both texts are compared character by character as they fold; no folded copies are made.
bool EqualsIgnoreCase(std::wstring a, std::wstring b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAsciiUpper(a[i]) != FoldAsciiUpper(b[i])) {
            return false;
        }
    }
    return true;
}

// The answer-file writer searches every line for its markers: the search folds as it goes
// instead of folding copies of the line.
std::size_t FindIgnoreCase(const std::wstring& text, const std::wstring& part) {
    if (part.size() > text.size()) {
        return std::wstring::npos;
    }
    if (part.empty()) {
        return 0;
    }
    const wchar_t first = FoldAsciiUpper(part[0]);
    const std::size_t last = text.size() - part.size();
    for (std::size_t at = 0; at <= last; ++at) {
        if (FoldAsciiUpper(text[at]) != first) {
            continue;
        }
        std::size_t i = 1;
        while (i < part.size() && FoldAsciiUpper(text[at + i]) == FoldAsciiUpper(part[i])) {
            ++i;
        }
        if (i == part.size()) {
            return at;
        }
    }
    return std::wstring::npos;
}

#include "app/ignore_case.h"

wchar_t FoldAsciiUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }

std::wstring ToAsciiUpper(std::wstring text) {
    for (wchar_t& c : text) {
        c = FoldAsciiUpper(c);
    }
    return text;
}

bool EqualsIgnoreCase(std::wstring a, std::wstring b) { return ToAsciiUpper(a) == ToAsciiUpper(b); }

std::size_t FindIgnoreCase(const std::wstring& text, const std::wstring& part) {
    return ToAsciiUpper(text).find(ToAsciiUpper(part));
}

#include "addons/sort_score.h"

#include <limits>

namespace {

bool IsWhiteSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

} // namespace

std::int32_t ParseSortScore(const std::wstring& text) {
    constexpr std::int64_t Largest = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t Smallest = std::numeric_limits<std::int32_t>::min();

    std::size_t at = 0;
    while (at < text.size() && IsWhiteSpace(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) {
        negative = text[at] == L'-';
        ++at;
    }
    // The magnitude is held just past the 32-bit range, so that long digit runs cannot overflow.
    std::int64_t magnitude = 0;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
        magnitude = magnitude * 10 + (text[at] - L'0');
        if (magnitude > Largest + 1) {
            magnitude = Largest + 1;
        }
    }
    std::int64_t value = negative ? -magnitude : magnitude;
    if (value > Largest) {
        return static_cast<std::int32_t>(Largest);
    }
    if (value < Smallest) {
        return static_cast<std::int32_t>(Smallest);
    }
    return static_cast<std::int32_t>(value);
}

// Comparison of identifiers and region names as the add-on lists make it.
#pragma once

#include "app/ignore_case.h"

#include <string>

// The same answer as EqualsIgnoreCase (same length, ASCII letters folded), without copying
// either text: placement and balancing compare every slot with many identifiers.
inline bool SameIdentifier(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && FoldAsciiUpper(a[i]) != FoldAsciiUpper(b[i])) {
            return false;
        }
    }
    return true;
}

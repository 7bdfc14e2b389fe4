// How directory listings match and order names, the same on both builds: Windows wildcards
// ('*' any run of characters, '?' exactly one) ignoring ASCII case, and the order NTFS keeps its
// names in (UTF-16 units with a to z taken as A to Z; names equal but for case by their exact
// units).
#pragma once

#include <string>

bool MatchesWildcard(const std::wstring& name, const std::wstring& pattern);
bool ComesBeforeInListing(const std::wstring& a, const std::wstring& b);

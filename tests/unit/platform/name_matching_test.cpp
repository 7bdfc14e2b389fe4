#include "platform/name_matching.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

TEST(NameMatching, WildcardsMatchWholeNamesIgnoringAsciiCase) {
    struct Case {
        const wchar_t* name;
        const wchar_t* pattern;
        bool matches;
    };
    const Case cases[] = {
        {L"a.ini", L"*.ini", true},
        {L"TILE.INI", L"*.ini", true},
        {L".ini", L"*.ini", true},
        {L"abc.initial", L"*.ini", false}, // what an 8.3 short name would let through
        {L"a.ini.bak", L"*.ini", false},
        {L"b.txt", L"*.ini", false},
        {L"x1.ini", L"x?.ini", true},
        {L"x12.ini", L"x?.ini", false},
        {L"\u00e9.ini", L"\u00c9.ini", false}, // only ASCII letters fold
        {L"anything", L"*", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchesWildcard(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
    }
}

TEST(NameMatching, ListingOrderFoldsLettersToUpperCaseAsNtfsDoes) {
    std::vector<std::wstring> names = {L"b.ini", L"_first.ini", L"A.ini", L"a.ini", L"Zeta.ini",
                                       L"10.ini", L"9.ini"};
    std::sort(names.begin(), names.end(), ComesBeforeInListing);
    const std::vector<std::wstring> expected = {L"10.ini", L"9.ini",    L"A.ini",     L"a.ini",
                                                L"b.ini",  L"Zeta.ini", L"_first.ini"};
    EXPECT_EQ(names, expected);
}

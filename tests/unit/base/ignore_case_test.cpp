#include "app/ignore_case.h"

#include <gtest/gtest.h>

TEST(EqualsIgnoreCase, FoldsOnlyAsciiLetters) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        bool equal;
    };
    const Case cases[] = {
        {L"Modern", L"MODERN", true},
        {L"Modern", L"Modern ", false},
        {L"\u00e4", L"\u00c4", false}, // a-umlaut is not an ASCII letter
        {L"", L"", true},
        {L"", L"A", false},
        {L"desktop", L"Desktop", true},
        {L"a[", L"A{", false}, // only a-z fold, not the neighbouring punctuation
        {L"us", L"US", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EqualsIgnoreCase(c.a, c.b), c.equal) << "a=" << c.a << " b=" << c.b;
    }
}

TEST(FindIgnoreCase, FindsMarkersWrittenInAnyCase) {
    const std::wstring marker = L"settings pass=\"oobeSystem\"";
    EXPECT_EQ(FindIgnoreCase(L"  <SETTINGS PASS=\"OOBESYSTEM\">", marker), 3u);
    EXPECT_EQ(FindIgnoreCase(L"<settings pass=\"oobeSystem\">", marker), 1u);
    EXPECT_EQ(FindIgnoreCase(L"<settings pass='oobeSystem'>", marker), std::wstring::npos);
    EXPECT_EQ(FindIgnoreCase(L"", marker), std::wstring::npos);
}

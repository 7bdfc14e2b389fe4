#include "shortcuts/muti_name.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <vector>

namespace {

struct TagGroup {
    const wchar_t* tag;
    std::vector<std::uint16_t> languageIds;
};

// The whole table, grouped by tag.
const std::vector<TagGroup> TagGroups = {
    {L"ar-SA",
     {0x0401, 0x0801, 0x0C01, 0x1001, 0x1401, 0x1801, 0x1C01, 0x2001, 0x2401, 0x2801, 0x2C01,
      0x3001, 0x3401, 0x3801, 0x3C01, 0x4001}},
    {L"bg-BG", {0x0402}},
    {L"cs-CZ", {0x0405}},
    {L"da-DK", {0x0406}},
    {L"de-DE", {0x0407, 0x0807, 0x0C07, 0x1007, 0x1407}},
    {L"el-GR", {0x0408}},
    {L"en-GB", {0x0809}},
    {L"en-US",
     {0x0409, 0x0C09, 0x1009, 0x1409, 0x1809, 0x1C09, 0x2009, 0x2409, 0x2809, 0x2C09, 0x3009,
      0x3409, 0x3809, 0x3C09, 0x4009, 0x4409, 0x4809}},
    {L"es-ES",
     {0x040A, 0x080A, 0x0C0A, 0x100A, 0x140A, 0x180A, 0x1C0A, 0x200A, 0x240A, 0x280A, 0x2C0A,
      0x300A, 0x340A, 0x380A, 0x3C0A, 0x400A, 0x440A, 0x480A, 0x4C0A, 0x500A, 0x540A, 0x580A}},
    {L"et-EE", {0x0425}},
    {L"fi-FI", {0x040B}},
    {L"fr-FR", {0x040C, 0x080C, 0x0C0C, 0x100C, 0x140C}},
    {L"he-IL", {0x040D}},
    {L"hr-HR", {0x041A}},
    {L"hu-HU", {0x040E}},
    {L"it-IT", {0x0410, 0x0810}},
    {L"ja-JP", {0x0411}},
    {L"ko-KR", {0x0412, 0x0812}},
    {L"lt-LT", {0x0427}},
    {L"lv-LV", {0x0426}},
    {L"nb-NO", {0x0414, 0x0814}},
    {L"nl-NL", {0x0413, 0x0813}},
    {L"pl-PL", {0x0415}},
    {L"pt-BR", {0x0416}},
    {L"pt-PT", {0x0816}},
    {L"ro-RO", {0x0418}},
    {L"ru-RU", {0x0419}},
    {L"sk-SK", {0x041B}},
    {L"sl-SI", {0x0424}},
    {L"sr-CS", {0x081A, 0x0C1A}},
    {L"sv-SE", {0x041D, 0x081D}},
    {L"th-TH", {0x041E}},
    {L"tr-TR", {0x041F}},
    {L"uk-UA", {0x0422}},
    {L"zh-CN", {0x0804}},
    {L"zh-HK", {0x0C04, 0x1004}},
    {L"zh-TW", {0x0404}},
};

TEST(LanguageTagOf, EveryIdentifierOfTheTableGivesItsTag) {
    std::size_t rows = 0;
    for (const TagGroup& group : TagGroups) {
        for (std::uint16_t languageId : group.languageIds) {
            EXPECT_EQ(LanguageTagOf(languageId), group.tag)
                << "LANGID 0x" << std::hex << languageId;
            ++rows;
        }
    }
    EXPECT_EQ(rows, 104u);
}

TEST(LanguageTagOf, EveryOtherIdentifierGivesEnUs) {
    std::map<std::uint32_t, bool> inTable;
    for (const TagGroup& group : TagGroups) {
        for (std::uint16_t languageId : group.languageIds) {
            inTable[languageId] = true;
        }
    }
    // All 16 bits count: neighbours of listed identifiers (0x0407 | 0x0400 ...) are not listed.
    for (std::uint32_t languageId = 0; languageId <= 0xFFFF; ++languageId) {
        if (inTable.count(languageId) == 0) {
            ASSERT_EQ(LanguageTagOf(static_cast<std::uint16_t>(languageId)), L"en-US")
                << "LANGID 0x" << std::hex << languageId;
        }
    }
    EXPECT_EQ(LanguageTagOf(0x0436), L"en-US");
}

TEST(GetUiLanguageTag, FollowsTheUserInterfaceLanguageOfTheEnvironment) {
    struct Case {
        const char* lang;
        const wchar_t* tag;
    };
    const Case cases[] = {
        {"de_AT.UTF-8", L"de-DE"}, {"en_GB.UTF-8", L"en-GB"}, {"zh_HK", L"zh-HK"},
        {"nb_NO.UTF-8", L"nb-NO"}, {"af_ZA.UTF-8", L"en-US"}, {"C", L"en-US"},
    };
    for (const Case& c : cases) {
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        setenv("LANG", c.lang, 1);
        MakeTestImage();
        EXPECT_EQ(GetUiLanguageTag(), c.tag) << c.lang;
    }
}

} // namespace

// The language tags of the Windows language identifiers (LANGIDs) that localised shortcut names
// are listed under, and the tag of the user's user-interface language.
#include "shortcuts/muti_name.h"

#include "platform/platform.h"

namespace {

struct LanguageTagRow {
    std::uint16_t languageId;
    const wchar_t* tag;
};

// Every identifier occurs once; a language that is not listed counts as "en-US".
const LanguageTagRow LanguageTags[] = {
    {0x0401, L"ar-SA"}, {0x0801, L"ar-SA"}, {0x0C01, L"ar-SA"}, {0x1001, L"ar-SA"},
    {0x1401, L"ar-SA"}, {0x1801, L"ar-SA"}, {0x1C01, L"ar-SA"}, {0x2001, L"ar-SA"},
    {0x2401, L"ar-SA"}, {0x2801, L"ar-SA"}, {0x2C01, L"ar-SA"}, {0x3001, L"ar-SA"},
    {0x3401, L"ar-SA"}, {0x3801, L"ar-SA"}, {0x3C01, L"ar-SA"}, {0x4001, L"ar-SA"},
    {0x0402, L"bg-BG"}, {0x0405, L"cs-CZ"}, {0x0406, L"da-DK"}, {0x0407, L"de-DE"},
    {0x0807, L"de-DE"}, {0x0C07, L"de-DE"}, {0x1007, L"de-DE"}, {0x1407, L"de-DE"},
    {0x0408, L"el-GR"}, {0x0809, L"en-GB"}, {0x0409, L"en-US"}, {0x0C09, L"en-US"},
    {0x1009, L"en-US"}, {0x1409, L"en-US"}, {0x1809, L"en-US"}, {0x1C09, L"en-US"},
    {0x2009, L"en-US"}, {0x2409, L"en-US"}, {0x2809, L"en-US"}, {0x2C09, L"en-US"},
    {0x3009, L"en-US"}, {0x3409, L"en-US"}, {0x3809, L"en-US"}, {0x3C09, L"en-US"},
    {0x4009, L"en-US"}, {0x4409, L"en-US"}, {0x4809, L"en-US"}, {0x040A, L"es-ES"},
    {0x080A, L"es-ES"}, {0x0C0A, L"es-ES"}, {0x100A, L"es-ES"}, {0x140A, L"es-ES"},
    {0x180A, L"es-ES"}, {0x1C0A, L"es-ES"}, {0x200A, L"es-ES"}, {0x240A, L"es-ES"},
    {0x280A, L"es-ES"}, {0x2C0A, L"es-ES"}, {0x300A, L"es-ES"}, {0x340A, L"es-ES"},
    {0x380A, L"es-ES"}, {0x3C0A, L"es-ES"}, {0x400A, L"es-ES"}, {0x440A, L"es-ES"},
    {0x480A, L"es-ES"}, {0x4C0A, L"es-ES"}, {0x500A, L"es-ES"}, {0x540A, L"es-ES"},
    {0x580A, L"es-ES"}, {0x0425, L"et-EE"}, {0x040B, L"fi-FI"}, {0x040C, L"fr-FR"},
    {0x080C, L"fr-FR"}, {0x0C0C, L"fr-FR"}, {0x100C, L"fr-FR"}, {0x140C, L"fr-FR"},
    {0x040D, L"he-IL"}, {0x041A, L"hr-HR"}, {0x040E, L"hu-HU"}, {0x0410, L"it-IT"},
    {0x0810, L"it-IT"}, {0x0411, L"ja-JP"}, {0x0412, L"ko-KR"}, {0x0812, L"ko-KR"},
    {0x0427, L"lt-LT"}, {0x0426, L"lv-LV"}, {0x0414, L"nb-NO"}, {0x0814, L"nb-NO"},
    {0x0413, L"nl-NL"}, {0x0813, L"nl-NL"}, {0x0415, L"pl-PL"}, {0x0416, L"pt-BR"},
    {0x0816, L"pt-PT"}, {0x0418, L"ro-RO"}, {0x0419, L"ru-RU"}, {0x041B, L"sk-SK"},
    {0x0424, L"sl-SI"}, {0x081A, L"sr-CS"}, {0x0C1A, L"sr-CS"}, {0x041D, L"sv-SE"},
    {0x081D, L"sv-SE"}, {0x041E, L"th-TH"}, {0x041F, L"tr-TR"}, {0x0422, L"uk-UA"},
    {0x0804, L"zh-CN"}, {0x0C04, L"zh-HK"}, {0x1004, L"zh-HK"}, {0x0404, L"zh-TW"},
};

static_assert(sizeof(LanguageTags) / sizeof(LanguageTags[0]) == 104,
              "the language tag table has 104 rows");

} // namespace

std::wstring LanguageTagOf(std::uint16_t languageId) {
    for (const LanguageTagRow& row : LanguageTags) {
        if (row.languageId == languageId) {
            return row.tag;
        }
    }
    return L"en-US";
}

std::wstring GetUiLanguageTag() {
    return LanguageTagOf(UserDefaultUiLanguage());
}

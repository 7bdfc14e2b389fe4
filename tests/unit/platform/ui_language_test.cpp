// The user-interface language derived from the locale settings.
#include "platform/platform.h"
#include "platform/posix/ui_language.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(UiLanguage, LocaleNamesGiveWindowsLanguageIds) {
    struct Case {
        const char* locale;
        std::uint16_t languageId;
    };
    const Case cases[] = {
        {"de_AT.UTF-8", 0x0C07},
        {"de_DE", 0x0407},
        {"de", 0x0407},
        {"de_BE.UTF-8", 0x0407},
        {"DE_at", 0x0C07},
        {"zh_HK.UTF-8", 0x0C04},
        {"zh_SG", 0x1004},
        {"zh_TW.Big5", 0x0404},
        {"zh_CN.GB18030", 0x0804},
        {"en_GB.UTF-8", 0x0809},
        {"en_AU", 0x0C09},
        {"en_US.UTF-8", 0x0409},
        {"pt_BR.UTF-8", 0x0416},
        {"pt_PT@euro", 0x0816},
        {"fr_CA", 0x0C0C},
        {"es_ES.UTF-8", 0x0C0A},
        {"es_MX", 0x080A},
        {"nb_NO.UTF-8", 0x0414},
        {"nn_NO", 0x0814},
        {"ko_KR.EUC-KR", 0x0412},
        {"ar_EG", 0x0C01},
        {"sr_CS", 0x081A},
        {"sr_CS@cyrillic", 0x0C1A},
        {"sr_RS.UTF-8@latin", 0x241A},
        {"sr_ME", 0x2C1A},
        {"sv_FI", 0x081D},
        {"af_ZA", 0x0436},
        {"C", 0x0409},
        {"C.UTF-8", 0x0409},
        {"POSIX", 0x0409},
        {"", 0x0409},
        {"xx_YY", 0x0409},
        {"xx_DE", 0x0409},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LanguageIdOfLocale(c.locale), c.languageId) << c.locale;
    }
}

// Sets or clears environment variables for one test and restores them afterwards.
class LocaleVariables : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : Names) {
            const char* value = std::getenv(name);
            saved.push_back(value == nullptr ? std::string("\x01") : std::string(value));
        }
    }
    void TearDown() override {
        for (std::size_t i = 0; i < saved.size(); ++i) {
            Set(Names[i], saved[i] == "\x01" ? nullptr : saved[i].c_str());
        }
    }
    static void Set(const char* name, const char* value) {
        if (value == nullptr) {
            unsetenv(name);
        } else {
            setenv(name, value, 1);
        }
    }

    static constexpr const char* Names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::string> saved;
};

TEST_F(LocaleVariables, FirstSetAndNonEmptyVariableCounts) {
    struct Case {
        const char* all;
        const char* messages;
        const char* lang;
        std::uint16_t languageId;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, 0x0409},
        {nullptr, nullptr, "de_AT.UTF-8", 0x0C07},
        {nullptr, "en_GB.UTF-8", "de_AT.UTF-8", 0x0809},
        {"zh_HK", "en_GB.UTF-8", "de_AT.UTF-8", 0x0C04},
        {"", "", "pt_PT", 0x0816},
        {"C", "", "pt_PT", 0x0409},
    };
    for (const Case& c : cases) {
        Set("LC_ALL", c.all);
        Set("LC_MESSAGES", c.messages);
        Set("LANG", c.lang);
        EXPECT_EQ(UserDefaultUiLanguage(), c.languageId);
    }
}

} // namespace

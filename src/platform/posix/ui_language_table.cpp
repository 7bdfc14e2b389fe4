// Locale names to Windows language identifiers, as Wine derives the user-interface language from
// the POSIX locale.
#include "platform/posix/ui_language.h"

#include <cctype>

namespace {

struct LocaleLanguage {
    const char* name; // "language_TERRITORY", or "language" for its main identifier
    std::uint16_t languageId;
};

const LocaleLanguage LocaleLanguages[] = {
    // Arabic
    {"ar", 0x0401},
    {"ar_SA", 0x0401},
    {"ar_IQ", 0x0801},
    {"ar_EG", 0x0C01},
    {"ar_LY", 0x1001},
    {"ar_DZ", 0x1401},
    {"ar_MA", 0x1801},
    {"ar_TN", 0x1C01},
    {"ar_OM", 0x2001},
    {"ar_YE", 0x2401},
    {"ar_SY", 0x2801},
    {"ar_JO", 0x2C01},
    {"ar_LB", 0x3001},
    {"ar_KW", 0x3401},
    {"ar_AE", 0x3801},
    {"ar_BH", 0x3C01},
    {"ar_QA", 0x4001},
    // Bulgarian, Czech, Danish
    {"bg", 0x0402},
    {"bg_BG", 0x0402},
    {"cs", 0x0405},
    {"cs_CZ", 0x0405},
    {"da", 0x0406},
    {"da_DK", 0x0406},
    // German
    {"de", 0x0407},
    {"de_DE", 0x0407},
    {"de_CH", 0x0807},
    {"de_AT", 0x0C07},
    {"de_LU", 0x1007},
    {"de_LI", 0x1407},
    // Greek
    {"el", 0x0408},
    {"el_GR", 0x0408},
    // English
    {"en", 0x0409},
    {"en_US", 0x0409},
    {"en_GB", 0x0809},
    {"en_AU", 0x0C09},
    {"en_CA", 0x1009},
    {"en_NZ", 0x1409},
    {"en_IE", 0x1809},
    {"en_ZA", 0x1C09},
    {"en_JM", 0x2009},
    {"en_AG", 0x2409},
    {"en_BZ", 0x2809},
    {"en_TT", 0x2C09},
    {"en_ZW", 0x3009},
    {"en_PH", 0x3409},
    {"en_ID", 0x3809},
    {"en_HK", 0x3C09},
    {"en_IN", 0x4009},
    {"en_MY", 0x4409},
    {"en_SG", 0x4809},
    // Spanish (Spain with the modern sort order, as Windows gives it)
    {"es", 0x0C0A},
    {"es_ES", 0x0C0A},
    {"es_MX", 0x080A},
    {"es_GT", 0x100A},
    {"es_CR", 0x140A},
    {"es_PA", 0x180A},
    {"es_DO", 0x1C0A},
    {"es_VE", 0x200A},
    {"es_CO", 0x240A},
    {"es_PE", 0x280A},
    {"es_AR", 0x2C0A},
    {"es_EC", 0x300A},
    {"es_CL", 0x340A},
    {"es_UY", 0x380A},
    {"es_PY", 0x3C0A},
    {"es_BO", 0x400A},
    {"es_SV", 0x440A},
    {"es_HN", 0x480A},
    {"es_NI", 0x4C0A},
    {"es_PR", 0x500A},
    {"es_US", 0x540A},
    // Estonian, Finnish
    {"et", 0x0425},
    {"et_EE", 0x0425},
    {"fi", 0x040B},
    {"fi_FI", 0x040B},
    // French
    {"fr", 0x040C},
    {"fr_FR", 0x040C},
    {"fr_BE", 0x080C},
    {"fr_CA", 0x0C0C},
    {"fr_CH", 0x100C},
    {"fr_LU", 0x140C},
    {"fr_MC", 0x180C},
    // Hebrew, Croatian, Hungarian
    {"he", 0x040D},
    {"he_IL", 0x040D},
    {"hr", 0x041A},
    {"hr_HR", 0x041A},
    {"hr_BA", 0x101A},
    {"hu", 0x040E},
    {"hu_HU", 0x040E},
    // Italian, Japanese, Korean
    {"it", 0x0410},
    {"it_IT", 0x0410},
    {"it_CH", 0x0810},
    {"ja", 0x0411},
    {"ja_JP", 0x0411},
    {"ko", 0x0412},
    {"ko_KR", 0x0412},
    // Lithuanian, Latvian
    {"lt", 0x0427},
    {"lt_LT", 0x0427},
    {"lv", 0x0426},
    {"lv_LV", 0x0426},
    // Norwegian
    {"nb", 0x0414},
    {"nb_NO", 0x0414},
    {"no", 0x0414},
    {"no_NO", 0x0414},
    {"nn", 0x0814},
    {"nn_NO", 0x0814},
    // Dutch, Polish
    {"nl", 0x0413},
    {"nl_NL", 0x0413},
    {"nl_BE", 0x0813},
    {"pl", 0x0415},
    {"pl_PL", 0x0415},
    // Portuguese
    {"pt", 0x0416},
    {"pt_BR", 0x0416},
    {"pt_PT", 0x0816},
    // Romanian, Russian, Slovak, Slovenian
    {"ro", 0x0418},
    {"ro_RO", 0x0418},
    {"ru", 0x0419},
    {"ru_RU", 0x0419},
    {"sk", 0x041B},
    {"sk_SK", 0x041B},
    {"sl", 0x0424},
    {"sl_SI", 0x0424},
    // Serbian: Latin script unless the modifier asks for Cyrillic
    {"sr", 0x081A},
    {"sr_CS", 0x081A},
    {"sr_CS@cyrillic", 0x0C1A},
    {"sr_RS", 0x241A},
    {"sr_RS@cyrillic", 0x281A},
    {"sr_ME", 0x2C1A},
    {"sr_ME@cyrillic", 0x301A},
    {"sr_BA", 0x181A},
    {"sr_BA@cyrillic", 0x1C1A},
    {"sr@cyrillic", 0x0C1A},
    // Swedish, Thai, Turkish, Ukrainian
    {"sv", 0x041D},
    {"sv_SE", 0x041D},
    {"sv_FI", 0x081D},
    {"th", 0x041E},
    {"th_TH", 0x041E},
    {"tr", 0x041F},
    {"tr_TR", 0x041F},
    {"uk", 0x0422},
    {"uk_UA", 0x0422},
    // Chinese
    {"zh", 0x0804},
    {"zh_CN", 0x0804},
    {"zh_TW", 0x0404},
    {"zh_HK", 0x0C04},
    {"zh_SG", 0x1004},
    {"zh_MO", 0x1404},
    // Other languages of Windows 8
    {"af", 0x0436},
    {"af_ZA", 0x0436},
    {"sq", 0x041C},
    {"sq_AL", 0x041C},
    {"ca", 0x0403},
    {"ca_ES", 0x0403},
    {"eu", 0x042D},
    {"eu_ES", 0x042D},
    {"gl", 0x0456},
    {"gl_ES", 0x0456},
    {"is", 0x040F},
    {"is_IS", 0x040F},
    {"id", 0x0421},
    {"id_ID", 0x0421},
    {"vi", 0x042A},
    {"vi_VN", 0x042A},
    {"hi", 0x0439},
    {"hi_IN", 0x0439},
    {"ms", 0x043E},
    {"ms_MY", 0x043E},
    {"fa", 0x0429},
    {"fa_IR", 0x0429},
    {"mk", 0x042F},
    {"mk_MK", 0x042F},
    {"be", 0x0423},
    {"be_BY", 0x0423},
    {"kk", 0x043F},
    {"kk_KZ", 0x043F},
    {"ka", 0x0437},
    {"ka_GE", 0x0437},
    {"hy", 0x042B},
    {"hy_AM", 0x042B},
    {"az", 0x042C},
    {"az_AZ", 0x042C},
    {"ga", 0x083C},
    {"ga_IE", 0x083C},
    {"cy", 0x0452},
    {"cy_GB", 0x0452},
    {"mt", 0x043A},
    {"mt_MT", 0x043A},
    {"bs", 0x141A},
    {"bs_BA", 0x141A},
    {"ur", 0x0420},
    {"ur_PK", 0x0420},
    {"bn", 0x0445},
    {"bn_IN", 0x0445},
    {"ta", 0x0449},
    {"ta_IN", 0x0449},
    {"te", 0x044A},
    {"te_IN", 0x044A},
    {"mr", 0x044E},
    {"mr_IN", 0x044E},
    {"fil", 0x0464},
    {"fil_PH", 0x0464},
    {"sw", 0x0441},
    {"sw_KE", 0x0441},
    {"lb", 0x046E},
    {"lb_LU", 0x046E},
};

constexpr std::uint16_t EnglishUnitedStates = 0x0409;

bool LookUp(const std::string& name, std::uint16_t& languageId) {
    for (const LocaleLanguage& row : LocaleLanguages) {
        if (name == row.name) {
            languageId = row.languageId;
            return true;
        }
    }
    return false;
}

} // namespace

std::uint16_t LanguageIdOfLocale(const std::string& locale) {
    // language[_TERRITORY][.codeset][@modifier]
    std::size_t languageEnd = locale.find_first_of("_.@");
    std::string language = locale.substr(0, languageEnd);
    std::string territory;
    std::string modifier;
    if (languageEnd != std::string::npos && locale[languageEnd] == '_') {
        std::size_t territoryEnd = locale.find_first_of(".@", languageEnd + 1);
        territory = locale.substr(languageEnd + 1, territoryEnd == std::string::npos
                                                       ? std::string::npos
                                                       : territoryEnd - languageEnd - 1);
    }
    std::size_t at = locale.find('@');
    if (at != std::string::npos) {
        modifier = locale.substr(at + 1);
        modifier = modifier.substr(0, modifier.find('.'));
    }
    for (char& c : language) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (char& c : territory) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (language.empty() || language == "c" || language == "posix") {
        return EnglishUnitedStates;
    }
    // Only the script modifiers of Serbian change the identifier; others (such as @euro) do not.
    std::string suffix = (modifier == "cyrillic") ? "@cyrillic" : "";
    std::uint16_t languageId = EnglishUnitedStates;
    if (!territory.empty()) {
        if (LookUp(language + "_" + territory + suffix, languageId) ||
            LookUp(language + "_" + territory, languageId)) {
            return languageId;
        }
    }
    if (LookUp(language + suffix, languageId) || LookUp(language, languageId)) {
        return languageId;
    }
    return EnglishUnitedStates;
}

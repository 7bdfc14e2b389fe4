// The program's own path, the local time and the user-interface language on the host.
#include "platform/platform.h"
#include "platform/posix/stand_in.h"
#include "platform/posix/ui_language.h"

#include <cstdlib>
#include <ctime>

std::wstring ProgramFilePath() {
    // The executable's host path is looked up once; the log writer asks for it with every line
    // it places in the program's folder. Its Windows form follows the image currently in use.
    static const std::string hostPath = [] {
        char* real = ::realpath("/proc/self/exe", nullptr);
        if (real == nullptr) {
            return std::string();
        }
        std::string path(real);
        std::free(real);
        return path;
    }();
    return hostPath.empty() ? std::wstring() : WindowsPathOf(hostPath);
}

LocalDateTime CurrentLocalTime() {
    std::time_t now = std::time(nullptr);
    struct tm local = {};
    ::localtime_r(&now, &local);
    LocalDateTime result;
    result.year = local.tm_year + 1900;
    result.month = local.tm_mon + 1;
    result.day = local.tm_mday;
    result.hour = local.tm_hour;
    result.minute = local.tm_min;
    result.second = local.tm_sec;
    return result;
}

std::uint16_t UserDefaultUiLanguage() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') {
            return LanguageIdOfLocale(value);
        }
    }
    return LanguageIdOfLocale("");
}

#include "app/program.h"

#include "app/default_mode.h"
#include "app/ignore_case.h"
#include "app/run_settings.h"
#include "layout/registry_store.h"
#include "log/log_file.h"
#include "platform/platform.h"
#include "shortcuts/muti_name.h"

namespace {

constexpr int ExitConfigurationMissing = 3;

// Drive and directory of the executable's path, the directory ending in its separator.
std::wstring FolderWithSeparator(const std::wstring& programPath) {
    std::size_t last = programPath.find_last_of(L"\\/");
    if (last != std::wstring::npos) {
        return programPath.substr(0, last + 1);
    }
    if (programPath.size() >= 2 && programPath[1] == L':') {
        return programPath.substr(0, 2);
    }
    return std::wstring();
}

} // namespace

int RunProgram(const std::wstring& arguments) {
    LogFile log;
    RunSettings& settings = Settings();
    settings = RunSettings();

    // The whole argument text is searched, whatever its length.
    settings.commandLine = ToAsciiUpper(arguments);
    settings.moduleFolder = FolderWithSeparator(ProgramFilePath());
    settings.configFilePath = settings.moduleFolder + L"Tilewright.ini";

    // A configuration path that does not fit its buffer counts as a missing configuration file.
    if (!FitsPathBuffer(settings.configFilePath) || !PathExists(settings.configFilePath)) {
        return ExitConfigurationMissing;
    }

    settings.logFolder = ReadProfileString(settings.configFilePath, L"Path", L"LogPath");
    if (!PathExists(settings.logFolder)) {
        CreateOneFolder(settings.logFolder); // a failure is ignored: the log writer tries again
    }
    settings.logFilePath = settings.logFolder + L"\\Tilewright.log";

    LogMessage(log, L"Program Start...");
    settings.tilesDataPath = ReadProfileString(settings.configFilePath, L"Path", L"TilesDataPath");

    if (settings.commandLine.find(L"HDIWRITE") != std::wstring::npos) {
        RunHdiWriteMode();
        return 0;
    }
    if (settings.commandLine.find(L"MUTINAME") != std::wstring::npos) {
        LogMessage(log, L"");
        LogMessage(log, L"====== Detect Muti Name ======");
        DetectMutiNames();
        return 0;
    }
    return RunDefaultMode();
}

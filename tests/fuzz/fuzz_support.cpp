#include "fuzz_support.h"

#include "app/run_settings.h"
#include "platform/posix/stand_in.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string MakeImage() {
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern = std::string(temporary != nullptr && *temporary ? temporary : "/tmp") +
                          "/tilewright-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        FuzzFailure("cannot make a temporary folder");
    }
    for (const char* folder : {"/Tools", "/Tiles", "/Logs", "/Windows", "/Windows/Panther"}) {
        ::mkdir((pattern + folder).c_str(), 0755);
    }
    return pattern;
}

void RemoveImage();

const std::string& ImageRoot() {
    static const std::string root = MakeImage();
    static const bool removedAtExit = std::atexit(RemoveImage) == 0;
    (void)removedAtExit;
    return root;
}

void RemoveImage() {
    std::error_code ignored;
    std::filesystem::remove_all(ImageRoot(), ignored);
}

} // namespace

const std::string& FreshFuzzImage() {
    const std::string& root = ImageRoot();
    for (const char* leftover : {"Logs/Tilewright.log", "Windows/Panther/unattend.xml",
                                 "Windows/Panther/unattend.save.xml", "Tools/unattend.temp.xml",
                                 "Tools/unattend.staged.xml", "HKLM.reg"}) {
        ::unlink(FuzzPath(leftover).c_str());
    }
    UseStandIn(root, root + "/HKLM.reg");
    RunSettings& settings = Settings();
    settings = RunSettings();
    settings.moduleFolder = L"C:\\Tools\\";
    settings.configFilePath = L"C:\\Tools\\Tilewright.ini";
    settings.logFolder = L"C:\\Logs";
    settings.logFilePath = L"C:\\Logs\\Tilewright.log";
    settings.tilesDataPath = L"C:\\Tiles";
    return root;
}

std::string FuzzPath(const std::string& relative) {
    return ImageRoot() + "/" + relative;
}

void WriteFuzzFile(const std::string& relative, const std::string& bytes) {
    std::ofstream out(FuzzPath(relative), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        FuzzFailure("cannot write " + relative);
    }
}

bool ReadFuzzFile(const std::string& relative, std::string& bytes) {
    std::ifstream in(FuzzPath(relative), std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    bytes = content.str();
    return true;
}

bool FuzzFileExists(const std::string& relative) {
    struct stat info;
    return ::stat(FuzzPath(relative).c_str(), &info) == 0;
}

void FuzzFailure(const std::string& what) {
    std::fprintf(stderr, "fuzz target: %s\n", what.c_str());
    std::abort();
}

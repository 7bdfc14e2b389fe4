#include "test_support.h"

#include "app/run_settings.h"
#include "platform/posix/stand_in.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace fs = std::filesystem;

TestImage MakeTestImage() {
    std::string pattern = (fs::temp_directory_path() / "tilewright-unit-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    if (made == nullptr) {
        ADD_FAILURE() << "cannot make a temporary folder";
        return TestImage();
    }
    TestImage image;
    image.root = made;
    image.registry = image.root + "/HKLM.reg";
    fs::create_directories(image.root + "/Tools");
    UseStandIn(image.root, image.registry);
    RunSettings& settings = Settings();
    settings = RunSettings();
    settings.moduleFolder = L"C:\\Tools\\";
    settings.configFilePath = L"C:\\Tools\\Tilewright.ini";
    settings.logFolder = L"C:\\Logs";
    settings.logFilePath = L"C:\\Logs\\Tilewright.log";
    settings.tilesDataPath = L"C:\\Tiles";
    return image;
}

std::string ImagePath(const TestImage& image, const std::string& relative) {
    return image.root + "/" + relative;
}

void WriteHostFile(const std::string& path, const std::string& bytes) {
    fs::path p(path);
    if (p.has_parent_path()) {
        fs::create_directories(p.parent_path());
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool HostFileExists(const std::string& path) { return fs::exists(path); }

std::string LogWithoutTimestamps(const TestImage& image) {
    std::string log = ReadHostFile(ImagePath(image, "Logs/Tilewright.log"));
    static const std::regex prefix(R"(^\[\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}\]\t)");
    std::string result;
    std::size_t start = 0;
    while (start < log.size()) {
        std::size_t end = log.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "log line without CR LF: " << log.substr(start);
            break;
        }
        std::string line = log.substr(start, end - start);
        std::smatch match;
        if (!std::regex_search(line, match, prefix)) {
            ADD_FAILURE() << "log line without timestamp: " << line;
        } else {
            line = match.suffix();
        }
        result += line + "\n";
        start = end + 2;
    }
    return result;
}

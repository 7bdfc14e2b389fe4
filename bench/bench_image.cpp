#include "bench_image.h"

#include "app/run_settings.h"
#include "platform/posix/stand_in.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const char* const Generator = TILEWRIGHT_IMAGE_GENERATOR;

struct ImageStore {
    std::string root; // the temporary folder holding every image
    std::map<std::string, std::string> folders;
    ~ImageStore() {
        if (!root.empty()) {
            std::error_code ignored;
            fs::remove_all(root, ignored);
        }
    }
};

ImageStore& Store() {
    static ImageStore store;
    if (store.root.empty()) {
        std::string pattern = (fs::temp_directory_path() / "tilewright-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::fprintf(stderr, "cannot make a temporary folder\n");
            std::exit(1);
        }
        store.root = pattern;
    }
    return store;
}

} // namespace

const std::string& ImageFolder(const std::string& generatorOptions) {
    ImageStore& store = Store();
    auto found = store.folders.find(generatorOptions);
    if (found != store.folders.end()) {
        return found->second;
    }
    std::string folder = store.root + "/image" + std::to_string(store.folders.size());
    std::string command =
        "python3 '" + std::string(Generator) + "' '" + folder + "' " + generatorOptions;
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "making the image failed: %s\n", command.c_str());
        std::exit(1);
    }
    return store.folders.emplace(generatorOptions, folder).first->second;
}

void UseImage(const std::string& folder) {
    UseStandIn(folder, folder + "/HKLM.reg");
    RunSettings& settings = Settings();
    settings = RunSettings();
    settings.moduleFolder = L"C:\\Tools\\";
    settings.configFilePath = L"C:\\Tools\\Tilewright.ini";
    settings.logFolder = L"C:\\Logs";
    settings.logFilePath = L"C:\\Logs\\Tilewright.log";
    settings.tilesDataPath = L"C:\\Tools\\Tiles";
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

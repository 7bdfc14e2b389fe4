// Every way a rewrite of the answer file can fail, for the reader and the writer alike: the result
// is 0, the failure is logged, the answer file is byte for byte what it was and no temporary file
// is left behind.
#include "layout/unattend_store.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string Bom = "\xEF\xBB\xBF";

const char* const WriteFailed = "Writing the temporary copy of the answer file failed (";
const char* const ReplaceFailed = "Replacing the answer file failed (";
const char* const NotUtf8 = "The answer file is not UTF-8 text; it is left unchanged.";
const char* const Unclosed =
    "The StartTiles section of the answer file is never closed; the answer file is left unchanged.";

// An answer file with a place for the writer's section and a section for the reader to take.
std::string AnswerFile(const std::string& filler) {
    return Bom + "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<unattend>\r\n" + filler +
           "\t<settings pass=\"oobeSystem\">\r\n"
           "\t\t<component name=\"Microsoft-Windows-Shell-Setup\">\r\n"
           "\t\t\t<StartTiles>\r\n\t\t\t\t<WideTiles>\r\n\t\t\t\t\t<WideTile1>\r\n"
           "\t\t\t\t\t\t<AppId>A</AppId>\r\n\t\t\t\t\t</WideTile1>\r\n\t\t\t\t</WideTiles>\r\n"
           "\t\t\t</StartTiles>\r\n\t\t</component>\r\n\t</settings>\r\n</unattend>\r\n";
}

// Far more than the copy's write buffer, so that writes go to the disk before the end.
std::string Filler() {
    std::string filler;
    for (int n = 0; n < 4000; ++n) {
        filler +=
            "\t<!-- filler line " + std::to_string(n) + " ........................... -->\r\n";
    }
    return filler;
}

// A tmpfs mounted on a folder of the image for the length of one case (needs root).
struct Mount {
    std::string folder;
    bool mounted = false;
    Mount(const std::string& where, const std::string& options) : folder(where) {
        fs::create_directories(folder);
        std::string command =
            "mount -t tmpfs -o " + options + " tmpfs '" + folder + "' 2>/dev/null";
        mounted = std::system(command.c_str()) == 0;
    }
    ~Mount() {
        if (mounted) {
            std::string command = "umount '" + folder + "'";
            if (std::system(command.c_str()) != 0) {
                ADD_FAILURE() << "cannot unmount " << folder;
            }
        }
    }
};

enum class Operation { Read, Write };

int RunOperation(Operation operation) {
    if (operation == Operation::Read) {
        TileLayout layout;
        return ReadUnattendLayout(layout);
    }
    RegionalOverride base;
    base.layout.slots[0] = L"B";
    return WriteUnattendLayout({base});
}

// Names in the folder besides the answer file and its backup (temporary files, for instance).
std::vector<std::string> StrayFiles(const std::string& folder) {
    std::vector<std::string> stray;
    if (!fs::exists(folder)) {
        return stray;
    }
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (name != "unattend.xml" && name != "unattend.save.xml") {
            stray.push_back(name);
        }
    }
    return stray;
}

struct Case {
    const char* name;
    bool readerOnly;
    std::string answer; // the answer file's bytes; empty: no answer file
    // Prepares the image; false when this machine cannot stage the case (the case is skipped).
    std::function<bool(const TestImage&, std::unique_ptr<Mount>&)> stage;
    std::string logLine; // what the failure logs, or the start of its one line
};

bool NoStaging(const TestImage&, std::unique_ptr<Mount>&) {
    return true;
}

std::vector<Case> Cases() {
    const std::string answer = AnswerFile("");
    return {
        {"the answer file is missing", false, "", NoStaging,
         "Backup unattend failed.\nOpen unattend fail!.\n"},
        {"the program's folder is missing", false, answer,
         [](const TestImage& image, std::unique_ptr<Mount>&) {
             fs::remove_all(ImagePath(image, "Tools"));
             return true;
         },
         WriteFailed},
        {"a folder stands where the temporary copy goes", false, answer,
         [](const TestImage& image, std::unique_ptr<Mount>&) {
             fs::create_directories(ImagePath(image, "Tools/unattend.temp.xml"));
             return true;
         },
         WriteFailed},
        {"the program's folder is read-only", false, answer,
         [](const TestImage& image, std::unique_ptr<Mount>& mount) {
             mount = std::make_unique<Mount>(ImagePath(image, "Tools"), "ro,size=64k");
             return mount->mounted;
         },
         WriteFailed},
        {"the program's volume fills up midway", false, AnswerFile(Filler()),
         [](const TestImage& image, std::unique_ptr<Mount>& mount) {
             mount = std::make_unique<Mount>(ImagePath(image, "Tools"), "size=64k");
             return mount->mounted;
         },
         std::string(WriteFailed) + "the disk is full); the answer file is left unchanged.\n"},
        {"the answer file is read-only", false, answer,
         [](const TestImage& image, std::unique_ptr<Mount>&) {
             return chmod(ImagePath(image, "Windows/Panther/unattend.xml").c_str(), 0444) == 0;
         },
         ReplaceFailed},
        {"an invalid byte after valid lines", false, answer + "<x>\xFF</x>\r\n", NoStaging,
         NotUtf8},
        {"a UTF-16 answer file", false, std::string("\xFF\xFE<\0a\0>\0", 8), NoStaging, NotUtf8},
        {"a StartTiles section that is never closed", true,
         "<unattend>\r\n<StartTiles>\r\n<WideTile1>\r\n<AppId>A</AppId>\r\n</unattend>\r\n",
         NoStaging, Unclosed},
    };
}

} // namespace

TEST(UnattendStoreFailure, LeavesTheAnswerFileAsItWas) {
    for (const Case& c : Cases()) {
        for (Operation operation : {Operation::Read, Operation::Write}) {
            if (c.readerOnly && operation == Operation::Write) {
                continue;
            }
            std::string what =
                std::string(c.name) + (operation == Operation::Read ? " (reader)" : " (writer)");
            TestImage image = MakeTestImage();
            std::string answerHost = ImagePath(image, "Windows/Panther/unattend.xml");
            if (c.answer.empty()) {
                fs::create_directories(ImagePath(image, "Windows/Panther"));
            } else {
                WriteHostFile(answerHost, c.answer);
            }
            std::unique_ptr<Mount> mount;
            if (!c.stage(image, mount)) {
                std::cout << "[  SKIPPED ] " << what << ": cannot be staged here\n";
                continue;
            }

            EXPECT_EQ(RunOperation(operation), 0) << what;

            if (c.answer.empty()) {
                EXPECT_FALSE(HostFileExists(answerHost)) << what;
            } else {
                EXPECT_EQ(ReadHostFile(answerHost), c.answer) << what;
                // The backup is still made before the pass.
                EXPECT_EQ(ReadHostFile(ImagePath(image, "Windows/Panther/unattend.save.xml")),
                          c.answer)
                    << what;
            }
            std::string copy = ImagePath(image, "Tools/unattend.temp.xml");
            EXPECT_FALSE(fs::is_regular_file(copy)) << what;
            EXPECT_EQ(StrayFiles(ImagePath(image, "Windows/Panther")), std::vector<std::string>())
                << what;
            if (mount != nullptr) {
                EXPECT_EQ(StrayFiles(ImagePath(image, "Tools")), std::vector<std::string>())
                    << what;
            }
            // The usual lines of the pass, then one line that tells the failure.
            std::string head;
            if (!c.answer.empty()) {
                head = "Backup unattend succeeded.\n";
                if (operation == Operation::Read) {
                    head += "Open unattend succeeded!.\n";
                }
            }
            head += c.logLine;
            std::string log = LogWithoutTimestamps(image);
            EXPECT_EQ(log.substr(0, head.size()), head) << what;
            EXPECT_EQ(std::count(log.begin(), log.end(), '\n'),
                      std::count(head.begin(), head.end(), '\n') + (head.back() == '\n' ? 0 : 1))
                << what << "\nlog:\n"
                << log;
        }
    }
}

// Windows paths onto the image folder and the host, and back.
#include "platform/platform.h"
#include "platform/posix/stand_in.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <tuple>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct PathCase {
    const wchar_t* windows;
    const char* host; // relative to the image root ("." the root), "/..." on the host, "" none
};

std::wstring OnDriveZ(const std::string& host) {
    std::wstring path = L"Z:" + fs::path(host).wstring();
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path;
}

class PathMapping : public ::testing::Test {
  protected:
    void SetUp() override {
        image = MakeTestImage();
        fs::create_directories(ImagePath(image, "Windows/Panther"));
        WriteHostFile(ImagePath(image, "Windows/Panther/unattend.xml"), "x");
        fs::create_directories(ImagePath(image, "Twins/ABC"));
        fs::create_directories(ImagePath(image, "Twins/abc"));
    }
    void TearDown() override { fs::remove_all(image.root); }

    std::string Expected(const char* host) const {
        std::string text(host);
        if (text.empty() || text[0] == '/') {
            return text;
        }
        return text == "." ? image.root : image.root + "/" + text;
    }

    TestImage image;
};

TEST_F(PathMapping, WindowsPathsMapOntoTheImageAndTheHost) {
    const PathCase cases[] = {
        {L"C:\\Windows\\Panther\\unattend.xml", "Windows/Panther/unattend.xml"},
        {L"c:\\WINDOWS\\panther\\Unattend.XML", "Windows/Panther/unattend.xml"},
        {L"C:/Windows/Panther/unattend.xml", "Windows/Panther/unattend.xml"},
        {L"C:\\windows\\Panther\\New.txt", "Windows/Panther/New.txt"},
        {L"C:\\windows\\Missing\\Deeper\\file", "Windows/Missing/Deeper/file"},
        {L"C:\\Windows\\\\Panther\\.\\unattend.xml", "Windows/Panther/unattend.xml"},
        {L"C:\\Windows\\System32\\..\\Panther", "Windows/Panther"},
        {L"C:\\..\\..\\Windows", "Windows"},
        {L"C:\\Windows\\", "Windows/"},
        {L"C:\\", "."},
        {L"C:", "."},
        {L"C:windows", "Windows"},
        {L"C:\\twins\\Abc", "Twins/ABC"},
        {L"Z:\\tmp", "/tmp"},
        {L"z:\\", "/"},
        {L"Z:\\..\\tmp", "/tmp"},
        {L"D:\\Windows", ""},
        {L"\\\\server\\share\\file", ""},
        {L"//server/share/file", ""},
        {L"", ""},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(HostPathOf(c.windows), Expected(c.host)) << fs::path(c.windows).string();
    }
}

TEST_F(PathMapping, PathWithoutDriveIsRelativeToTheCurrentFolder) {
    fs::path before = fs::current_path();
    fs::current_path(ImagePath(image, "Windows"));
    EXPECT_EQ(HostPathOf(L"panther\\unattend.xml"),
              ImagePath(image, "Windows/Panther/unattend.xml"));
    EXPECT_EQ(HostPathOf(L"..\\..\\..\\Twins"), ImagePath(image, "Twins"));
    EXPECT_EQ(HostPathOf(L"\\Windows"), ImagePath(image, "Windows"));
    fs::current_path("/tmp");
    EXPECT_EQ(HostPathOf(L"x\\y"), "/tmp/x/y");
    EXPECT_EQ(HostPathOf(L"\\usr"), "/usr");
    fs::current_path(before);
}

TEST_F(PathMapping, HostPathsMapBackToDriveCInsideTheImageAndDriveZElsewhere) {
    EXPECT_EQ(WindowsPathOf(ImagePath(image, "Windows/Panther")), L"C:\\Windows\\Panther");
    EXPECT_EQ(WindowsPathOf(image.root), L"C:\\");
    EXPECT_EQ(WindowsPathOf(image.root + "/Tools/../Windows/"), L"C:\\Windows");
    EXPECT_EQ(WindowsPathOf("/usr/bin"), L"Z:\\usr\\bin");
    EXPECT_EQ(WindowsPathOf(image.root + "-other/x"), OnDriveZ(image.root + "-other/x"));
}

TEST_F(PathMapping, AnImageReachedThroughALinkIsStillDriveC) {
    std::string link = image.root + "-link";
    fs::create_directory_symlink(image.root, link);
    UseStandIn(link, link + "/HKLM.reg");
    EXPECT_EQ(WindowsPathOf(fs::canonical(link).string() + "/Windows"), L"C:\\Windows");
    EXPECT_EQ(WindowsPathOf(link + "/Windows"), L"C:\\Windows");
    EXPECT_EQ(HostPathOf(L"C:\\Windows"), link + "/Windows");
    fs::remove(link);
}

TEST(ProgramFile, IsTheExecutableOnDriveZOutsideTheImage) {
    TestImage image = MakeTestImage();
    std::wstring path = ProgramFilePath();
    EXPECT_EQ(path.substr(0, 3), L"Z:\\");
    EXPECT_NE(path.find(L"unit_platform"), std::wstring::npos);
    fs::remove_all(image.root);
}

} // namespace

namespace {

// Whether the registry file the layer uses holds the key SOFTWARE\Marker.
bool MarkerKeyVisible() {
    RegistryKey key;
    if (!OpenRegistryKey(L"SOFTWARE\\Marker", key)) {
        return false;
    }
    CloseRegistryKey(key);
    return true;
}

TEST(StandInStart, ReadsTheImageAndTheRegistryFromTheEnvironment) {
    TestImage image = MakeTestImage();
    const std::string marker =
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Marker]\r\n";
    WriteHostFile(image.root + "/HKLM.reg", marker);
    WriteHostFile(image.root + "/Other.reg", "");
    const char* savedImage = std::getenv("TILEWRIGHT_IMAGE");
    const char* savedRegistry = std::getenv("TILEWRIGHT_REGISTRY");
    std::string keptImage = savedImage ? savedImage : "";
    std::string keptRegistry = savedRegistry ? savedRegistry : "";

    std::string problem;
    unsetenv("TILEWRIGHT_IMAGE");
    EXPECT_FALSE(StartStandInLayer(problem));
    EXPECT_NE(problem.find("TILEWRIGHT_IMAGE"), std::string::npos);
    setenv("TILEWRIGHT_IMAGE", (image.root + "/HKLM.reg").c_str(), 1);
    problem.clear();
    EXPECT_FALSE(StartStandInLayer(problem));
    EXPECT_NE(problem.find("not a folder"), std::string::npos);

    setenv("TILEWRIGHT_IMAGE", image.root.c_str(), 1);
    unsetenv("TILEWRIGHT_REGISTRY");
    EXPECT_TRUE(StartStandInLayer(problem));
    EXPECT_TRUE(MarkerKeyVisible());
    EXPECT_EQ(HostPathOf(L"C:\\Tools"), image.root + "/Tools");

    setenv("TILEWRIGHT_REGISTRY", (image.root + "/Other.reg").c_str(), 1);
    EXPECT_TRUE(StartStandInLayer(problem));
    EXPECT_FALSE(MarkerKeyVisible());

    for (auto [name, value, was] :
         {std::make_tuple("TILEWRIGHT_IMAGE", keptImage, savedImage),
          std::make_tuple("TILEWRIGHT_REGISTRY", keptRegistry, savedRegistry)}) {
        if (was != nullptr) {
            setenv(name, value.c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    fs::remove_all(image.root);
}

} // namespace

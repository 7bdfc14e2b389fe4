// Private-profile reading on any file content: the configuration file is read key by key as the
// program reads it, numbered lists included, then as add-on tile descriptions through the
// catalogue, the region placement and the balancing.
//
// Promises checked: no value is longer than 259 characters or holds a line break, a value reads
// the same twice, and a numbered list ends at its first empty value.
#include "addons/catalogue.h"
#include "addons/numbered_list.h"
#include "addons/placement.h"
#include "fuzz_support.h"
#include "platform/platform.h"
#include "platform/text.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

const wchar_t* const ConfigPath = L"C:\\Tools\\Tilewright.ini";

void CheckValue(const std::wstring& section, const std::wstring& key) {
    std::wstring value = ReadProfileString(ConfigPath, section, key);
    if (Utf16Length(value) > 259) {
        FuzzFailure("a value longer than 259 characters");
    }
    if (value.find_first_of(L"\r\n") != std::wstring::npos) {
        FuzzFailure("a value holding a line break");
    }
    if (ReadProfileString(ConfigPath, section, key) != value) {
        FuzzFailure("a value that reads differently the second time");
    }
}

// Section and key names as the file spells them: "[name]" lines and the text before "=".
void NamesInText(const std::wstring& text, std::vector<std::wstring>& sections,
                 std::vector<std::wstring>& keys) {
    std::size_t start = 0;
    while (start < text.size() && sections.size() < 16 && keys.size() < 16) {
        std::size_t end = text.find(L'\n', start);
        std::wstring line = text.substr(start, end == std::wstring::npos ? end : end - start);
        if (!line.empty() && line[0] == L'[') {
            sections.push_back(line.substr(1, line.find(L']') - 1));
        } else if (line.find(L'=') != std::wstring::npos) {
            keys.push_back(line.substr(0, line.find(L'=')));
        }
        if (end == std::wstring::npos) {
            break;
        }
        start = end + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FreshFuzzImage();
    std::string bytes(reinterpret_cast<const char*>(data), size);
    WriteFuzzFile("Tools/Tilewright.ini", bytes);

    std::vector<std::wstring> sections = {L"Path", L"Default", L"TileInfo", L"MutiName"};
    std::vector<std::wstring> keys = {
        L"LogPath",     L"TilesDataPath", L"WideTile1", L"SquareOrDesktopTile12",
        L"AppIdOrPath", L"SupportMuti",   L"de-DE"};
    NamesInText(WideFromWindows1252(bytes.data(), bytes.size()), sections, keys);
    for (const std::wstring& section : sections) {
        for (const std::wstring& key : keys) {
            CheckValue(section, key);
        }
    }
    for (const std::wstring& section : sections) {
        std::vector<std::wstring> list = ReadNumberedList(ConfigPath, section, L"Region");
        for (std::size_t n = 0; n < list.size(); ++n) {
            if (list[n].empty() ||
                list[n] !=
                    ReadProfileString(ConfigPath, section, L"Region" + std::to_wstring(n + 1))) {
                FuzzFailure("a numbered list that does not follow its keys");
            }
        }
    }

    // The same text as the one add-on tile description and as the configuration of the run.
    WriteFuzzFile("Tiles/tile.ini", bytes);
    std::vector<TileInfo> addOnTiles;
    std::vector<TileInfo> protectedTiles;
    std::vector<std::wstring> regionList;
    CollectAddOnTiles(addOnTiles, protectedTiles, regionList);
    if (regionList.empty() || regionList[0] != L"ALL") {
        FuzzFailure("a region list that does not begin with ALL");
    }
    TileLayout merged;
    for (int index = 0; index < SlotCount; index += 3) {
        merged.slots[index] = ReadProfileString(ConfigPath, L"Default", SlotName(index));
    }
    std::vector<RegionalOverride> overrides =
        BuildRegionalOverrides(merged, addOnTiles, protectedTiles, regionList);
    if (overrides.size() != regionList.size()) {
        FuzzFailure("not one override per region");
    }
    return 0;
}

// WriteUnattendLayout: inserts a new StartTiles section after the Microsoft-Windows-Shell-Setup
// component line of the oobeSystem pass of the answer file.
#include "app/ignore_case.h"
#include "layout/rewrite_pass.h"
#include "layout/unattend_store.h"

#include <string>

namespace {

const wchar_t* const PassMarker = L"settings pass=\"oobeSystem\"";
const wchar_t* const ComponentMarker = L"component name=\"Microsoft-Windows-Shell-Setup\"";

// Follows the markers line by line: the component marker counts only once the pass marker has
// been seen, on the same line or an earlier one.
struct MarkerSearch {
    bool passSeen = false;
    bool componentSeen = false;
};

// True when line completes a pass marker followed by a component marker.
bool CompletesMarkerPair(MarkerSearch& search, const std::wstring& line) {
    if (FindIgnoreCase(line, PassMarker) != std::wstring::npos) {
        search.passSeen = true;
    }
    if (search.passSeen && FindIgnoreCase(line, ComponentMarker) != std::wstring::npos) {
        search.componentSeen = true;
    }
    return search.passSeen && search.componentSeen;
}

enum class ShellSetupSearch { Found, Missing, Unknown };

// Reads the file once to learn whether it has a place for the section. Unknown when the file
// cannot be opened or read to its end; the rewrite pass then meets and reports the problem.
ShellSetupSearch FindShellSetupComponent(const std::wstring& path) {
    LineReader reader;
    if (!OpenLineReader(reader, path)) {
        return ShellSetupSearch::Unknown;
    }
    ShellSetupSearch result = ShellSetupSearch::Unknown;
    MarkerSearch search;
    std::wstring line;
    while (true) {
        LineStatus status = ReadNextLine(reader, line);
        if (status == LineStatus::Line) {
            if (CompletesMarkerPair(search, line)) {
                result = ShellSetupSearch::Found;
                break;
            }
            continue;
        }
        if (status == LineStatus::End) {
            result = ShellSetupSearch::Missing;
        }
        break;
    }
    CloseLineReader(reader);
    return result;
}

// Text put between tags, with the characters that would end or break it escaped. Line breaks
// become character references: the section is read line by line, and a value split over two
// lines would come back cut at the break.
std::wstring EscapeXmlText(const std::wstring& text) {
    std::wstring escaped;
    escaped.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
        case L'\r':
            escaped += L"&#13;";
            break;
        case L'\n':
            escaped += L"&#10;";
            break;
        case L'&':
            escaped += L"&amp;";
            break;
        case L'<':
            escaped += L"&lt;";
            break;
        case L'>':
            escaped += L"&gt;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// The number in decimal, zero-padded to at least two digits (as "%02d" writes it).
std::wstring TwoDigits(std::int32_t number) {
    std::wstring digits = std::to_wstring(number);
    return (number >= 0 && number < 10) ? L"0" + digits : digits;
}

void WriteSectionLine(RewritePass& pass, int tabs, const std::wstring& text) {
    WriteCopyLine(pass, std::wstring(static_cast<std::size_t>(tabs), L'\t') + text);
}

// One tile as three lines, named with the number of its slot; a free slot writes nothing.
void WriteTile(RewritePass& pass, int depth, const TileLayout& layout, int index,
               const wchar_t* valueName) {
    const std::wstring& value = layout.slots[index];
    if (value.empty()) {
        return;
    }
    std::wstring name = SlotName(index);
    std::wstring valueTag = valueName;
    WriteSectionLine(pass, 5 + depth, L"<" + name + L">");
    WriteSectionLine(pass, 6 + depth,
                     L"<" + valueTag + L">" + EscapeXmlText(value) + L"</" + valueTag + L">");
    WriteSectionLine(pass, 5 + depth, L"</" + name + L">");
}

// WideTiles and SquareTiles of a layout; depth is 0 for the base layout and 2 inside an override.
void WriteLayoutBlock(RewritePass& pass, int depth, const TileLayout& layout) {
    WriteSectionLine(pass, 4 + depth, L"<WideTiles>");
    for (int index = FirstWideSlot; index < FirstWideSlot + WideSlotCount; ++index) {
        WriteTile(pass, depth, layout, index, L"AppId");
    }
    WriteSectionLine(pass, 4 + depth, L"</WideTiles>");
    WriteSectionLine(pass, 4 + depth, L"<SquareTiles>");
    for (int index = FirstSquareSlot; index < FirstSquareSlot + SquareSlotCount; ++index) {
        WriteTile(pass, depth, layout, index, L"AppId");
    }
    for (int index = FirstSquareOrDesktopSlot;
         index < FirstSquareOrDesktopSlot + SquareOrDesktopSlotCount; ++index) {
        WriteTile(pass, depth, layout, index, L"AppIdOrPath");
    }
    WriteSectionLine(pass, 4 + depth, L"</SquareTiles>");
}

void WriteOverrideBlock(RewritePass& pass, const RegionalOverride& record) {
    WriteSectionLine(pass, 5, L"<RegionalOverride>");
    WriteSectionLine(pass, 6, L"<Order>" + TwoDigits(record.order) + L"</Order>");
    WriteSectionLine(pass, 6, L"<Regions>");
    int key = 1;
    for (const std::wstring& region : record.regions) {
        WriteSectionLine(pass, 7, L"<Region>");
        WriteSectionLine(pass, 8, L"<Key>" + std::to_wstring(key) + L"</Key>");
        WriteSectionLine(pass, 8,
                         L"<CountryOrRegionID>" + EscapeXmlText(region) + L"</CountryOrRegionID>");
        WriteSectionLine(pass, 7, L"</Region>");
        ++key;
    }
    WriteSectionLine(pass, 6, L"</Regions>");
    WriteLayoutBlock(pass, 2, record.layout);
    WriteSectionLine(pass, 5, L"</RegionalOverride>");
}

// The section: the first record numbered 0 is the base layout, wherever it stands in the list;
// every other record is a RegionalOverride, in list order. RegionalOverrides is written only
// when there is at least one override, so the element is always opened and closed evenly.
void WriteSection(RewritePass& pass, const std::vector<RegionalOverride>& overrides) {
    const RegionalOverride* base = nullptr;
    for (const RegionalOverride& record : overrides) {
        if (record.order == 0) {
            base = &record;
            break;
        }
    }
    WriteSectionLine(pass, 3, L"<StartTiles>");
    if (base != nullptr) {
        WriteLayoutBlock(pass, 0, base->layout);
    }
    if (overrides.size() > (base != nullptr ? 1u : 0u)) {
        WriteSectionLine(pass, 4, L"<RegionalOverrides>");
        for (const RegionalOverride& record : overrides) {
            if (&record != base) {
                WriteOverrideBlock(pass, record);
            }
        }
        WriteSectionLine(pass, 4, L"</RegionalOverrides>");
    }
    WriteSectionLine(pass, 3, L"</StartTiles>");
}

int WriteLayoutInStage(LogFile& log, const std::vector<RegionalOverride>& overrides,
                       RewriteStage stage) {
    const std::wstring noPlace = L"The answer file has no oobeSystem Microsoft-Windows-Shell-Setup "
                                 L"component to hold the Start layout; it is left unchanged.";
    std::wstring input = stage == RewriteStage::Second ? StagedAnswerFilePath() : AnswerFilePath;
    if (FindShellSetupComponent(input) == ShellSetupSearch::Missing) {
        LogMessage(log, noPlace);
        return 0;
    }

    RewritePass pass;
    if (!StartRewritePass(pass, log, false, stage)) {
        return 0;
    }
    MarkerSearch search;
    bool sectionWritten = false;
    std::wstring line;
    while (NextAnswerLine(pass, line)) {
        bool pairComplete = CompletesMarkerPair(search, line);
        WriteCopyLine(pass, line);
        if (pairComplete) {
            WriteSection(pass, overrides);
            sectionWritten = true;
            search = MarkerSearch();
        }
    }
    // The file was read once before the pass; it may have changed since.
    if (!sectionWritten) {
        StopRewritePass(pass, noPlace);
    }
    return FinishRewritePass(pass, log);
}

} // namespace

int WriteUnattendLayout(const std::vector<RegionalOverride>& overrides) {
    LogFile log;
    return WriteLayoutInStage(log, overrides, RewriteStage::Whole);
}

int WriteUnattendLayoutStaged(const std::vector<RegionalOverride>& overrides) {
    LogFile log;
    int result = WriteLayoutInStage(log, overrides, RewriteStage::Second);
    DiscardStagedAnswerFile(log);
    return result;
}

// ReadUnattendLayout: takes the tiles out of the StartTiles section of the answer file and
// rewrites the file without the section.
#include "layout/rewrite_pass.h"
#include "layout/unattend_store.h"
#include "platform/text.h"

#include <cstdint>

namespace {

bool IsReferenceChar(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') ||
           c == L'#';
}

// A code point that XML allows in text.
bool IsXmlChar(std::uint32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The character a reference names: one of the five predefined entities ("amp") or a numeric
// reference ("#65", "#x41"). False when name is neither.
bool ReferencedCodePoint(const std::wstring& name, std::uint32_t& codePoint) {
    static const struct {
        const wchar_t* name;
        wchar_t character;
    } entities[] = {
        {L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"quot", L'"'}, {L"apos", L'\''}};
    for (const auto& entity : entities) {
        if (name == entity.name) {
            codePoint = static_cast<std::uint32_t>(entity.character);
            return true;
        }
    }
    if (name.size() < 2 || name[0] != L'#') {
        return false;
    }
    bool hex = name[1] == L'x';
    std::size_t first = hex ? 2 : 1;
    if (first >= name.size()) {
        return false;
    }
    std::uint32_t value = 0;
    for (std::size_t i = first; i < name.size(); ++i) {
        wchar_t c = name[i];
        std::uint32_t digit;
        if (c >= L'0' && c <= L'9') {
            digit = static_cast<std::uint32_t>(c - L'0');
        } else if (hex && c >= L'a' && c <= L'f') {
            digit = static_cast<std::uint32_t>(c - L'a' + 10);
        } else if (hex && c >= L'A' && c <= L'F') {
            digit = static_cast<std::uint32_t>(c - L'A' + 10);
        } else {
            return false;
        }
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0x10FFFF) {
            return false;
        }
    }
    if (!IsXmlChar(value)) {
        return false;
    }
    codePoint = value;
    return true;
}

// The text of an element value with its character and entity references decoded. A reference
// that is not one of those (an unknown name, no semicolon, a number outside XML's characters)
// stays as written.
std::wstring DecodeXmlText(const std::wstring& text) {
    std::wstring decoded;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == L'&') {
            std::size_t end = i + 1;
            while (end < text.size() && IsReferenceChar(text[end])) {
                ++end;
            }
            std::uint32_t codePoint = 0;
            if (end < text.size() && text[end] == L';' &&
                ReferencedCodePoint(text.substr(i + 1, end - i - 1), codePoint)) {
                AppendCodePoint(decoded, static_cast<char32_t>(codePoint));
                i = end + 1;
                continue;
            }
        }
        decoded += text[i];
        ++i;
    }
    return decoded;
}

// The value of the line after an opening tile tag: the text between the first ">" and the last
// "<" of the line (to its end when there is no "<" after the ">").
std::wstring ValueOfLine(const std::wstring& line) {
    std::size_t close = line.find(L'>');
    std::size_t start = (close == std::wstring::npos) ? 0 : close + 1;
    std::size_t open = line.rfind(L'<');
    if (open == std::wstring::npos || open < start) {
        return line.substr(start);
    }
    return line.substr(start, open - start);
}

// Every tile whose opening tag stands in previous takes its value from current. All 30 tags are
// tried; a later match replaces what an earlier line gave the slot.
void MatchTiles(const std::wstring& previous, const std::wstring& current, TileLayout& layout) {
    for (int index = 0; index < SlotCount; ++index) {
        if (previous.find(L"<" + SlotName(index) + L">") != std::wstring::npos) {
            layout.slots[index] = DecodeXmlText(ValueOfLine(current));
        }
    }
}

int ReadLayoutInStage(TileLayout& layout, RewriteStage stage) {
    LogFile log;
    RewritePass pass;
    if (!StartRewritePass(pass, log, true, stage)) {
        return 0;
    }

    std::wstring previous;
    std::wstring current;
    bool outsideSection = true;
    while (true) {
        previous = current;
        if (!NextAnswerLine(pass, current)) {
            break;
        }
        if (current.find(L"<StartTiles>") != std::wstring::npos) {
            outsideSection = false;
        }
        if (current.find(L"</StartTiles>") != std::wstring::npos) {
            outsideSection = true;
        } else if (!outsideSection) {
            MatchTiles(previous, current, layout);
        } else {
            WriteCopyLine(pass, current);
        }
    }
    // Without its closing line the section would swallow the rest of the file.
    if (!outsideSection) {
        StopRewritePass(pass, L"The StartTiles section of the answer file is never closed; the "
                              L"answer file is left unchanged.");
    }
    return FinishRewritePass(pass, log);
}

} // namespace

int ReadUnattendLayout(TileLayout& layout) {
    return ReadLayoutInStage(layout, RewriteStage::Whole);
}

int ReadUnattendLayoutStaged(TileLayout& layout) {
    return ReadLayoutInStage(layout, RewriteStage::First);
}

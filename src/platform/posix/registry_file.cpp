#include "platform/posix/registry_file.h"

#include "platform/platform.h"
#include "platform/posix/layer_state.h"
#include "platform/text.h"

#include <type_traits>
#include <unordered_map>

namespace {

const wchar_t* const Version5Header = L"Windows Registry Editor Version 5.00";
const wchar_t* const Version4Header = L"REGEDIT4";
constexpr std::size_t HexLineWidth = 76; // a byte list wraps once a line reaches this column

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring Trimmed(const std::wstring& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

bool StartsWithIgnoringCase(const std::wstring& text, std::size_t at, const wchar_t* prefix) {
    for (std::size_t i = 0; prefix[i] != L'\0'; ++i) {
        if (at + i >= text.size() || FoldAscii(text[at + i]) != FoldAscii(prefix[i])) {
            return false;
        }
    }
    return true;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    c = FoldAscii(c);
    if (c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    return -1;
}

// Reads a number of 1 to 8 hexadecimal digits from text at position at.
bool ReadHexNumber(const std::wstring& text, std::size_t& at, std::uint32_t& number) {
    std::size_t start = at;
    number = 0;
    while (at < text.size() && HexDigit(text[at]) >= 0) {
        if (at - start == 8) {
            return false;
        }
        number = (number << 4) | static_cast<std::uint32_t>(HexDigit(text[at]));
        ++at;
    }
    return at > start;
}

// A quoted text starting at text[at] == '"', with \\ and \" as the only escapes; at ends after
// the closing quote.
bool ReadQuoted(const std::wstring& text, std::size_t& at, std::wstring& value) {
    value.clear();
    for (++at; at < text.size(); ++at) {
        wchar_t c = text[at];
        if (c == L'"') {
            ++at;
            return true;
        }
        if (c == L'\\') {
            if (at + 1 >= text.size() || (text[at + 1] != L'\\' && text[at + 1] != L'"')) {
                return false;
            }
            c = text[++at];
        }
        value += c;
    }
    return false;
}

std::wstring Quoted(const std::wstring& text) {
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        if (c == L'\\' || c == L'"') {
            quoted += L'\\';
        }
        quoted += c;
    }
    return quoted + L"\"";
}

bool ReadByteList(const std::wstring& list, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    std::wstring rest = Trimmed(list);
    if (rest.empty()) {
        return true;
    }
    std::size_t at = 0;
    for (;;) {
        std::size_t comma = rest.find(L',', at);
        std::wstring item =
            Trimmed(rest.substr(at, comma == std::wstring::npos ? std::wstring::npos : comma - at));
        bool last = comma == std::wstring::npos;
        if (item.empty() && last && !bytes.empty()) {
            return true; // a trailing comma
        }
        if (item.empty() || item.size() > 2 || HexDigit(item[0]) < 0 ||
            (item.size() == 2 && HexDigit(item[1]) < 0)) {
            return false;
        }
        int value = HexDigit(item[0]);
        if (item.size() == 2) {
            value = value * 16 + HexDigit(item[1]);
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
        if (last) {
            return true;
        }
        at = comma + 1;
    }
}

std::wstring DecodeDocument(const std::string& bytes, RegistryEncoding& encoding) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    if (bytes.size() >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        encoding = RegistryEncoding::Utf16Le;
        return WideFromWholeUtf16Le(data + 2, bytes.size() - 2);
    }
    std::size_t skip = 0;
    encoding = RegistryEncoding::Utf8;
    if (bytes.size() >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        skip = 3;
        encoding = RegistryEncoding::Utf8WithMark;
    }
    std::wstring text;
    if (WideFromUtf8(bytes.data() + skip, bytes.size() - skip, text)) {
        return text;
    }
    encoding = RegistryEncoding::Utf8WithMark;
    return WideFromWindows1252(bytes.data() + skip, bytes.size() - skip);
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t begin = 0;
    for (;;) {
        std::size_t end = text.find_first_of(L"\r\n", begin);
        if (end == std::wstring::npos) {
            lines.push_back(text.substr(begin));
            return lines;
        }
        lines.push_back(text.substr(begin, end - begin));
        begin =
            end + ((text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n') ? 2 : 1);
    }
}

std::wstring FoldedPath(const std::wstring& path) {
    return FoldAsciiText(path);
}

// Reads the key line "[path]"; false when it is not one this layer accepts.
bool ReadKeyLine(const std::wstring& line, std::wstring& path) {
    if (line.size() < 2 || line.back() != L']') {
        return false;
    }
    path = line.substr(1, line.size() - 2);
    while (!path.empty() && path.back() == L'\\') {
        path.pop_back();
    }
    if (path.empty() || path[0] == L'-' || path.find(L"\\\\") != std::wstring::npos ||
        path[0] == L'\\') {
        return false;
    }
    return true;
}

// Text of REGEDIT4 string data (one byte a character, Windows-1252) as Windows stores it.
std::vector<std::uint8_t> Utf16FromAnsiBytes(const std::vector<std::uint8_t>& bytes) {
    std::wstring text =
        WideFromWindows1252(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return Utf16LeFromWide(text, false);
}

// Reads the value starting at lines[index] (an already trimmed first line); index moves to the
// last line it used.
bool ReadValue(const std::vector<std::wstring>& lines, std::size_t& index, bool regedit4,
               RegistryValueEntry& value) {
    std::wstring line = Trimmed(lines[index]);
    value = RegistryValueEntry();
    value.lines.push_back(lines[index]);
    std::size_t at = 0;
    if (line[0] == L'@') {
        at = 1;
    } else if (!ReadQuoted(line, at, value.name)) {
        return false;
    }
    while (at < line.size() && IsBlank(line[at])) {
        ++at;
    }
    if (at >= line.size() || line[at] != L'=') {
        return false;
    }
    ++at;
    while (at < line.size() && IsBlank(line[at])) {
        ++at;
    }
    if (at < line.size() && line[at] == L'"') {
        std::wstring text;
        if (!ReadQuoted(line, at, text) || !Trimmed(line.substr(at)).empty()) {
            return false;
        }
        value.type = RegistryTypeString;
        value.data = Utf16LeFromWide(text, true);
        return true;
    }
    if (StartsWithIgnoringCase(line, at, L"dword:")) {
        at += 6;
        std::uint32_t number = 0;
        if (!ReadHexNumber(line, at, number) || !Trimmed(line.substr(at)).empty()) {
            return false;
        }
        value.type = RegistryTypeDword;
        for (int shift = 0; shift < 32; shift += 8) {
            value.data.push_back(static_cast<std::uint8_t>(number >> shift));
        }
        return true;
    }
    if (StartsWithIgnoringCase(line, at, L"hex:")) {
        value.type = RegistryTypeBinary;
        at += 4;
    } else if (StartsWithIgnoringCase(line, at, L"hex(")) {
        at += 4;
        if (!ReadHexNumber(line, at, value.type) || line.compare(at, 2, L"):") != 0) {
            return false;
        }
        at += 2;
    } else {
        return false; // also "=-", which deletes a value
    }
    std::wstring list = line.substr(at);
    for (;;) {
        std::wstring trimmed = Trimmed(list);
        if (trimmed.empty() || trimmed.back() != L'\\') {
            break;
        }
        trimmed.pop_back();
        if (index + 1 >= lines.size()) {
            return false;
        }
        ++index;
        value.lines.push_back(lines[index]);
        list = trimmed + Trimmed(lines[index]);
    }
    if (!ReadByteList(list, value.data)) {
        return false;
    }
    if (regedit4 && (value.type == RegistryTypeString || value.type == RegistryTypeExpandString ||
                     value.type == RegistryTypeMultiString)) {
        value.data = Utf16FromAnsiBytes(value.data);
        value.lines.clear(); // written back in the form of version 5
    }
    return true;
}

bool IsSurrogateUnit(wchar_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// The text of REG_SZ data when it can be written as "text" and read back to the same bytes.
bool PlainText(const std::vector<std::uint8_t>& data, std::wstring& text) {
    if (data.size() < 2 || data.size() % 2 != 0 || data[data.size() - 1] != 0 ||
        data[data.size() - 2] != 0) {
        return false;
    }
    text = WideFromWholeUtf16Le(data.data(), data.size() - 2);
    for (wchar_t c : text) {
        if (c == L'\0' || c == L'\r' || c == L'\n' || IsSurrogateUnit(c)) {
            return false;
        }
    }
    return Utf16LeFromWide(text, true) == data;
}

std::wstring HexByte(std::uint8_t byte) {
    const wchar_t* digits = L"0123456789abcdef";
    return std::wstring{digits[byte >> 4], digits[byte & 0x0F]};
}

std::wstring HexNumber(std::uint32_t number, int width) {
    std::wstring text;
    do {
        text.insert(text.begin(), L"0123456789abcdef"[number & 0x0F]);
        number >>= 4;
    } while (number != 0 || static_cast<int>(text.size()) < width);
    return text;
}

// Appends the UTF-16LE bytes of text, as Utf16LeFromWide gives them, without a terminator.
void AppendUtf16Le(std::string& bytes, const std::wstring& text) {
    std::size_t at = bytes.size();
    bytes.resize(at + text.size() * 2);
    for (wchar_t w : text) {
        char32_t c = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(w));
        if (c < 0x10000) {
            bytes[at++] = static_cast<char>(c & 0xFF);
            bytes[at++] = static_cast<char>(c >> 8);
            continue;
        }
        // A pair of units (or U+FFFD beyond Unicode): the rare slow way.
        std::vector<std::uint8_t> units = Utf16LeFromWide(std::wstring(1, w), false);
        bytes.resize(bytes.size() + units.size() - 2);
        for (std::uint8_t unit : units) {
            bytes[at++] = static_cast<char>(unit);
        }
    }
}

} // namespace

bool ParseRegistryDocument(const std::string& bytes, RegistryDocument& document) {
    document = RegistryDocument();
    std::vector<std::wstring> lines = SplitLines(DecodeDocument(bytes, document.encoding));
    std::size_t index = 0;
    while (index < lines.size() && Trimmed(lines[index]).empty()) {
        ++index;
    }
    if (index >= lines.size()) {
        return false;
    }
    std::wstring header = Trimmed(lines[index]);
    if (header == Version4Header) {
        document.regedit4 = true;
    } else if (header != Version5Header) {
        return false;
    }
    // Each key's place in document.keys by its folded path, so that a key listed again is found
    // without comparing it with every key before it.
    std::unordered_map<std::wstring, std::size_t> listed;
    RegistryKeyEntry* key = nullptr;
    for (++index; index < lines.size(); ++index) {
        std::wstring line = Trimmed(lines[index]);
        if (line.empty()) {
            continue;
        }
        if (line[0] == L';') {
            RegistryValueEntry comment;
            comment.comment = true;
            comment.lines.push_back(lines[index]);
            if (key == nullptr) {
                document.leading.push_back(lines[index]);
            } else {
                key->values.push_back(comment);
            }
            continue;
        }
        if (line[0] == L'[') {
            std::wstring path;
            if (!ReadKeyLine(line, path)) {
                return false;
            }
            // A key listed twice is one key: its later values join the first listing.
            auto known = listed.emplace(FoldedPath(path), document.keys.size());
            if (known.second) {
                document.keys.push_back(RegistryKeyEntry());
                document.keys.back().path = path;
            }
            key = &document.keys[known.first->second];
            continue;
        }
        if (key == nullptr || (line[0] != L'"' && line[0] != L'@')) {
            return false;
        }
        RegistryValueEntry value;
        if (!ReadValue(lines, index, document.regedit4, value)) {
            return false;
        }
        // A value listed twice takes the later data, as an import would leave it.
        bool replaced = false;
        for (RegistryValueEntry& known : key->values) {
            if (!known.comment && FoldAsciiText(known.name) == FoldAsciiText(value.name)) {
                known = value;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            key->values.push_back(value);
        }
    }
    return true;
}

std::vector<std::wstring> FormatRegistryValue(const RegistryValueEntry& value) {
    if (!value.lines.empty()) {
        return value.lines;
    }
    std::wstring line = (value.name.empty() ? std::wstring(L"@") : Quoted(value.name)) + L"=";
    std::wstring text;
    if (value.type == RegistryTypeString && PlainText(value.data, text)) {
        return {line + Quoted(text)};
    }
    if (value.type == RegistryTypeDword && value.data.size() == 4) {
        std::uint32_t number = static_cast<std::uint32_t>(value.data[0]) |
                               static_cast<std::uint32_t>(value.data[1]) << 8 |
                               static_cast<std::uint32_t>(value.data[2]) << 16 |
                               static_cast<std::uint32_t>(value.data[3]) << 24;
        return {line + L"dword:" + HexNumber(number, 8)};
    }
    line += (value.type == RegistryTypeBinary) ? std::wstring(L"hex:")
                                               : L"hex(" + HexNumber(value.type, 1) + L"):";
    std::vector<std::wstring> lines;
    std::size_t column = line.size();
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        line += HexByte(value.data[i]);
        if (i + 1 < value.data.size()) {
            line += L',';
            column += 3;
            if (column >= HexLineWidth) {
                lines.push_back(line + L"\\");
                line = L"  ";
                column = 2;
            }
        }
    }
    lines.push_back(line);
    return lines;
}

std::string FormatRegistryDocument(const RegistryDocument& document) {
    // The text is gathered in one buffer and encoded once: the whole file is written after every
    // change of a value, so this runs for each of them.
    std::wstring text;
    std::size_t estimate = 64;
    for (const RegistryKeyEntry& key : document.keys) {
        estimate += key.path.size() + 8;
        for (const RegistryValueEntry& value : key.values) {
            for (const std::wstring& line : value.lines) {
                estimate += line.size() + 2;
            }
        }
    }
    text.reserve(estimate);
    auto appendLine = [&text](const std::wstring& line) {
        text += line;
        text += L"\r\n";
    };
    text += Version5Header;
    text += L"\r\n\r\n";
    for (const std::wstring& comment : document.leading) {
        appendLine(comment);
    }
    if (!document.leading.empty()) {
        text += L"\r\n";
    }
    for (const RegistryKeyEntry& key : document.keys) {
        text += L'[';
        text += key.path;
        text += L"]\r\n";
        for (const RegistryValueEntry& value : key.values) {
            if (!value.lines.empty()) {
                for (const std::wstring& line : value.lines) {
                    appendLine(line);
                }
            } else {
                for (const std::wstring& line : FormatRegistryValue(value)) {
                    appendLine(line);
                }
            }
        }
        text += L"\r\n";
    }
    std::string bytes;
    switch (document.encoding) {
    case RegistryEncoding::Utf16Le:
        bytes = "\xFF\xFE";
        AppendUtf16Le(bytes, text);
        break;
    case RegistryEncoding::Utf8WithMark:
        bytes = "\xEF\xBB\xBF" + Utf8FromWide(text);
        break;
    case RegistryEncoding::Utf8:
        bytes = Utf8FromWide(text);
        break;
    }
    return bytes;
}

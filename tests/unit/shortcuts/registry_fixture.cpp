#include "registry_fixture.h"

#include "platform/platform.h"
#include "platform/text.h"
#include "test_support.h"

#include <cstdio>

const std::wstring StartLayoutKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SVDEn\\";

namespace {

std::string RegString(const std::wstring& text) {
    std::string escaped;
    for (char c : Utf8FromWide(text)) {
        if (c == '\\' || c == '"') {
            escaped += '\\';
        }
        escaped += c;
    }
    return "\"" + escaped + "\"";
}

// Any type but REG_SZ as reg export writes it: hex(N): and the bytes of the UTF-16LE text.
std::string RegHexText(std::uint32_t type, const std::wstring& text) {
    std::string hex = "hex(" + std::to_string(type) + "):";
    std::vector<std::uint8_t> bytes = Utf16LeFromWide(text, true);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        hex += (i == 0 ? "" : ",") + std::string(pair);
    }
    return hex;
}

std::string KeyLine(const std::wstring& path) {
    return "[HKEY_LOCAL_MACHINE\\" + Utf8FromWide(path) + "]\r\n";
}

} // namespace

void WriteStartLayoutRegistry(const std::string& hostPath, const std::vector<RegFileKey>& keys) {
    std::string file = "Windows Registry Editor Version 5.00\r\n\r\n";
    std::wstring above;
    for (const wchar_t* part :
         {L"SOFTWARE", L"Microsoft", L"Windows", L"CurrentVersion", L"Explorer", L"SVDEn"}) {
        above += (above.empty() ? L"" : L"\\") + std::wstring(part);
        file += KeyLine(above) + "\r\n";
    }
    for (const RegFileKey& key : keys) {
        file += KeyLine(StartLayoutKey + key.path);
        for (const RegFileValue& value : key.values) {
            file += RegString(value.name) + "=" +
                    (value.type == RegistryTypeString ? RegString(value.text)
                                                      : RegHexText(value.type, value.text)) +
                    "\r\n";
        }
        file += "\r\n";
    }
    WriteHostFile(hostPath, file);
}

RegistryValueRead ReadStartLayoutValue(const std::wstring& keyBelowStartLayout,
                                       const std::wstring& name) {
    RegistryValueRead read;
    RegistryKey key;
    if (!OpenRegistryKey(StartLayoutKey + keyBelowStartLayout, key)) {
        return read;
    }
    std::vector<std::uint8_t> data;
    if (QueryRegistryValue(key, name, 4096, read.type, data)) {
        read.found = true;
        read.text = WideFromUtf16Le(data.data(), data.size());
    }
    CloseRegistryKey(key);
    return read;
}

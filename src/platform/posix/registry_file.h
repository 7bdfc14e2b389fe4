// The .reg file that stands for the registry: its parsed form, and the text written back.
//
// The file has the form "reg export" writes: the header "Windows Registry Editor Version 5.00"
// (or "REGEDIT4"), then keys as "[HKEY_LOCAL_MACHINE\...]" each followed by its values:
// "Name"="text", @= for the default value, dword:0000002a, hex:.. (binary) and hex(N):.. for any
// type N, with "\" at the end of a line continuing the bytes on the next. ";" starts a comment
// line. Lines that delete ("[-key]", "Name"=-) describe a change, not a state, and make the file
// unreadable here, as does anything else that is not understood.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class RegistryEncoding {
    Utf16Le,      // with a byte-order mark, as "reg export" writes
    Utf8WithMark, // UTF-8 with a byte-order mark (also used for files read as Windows-1252)
    Utf8,         // UTF-8 without a mark
};

struct RegistryValueEntry {
    bool comment = false; // a comment line kept at its place among the values (text in lines)
    std::wstring name;    // empty for the default value ("@")
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    // The lines the value was read from, written back as they were while the value is unchanged;
    // empty for a value set since.
    std::vector<std::wstring> lines;
};

struct RegistryKeyEntry {
    std::wstring path; // full path without brackets, e.g. L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Foo"
    std::vector<RegistryValueEntry> values;
};

struct RegistryDocument {
    RegistryEncoding encoding = RegistryEncoding::Utf16Le;
    bool regedit4 = false;             // read with the "REGEDIT4" header
    std::vector<std::wstring> leading; // comment lines before the first key
    std::vector<RegistryKeyEntry> keys;
};

// False when the bytes are not a registry file this layer understands in full.
bool ParseRegistryDocument(const std::string& bytes, RegistryDocument& document);

// The file's bytes: in the encoding it was read in, lines ending in CR LF, header
// "Windows Registry Editor Version 5.00".
std::string FormatRegistryDocument(const RegistryDocument& document);

// The lines of one value as "reg export" writes them.
std::vector<std::wstring> FormatRegistryValue(const RegistryValueEntry& value);

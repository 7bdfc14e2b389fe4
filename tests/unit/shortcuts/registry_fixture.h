// Helpers for the shortcut tests: the registry of a test image written as a .reg file, and its
// values read back through the platform's registry functions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The key below HKEY_LOCAL_MACHINE that holds the Start layout, with its trailing backslash.
extern const std::wstring StartLayoutKey;

struct RegFileValue {
    std::wstring name;
    std::uint32_t type; // any type of at most 9; text is stored as UTF-16LE with a terminator
    std::wstring text;
};

struct RegFileKey {
    std::wstring path; // below the Start layout key, e.g. L"SquareTiles\\SquareOrDesktopTile1"
    std::vector<RegFileValue> values;
};

// Writes a .reg file (UTF-8, the format of "reg export") holding the Start layout key, the keys
// above it, and the given keys below it in the given order.
void WriteStartLayoutRegistry(const std::string& hostPath, const std::vector<RegFileKey>& keys);

struct RegistryValueRead {
    bool found = false;
    std::uint32_t type = 0;
    std::wstring text;
};

// The value name of the key below the Start layout key, read as the system reads it.
RegistryValueRead ReadStartLayoutValue(const std::wstring& keyBelowStartLayout,
                                       const std::wstring& name);

// The MUTINAME mode: shortcut files of add-on tiles renamed to the name for the user-interface
// language, and the registry values under SVDEn that named the old path made to follow.
#pragma once

#include <cstdint>
#include <string>

// The language tag ("de-DE") of a Windows LANGID; "en-US" for an identifier not in the table.
std::wstring LanguageTagOf(std::uint16_t languageId);
// The tag of the user's default user-interface language.
std::wstring GetUiLanguageTag();

// The whole mode, after the entry point's heading.
void DetectMutiNames();

// Walks the key (a path below HKEY_LOCAL_MACHINE ending in a backslash) depth first and replaces
// every AppIdOrPath value equal to oldPath (ignoring case) in a key without subkeys by newPath.
// Gives 1 when the key could be opened, else 0.
int RenameRegistryPath(const std::wstring& keyPath, const std::wstring& oldPath,
                       const std::wstring& newPath);

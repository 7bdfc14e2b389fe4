// The services of the operating system that Tilewright calls: files and folders, private-profile
// reading, directory search, the registry below HKEY_LOCAL_MACHINE, time and the user-interface
// language. One header of plain functions; win32/ implements it with the real Windows calls,
// posix/ with the stand-in layer (an image folder for drive C: and a .reg file for the registry).
//
// Paths are Windows paths ("C:\Windows\Panther\unattend.xml") on both builds. Every function
// that fails records why; LastPlatformError() tells, until the next failing call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class PlatformError {
    None,
    NotFound,      // no file, folder, key or value of that name
    AlreadyExists, // the target of a create-new or a rename exists
    AccessDenied,  // rights missing, or the file is read-only
    InUse,         // another handle keeps the file from being changed
    DiskFull,      // no space left on the volume
    BadFormat,     // data that cannot be understood (for instance an unparsable registry file)
    TooLong,       // a path or name that does not fit its buffer
    Other,
};

PlatformError LastPlatformError();
// A short English description, e.g. L"the file is in use", for log lines.
std::wstring PlatformErrorText(PlatformError error);

// ---------------------------------------------------------------------------------------------
// The program and its surroundings

// Full path of the program's executable, e.g. L"C:\\Tools\\Tilewright.exe".
std::wstring ProgramFilePath();

struct LocalDateTime {
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
};
// The current time in UTC converted to local time with the current time-zone settings.
LocalDateTime CurrentLocalTime();

// The user's default user-interface language as a Windows LANGID.
std::uint16_t UserDefaultUiLanguage();

// ---------------------------------------------------------------------------------------------
// Private-profile reading (GetPrivateProfileStringW with an empty default and a 260-character
// buffer): the value of key in section of the INI file, at most 259 characters, or the empty
// string when the file, the section or the key is missing.
std::wstring ReadProfileString(const std::wstring& iniPath, const std::wstring& section,
                               const std::wstring& key);

// ---------------------------------------------------------------------------------------------
// Directory search

// True when a file or a folder exists at exactly this path (no wildcard).
bool PathExists(const std::wstring& path);
// True when a folder exists at this path.
bool IsFolder(const std::wstring& path);
// The names (without folder) of the entries that match a pattern such as L"C:\\Tiles\\*.ini",
// folders included, in ascending order of their names compared ignoring ASCII case. A pattern
// whose folder cannot be read gives an empty list.
std::vector<std::wstring> ListMatchingNames(const std::wstring& pattern);

// Creates one folder; its parent must exist.
bool CreateOneFolder(const std::wstring& path);
// Creates a folder with all missing parents (fails when it exists already).
bool CreateFolderTree(const std::wstring& path);

// ---------------------------------------------------------------------------------------------
// Files

struct FileHandle {
    std::intptr_t raw = -1;
};

enum class FileMode {
    ReadExisting,      // read; the file must exist
    ReadWriteExisting, // read and write at the start; the file must exist
    AppendOrCreate,    // write at the end; created empty when missing
    CreateOrTruncate,  // write; created when missing, emptied when present
    CreateNew,         // write; fails with AlreadyExists when anything is at the path
};

// Every open shares reading and writing with other handles.
bool OpenFile(const std::wstring& path, FileMode mode, FileHandle& file);
// Reads up to size bytes; got is 0 at the end of the file.
bool ReadFromFile(FileHandle file, void* buffer, std::size_t size, std::size_t& got);
// Writes all size bytes or fails.
bool WriteToFile(FileHandle file, const void* data, std::size_t size);
bool GetFileSize64(FileHandle file, std::uint64_t& size);
// Forces what was written onto the disk.
bool FlushFileToDisk(FileHandle file);
// Closes the handle; false when the close itself reported an error (data may be lost).
bool CloseFile(FileHandle file);

// Copies a file, overwriting the target (CopyFileW with overwrite).
bool CopyFileOver(const std::wstring& from, const std::wstring& to);
// Puts the complete file source in the place of target so that target is at every moment either
// its old content or the new one: the bytes are copied next to target on its own volume, flushed,
// then renamed over it. Fails, leaving target untouched, when target is read-only or any step
// fails; nothing of the attempt is left behind. source is not changed.
bool ReplaceFileAtomically(const std::wstring& source, const std::wstring& target);
bool DeleteFileAt(const std::wstring& path);
// Renames a file; never replaces an existing target (fails with AlreadyExists).
bool RenameFileNoReplace(const std::wstring& from, const std::wstring& to);

// ---------------------------------------------------------------------------------------------
// Registry below HKEY_LOCAL_MACHINE, 64-bit view, keys opened with full access.

struct RegistryKey {
    std::intptr_t raw = -1;
};

// Value types, with the numbers Windows gives them.
constexpr std::uint32_t RegistryTypeNone = 0;
constexpr std::uint32_t RegistryTypeString = 1;         // REG_SZ
constexpr std::uint32_t RegistryTypeExpandString = 2;   // REG_EXPAND_SZ
constexpr std::uint32_t RegistryTypeBinary = 3;         // REG_BINARY
constexpr std::uint32_t RegistryTypeDword = 4;          // REG_DWORD
constexpr std::uint32_t RegistryTypeMultiString = 7;    // REG_MULTI_SZ
constexpr std::uint32_t RegistryTypeQword = 11;         // REG_QWORD

// Opens an existing key, e.g. L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SVDEn\\".
// A trailing backslash is allowed. Keys are never created.
bool OpenRegistryKey(const std::wstring& path, RegistryKey& key);
void CloseRegistryKey(RegistryKey key);
// Reads a value of any type; string data is UTF-16LE bytes as Windows stores it. Fails when the
// value is missing or holds more than maxBytes bytes.
bool QueryRegistryValue(RegistryKey key, const std::wstring& name, std::size_t maxBytes,
                        std::uint32_t& type, std::vector<std::uint8_t>& data);
bool SetRegistryValue(RegistryKey key, const std::wstring& name, std::uint32_t type,
                      const std::vector<std::uint8_t>& data);
// Deleting a value that does not exist fails with NotFound.
bool DeleteRegistryValue(RegistryKey key, const std::wstring& name);
// The name of the subkey at index (0, 1, 2 ...); false when there is none (or on any error).
bool EnumRegistrySubKey(RegistryKey key, std::uint32_t index, std::wstring& name);

// Conversions between the program's wide strings and the encodings of files and the registry.
// Portable: on Windows a wchar_t is a UTF-16 code unit, elsewhere a whole code point; both
// builds give the same bytes for the same text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Appends one code point to text (as a surrogate pair where wchar_t is 16 bits wide).
void AppendCodePoint(std::wstring& text, char32_t codePoint);

// UTF-8 bytes of text. An unpaired surrogate or a value outside Unicode becomes U+FFFD, as the
// Windows conversion (code page 65001) does.
std::string Utf8FromWide(const std::wstring& text);

// Decodes UTF-8 strictly; false (and text unspecified) when bytes are not valid UTF-8
// (overlong forms, surrogates and values above U+10FFFF are invalid).
bool WideFromUtf8(const char* bytes, std::size_t size, std::wstring& text);

// Decodes Windows-1252 (the ANSI code page of western Windows installations).
std::wstring WideFromWindows1252(const char* bytes, std::size_t size);

// Decodes UTF-16LE; stops at the first null character. An odd last byte is ignored.
std::wstring WideFromUtf16Le(const std::uint8_t* bytes, std::size_t size);

// UTF-16LE bytes of text, with the two-byte null terminator when withTerminator.
std::vector<std::uint8_t> Utf16LeFromWide(const std::wstring& text, bool withTerminator);

// Length of text in UTF-16 code units (what Windows counts in its 260-character buffers).
std::size_t Utf16Length(const std::wstring& text);

// The test a localised shortcut name must pass before a shortcut is renamed to it.
#pragma once

#include <string>

// True when name can stand as the base name of a file in the shortcut's own folder: it is not
// "." or "..", and holds no backslash, slash, colon (drive or stream), none of * ? " < > | and no
// control character (U+0000 to U+001F). The empty name is the caller's concern.
bool IsPlainFileName(const std::wstring& name);

#include "app/run_settings.h"

#include "platform/text.h"

RunSettings& Settings() {
    static RunSettings settings;
    return settings;
}

bool FitsPathBuffer(const std::wstring& text) { return Utf16Length(text) <= MaxPathChars; }

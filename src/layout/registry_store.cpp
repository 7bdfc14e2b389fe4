#include "layout/registry_store.h"

#include "app/run_settings.h"
#include "log/log_file.h"
#include "platform/platform.h"
#include "platform/text.h"

const wchar_t* const SvdenKeyPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SVDEn\\";

namespace {
// A value travels through a buffer of 260 characters: 520 bytes.
constexpr std::size_t ValueBufferBytes = 520;
} // namespace

std::wstring SlotKeyPath(int index) {
    std::wstring parent = index < FirstSquareSlot ? L"WideTiles\\" : L"SquareTiles\\";
    return std::wstring(SvdenKeyPath) + parent + SlotName(index);
}

std::wstring SlotValueName(int index) {
    return index < FirstSquareOrDesktopSlot ? L"AppId" : L"AppIdOrPath";
}

int ReadRegistryLayout(TileLayout& layout) {
    for (int index = 0; index < SlotCount; ++index) {
        RegistryKey key;
        if (!OpenRegistryKey(SlotKeyPath(index), key)) {
            continue;
        }
        std::uint32_t type = RegistryTypeNone;
        std::vector<std::uint8_t> data;
        // The value's type is not looked at: a value of any type is taken as text.
        if (QueryRegistryValue(key, SlotValueName(index), ValueBufferBytes, type, data)) {
            layout.slots[index] = WideFromUtf16Le(data.data(), data.size());
        }
        CloseRegistryKey(key);
    }
    return 1;
}

int WriteRegistryLayout(const TileLayout& layout) {
    int result = 1;
    for (int index = 0; index < SlotCount; ++index) {
        const std::wstring& text = layout.slots[index];
        RegistryKey key;
        if (!OpenRegistryKey(SlotKeyPath(index), key)) {
            result = 0;
            continue;
        }
        if (text.empty()) {
            // Whether the value existed or its deletion worked makes no difference.
            DeleteRegistryValue(key, SlotValueName(index));
        } else if (!FitsPathBuffer(text)) {
            // A text longer than the value buffer is refused rather than stored cut.
            result = 0;
        } else if (!SetRegistryValue(key, SlotValueName(index), RegistryTypeString,
                                     Utf16LeFromWide(text, true))) {
            result = 0;
        }
        CloseRegistryKey(key);
    }
    return result;
}

int ReadDefaultLayout(TileLayout& layout) {
    for (int index = 0; index < SlotCount; ++index) {
        layout.slots[index] = ReadProfileString(Settings().configFilePath, L"Default", SlotName(index));
    }
    return 1;
}

void RunHdiWriteMode() {
    LogFile log;
    LogMessage(log, L"");
    TileLayout layout;
    ReadDefaultLayout(layout);
    int written = WriteRegistryLayout(layout);
    LogMessage(log, written == 1 ? L"====== Dump Start Tiles Map ======"
                                 : L"====== Dump Start Tiles Map (WriteReturn FALSE) ======");
    DumpLayout(layout);
    LogMessage(log, L"");
    LogMessage(log, L"Program end.");
}

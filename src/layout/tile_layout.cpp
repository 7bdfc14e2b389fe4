#include "layout/tile_layout.h"

#include "log/log_file.h"

void ResetLayout(TileLayout& layout) {
    for (std::wstring& slot : layout.slots) {
        slot.clear();
    }
}

std::wstring SlotName(int index) {
    if (index < FirstSquareSlot) {
        return L"WideTile" + std::to_wstring(index - FirstWideSlot + 1);
    }
    if (index < FirstSquareOrDesktopSlot) {
        return L"SquareTile" + std::to_wstring(index - FirstSquareSlot + 1);
    }
    return L"SquareOrDesktopTile" + std::to_wstring(index - FirstSquareOrDesktopSlot + 1);
}

void DumpLayout(const TileLayout& layout) {
    LogFile log;
    for (int index = 0; index < SlotCount; ++index) {
        LogMessage(log, SlotName(index) + L" = " + layout.slots[index]);
    }
}

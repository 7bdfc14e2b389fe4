#include "app/default_mode.h"

#include "addons/catalogue.h"
#include "addons/placement.h"
#include "layout/registry_store.h"
#include "layout/tile_layout.h"
#include "layout/unattend_store.h"
#include "log/log_file.h"
#include "platform/platform.h"

int RunDefaultMode() {
    LogFile log;
    TileLayout layout; // the answer-file layout; after the merge, the merged layout
    TileLayout registryLayout;
    std::vector<TileInfo> addOnTiles;
    std::vector<TileInfo> protectedTiles;
    std::vector<std::wstring> regionList;

    // The answer file changes once, at the write: the reader keeps the file without its old
    // section as a staged copy, which the writer completes and puts in the answer file's place,
    // so that a run that fails or is killed before that leaves the answer file as it was.
    // An answer file that exists but could not be read without its old section must not receive
    // a second one: stop here, the registry untouched. A missing answer file goes on; the write
    // then fails as well.
    bool staged = ReadUnattendLayoutStaged(layout) == 1;
    if (!staged && PathExists(AnswerFilePath)) {
        LogMessage(log, L"Update unattend failed.");
        return 1;
    }
    ReadRegistryLayout(registryLayout);

    for (int index = 0; index < SlotCount; ++index) {
        if (layout.slots[index].empty() && !registryLayout.slots[index].empty()) {
            layout.slots[index] = registryLayout.slots[index];
        }
    }

    LogMessage(log, L"");
    LogMessage(log, L"====== Dump Start Tiles list before over-write ======");
    DumpLayout(layout);

    LogMessage(log, L"");
    LogMessage(log, L"====== Collect Add-on Tiles Info ======");
    CollectAddOnTiles(addOnTiles, protectedTiles, regionList);

    std::vector<RegionalOverride> overrides =
        BuildRegionalOverrides(layout, addOnTiles, protectedTiles, regionList);

    // Without a staged copy (no answer file) the plain write meets the missing file and fails.
    int written = staged ? WriteUnattendLayoutStaged(overrides) : WriteUnattendLayout(overrides);
    if (written == 1) {
        ResetLayout(registryLayout);
        WriteRegistryLayout(registryLayout);
        LogMessage(log, L"Update unattend succeeded.");
        return 0;
    }
    LogMessage(log, L"Update unattend failed.");
    return 1;
}

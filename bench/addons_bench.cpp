// Placement and balancing at factory scale: 500 add-on tiles naming 50 regions and more.
#include "bench_image.h"

#include "addons/balance.h"
#include "addons/catalogue.h"
#include "addons/placement.h"
#include "app/run_settings.h"
#include "layout/registry_store.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

struct Catalogue {
    std::vector<TileInfo> addOnTiles;
    std::vector<TileInfo> protectedTiles;
    std::vector<std::wstring> regionList;
    TileLayout merged; // the configuration's default layout: all 30 slots filled
};

// The lists of an image with this many tiles and regions, collected as a run collects them.
Catalogue CollectFrom(int tiles, int regions) {
    const std::string& folder = ImageFolder("--tiles " + std::to_string(tiles) + " --regions " +
                                            std::to_string(regions) + " --answer-lines 100");
    UseImage(folder);
    Catalogue catalogue;
    CollectAddOnTiles(catalogue.addOnTiles, catalogue.protectedTiles, catalogue.regionList);
    ReadDefaultLayout(catalogue.merged);
    std::remove((folder + "/Logs/Tilewright.log").c_str());
    return catalogue;
}

void BM_BalanceLayout(benchmark::State& state) {
    Catalogue catalogue = CollectFrom(static_cast<int>(state.range(0)), 50);
    const BalanceLists lists = ReadBalanceLists(Settings().configFilePath);
    // An odd number of square tiles and of square-or-desktop tiles: every step of balancing runs.
    catalogue.merged.slots[FirstSquareSlot + 11].clear();
    catalogue.merged.slots[FirstSquareOrDesktopSlot + 11].clear();
    for (auto _ : state) {
        TileLayout layout = catalogue.merged;
        BalanceLayout(layout, catalogue.addOnTiles, lists);
        benchmark::DoNotOptimize(layout);
    }
}
BENCHMARK(BM_BalanceLayout)->Arg(500)->Arg(1000)->Unit(benchmark::kMicrosecond);

// Arguments: tiles, regions.
void BM_BuildRegionalOverrides(benchmark::State& state) {
    Catalogue catalogue =
        CollectFrom(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        std::vector<RegionalOverride> overrides = BuildRegionalOverrides(
            catalogue.merged, catalogue.addOnTiles, catalogue.protectedTiles, catalogue.regionList);
        benchmark::DoNotOptimize(overrides);
    }
    state.counters["regions"] = static_cast<double>(catalogue.regionList.size());
}
BENCHMARK(BM_BuildRegionalOverrides)
    ->Args({250, 50})
    ->Args({500, 50})
    ->Args({1000, 50})
    ->Args({500, 25})
    ->Args({500, 100})
    ->Unit(benchmark::kMicrosecond);

// The catalogue of 500 description files, with its seven log lines per tile.
void BM_CollectAddOnTiles(benchmark::State& state) {
    const std::string& folder = ImageFolder("--tiles " + std::to_string(state.range(0)) +
                                            " --regions 50 --answer-lines 100");
    UseImage(folder);
    for (auto _ : state) {
        std::vector<TileInfo> addOnTiles;
        std::vector<TileInfo> protectedTiles;
        std::vector<std::wstring> regionList;
        CollectAddOnTiles(addOnTiles, protectedTiles, regionList);
        benchmark::DoNotOptimize(addOnTiles);
    }
    std::remove((folder + "/Logs/Tilewright.log").c_str());
}
BENCHMARK(BM_CollectAddOnTiles)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

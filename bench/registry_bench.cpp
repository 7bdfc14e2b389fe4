// The .reg stand-in of the registry at 10,000 keys and more: parsing, the MUTINAME walk, and the
// atomic rewrite of the file after each change.
#include "bench_image.h"

#include "layout/registry_store.h"
#include "platform/platform.h"
#include "platform/posix/registry_file.h"
#include "platform/text.h"
#include "shortcuts/muti_name.h"

#include <benchmark/benchmark.h>

namespace {

const std::string& RegistryImage(long keys) {
    return ImageFolder("--answer-lines 100 --registry-keys " + std::to_string(keys));
}

// Argument: keys below SVDEn.
void BM_ParseRegistryDocument(benchmark::State& state) {
    const std::string bytes = ReadWholeFile(RegistryImage(state.range(0)) + "/HKLM.reg");
    for (auto _ : state) {
        RegistryDocument document;
        benchmark::DoNotOptimize(ParseRegistryDocument(bytes, document));
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) *
                            static_cast<long long>(bytes.size()));
}
BENCHMARK(BM_ParseRegistryDocument)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);

void BM_FormatRegistryDocument(benchmark::State& state) {
    const std::string bytes = ReadWholeFile(RegistryImage(state.range(0)) + "/HKLM.reg");
    RegistryDocument document;
    ParseRegistryDocument(bytes, document);
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatRegistryDocument(document));
    }
}
BENCHMARK(BM_FormatRegistryDocument)->Arg(10000)->Unit(benchmark::kMillisecond);

// One whole walk of the tree below SVDEn that finds nothing to change (argument: keys).
void BM_RegistryWalk(benchmark::State& state) {
    UseImage(RegistryImage(state.range(0)));
    for (auto _ : state) {
        RenameRegistryPath(SvdenKeyPath, L"C:\\Nothing\\Here.lnk", L"C:\\Nothing\\There.lnk");
    }
}
BENCHMARK(BM_RegistryWalk)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

// One value changed in a registry of 10,000 keys: the file is rewritten atomically.
void BM_SetRegistryValue(benchmark::State& state) {
    UseImage(RegistryImage(state.range(0)));
    RegistryKey key;
    if (!OpenRegistryKey(SlotKeyPath(0), key)) {
        state.SkipWithError("no slot key");
        return;
    }
    const std::vector<std::uint8_t> values[2] = {Utf16LeFromWide(L"Factory.A_1!App", true),
                                                 Utf16LeFromWide(L"Factory.B_1!App", true)};
    int turn = 0;
    for (auto _ : state) {
        SetRegistryValue(key, L"AppId", RegistryTypeString, values[turn]);
        turn = 1 - turn;
    }
    CloseRegistryKey(key);
}
BENCHMARK(BM_SetRegistryValue)->Arg(32)->Arg(10000)->Unit(benchmark::kMillisecond);

// The 30 slot values set, then cleared as the default mode clears them.
void BM_WriteRegistryLayout_SetAndClear(benchmark::State& state) {
    UseImage(RegistryImage(state.range(0)));
    TileLayout filled;
    ReadDefaultLayout(filled);
    const TileLayout empty;
    for (auto _ : state) {
        WriteRegistryLayout(filled);
        WriteRegistryLayout(empty);
    }
}
BENCHMARK(BM_WriteRegistryLayout_SetAndClear)->Arg(32)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

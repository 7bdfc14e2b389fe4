// The answer-file passes: the reader's rewrite without the StartTiles section and the writer's
// rewrite with the new one (argument: lines of the answer file).
#include "bench_image.h"

#include "layout/tile_layout.h"
#include "layout/unattend_store.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

struct AnswerImage {
    std::string folder;
    std::string answerPath;
    std::string original;
};

AnswerImage UseAnswerImage(long lines) {
    AnswerImage image;
    image.folder = ImageFolder("--answer-lines " + std::to_string(lines));
    image.answerPath = image.folder + "/Windows/Panther/unattend.xml";
    image.original = ReadWholeFile(image.answerPath);
    UseImage(image.folder);
    return image;
}

void Restore(const AnswerImage& image) {
    WriteWholeFile(image.answerPath, image.original);
    std::remove((image.folder + "/Logs/Tilewright.log").c_str());
}

void BM_ReadUnattendLayout(benchmark::State& state) {
    AnswerImage image = UseAnswerImage(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Restore(image);
        state.ResumeTiming();
        TileLayout layout;
        benchmark::DoNotOptimize(ReadUnattendLayout(layout));
    }
    Restore(image);
}
BENCHMARK(BM_ReadUnattendLayout)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A base layout and 50 regional overrides, every slot filled.
void BM_WriteUnattendLayout(benchmark::State& state) {
    AnswerImage image = UseAnswerImage(state.range(0));
    std::vector<RegionalOverride> overrides(51);
    for (std::size_t n = 0; n < overrides.size(); ++n) {
        overrides[n].order = static_cast<std::int32_t>(n);
        overrides[n].regions.push_back(n == 0 ? L"ALL" : L"R" + std::to_wstring(n));
        for (int slot = 0; slot < SlotCount; ++slot) {
            overrides[n].layout.slots[slot] =
                L"Factory.StoreApp" + std::to_wstring(slot) + L"_8wekyb3d8bbwe!App";
        }
    }
    for (auto _ : state) {
        state.PauseTiming();
        Restore(image);
        state.ResumeTiming();
        benchmark::DoNotOptimize(WriteUnattendLayout(overrides));
    }
    Restore(image);
}
BENCHMARK(BM_WriteUnattendLayout)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

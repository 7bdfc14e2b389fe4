// The stand-in platform calls a run makes most often: profile reads, path resolution, the log
// writer's lines and the line reader.
#include "bench_image.h"

#include "app/run_settings.h"
#include "log/log_file.h"
#include "platform/line_reader.h"
#include "platform/platform.h"
#include "platform/posix/stand_in.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

const std::string& DefaultImage() {
    return ImageFolder("--answer-lines 10000");
}

// One key of a description file whose parsed form is kept: a stat() and a lookup.
void BM_ReadProfileString_HotCache(benchmark::State& state) {
    UseImage(DefaultImage());
    const std::wstring path = L"C:\\Tools\\Tiles\\tile0250.ini";
    ReadProfileString(path, L"TileInfo", L"Type");
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadProfileString(path, L"TileInfo", L"AppIdOrPath"));
    }
}
BENCHMARK(BM_ReadProfileString_HotCache);

// Every key of 500 description files, each file parsed once.
void BM_ReadProfileString_ColdFiles(benchmark::State& state) {
    UseImage(DefaultImage());
    for (auto _ : state) {
        state.PauseTiming();
        UseImage(DefaultImage()); // forgets the parsed files
        state.ResumeTiming();
        for (int n = 1; n <= 500; ++n) {
            wchar_t name[32];
            std::swprintf(name, 32, L"C:\\Tools\\Tiles\\tile%04d.ini", n);
            benchmark::DoNotOptimize(ReadProfileString(name, L"TileInfo", L"Type"));
        }
    }
}
BENCHMARK(BM_ReadProfileString_ColdFiles)->Unit(benchmark::kMillisecond);

void BM_HostPathOf_ExactSpelling(benchmark::State& state) {
    UseImage(DefaultImage());
    const std::wstring path = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\"
                              L"Factory\\Factory App 0100.lnk";
    for (auto _ : state) {
        benchmark::DoNotOptimize(HostPathOf(path));
    }
}
BENCHMARK(BM_HostPathOf_ExactSpelling);

// Components in other letter case are found by listing their folders (200 shortcuts in the last).
void BM_HostPathOf_OtherCase(benchmark::State& state) {
    UseImage(DefaultImage());
    const std::wstring path = L"C:\\programdata\\microsoft\\windows\\start menu\\programs\\"
                              L"factory\\factory app 0100.lnk";
    for (auto _ : state) {
        benchmark::DoNotOptimize(HostPathOf(path));
    }
}
BENCHMARK(BM_HostPathOf_OtherCase);

void BM_PathExists(benchmark::State& state) {
    UseImage(DefaultImage());
    for (auto _ : state) {
        benchmark::DoNotOptimize(PathExists(L"C:\\Tools\\Tilewright.ini"));
    }
}
BENCHMARK(BM_PathExists);

// One timestamped line of the run's log: opened, appended to and closed.
void BM_WriteLine_Message(benchmark::State& state) {
    UseImage(DefaultImage());
    LogFile log;
    for (auto _ : state) {
        LogMessage(log, L"  --- AppIdOrPath = Factory.StoreApp0250_8wekyb3d8bbwe!App");
    }
    std::remove((DefaultImage() + "/Logs/Tilewright.log").c_str());
}
BENCHMARK(BM_WriteLine_Message);

// Every line of the answer file (argument: its lines), decoded.
void BM_LineReader(benchmark::State& state) {
    UseImage(ImageFolder("--answer-lines " + std::to_string(state.range(0))));
    std::size_t bytes = 0;
    for (auto _ : state) {
        LineReader reader;
        OpenLineReader(reader, L"C:\\Windows\\Panther\\unattend.xml");
        std::wstring line;
        bytes = 0;
        while (ReadNextLine(reader, line) == LineStatus::Line) {
            bytes += line.size();
        }
        CloseLineReader(reader);
    }
    state.counters["chars"] = static_cast<double>(bytes);
}
BENCHMARK(BM_LineReader)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

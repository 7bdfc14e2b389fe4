// Text conversions and comparisons that every line of the answer file and of the log goes through.
#include "app/ignore_case.h"
#include "platform/text.h"

#include <benchmark/benchmark.h>

namespace {

// A typical line of a factory answer file, with text outside ASCII.
const std::wstring AnswerLine = L"\t\t\t\t\t<Description>Werksschritt 4711 \u2013 Vorbereitung der "
                                L"Gr\u00f6\u00dfe C:\\Factory\\Steps\\step04711.cmd</Description>";

void BM_Utf8FromWide(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(Utf8FromWide(AnswerLine));
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) *
                            static_cast<long long>(Utf8FromWide(AnswerLine).size()));
}
BENCHMARK(BM_Utf8FromWide);

void BM_WideFromUtf8(benchmark::State& state) {
    const std::string bytes = Utf8FromWide(AnswerLine);
    std::wstring text;
    for (auto _ : state) {
        benchmark::DoNotOptimize(WideFromUtf8(bytes.data(), bytes.size(), text));
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) *
                            static_cast<long long>(bytes.size()));
}
BENCHMARK(BM_WideFromUtf8);

// The answer-file writer looks for two markers in every line.
void BM_FindIgnoreCase(benchmark::State& state) {
    const std::wstring marker = L"component name=\"Microsoft-Windows-Shell-Setup\"";
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindIgnoreCase(AnswerLine, marker));
    }
}
BENCHMARK(BM_FindIgnoreCase);

void BM_EqualsIgnoreCase(benchmark::State& state) {
    const std::wstring a = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Factory\\"
                           L"Factory App 0001.lnk";
    const std::wstring b = ToAsciiUpper(a);
    for (auto _ : state) {
        benchmark::DoNotOptimize(EqualsIgnoreCase(a, b));
    }
}
BENCHMARK(BM_EqualsIgnoreCase);

} // namespace

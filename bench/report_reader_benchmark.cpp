// The report reader alone, on reports held in memory: what a run costs per
// report apart from the system's file operations.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "runtime/line_reader.h"
#include "summary/report_reader.h"
#include "summary/report_record.h"
#include "tests/report_builder.h"

namespace {

using quillmere::testing::BuildOlderReport;
using quillmere::testing::BuildReport;
using quillmere::testing::FixtureReport;
using quillmere::testing::FixtureSubstance;

std::string BenchReport(int substances, const std::string& lineEnd) {
  FixtureReport report;
  report.fillerLines = 225;
  report.lineEnd = lineEnd;
  for (int i = 1; i < substances; ++i)
    report.substances.push_back(FixtureSubstance{.name = "MET" + std::to_string(i)});
  return BuildReport(report);
}

// A report of the older layout of about the same 25 KB, a watercourse whose
// run ID gives the water body.
std::string OlderBenchReport() {
  quillmere::testing::OlderFixtureReport report;
  report.fillerLines = 205;
  report.runId = "00002d_wr";
  report.waterBody = "watercourse (ditch / small stream)";
  return BuildOlderReport(report);
}

void ReadReport(benchmark::State& state, const std::string& bytes) {
  quillmere::ReportReader reader;
  quillmere::ReportRecord record;
  for (auto _ : state) {
    quillmere::LineReader lines{std::string_view(bytes)};
    reader.Read(lines, record);
    benchmark::DoNotOptimize(record.substances.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_ReadOneSubstanceCrLf(benchmark::State& state) { ReadReport(state, BenchReport(1, "\r\n")); }
void BM_ReadTwoSubstancesCrLf(benchmark::State& state) { ReadReport(state, BenchReport(2, "\r\n")); }
void BM_ReadOneSubstanceLf(benchmark::State& state) { ReadReport(state, BenchReport(1, "\n")); }
void BM_ReadOneSubstanceCr(benchmark::State& state) { ReadReport(state, BenchReport(1, "\r")); }
void BM_ReadOlderLayoutLf(benchmark::State& state) { ReadReport(state, OlderBenchReport()); }

BENCHMARK(BM_ReadOneSubstanceCrLf);
BENCHMARK(BM_ReadTwoSubstancesCrLf);
BENCHMARK(BM_ReadOneSubstanceLf);
BENCHMARK(BM_ReadOneSubstanceCr);
BENCHMARK(BM_ReadOlderLayoutLf);

}  // namespace

BENCHMARK_MAIN();

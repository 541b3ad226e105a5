// The number path of the page: ten million floats as "%g" text, our
// formatter against snprintf on the same data in the same run. The ratio
// of the two and the time a number are printed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <vector>

#include "page/NumberFormat.h"

namespace {

constexpr std::size_t kCount = 10'000'000;

// Mesh-like data: coordinates, unit normals and texture coordinates.
const std::vector<float>& Values() {
  static const std::vector<float> values = [] {
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> coordinate(-1000.0f, 1000.0f);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::vector<float> v(kCount);
    for (std::size_t i = 0; i < kCount; ++i) v[i] = (i % 8 < 3) ? coordinate(random) : unit(random);
    return v;
  }();
  return values;
}

void BM_FormatNumberG(benchmark::State& state) {
  const auto& values = Values();
  char buffer[zem::kMaxNumberChars];
  std::size_t bytes = 0;
  for (auto _ : state) {
    for (float v : values) {
      char* end = zem::FormatNumberG(buffer, v);
      bytes += static_cast<std::size_t>(end - buffer);
      benchmark::DoNotOptimize(buffer);
    }
  }
  state.counters["bytes"] = static_cast<double>(bytes);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}

void BM_Snprintf(benchmark::State& state) {
  const auto& values = Values();
  char buffer[64];
  std::size_t bytes = 0;
  for (auto _ : state) {
    for (float v : values) {
      bytes += static_cast<std::size_t>(std::snprintf(buffer, sizeof(buffer), "%g", static_cast<double>(v)));
      benchmark::DoNotOptimize(buffer);
    }
  }
  state.counters["bytes"] = static_cast<double>(bytes);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}

}  // namespace

BENCHMARK(BM_Snprintf)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_FormatNumberG)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

// Prints the usual table, then the speed-up over snprintf in this run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
      if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median") continue;
      const bool theirs = run.run_name.function_name == "BM_Snprintf";
      (theirs ? m_snprintf : m_ours) = run.GetAdjustedRealTime();
      (theirs ? m_snprintfCpu : m_oursCpu) = run.GetAdjustedCPUTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (m_snprintf > 0 && m_ours > 0) {
      // The times are in milliseconds for all kCount numbers.
      const double perNumber = 1e6 / static_cast<double>(kCount);
      std::printf("\n\"%%g\" of %zu floats, medians of 3 in the same run (the machine may be shared):\n", kCount);
      std::printf("  ours %.1f ns a number (cpu %.1f ns), snprintf %.1f ns (cpu %.1f ns)\n", m_ours * perNumber,
                  m_oursCpu * perNumber, m_snprintf * perNumber, m_snprintfCpu * perNumber);
      std::printf("  %.2f times as fast as snprintf (cpu %.2f; target: at most 15 ns a number)\n", m_snprintf / m_ours,
                  m_snprintfCpu / m_oursCpu);
    }
  }

 private:
  double m_snprintf = 0, m_snprintfCpu = 0;
  double m_ours = 0, m_oursCpu = 0;
};

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

// Item store benchmark on Google Benchmark: every operation at 100, 1,000 and
// 10,000 items, then a table of the times and their scaling.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "bench/store_ops.h"

namespace {

std::map<std::pair<int, int>, double> g_times;  // (op, size index) -> seconds

void RunOp(benchmark::State& state, int op, int sizeIndex) {
  bench::StoreFixture fixture(bench::StoreSizes()[sizeIndex]);
  int iteration = 0;
  double total = 0;
  for (auto _ : state) {
    const double t = bench::StoreOps()[op].run(fixture, iteration++);
    total += t;
    state.SetIterationTime(t);
  }
  g_times[{op, sizeIndex}] = iteration > 0 ? total / iteration : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const auto& ops = bench::StoreOps();
  for (int op = 0; op < static_cast<int>(ops.size()); ++op) {
    for (int s = 0; s < static_cast<int>(bench::StoreSizes().size()); ++s) {
      const std::string name =
          std::string(ops[op].name) + "/" + std::to_string(bench::StoreSizes()[s]);
      auto* b = benchmark::RegisterBenchmark(name.c_str(),
                                             [op, s](benchmark::State& st) { RunOp(st, op, s); });
      b->UseManualTime()->Unit(benchmark::kMicrosecond);
      // Removing from 10,000 items rewrites 9 MB each time: keep it short.
      if (ops[op].run != nullptr && std::string(ops[op].name).rfind("Remove", 0) == 0)
        b->Iterations(20);
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  std::vector<std::vector<double>> table(ops.size(),
                                         std::vector<double>(bench::StoreSizes().size()));
  for (const auto& [key, t] : g_times) table[key.first][key.second] = t;
  bench::PrintStoreTable(table);
  benchmark::Shutdown();
  return 0;
}

// Item store benchmark without a framework, for the Windows build that runs
// under Wine: the same operations and table as the Google Benchmark program.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/store_ops.h"

int main() {
  const auto& ops = bench::StoreOps();
  const auto& sizes = bench::StoreSizes();
  std::vector<std::vector<double>> table(ops.size(), std::vector<double>(sizes.size()));
  for (std::size_t s = 0; s < sizes.size(); ++s) {
    bench::StoreFixture fixture(sizes[s]);
    for (std::size_t op = 0; op < ops.size(); ++op) {
      // The median of a fixed number of runs; fewer for the operations that
      // rewrite the whole file.
      const bool heavy = op == 4 || op == 0;
      const bool load = op == 5;
      const int runs = heavy ? 15 : load ? 31 : 200;
      std::vector<double> t(runs);
      for (int i = 0; i < runs; ++i) t[i] = ops[op].run(fixture, i);
      std::nth_element(t.begin(), t.begin() + runs / 2, t.end());
      table[op][s] = t[runs / 2];
    }
  }
  bench::PrintStoreTable(table);
  return 0;
}

// The item store operations the benchmarks time, shared by the Google
// Benchmark program and the plain timing program that runs under Wine.
#pragma once

#include <memory>
#include <string>
#include <vector>

class ItemStore;
class ScopedTempDir;

namespace bench {

// An item store of `count` items in a temporary folder of its own.
class StoreFixture {
 public:
  explicit StoreFixture(int count);
  ~StoreFixture();
  ItemStore& Store() { return *store_; }
  int Count() const { return count_; }

 private:
  std::unique_ptr<ScopedTempDir> dir_;
  std::unique_ptr<ItemStore> store_;
  int count_;
};

struct StoreOp {
  const char* name;
  // Runs the operation once and returns the seconds it took; set-up and
  // clean-up around it are not counted.
  double (*run)(StoreFixture& fixture, int iteration);
};

const std::vector<StoreOp>& StoreOps();
const std::vector<int>& StoreSizes();

// Prints the per-operation table and the ratio of the largest to the smallest
// size for each operation. times[op][size] in seconds.
void PrintStoreTable(const std::vector<std::vector<double>>& times);

}  // namespace bench

#include "bench/store_ops.h"

#include <chrono>
#include <cstdio>
#include <string>

#include "items/item_store.h"
#include "tests/support/scoped_temp_dir.h"

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

const char kTarget[] = "C:\\Program Files\\Tools\\editor.exe";
const char kWorkDir[] = "C:\\Program Files\\Tools";

// Keys lie on a grid of 64 columns; new keys start past the last one.
int KeyOf(int i) {
  return (i / 64) * 128 + i % 64;
}
int NewKey(int iteration) {
  return 0x100000 + iteration;
}

double PutNew(StoreFixture& f, int iteration) {
  const auto start = Clock::now();
  f.Store().Put(NewKey(iteration), 0, "new item", kTarget, kWorkDir, kTarget);
  const double t = Since(start);
  f.Store().Remove(NewKey(iteration));
  return t;
}

double PutExisting(StoreFixture& f, int iteration) {
  const int key = KeyOf((iteration * 7919) % f.Count());
  const auto start = Clock::now();
  f.Store().Put(key, 1, "renamed item", kTarget, kWorkDir, kTarget);
  return Since(start);
}

double FindLast(StoreFixture& f, int) {
  int index = 0;
  const auto start = Clock::now();
  const int found = f.Store().FindKey(KeyOf(f.Count() - 1), &index);
  const double t = Since(start);
  if (!found) std::fprintf(stderr, "FindKey missed\n");
  return t;
}

double Swap(StoreFixture& f, int) {
  const auto start = Clock::now();
  f.Store().SwapKeys(KeyOf(0), KeyOf(f.Count() - 1));
  return Since(start);
}

double RemoveMiddle(StoreFixture& f, int) {
  const int key = KeyOf(f.Count() / 2);
  int index = 0;
  if (!f.Store().FindKey(key, &index)) return 0;
  const auto start = Clock::now();
  f.Store().Remove(key);
  const double t = Since(start);
  f.Store().Put(key, 0, "item", kTarget, kWorkDir, kTarget);
  return t;
}

double Load(StoreFixture& f, int) {
  const auto start = Clock::now();
  f.Store().Load();
  return Since(start);
}

}  // namespace

StoreFixture::StoreFixture(int count)
    : dir_(new ScopedTempDir), store_(new ItemStore), count_(count) {
  for (int i = 0; i < count; ++i) {
    store_->Put(KeyOf(i), i % 5, ("item " + std::to_string(i)).c_str(), kTarget, kWorkDir, kTarget);
  }
}

StoreFixture::~StoreFixture() {
  store_.reset();
  dir_.reset();
}

const std::vector<StoreOp>& StoreOps() {
  static const std::vector<StoreOp> ops = {
      {"Put (new key)", PutNew}, {"Put (existing key)", PutExisting}, {"FindKey (last)", FindLast},
      {"SwapKeys", Swap},        {"Remove (middle)", RemoveMiddle},   {"Load", Load},
  };
  return ops;
}

const std::vector<int>& StoreSizes() {
  static const std::vector<int> sizes = {100, 1000, 10000};
  return sizes;
}

void PrintStoreTable(const std::vector<std::vector<double>>& times) {
  const auto& sizes = StoreSizes();
  std::printf("\n%-20s", "item store");
  for (int n : sizes) std::printf("%14d", n);
  std::printf("%12s%12s\n", "10000/100", "10000/1000");
  for (std::size_t op = 0; op < StoreOps().size(); ++op) {
    std::printf("%-20s", StoreOps()[op].name);
    for (std::size_t s = 0; s < sizes.size(); ++s) std::printf("%11.1f us", times[op][s] * 1e6);
    const double ratio = times[op].front() > 0 ? times[op].back() / times[op].front() : 0;
    const double ratio10 = times[op][1] > 0 ? times[op].back() / times[op][1] : 0;
    std::printf("%11.1fx%11.1fx", ratio, ratio10);
    if (std::string(StoreOps()[op].name) == "Load") {
      std::printf("  (goal 10000/1000 <= 12: %s)", ratio10 <= 12 ? "met" : "NOT met");
    }
    std::printf("\n");
  }
}

}  // namespace bench

#include "items/ptr_array.h"

#include <cstdlib>
#include <cstring>

namespace {

void** AllocateSlots(int n) {
  return static_cast<void**>(std::malloc(static_cast<std::size_t>(n) * sizeof(void*)));
}

void FillNull(void** from, int n) {
  for (int i = 0; i < n; ++i) from[i] = nullptr;
}

}  // namespace

PtrArray::~PtrArray() {
  std::free(slots);
}

int PtrArray::GrowthStep() const {
  if (growStep != 0) return growStep;
  int step = count / 8;
  if (step < 4) step = 4;
  if (step > 1024) step = 1024;
  return step;
}

int PtrArray::Resize(int newCount, int newGrowStep) {
  if (newGrowStep != -1) growStep = newGrowStep;
  if (newCount < 0) return 1;
  if (newCount == 0) {
    std::free(slots);
    slots = nullptr;
    count = capacity = 0;
    return 0;
  }
  if (slots == nullptr) {
    void** block = AllocateSlots(newCount);
    if (block == nullptr) return 1;
    FillNull(block, newCount);
    slots = block;
    count = capacity = newCount;
    return 0;
  }
  if (newCount <= capacity) {
    if (newCount > count) FillNull(slots + count, newCount - count);
    count = newCount;
    return 0;
  }
  const int step = GrowthStep();
  // Compared as a difference so that a capacity near INT_MAX cannot overflow.
  const int newCapacity = (newCount - capacity < step) ? capacity + step : newCount;
  void** block = AllocateSlots(newCapacity);
  if (block == nullptr) return 1;
  if (count > 0) std::memcpy(block, slots, static_cast<std::size_t>(count) * sizeof(void*));
  FillNull(block + count, newCount - count);
  std::free(slots);
  slots = block;
  count = newCount;
  capacity = newCapacity;
  return 0;
}

void* PtrArray::SlotAt(int index) const {
  if (index < 0 || index >= count) return nullptr;
  return slots[index];
}

int PtrArray::StoreAt(int index, void* value) {
  if (index < 0) return 1;
  if (index >= count) {
    if (index == 0x7fffffff || Resize(index + 1, -1) != 0) return 1;
  }
  slots[index] = value;
  return 0;
}

void PtrArray::EraseAt(int index) {
  if (index < 0 || index >= count) return;
  if (count == 1) {
    Resize(0, -1);
    return;
  }
  std::memmove(slots + index, slots + index + 1,
               static_cast<std::size_t>(count - index - 1) * sizeof(void*));
  --count;
}

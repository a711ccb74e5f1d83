// A growable, contiguous array of untyped pointers.
//
// The array never owns what its slots point to. Only allocation can fail:
// Resize, StoreAt and Append then return 1 and leave the array as it was.
#pragma once

class PtrArray {
 public:
  PtrArray() = default;
  ~PtrArray();
  PtrArray(const PtrArray&) = delete;
  PtrArray& operator=(const PtrArray&) = delete;

  // 0 on success, 1 when a block of slots cannot be allocated. A grow step of
  // -1 keeps the current one; 0 selects the growth rule.
  int Resize(int newCount, int newGrowStep);
  void* SlotAt(int index) const;
  int StoreAt(int index, void* value);
  int Append(void* value) { return StoreAt(count, value); }
  void EraseAt(int index);
  void Clear() { Resize(0, -1); }

  int Count() const { return count; }
  int Capacity() const { return capacity; }
  bool HoldsBlock() const { return slots != nullptr; }

 private:
  int GrowthStep() const;

  void** slots = nullptr;
  int count = 0;
  int capacity = 0;
  int growStep = 0;
};

#include "items/item_record.h"

#include <cstring>

namespace {

void PutLe(std::uint8_t* at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetLe(const std::uint8_t* at, int bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= static_cast<std::uint32_t>(at[i]) << (8 * i);
  return value;
}

}  // namespace

void EncodeItemRecord(const ItemRecord& record, std::uint8_t out[kItemRecordSize]) {
  std::memcpy(out, &record, kItemRecordSize);
  PutLe(out + offsetof(ItemRecord, key), static_cast<std::uint32_t>(record.key), 4);
  PutLe(out + offsetof(ItemRecord, iconIndex), record.iconIndex, 2);
}

void DecodeItemRecord(const std::uint8_t in[kItemRecordSize], ItemRecord* record) {
  std::memcpy(record, in, kItemRecordSize);
  record->key = static_cast<std::int32_t>(GetLe(in + offsetof(ItemRecord, key), 4));
  record->iconIndex = static_cast<std::uint16_t>(GetLe(in + offsetof(ItemRecord, iconIndex), 2));
}

// One launcher item: identical in memory and in the item file, 920 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kTitleSize = 128;
constexpr int kPathSize = 260;
constexpr std::size_t kItemRecordSize = 920;

struct ItemRecord {
  std::uint8_t unused0[4];  // never read
  std::int32_t key;         // CellKey of the item's cell
  std::uint16_t iconIndex;  // index of the icon inside iconFile
  char title[kTitleSize];   // display title, zero-terminated
  char target[kPathSize];   // what a launch opens
  char workDir[kPathSize];  // working folder of the launch
  char iconFile[kPathSize];
  std::uint8_t unused918[2];
};

static_assert(sizeof(ItemRecord) == kItemRecordSize, "item records are 920 bytes");
static_assert(offsetof(ItemRecord, key) == 4, "key at 4");
static_assert(offsetof(ItemRecord, iconIndex) == 8, "iconIndex at 8");
static_assert(offsetof(ItemRecord, title) == 10, "title at 10");
static_assert(offsetof(ItemRecord, target) == 138, "target at 138");
static_assert(offsetof(ItemRecord, workDir) == 398, "workDir at 398");
static_assert(offsetof(ItemRecord, iconFile) == 658, "iconFile at 658");
static_assert(offsetof(ItemRecord, unused918) == 918, "padding at 918");

// The on-disk bytes of a record: the fields verbatim, integers little-endian
// whatever the host's byte order.
void EncodeItemRecord(const ItemRecord& record, std::uint8_t out[kItemRecordSize]);
void DecodeItemRecord(const std::uint8_t in[kItemRecordSize], ItemRecord* record);

#include "items/item_store.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/cp932.h"
#include "platform/file.h"

namespace {

const char kItemFileName[] = "NuboInfo.Dat";
const char kTempFileName[] = "NuboInfo.tmp";

// Copies a zero-terminated string of at most `fieldSize` - 1 bytes, reading no
// further than its terminator, and clears the rest of the field.
void CopyField(char* field, std::size_t fieldSize, const char* text) {
  std::size_t n = 0;
  while (n + 1 < fieldSize && text[n] != '\0') ++n;
  std::memcpy(field, text, n);
  std::memset(field + n, 0, fieldSize - n);
}

// Copies a record's string field out into a 260-byte caller buffer.
void CopyOut(char* out, const char* field, std::size_t fieldSize) {
  std::size_t n = 0;
  while (n + 1 < fieldSize && field[n] != '\0') ++n;
  std::memcpy(out, field, n);
  out[n] = '\0';
}

ItemRecord* NewRecord() {
  void* block = std::malloc(sizeof(ItemRecord));
  if (block != nullptr) std::memset(block, 0, sizeof(ItemRecord));
  return static_cast<ItemRecord*>(block);
}

std::uint64_t OffsetOf(int index) {
  return static_cast<std::uint64_t>(index) * kItemRecordSize;
}

// The temporary file beside the item file: the same path with another name.
bool TempPathFor(const char* itemFilePath, char* out, std::size_t size) {
  const std::size_t len = std::strlen(itemFilePath);
  const std::size_t nameLen = sizeof kItemFileName - 1;
  if (len < nameLen || len + 1 > size) return false;
  std::memcpy(out, itemFilePath, len - nameLen);
  std::memcpy(out + len - nameLen, kTempFileName, nameLen + 1);
  return true;
}

}  // namespace

ItemStore::ItemStore() {
  itemFilePath[0] = '\0';
  char dir[kPathSize];
  const std::size_t len = platform::CurrentDirectory(dir, sizeof dir);
  if (len == 0 || len >= sizeof dir) return;
  platform::JoinPath(dir, kItemFileName, itemFilePath, sizeof itemFilePath);
}

ItemStore::~ItemStore() {
  FreeAll();
}

void ItemStore::FreeAll() {
  DropFrom(0);
}

int ItemStore::RecordCount() const {
  platform::File file;
  std::uint64_t size = 0;
  if (!file.Open(itemFilePath, platform::OpenMode::ReadExisting) || !file.Size(&size)) return 0;
  return static_cast<int>(size / kItemRecordSize);
}

int ItemStore::ReadRecord(int index, ItemRecord* record) const {
  platform::File file;
  if (index < 0 || !file.Open(itemFilePath, platform::OpenMode::ReadOrCreate)) return 0;
  std::uint8_t bytes[kItemRecordSize];
  if (file.ReadAt(OffsetOf(index), bytes, sizeof bytes) != sizeof bytes) return 0;
  DecodeItemRecord(bytes, record);
  return 1;
}

int ItemStore::WriteRecord(int index, const ItemRecord& record) const {
  platform::File file;
  std::uint64_t size = 0;
  if (index < 0 || !file.Open(itemFilePath, platform::OpenMode::WriteOrCreate) ||
      !file.Size(&size)) {
    return 0;
  }
  std::uint8_t bytes[kItemRecordSize];
  EncodeItemRecord(record, bytes);
  // A network drive may tell only at the close that the record did not fit.
  if (file.WriteAt(OffsetOf(index), bytes, sizeof bytes) == sizeof bytes)
    return file.Close() ? 1 : 0;
  // A record that got only partly past the old end is taken back, so that the
  // file keeps the length it had.
  if (OffsetOf(index) + kItemRecordSize > size) file.Truncate(size);
  return 0;
}

void ItemStore::Load() {
  // One open for the whole file, read in blocks of records. A record that
  // cannot be read ends the load, so that the records kept stay at the indices
  // they have in the file.
  //
  // The blocks of the records already in memory are reused: freeing thousands
  // of them and allocating them again lets the heap hand its pages back to the
  // system and fault them in anew, which cost far more than the reading and
  // grew faster than the count.
  platform::File file;
  std::uint64_t size = 0;
  if (!file.Open(itemFilePath, platform::OpenMode::ReadExisting) || !file.Size(&size)) {
    if (!platform::PathExists(itemFilePath)) {
      FreeAll();
      holdsWholeFile_ = loaded_ = true;
      return;
    }
    // A file that is there but cannot be read (held by another program) keeps
    // the records memory read from it, which every change since went to both.
    // Memory that never read a record of it lacks what it holds.
    holdsWholeFile_ = holdsWholeFile_ && loaded_ && items.Count() > 0;
    return;
  }
  const int n = static_cast<int>(std::min<std::uint64_t>(size / kItemRecordSize, 0x7fffffff));
  // Room for every record at once; without it the array grows as it goes.
  if (n > items.Count()) items.Resize(n, -1);
  int kept = 0;
  constexpr int kBlock = 64;
  struct Buffer {
    std::uint8_t* data = static_cast<std::uint8_t*>(std::malloc(kBlock * kItemRecordSize));
    ~Buffer() { std::free(data); }
  } bytes;
  bool more = bytes.data != nullptr;
  for (int first = 0; more && first < n; first += kBlock) {
    const int want = std::min(kBlock, n - first);
    const int got = static_cast<int>(
        file.ReadAt(OffsetOf(first), bytes.data, want * kItemRecordSize) / kItemRecordSize);
    for (int i = 0; more && i < got; ++i) {
      ItemRecord* record = At(kept);
      if (record == nullptr) record = NewRecord();
      more = record != nullptr && items.StoreAt(kept, record) == 0;
      if (!more) {
        std::free(record);
        break;
      }
      DecodeItemRecord(bytes.data + i * kItemRecordSize, record);
      ++kept;
    }
    more = more && got == want;
  }
  DropFrom(kept);
  holdsWholeFile_ = kept == n;
  loaded_ = true;
}

// Frees the records from `first` on and shortens the array to `first`.
void ItemStore::DropFrom(int first) {
  for (int i = first; i < items.Count(); ++i) std::free(items.SlotAt(i));
  items.Resize(first, -1);
}

const ItemRecord* ItemStore::RecordAt(int index) const {
  return At(index);
}

int ItemStore::FindKey(std::int32_t key, int* index) const {
  for (int i = 0; i < items.Count(); ++i) {
    if (At(i)->key == key) {
      *index = i;
      return 1;
    }
  }
  return 0;
}

int ItemStore::HasKey(std::int32_t key) const {
  int index;
  return FindKey(key, &index);
}

int ItemStore::HasTarget(const char* path) const {
  for (int i = 0; i < items.Count(); ++i) {
    if (std::strncmp(At(i)->target, path, kPathSize) == 0) return 1;
  }
  return 0;
}

int ItemStore::GetFields(std::int32_t key, int* iconIndex, char* title, char* target, char* workDir,
                         char* iconFile) const {
  int index;
  if (!FindKey(key, &index)) return 0;
  const ItemRecord* r = At(index);
  *iconIndex = r->iconIndex;
  CopyOut(title, r->title, sizeof r->title);
  CopyOut(target, r->target, sizeof r->target);
  CopyOut(workDir, r->workDir, sizeof r->workDir);
  CopyOut(iconFile, r->iconFile, sizeof r->iconFile);
  return 1;
}

int ItemStore::GetTitle(std::int32_t key, char* title) const {
  int index;
  if (!FindKey(key, &index)) return 0;
  CopyOut(title, At(index)->title, sizeof At(index)->title);
  return 1;
}

int ItemStore::GetIconByKey(std::int32_t key, char* iconFile, int* iconIndex) const {
  int index;
  return FindKey(key, &index) ? GetIconAt(index, iconFile, iconIndex) : 0;
}

int ItemStore::GetIconAt(int index, char* iconFile, int* iconIndex) const {
  const ItemRecord* r = At(index);
  if (r == nullptr) return 0;
  CopyOut(iconFile, r->iconFile, sizeof r->iconFile);
  *iconIndex = r->iconIndex;
  return 1;
}

int ItemStore::KeyAt(int index, std::int32_t* key) const {
  const ItemRecord* r = At(index);
  if (r == nullptr) return 0;
  *key = r->key;
  return 1;
}

int ItemStore::SwapKeys(std::int32_t a, std::int32_t b) {
  int ia, ib;
  if (!holdsWholeFile_ || !FindKey(a, &ia) || !FindKey(b, &ib)) return 0;
  // Both records change in one step: two separate writes, cut apart by a
  // crash, would leave both items on one cell. When the file cannot be
  // replaced, nothing changes.
  At(ia)->key = b;
  At(ib)->key = a;
  if (RewriteWithout(-1)) return 1;
  At(ia)->key = a;
  At(ib)->key = b;
  return 0;
}

int ItemStore::MoveKey(std::int32_t key, std::int32_t newKey) {
  int index;
  if (!holdsWholeFile_ || !FindKey(key, &index)) return 0;
  At(index)->key = newKey;
  if (WriteRecord(index, *At(index))) return 1;
  At(index)->key = key;
  return 0;
}

int ItemStore::Put(std::int32_t key, int iconIndex, const char* title, const char* target,
                   const char* workDir, const char* iconFile) {
  if (!holdsWholeFile_) return 0;
  int index = 0;
  ItemRecord* record = nullptr;
  const bool added = FindKey(key, &index) == 0;
  if (added) {
    // A record that memory has no room for is not written either: the file
    // holds what memory holds, and the next append takes the same place.
    index = items.Count();
    record = NewRecord();
    if (record == nullptr || items.Append(record) != 0) {
      std::free(record);
      return 0;
    }
  } else {
    record = At(index);
  }
  const ItemRecord before = *record;
  record->key = key;
  record->iconIndex = static_cast<std::uint16_t>(iconIndex);
  char cut[kTitleSize];
  platform::Cp932CopyCut(cut, title, kTitleSize - 1);
  CopyField(record->title, sizeof record->title, cut);
  CopyField(record->target, sizeof record->target, target);
  CopyField(record->workDir, sizeof record->workDir, workDir);
  CopyField(record->iconFile, sizeof record->iconFile, iconFile);
  if (WriteRecord(index, *record)) return 1;
  if (added) {
    items.EraseAt(index);
    std::free(record);
  } else {
    *record = before;
  }
  return 0;
}

// Writes every record but `skipIndex` to the temporary file and puts it in
// place of the item file in one step. The old file stays whole on failure.
int ItemStore::RewriteWithout(int skipIndex) const {
  char tempPath[kPathSize];
  if (!TempPathFor(itemFilePath, tempPath, sizeof tempPath)) return 0;
  platform::File file;
  if (!file.Open(tempPath, platform::OpenMode::CreateEmpty)) return 0;
  bool ok = true;
  int at = 0;
  std::uint8_t bytes[kItemRecordSize];
  for (int i = 0; ok && i < items.Count(); ++i) {
    if (i == skipIndex) continue;
    EncodeItemRecord(*At(i), bytes);
    ok = file.WriteAt(OffsetOf(at++), bytes, sizeof bytes) == sizeof bytes;
  }
  ok = ok && file.Flush();
  ok = file.Close() && ok;
  if (ok && platform::ReplaceFileAtomically(tempPath, itemFilePath)) return 1;
  platform::RemoveFile(tempPath);
  return 0;
}

int ItemStore::Remove(std::int32_t key) {
  int index;
  if (!holdsWholeFile_ || !FindKey(key, &index)) return 0;
  if (items.Count() == 1) {
    // The last item: no item file remains. The file is asked for afterwards:
    // under Wine a delete that the file system refuses can report success.
    platform::RemoveFile(itemFilePath);
    if (platform::PathExists(itemFilePath)) return 0;
  } else if (!RewriteWithout(index)) {
    return 0;
  }
  std::free(At(index));
  items.EraseAt(index);
  return 1;
}

// The icon image list. Building it makes room for every record's image at
// once, each a placeholder until its icon is there, so that image i belongs to record i from the
// start; the icons themselves are extracted afterwards, a few milliseconds' worth at a time from a
// timer of the main window, so that the message loop runs and input and painting wait at most one
// batch. Records that name the same icon share one extraction. Item changes touch one image each.
#include <chrono>
#include <cstring>
#include <vector>

#include "panel/launcher_panel.h"

#include <shellapi.h>

#include "platform/wide_names.h"

namespace {

// How long one batch of extractions may run before the queue is looked at.
constexpr double kBatchMilliseconds = 4.0;
// A fully transparent icon for records whose icon cannot be obtained.
HICON CreateTransparentIcon(int size) {
  // Monochrome masks, rows padded to 16 bits; cells are at most 168 pixels.
  static BYTE andMask[22 * 168];
  static BYTE xorMask[22 * 168];
  if (size < 1 || size > 168) return nullptr;
  std::memset(andMask, 0xFF, sizeof andMask);
  std::memset(xorMask, 0x00, sizeof xorMask);
  return CreateIcon(nullptr, size, size, 1, 1, andMask, xorMask);
}

// Set while an extraction runs: one that lets a message in must not start
// another.
struct Busy {
  bool& flag;
  explicit Busy(bool& f) : flag(f) { flag = true; }
  ~Busy() { flag = false; }
};

// Puts icons into the image list for FillImage.
struct ListSink {
  HIMAGELIST list;
  HINSTANCE instance;
  HICON blank;
  const icons::IconSlots& slots;
  void Extract(int image, const icons::Source& source) {
    // The call may rewrite its copies of the file name and index.
    wchar_t file[MAX_PATH];
    platform::WideOf(source.file.c_str(), file, MAX_PATH);
    WORD index = static_cast<WORD>(source.index);
    const unsigned generation = slots.Generation();
    platform::OwnedIcon icon(ExtractAssociatedIconW(instance, file, &index));
    // A command let in meanwhile may have made a new list or moved the images.
    if (slots.Generation() != generation) return;
    ImageList_ReplaceIcon(list, image, icon ? icon.get() : blank);
  }
  void Copy(int from, int to) { ImageList_Copy(list, to, list, from, ILCF_MOVE); }
};

}  // namespace

icons::Source LauncherPanel::RecordSource(int index) const {
  icons::Source source;
  char file[260];
  int iconIndex = 0;
  if (items.GetIconAt(index, file, &iconIndex)) {
    source.file = file;
    source.index = iconIndex & 0xFFFF;
  }
  return source;
}

// The image list and the common controls behind it (loaded at their first
// call) wait until the message loop runs: the program answers first. Until
// then nothing has an image, so every item change and paint leaves icons to
// the list, which is made from the records as they are by then.
void LauncherPanel::StartImageList() {
  items.Load();
  listDeferred_ = true;
  if (!iconTimer_ && window != nullptr) {
    iconTimer_ = SetTimer(window, kIconTimerId, USER_TIMER_MINIMUM, nullptr) != 0;
  }
  if (!iconTimer_) MakeImageList();
}

void LauncherPanel::RebuildImageList() {
  items.Load();
  MakeImageList();
}

// A new list for the records held now. Every image starts over as a
// placeholder, so that no cell shows the icon of a record that held its place
// before.
void LauncherPanel::MakeImageList() {
  listDeferred_ = false;
  InitCommonControls();
  const int iconSize = CellSize() - 8;
  std::vector<icons::Source> sources;
  sources.reserve(static_cast<std::size_t>(items.ItemCount()));
  for (int i = 0; i < items.ItemCount(); ++i) sources.push_back(RecordSource(i));
  DestroyImageList();
  LookChanged();
  const int count = items.ItemCount();
  // Room for every record from the start, and for a good many drops after.
  ImageList.reset(ImageList_Create(iconSize, iconSize, ILC_COLOR24 | ILC_MASK, count + 16, 64));
  blankIcon_.reset(CreateTransparentIcon(iconSize));
  // The placeholders: images whose pixels nobody has written yet, so that no
  // memory is touched for them. Painting leaves a waiting image out
  // (IconReady), so a placeholder shows as an empty cell.
  ImageList_SetImageCount(ImageList.get(), static_cast<UINT>(count));
  if (ImageList_GetImageCount(ImageList.get()) != count) {
    ImageList_Remove(ImageList.get(), -1);
    for (int i = 0; i < count; ++i) ImageList_ReplaceIcon(ImageList.get(), -1, blankIcon_.get());
  }
  iconSlots_.Reset(std::move(sources));
  ScheduleIcons();
}

void LauncherPanel::DestroyImageList() {
  StopIcons();
  iconSlots_.Clear();
  if (!ImageList) return;
  LookChanged();
  ImageList_Remove(ImageList.get(), -1);
  ImageList.reset();
}

// The image waits for its icon like the images of a new list, so that a
// command the extraction lets in leaves it waiting wherever it has moved to,
// for the batches to fill.
void LauncherPanel::AppendItemIcon() {
  const int index = items.ItemCount() - 1;
  if (!ImageList || index < 0 || index != iconSlots_.Count()) return;
  ImageList_ReplaceIcon(ImageList.get(), -1, blankIcon_.get());
  iconSlots_.Append(RecordSource(index), false);
  FillNow(index);
}

void LauncherPanel::ReplaceItemIcon(int index) {
  if (!ImageList || index < 0 || index >= iconSlots_.Count()) return;
  iconSlots_.Replace(index, RecordSource(index), false);
  FillNow(index);
}

// Image `index`'s icon, now; false when a command let in by the extraction
// changed the records, or when this runs inside another extraction: the
// icons still waiting are then left to the batches.
bool LauncherPanel::FillNow(int index) {
  if (!filling_) {
    Busy busy(filling_);
    ListSink sink{ImageList.get(), instance, blankIcon_.get(), iconSlots_};
    if (icons::FillImage(iconSlots_, sink, index)) return true;
  }
  ScheduleIcons();
  return false;
}

void LauncherPanel::RemoveItemIcon(int index) {
  if (!ImageList || index < 0 || index >= iconSlots_.Count()) return;
  ImageList_Remove(ImageList.get(), index);
  iconSlots_.Erase(index);
  if (iconSlots_.PendingCount() == 0) StopIcons();
}

void LauncherPanel::ScheduleIcons() {
  if (iconSlots_.PendingCount() == 0) return;
  if (window == nullptr) {
    // No window, no timer: everything now.
    FinishIcons();
    return;
  }
  if (!iconTimer_) iconTimer_ = SetTimer(window, kIconTimerId, USER_TIMER_MINIMUM, nullptr) != 0;
  if (!iconTimer_) FinishIcons();
}

void LauncherPanel::StopIcons() {
  if (iconTimer_ && window != nullptr) KillTimer(window, kIconTimerId);
  iconTimer_ = false;
}

int LauncherPanel::FillIcons(double milliseconds) {
  // An extraction that let a message in must not start another one.
  if (filling_) return 0;
  Busy busy(filling_);
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  ListSink sink{ImageList.get(), instance, blankIcon_.get(), iconSlots_};
  int filled = 0;
  do {
    const int image = iconSlots_.NextPending();
    // A command let in by the extraction that changed the records ends the
    // batch; the next one starts from the records as they are then.
    if (image < 0 || !icons::FillNext(iconSlots_, sink)) break;
    ++filled;
    std::int32_t key = 0;
    if (items.KeyAt(image, &key)) ShowCell(key);
  } while (std::chrono::duration<double, std::milli>(Clock::now() - start).count() < milliseconds);
  return filled;
}

void LauncherPanel::EnsureIcon(int index) {
  if (listDeferred_ && !filling_) MakeImageList();
  if (filling_ || index < 0 || index >= iconSlots_.Count() || !iconSlots_.IsPending(index)) return;
  if (!FillNow(index)) return;
  std::int32_t key = 0;
  if (items.KeyAt(index, &key)) RecomposeCell(key);
  if (iconSlots_.PendingCount() == 0) StopIcons();
}

void LauncherPanel::FinishIcons() {
  if (listDeferred_) MakeImageList();
  FillIcons(1e300);
  if (iconSlots_.PendingCount() == 0) StopIcons();
}

void LauncherPanel::OnIconTimer() {
  if (filling_) return;
  if (listDeferred_) {
    // The records were loaded at start and every change since went to them.
    MakeImageList();
    if (iconSlots_.PendingCount() == 0) StopIcons();
    return;  // the icons come from the next ticks
  }
  for (;;) {
    FillIcons(kBatchMilliseconds);
    if (iconSlots_.PendingCount() == 0) {
      StopIcons();
      return;
    }
    // Anything waiting (input, painting, other timers, this one again) goes
    // first; the timer brings the next batch.
    if (HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0) return;
  }
}

// Bookkeeping for the panel's icon image list while the icons come in a few at
// a time: which icon each record names, which images still show the
// placeholder, and which image already shows an icon that another record
// names too. No window system here; the image list itself is the caller's.
//
// Image i always belongs to record i: every change to the records is told
// here in the same order as it is made to the image list, and a waiting image
// keeps its placeholder until the icon of its own record is put there.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace icons {

// Where a record's icon comes from: a file and the icon's index inside it.
struct Source {
  std::string file;
  int index = 0;
  bool operator==(const Source& o) const { return index == o.index && file == o.file; }
};

class IconSlots {
 public:
  // A fresh list: one placeholder per record, all of them waiting.
  void Reset(std::vector<Source> sources);
  void Clear() { Reset({}); }
  // A record appended at the end; `ready` when its icon is already in place.
  void Append(Source source, bool ready);
  // Record i removed: the later records and their images move down by one.
  void Erase(int i);
  // Record i names another icon now; `ready` when that icon is in place.
  void Replace(int i, Source source, bool ready);
  // Image i now shows the icon of record i.
  void MarkReady(int i);

  // Moves on with every change to the records (Reset, Append, Erase,
  // Replace), not with MarkReady: an extraction that let messages in finds
  // by it whether a command among them changed the list meanwhile.
  unsigned Generation() const { return generation_; }
  int Count() const { return static_cast<int>(sources_.size()); }
  int PendingCount() const { return pendingCount_; }
  bool IsPending(int i) const { return waiting_[i] != 0; }
  const Source& SourceAt(int i) const { return sources_[i]; }

  // The lowest image still waiting for its icon, -1 when none is.
  int NextPending();
  // An image that already shows the icon of `source`, -1 when none is known.
  int ReadyImageOf(const Source& source) const;

 private:
  static std::string KeyOf(const Source& source);
  void Remember(int i);

  std::vector<Source> sources_;
  std::vector<char> waiting_;
  int pendingCount_ = 0;
  int next_ = 0;                                // no image below this one waits
  std::unordered_map<std::string, int> shown_;  // icon -> an image showing it
  unsigned generation_ = 0;
};

// Puts the icon of waiting image `image` in place, copying it from an image
// that shows the same icon when there is one, extracting it otherwise. The
// sink offers `Extract(int image, const Source&)` and `Copy(int from, int to)`;
// an extraction may let messages in, and one that finds the records changed
// when it returns (Generation) must leave the list alone. Then nothing is
// marked and the result is false: the image is no longer the one asked for.
template <class Sink>
bool FillImage(IconSlots& slots, Sink& sink, int image) {
  const unsigned generation = slots.Generation();
  const int shown = slots.ReadyImageOf(slots.SourceAt(image));
  if (shown >= 0) {
    sink.Copy(shown, image);
  } else {
    sink.Extract(image, slots.SourceAt(image));
  }
  if (slots.Generation() != generation) return false;
  slots.MarkReady(image);
  return true;
}

// FillImage for the lowest waiting image; false when none was waiting or the
// records changed meanwhile.
template <class Sink>
bool FillNext(IconSlots& slots, Sink& sink) {
  const int image = slots.NextPending();
  return image >= 0 && FillImage(slots, sink, image);
}

}  // namespace icons

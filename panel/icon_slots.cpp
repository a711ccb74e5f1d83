#include "panel/icon_slots.h"

#include <utility>

namespace icons {

std::string IconSlots::KeyOf(const Source& source) {
  return source.file + '\n' + std::to_string(source.index);
}

void IconSlots::Reset(std::vector<Source> sources) {
  ++generation_;
  sources_ = std::move(sources);
  waiting_.assign(sources_.size(), 1);
  pendingCount_ = Count();
  next_ = 0;
  shown_.clear();
}

void IconSlots::Append(Source source, bool ready) {
  ++generation_;
  sources_.push_back(std::move(source));
  waiting_.push_back(ready ? 0 : 1);
  if (ready) {
    Remember(Count() - 1);
  } else {
    ++pendingCount_;
    if (next_ > Count() - 1) next_ = Count() - 1;
  }
}

void IconSlots::Erase(int i) {
  if (i < 0 || i >= Count()) return;
  ++generation_;
  if (waiting_[i]) --pendingCount_;
  sources_.erase(sources_.begin() + i);
  waiting_.erase(waiting_.begin() + i);
  if (next_ > i) --next_;
  // The images above i moved down, and so do the entries that name them.
  for (auto it = shown_.begin(); it != shown_.end();) {
    if (it->second == i) {
      it = shown_.erase(it);
    } else {
      if (it->second > i) --it->second;
      ++it;
    }
  }
}

void IconSlots::Replace(int i, Source source, bool ready) {
  if (i < 0 || i >= Count()) return;
  ++generation_;
  sources_[i] = std::move(source);
  if (waiting_[i] && ready) --pendingCount_;
  if (!waiting_[i] && !ready) ++pendingCount_;
  waiting_[i] = ready ? 0 : 1;
  if (ready) {
    Remember(i);
  } else if (next_ > i) {
    next_ = i;
  }
}

void IconSlots::MarkReady(int i) {
  if (i < 0 || i >= Count()) return;
  if (waiting_[i]) --pendingCount_;
  waiting_[i] = 0;
  Remember(i);
}

void IconSlots::Remember(int i) {
  shown_[KeyOf(sources_[i])] = i;
}

int IconSlots::NextPending() {
  if (pendingCount_ == 0) {
    next_ = Count();
    return -1;
  }
  while (next_ < Count() && !waiting_[next_]) ++next_;
  return next_ < Count() ? next_ : -1;
}

int IconSlots::ReadyImageOf(const Source& source) const {
  const auto found = shown_.find(KeyOf(source));
  if (found == shown_.end()) return -1;
  const int i = found->second;
  // Only an image that shows its own record's icon, and that icon is this one.
  if (i < 0 || i >= Count() || waiting_[i] || !(sources_[i] == source)) return -1;
  return i;
}

}  // namespace icons

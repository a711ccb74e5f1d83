#include "panel/icon_slots.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using icons::Source;

// "a" is a.exe icon 0, "a1" a.exe icon 1.
Source SourceOf(const std::string& name) {
  Source s;
  s.file = name.substr(0, 1) + ".exe";
  s.index = name.size() > 1 ? name[1] - '0' : 0;
  return s;
}

std::string Label(const Source& s) {
  return s.file + "#" + std::to_string(s.index);
}

// An image list of labels: "" is the placeholder. Like the panel's list, it
// takes no icon from an extraction during which the records changed.
struct FakeList {
  std::vector<std::string> images;
  int extractions = 0;
  const icons::IconSlots* slots = nullptr;
  std::function<void()> during;  // a command let in by the next extraction
  void Extract(int image, const Source& s) {
    ++extractions;
    const unsigned generation = slots->Generation();
    if (during) std::exchange(during, nullptr)();
    if (slots->Generation() == generation) images[image] = Label(s);
  }
  void Copy(int from, int to) { images[to] = images[from]; }
};

struct Record {
  int key;
  Source source;
};

// Runs `ops` on records, image list and bookkeeping the way the panel does,
// checking after every step that no image shows another record's icon.
// Ops, blank-separated: "f" fills one image, "fN" N of them, "dI" deletes
// record I, "eI:s" edits record I to icon s, "a:s" drops an item with icon s,
// "mI" moves record I to a free cell, "sI,J" swaps the cells of I and J,
// "xOP" runs OP inside the next extraction.
struct Sequence {
  std::vector<Record> records;
  FakeList list;
  icons::IconSlots slots;
  std::string failure;

  explicit Sequence(const std::string& initial) {
    std::istringstream in(initial);
    std::vector<Source> sources;
    for (std::string name; in >> name;) {
      records.push_back({static_cast<int>(records.size()), SourceOf(name)});
      sources.push_back(SourceOf(name));
    }
    list.images.assign(records.size(), "");
    list.slots = &slots;
    slots.Reset(sources);
  }

  void Apply(const std::string& op) {
    const char kind = op[0];
    const std::string rest = op.substr(1);
    if (kind == 'x') {
      list.during = [this, rest] { Apply(rest); };
      return;
    }
    if (kind == 'f') {
      const int n = rest.empty() ? 1 : std::stoi(rest);
      for (int k = 0; k < n; ++k) icons::FillNext(slots, list);
    } else if (kind == 'd') {
      const int i = std::stoi(rest);
      records.erase(records.begin() + i);
      list.images.erase(list.images.begin() + i);
      slots.Erase(i);
    } else if (kind == 'e') {
      const int i = std::stoi(rest);
      const Source s = SourceOf(rest.substr(rest.find(':') + 1));
      records[i].source = s;
      slots.Replace(i, s, false);
      icons::FillImage(slots, list, i);
    } else if (kind == 'a') {
      const Source s = SourceOf(rest.substr(1));
      records.push_back({1000 + static_cast<int>(records.size()), s});
      list.images.emplace_back();
      slots.Append(s, false);
      icons::FillImage(slots, list, slots.Count() - 1);
    } else if (kind == 'm') {
      records[std::stoi(rest)].key += 5000;
    } else if (kind == 's') {
      const int i = std::stoi(rest), j = std::stoi(rest.substr(rest.find(',') + 1));
      std::swap(records[i].key, records[j].key);
    }
    Check(op);
  }

  void Check(const std::string& op) {
    if (!failure.empty()) return;
    std::ostringstream why;
    if (list.images.size() != records.size() || slots.Count() != static_cast<int>(records.size()))
      why << "counts " << list.images.size() << "/" << slots.Count() << "/" << records.size();
    for (std::size_t i = 0; why.str().empty() && i < records.size(); ++i) {
      const std::string& image = list.images[i];
      const bool pending = slots.IsPending(static_cast<int>(i));
      if (pending != image.empty() || (!pending && image != Label(records[i].source)))
        why << "image " << i << " shows '" << image << "' for " << Label(records[i].source)
            << (pending ? " (waiting)" : "");
    }
    if (!why.str().empty()) failure = "after " + op + ": " + why.str();
  }
};

TEST(IconSlotsTest, ImageIIsRecordIAfterAnyInterleaving) {
  const struct {
    const char* initial;
    const char* ops;
    int extractions;  // -1: not checked
  } cases[] = {
      {"", "f a:a f d0 f", 1},
      {"a b c", "f3", 3},
      {"a a b a a1 b", "f6", 3},  // one extraction per distinct icon
      {"a b c d", "d0 f2 d1 f2", 3},
      {"a b c d", "f d0 f3", 4},
      {"a b c d", "f2 d3 d0 f2", 3},
      {"a b c d", "e2:x f4", 4},
      {"a b c d", "f3 e1:x e3:y f", 5},
      {"a b c", "a:z f a:a f2 d3", 4},  // the drop copies the icon image 0 shows
      {"a b a b", "f d0 f d0 f d0 f", -1},
      {"a a a a", "f d0 f3", 2},         // the one image with "a" went
      {"a b a c", "f3 d0 e0:c f2", -1},  // the image that showed "a" is gone
      {"a b c d e", "m1 s0,4 f2 d2 s0,1 f a:b f3", -1},
      {"a b c", "d2 d1 d0 a:a f", 1},
      {"a b c d", "f e3:a d0 d0 f9", -1},
      {"a b c d e f", "d5 f a:f e0:f d1 f2 s0,2 m3 f4", -1},
      {"a b c", "xd0 f3", 3},  // a delete inside an extraction: it marks nothing
      {"a b", "xd1 a:c f", 3},
  };
  for (const auto& c : cases) {
    Sequence run(c.initial);
    std::istringstream ops(c.ops);
    for (std::string op; ops >> op;) run.Apply(op);
    while (icons::FillNext(run.slots, run.list)) {
    }
    run.Check("draining");
    // The list the same records get when it is built afresh.
    Sequence fresh("");
    for (const Record& r : run.records) fresh.list.images.push_back(Label(r.source));
    EXPECT_EQ(run.failure, "") << c.initial << " | " << c.ops;
    EXPECT_EQ(run.list.images, fresh.list.images) << c.initial << " | " << c.ops;
    EXPECT_EQ(run.slots.PendingCount(), 0) << c.initial << " | " << c.ops;
    if (c.extractions >= 0) {
      EXPECT_EQ(run.list.extractions, c.extractions) << c.initial << " | " << c.ops;
    }
  }
}

}  // namespace

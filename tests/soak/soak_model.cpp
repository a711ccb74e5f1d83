#include "tests/soak/soak_model.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace soak {

namespace {

constexpr std::size_t kRecord = 920;

// A zero-terminated field of a record, or false when it has no terminator.
bool Field(const std::string& record, std::size_t at, std::size_t size, std::string* out) {
  const std::size_t end = record.find('\0', at);
  if (end == std::string::npos || end >= at + size) return false;
  *out = record.substr(at, end - at);
  return true;
}

bool EndsWith(const std::string& s, const char* tail) {
  const std::size_t n = std::strlen(tail);
  return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

}  // namespace

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::Drop:
      return "drop";
    case Kind::Drag:
      return "drag";
    case Kind::Edit:
      return "edit";
    case Kind::Delete:
      return "delete";
    case Kind::Settings:
      return "settings";
  }
  return "?";
}

bool Model::Has(std::int32_t key) const {
  for (const Item& i : items) {
    if (i.key == key) return true;
  }
  return false;
}

Model Model::After(const Operation& op) const {
  Model m = *this;
  switch (op.kind) {
    case Kind::Drop:
      if (!Has(op.key)) m.items.push_back({op.key, op.path, ""});
      break;
    case Kind::Drag: {
      if (!Has(op.key) || op.key == op.to) break;
      for (Item& i : m.items) {
        if (i.key == op.key) {
          i.key = op.to;
        } else if (i.key == op.to) {
          i.key = op.key;
        }
      }
      break;
    }
    case Kind::Edit:
      for (Item& i : m.items) {
        if (i.key == op.key) {
          i.title = op.path;
          break;
        }
      }
      break;
    case Kind::Delete:
      for (auto it = m.items.begin(); it != m.items.end(); ++it) {
        if (it->key == op.key) {
          m.items.erase(it);
          break;
        }
      }
      break;
    case Kind::Settings:
      break;
  }
  return m;
}

bool Model::Same(const Model& other) const {
  if (items.size() != other.items.size()) return false;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const Item &a = items[i], &b = other.items[i];
    if (a.key != b.key || a.target != b.target) return false;
    if (!a.title.empty() && !b.title.empty() && a.title != b.title) return false;
  }
  return true;
}

std::string Model::Describe() const {
  std::string s = "[";
  for (const Item& i : items) {
    const std::size_t slash = i.target.find_last_of('\\');
    s += (s.size() > 1 ? " " : "") + std::to_string(i.key) + ":" + i.target.substr(slash + 1) +
         (i.title.empty() ? "" : "(" + i.title + ")");
  }
  return s + "]";
}

std::int32_t RandomCell(std::mt19937& random) {
  return static_cast<std::int32_t>(random() % 4) * 128 + static_cast<std::int32_t>(random() % 6);
}

bool ReadItemFile(const std::string& path, Model* model, std::string* torn) {
  model->items.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    // Missing: no items. There but held by the launcher: try again.
    *torn = "";
    return !std::ifstream(path).is_open() && !std::filesystem::exists(path);
  }
  return ReadRecords(std::string(std::istreambuf_iterator<char>(in), {}), model, torn);
}

bool ReadRecords(const std::string& bytes, Model* model, std::string* torn) {
  // A trailing part of a record is never read by the launcher either.
  for (std::size_t at = 0; at + kRecord <= bytes.size(); at += kRecord) {
    const std::string record = bytes.substr(at, kRecord);
    Item item;
    std::memcpy(&item.key, record.data() + 4, 4);
    std::string workDir, iconFile;
    if (!Field(record, 10, 128, &item.title) || !Field(record, 138, 260, &item.target) ||
        !Field(record, 398, 260, &workDir) || !Field(record, 658, 260, &iconFile) ||
        !EndsWith(item.target, ".exe") || item.target.find("\\files\\f") == std::string::npos) {
      *torn = "record " + std::to_string(at / kRecord) + " (key " + std::to_string(item.key) +
              ", target \"" + item.target + "\")";
      return false;
    }
    model->items.push_back(item);
  }
  return true;
}

int LostItems(const Model& before, const Model& file, const Operation& op) {
  int lost = 0;
  for (const Item& i : before.items) {
    if (op.kind != Kind::Drop && (i.key == op.key || i.key == op.to)) continue;
    bool found = false;
    for (const Item& f : file.items) found = found || f.target == i.target;
    lost += !found;
  }
  return lost;
}

}  // namespace soak

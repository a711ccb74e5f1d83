// What the soak expects of the item file: a model of the items in file order,
// the operations that change it, and the reading of the real file.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace soak {

enum class Kind { Drop, Drag, Edit, Delete, Settings };
const char* KindName(Kind kind);

struct Operation {
  Kind kind = Kind::Settings;
  std::int32_t key = -1;  // the cell dropped on, dragged from or deleted
  std::int32_t to = -1;   // the cell dragged to
  std::string path;       // the file dropped, or the title an edit gives
};

struct Item {
  std::int32_t key;
  std::string target;
  std::string title;  // empty until the file has shown it
};

struct Model {
  std::vector<Item> items;  // in file order

  bool Has(std::int32_t key) const;
  // The items after `op` as the launcher must store them: a drop on an empty
  // cell appends, a drag moves to a free cell or swaps with the item there,
  // an edit retitles, a delete removes; settings change nothing.
  Model After(const Operation& op) const;
  // Same cells and targets in the same order, and the same titles where both
  // know them.
  bool Same(const Model& other) const;
  std::string Describe() const;
};

// A cell of the 6 x 4 grid the soak works on.
std::int32_t RandomCell(std::mt19937& random);

// What the soak build of the launcher shares ("Local\NuboTesa.SoakMarker.<pid>"):
// the last marker its loop took and, as of then, its records as a file holds them
// and whether its last save of the settings failed.
struct Report {
  volatile std::uint32_t seen;
  std::uint32_t count;
  std::int32_t saveFailed;
  char records[64 * 920];
};

// Reads records as ReadItemFile does.
bool ReadRecords(const std::string& bytes, Model* model, std::string* torn);

// Reads the item file (missing: no items). Every whole record must be one the
// launcher can have written for a soak file: terminated fields, a target in
// the soak's files. False, with the record described in `torn`, otherwise, or
// with `torn` empty when the file is held open by the launcher.
bool ReadItemFile(const std::string& path, Model* model, std::string* torn);

// Items of `before` missing from `file`, the one `op` changes not counted.
int LostItems(const Model& before, const Model& file, const Operation& op);

}  // namespace soak

// The soak: runs the real launcher (NuboTesaFaulty.exe) in a folder of its
// own and performs random operations through its real entry points: drops
// built as the shell builds them (DROPFILES in the launcher's memory, posted
// as WM_DROPFILES), pointer messages that drag items onto free cells (a move)
// or onto other items (a swap), the item menu's delete and the settings
// dialog's OK. After every step the item file must hold exactly what a model
// of the items says. Now and then the launcher is killed outright
// (TerminateProcess) a random moment after an operation was posted: after the
// restart the file must be the model before or after that operation, never
// anything else. Some runs play a full disk (the file layer's growth limit):
// there too an operation is whole or absent, and items the file lacks that
// the operation did not touch are counted as lost. After every step the
// launcher's records (what it shows) must be the file's, and a command the
// file did not take must have shown one warning box. The settings file must be
// whole after every step; a save it refused is told once, until one succeeds.
//
// Usage: soak_driver PROGRAM FOLDER OPERATIONS KILLS SEED
// Prints one line: operations, kills, disk-full runs, failures, items lost,
// records held that differ from the file, warnings;
// exits 1 when anything failed.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "settings/ini_text.h"
#include "settings/settings_rules.h"
#include "tests/soak/soak_model.h"

namespace {

constexpr int kCell = 32;  // the default cell size
constexpr DWORD kStepMs = 8000;

struct Totals {
  int operations = 0, kills = 0, fullDisks = 0, failures = 0, lost = 0, differences = 0,
      warnings = 0;
};

// Polls `done` until it is true or `ms` have passed.
template <typename F>
bool WaitFor(F done, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    Sleep(2);
  }
  return true;
}

struct WindowQuery {
  DWORD pid;
  const char* cls;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND w, LPARAM l) {
  auto* q = reinterpret_cast<WindowQuery*>(l);
  DWORD pid = 0;
  char cls[64] = "";
  GetWindowThreadProcessId(w, &pid);
  GetClassNameA(w, cls, sizeof cls);
  if (pid != q->pid || std::strcmp(cls, q->cls) != 0) return TRUE;
  if (std::strcmp(q->cls, "Nubotesa") != 0 && !IsWindowVisible(w)) return TRUE;
  q->found = w;
  return FALSE;
}

HWND FindWindowOf(DWORD pid, const char* cls) {
  WindowQuery q = {pid, cls, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&q));
  return q.found;
}

BOOL CALLBACK ListWindow(HWND w, LPARAM l) {
  auto* q = reinterpret_cast<std::pair<DWORD, std::string>*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != q->first || !IsWindowVisible(w)) return TRUE;
  char cls[64] = "", title[128] = "";
  GetClassNameA(w, cls, sizeof cls);
  GetWindowTextA(w, title, sizeof title);
  q->second += std::string(" ") + cls + " \"" + title + "\"";
  return TRUE;
}

// The launcher's visible windows, for a failure message.
std::string WindowsOf(DWORD pid) {
  std::pair<DWORD, std::string> q = {pid, ""};
  EnumWindows(ListWindow, reinterpret_cast<LPARAM>(&q));
  return q.second.empty() ? " none" : q.second;
}

LPARAM Point(int x, int y) {
  return static_cast<LPARAM>((x & 0xFFFF) | ((y & 0xFFFF) << 16));
}
LPARAM CellCentre(std::int32_t key) {
  return Point((key % 128) * kCell + kCell / 2, (key / 128) * kCell + kCell / 2);
}

class Launcher {
 public:
  ~Launcher() { Kill(); }

  bool Start(const std::string& program, const std::string& folder, long long growthLimit) {
    SetEnvironmentVariableA("NUBO_FILE_GROWTH_LIMIT",
                            growthLimit < 0 ? nullptr : std::to_string(growthLimit).c_str());
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string line = "\"" + program + "\"";
    if (!CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &si, &pi_)) {
      return false;
    }
    WaitForInputIdle(pi_.hProcess, kStepMs);
    return WaitFor([&] { return (window_ = FindWindowOf(pi_.dwProcessId, "Nubotesa")) != nullptr; },
                   kStepMs);
  }

  void Kill() {
    if (pi_.hProcess == nullptr) return;
    TerminateProcess(pi_.hProcess, 9);
    WaitForSingleObject(pi_.hProcess, kStepMs);
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
    pi_ = {};
    window_ = nullptr;
    if (seen_ != nullptr) UnmapViewOfFile(const_cast<soak::Report*>(seen_));
    seen_ = nullptr;
  }

  // Whether the launcher has handled every message posted so far: its loop
  // has taken a marker posted behind them (the soak build reports it; see
  // faulty_main.cpp). Sent messages would not tell: the launcher answers them
  // also while it waits inside a handler.
  bool Idle() {
    if (seen_ == nullptr) {
      const std::string name = "Local\\NuboTesa.SoakMarker." + std::to_string(Pid());
      HANDLE shared = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
      if (shared == nullptr) return false;
      seen_ = static_cast<volatile soak::Report*>(MapViewOfFile(shared, FILE_MAP_READ, 0, 0, 0));
      CloseHandle(shared);  // the view keeps the mapping
      if (seen_ == nullptr) return false;
    }
    static const UINT marker = RegisterWindowMessageA("NuboTesa.SoakMarker");
    const DWORD mark = ++marks_;
    PostMessageA(window_, marker, mark, 0);
    return WaitFor([&] { return seen_->seen == mark; }, kStepMs);
  }

  // The records the launcher held at the last marker.
  bool Held(soak::Model* model, std::string* torn) const {
    const auto* report = const_cast<const soak::Report*>(seen_);
    return ReadRecords(std::string(report->records, report->count * 920), model, torn);
  }
  bool HeldSaveFailed() const { return seen_->saveFailed != 0; }

  // No menu, dialog or box left open, and idle after them: the handler that
  // opened a dialog may still work on the files when the dialog is gone.
  // Warning boxes are counted and closed; their loops take markers too.
  bool Quiet(int* warnings) {
    HWND seen = nullptr;
    auto closed = [&] {
      const HWND box = FindWindowA("#32770", "ホコからの警告");
      *warnings += box != nullptr && box != seen;
      if ((seen = box) != nullptr) PostMessageA(box, WM_COMMAND, IDOK, 0);
      return FindWindowOf(pi_.dwProcessId, "#32768") == nullptr &&
             FindWindowOf(pi_.dwProcessId, "#32770") == nullptr;
    };
    for (int round = 0; round < 4; ++round)
      if (WaitFor(closed, kStepMs) && Idle() && closed() && Idle() && closed()) return true;
    return false;
  }

  void Post(UINT message, WPARAM w, LPARAM l) { PostMessageA(window_, message, w, l); }

  // A drop as the shell makes one: DROPFILES, then the path, then an empty
  // string, in memory of the receiving process.
  bool Drop(const std::string& path, LPARAM at) {
    std::string block(sizeof(DROPFILES), '\0');
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.pt.x = LOWORD(at);
    header.pt.y = HIWORD(at);
    std::memcpy(&block[0], &header, sizeof header);
    block += path;
    block.append(2, '\0');
    void* remote = VirtualAllocEx(pi_.hProcess, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE,
                                  PAGE_READWRITE);
    if (remote == nullptr ||
        !WriteProcessMemory(pi_.hProcess, remote, block.data(), block.size(), nullptr)) {
      return false;
    }
    // The block stays until the launcher ends: DragFinish cannot free it.
    Post(WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
    return true;
  }

  DWORD Pid() const { return pi_.dwProcessId; }
  bool Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

 private:
  PROCESS_INFORMATION pi_ = {};
  HWND window_ = nullptr;
  DWORD marks_ = 0;
  volatile soak::Report* seen_ = nullptr;
};

class Soak {
 public:
  Soak(std::string program, std::string folder, unsigned seed)
      : program_(std::move(program)), folder_(std::move(folder)), random_(seed) {}

  bool Run(int operations, int kills);
  bool verbose_ = std::getenv("SOAK_VERBOSE") != nullptr;
  const Totals& totals() const { return totals_; }

 private:
  bool Restart(long long growthLimit);
  soak::Model Planned(soak::Operation& op);
  void Perform(const soak::Operation& op);
  bool Settle(const soak::Model& before, const soak::Model& after, bool killed, bool fullDisk,
              const soak::Operation& op, int warnings = 0);
  int SettleSettings(const soak::Operation& op, bool killed);
  bool ChooseMenuCommand(std::int32_t key, WPARAM command);
  int Random(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
  std::string ItemFile() const { return folder_ + "\\NuboInfo.Dat"; }
  void Fail(const std::string& what) {
    ++totals_.failures;
    std::printf("soak: FAILED after %d operations: %s\n", totals_.operations, what.c_str());
  }

  std::string program_, folder_;
  std::mt19937 random_;
  Launcher launcher_;
  soak::Model model_;
  int files_ = 0;
  int edits_ = 0;
  bool fullDisk_ = false;
  bool settingsTold_ = false;  // a refused settings save was told
  Totals totals_;
};

bool Soak::Restart(long long growthLimit) {
  launcher_.Kill();
  fullDisk_ = growthLimit >= 0;
  if (!launcher_.Start(program_, folder_, growthLimit)) {
    Fail("the launcher did not start");
    return false;
  }
  // The panel starts hidden; bring it up as a second start would.
  launcher_.Post(RegisterWindowMessageA("NuboTesa.ShowPanel"), 0, 0);
  // The first show's save may not reach a full disk: told once.
  int boxes = 0;
  const bool quiet = launcher_.Quiet(&boxes);
  if (boxes > (fullDisk_ ? 1 : 0)) Fail(std::to_string(boxes) + " warning boxes at the start");
  settingsTold_ = boxes > 0;
  return quiet;
}

// The model after `op`, which it fills in with the cells and paths it uses.
soak::Model Soak::Planned(soak::Operation& op) {
  const std::int32_t a = soak::RandomCell(random_), b = soak::RandomCell(random_);
  const int pick = Random(100);
  if (model_.items.empty() || pick < 40) {
    op = {soak::Kind::Drop, a, -1, ""};
    if (model_.Has(a)) op.kind = soak::Kind::Settings;  // no launching in a soak
    op.path = folder_ + "\\files\\f" + std::to_string(files_++) + ".exe";
  } else if (pick < 65) {
    op = {soak::Kind::Drag, model_.items[Random(static_cast<int>(model_.items.size()))].key, b, ""};
    if (op.key == b) op.kind = soak::Kind::Settings;
  } else if (pick < 78) {
    op = {soak::Kind::Edit, model_.items[Random(static_cast<int>(model_.items.size()))].key, -1,
          "e" + std::to_string(edits_++)};
  } else if (pick < 92) {
    op = {soak::Kind::Delete, model_.items[Random(static_cast<int>(model_.items.size()))].key, -1,
          ""};
  } else {
    op = {soak::Kind::Settings, -1, -1, ""};
  }
  return model_.After(op);
}

// A press as the mouse makes it: the button's flag in wParam. (Without it the
// launcher takes the press for the tray's, asks for the foreground and, under
// Wine, can see its menu closed as it opens.)
bool Soak::ChooseMenuCommand(std::int32_t key, WPARAM command) {
  launcher_.Post(WM_RBUTTONDOWN, MK_RBUTTON, CellCentre(key));
  if (!WaitFor([&] { return FindWindowOf(launcher_.Pid(), "#32768") != nullptr; }, kStepMs)) {
    Fail("the item menu did not open at cell " + std::to_string(key));
    return false;
  }
  launcher_.Post(WM_KEYDOWN, VK_ESCAPE, 0);
  if (!WaitFor([&] { return FindWindowOf(launcher_.Pid(), "#32768") == nullptr; }, kStepMs)) {
    return false;
  }
  launcher_.Post(WM_COMMAND, command, 0);
  return true;
}

void Soak::Perform(const soak::Operation& op) {
  switch (op.kind) {
    case soak::Kind::Drop:
      // A program with icons (the edit dialog wants one chosen), as a link:
      // thousands of copies would fill the disk.
      // (Never a copy over a link that is left: that would write into the
      // program itself.)
      DeleteFileA(op.path.c_str());
      if (!CreateHardLinkA(op.path.c_str(), program_.c_str(), nullptr)) {
        CopyFileA(program_.c_str(), op.path.c_str(), TRUE);
      }
      launcher_.Drop(op.path, CellCentre(op.key));
      break;
    case soak::Kind::Edit:
      if (ChooseMenuCommand(op.key, ID_ITEM_EDIT) &&
          WaitFor([&] { return FindWindowOf(launcher_.Pid(), "#32770") != nullptr; }, kStepMs)) {
        const HWND dialog = FindWindowOf(launcher_.Pid(), "#32770");
        DWORD_PTR done = 0;
        SendMessageTimeoutA(GetDlgItem(dialog, IDC_ITEM_TITLE), WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(op.path.c_str()), SMTO_NORMAL, kStepMs, &done);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
      }
      break;
    case soak::Kind::Drag: {
      launcher_.Post(WM_LBUTTONDOWN, MK_LBUTTON, CellCentre(op.key));
      const LPARAM from = CellCentre(op.key), to = CellCentre(op.to);
      for (int step = 1; step <= 3; ++step) {
        const int x = LOWORD(from) + (LOWORD(to) - LOWORD(from)) * step / 3;
        const int y = HIWORD(from) + (HIWORD(to) - HIWORD(from)) * step / 3;
        launcher_.Post(WM_MOUSEMOVE, MK_LBUTTON, Point(x, y));
      }
      launcher_.Post(WM_LBUTTONUP, 0, to);
      break;
    }
    case soak::Kind::Delete:
      ChooseMenuCommand(op.key, ID_ITEM_DELETE);
      break;
    case soak::Kind::Settings:
      launcher_.Post(WM_COMMAND, ID_PANEL_SETTINGS, 0);
      if (WaitFor([&] { return FindWindowOf(launcher_.Pid(), "#32770") != nullptr; }, kStepMs)) {
        PostMessageA(FindWindowOf(launcher_.Pid(), "#32770"), WM_COMMAND, IDOK, 0);
      }
      break;
  }
}

// Checks the item file after an operation and takes the model forward.
bool Soak::Settle(const soak::Model& before, const soak::Model& after, bool killed, bool fullDisk,
                  const soak::Operation& op, int warnings) {
  soak::Model file;
  std::string torn;
  bool read = false;
  WaitFor([&] { return (read = soak::ReadItemFile(ItemFile(), &file, &torn)) || !torn.empty(); },
          kStepMs);
  if (!read) {
    Fail(torn.empty() ? "the item file stayed held open" : "a torn record: " + torn);
    return false;
  }
  soak::Model held;
  if (!killed && (!launcher_.Held(&held, &torn) || !held.Same(file))) {
    ++totals_.differences;
    Fail("the launcher holds " + held.Describe() + " " + torn + ", the file " + file.Describe());
  }
  // A change the file did not take is told once; one it took, in no box.
  const int boxes = file.Same(after) || after.Same(before) ? 0 : 1;
  totals_.warnings += warnings;
  if (!killed && warnings != boxes) Fail(std::to_string(warnings) + " warning boxes");
  if (file.Same(after) || ((killed || fullDisk) && file.Same(before))) {
    model_ = file.Same(after) ? after : before;
    return true;
  }
  const int lost = soak::LostItems(before, file, op);
  totals_.lost += lost;
  Fail(std::string(soak::KindName(op.kind)) + ": the file holds " + file.Describe() +
       ", expected " + after.Describe() + (killed ? " or " + before.Describe() : "") +
       "; windows:" + WindowsOf(launcher_.Pid()));
  model_ = file;
  return false;
}

// Checks that the settings file is whole after a step; returns the warning
// boxes the step owes for it.
int Soak::SettleSettings(const soak::Operation& op, bool killed) {
  std::ifstream in(folder_ + "\\Nubotesa.ini", std::ios::binary);
  const std::string text(std::istreambuf_iterator<char>(in), {});
  std::string_view value;
  bool whole = true;
  for (const settings_rules::Key& key : settings_rules::kKeys)
    whole = whole && ini::FindValue(text, key.section, key.name, &value);
  if (!whole) Fail("a torn settings file:\n" + text);
  if (killed || op.kind != soak::Kind::Settings) return 0;
  const bool told = settingsTold_;
  settingsTold_ = launcher_.HeldSaveFailed();
  return settingsTold_ && !told ? 1 : 0;
}

bool Soak::Run(int operations, int kills) {
  // A fresh folder: the model starts without items.
  CreateDirectoryA(folder_.c_str(), nullptr);
  CreateDirectoryA((folder_ + "\\files").c_str(), nullptr);
  DeleteFileA(ItemFile().c_str());
  DeleteFileA((folder_ + "\\Nubotesa.ini").c_str());
  // A hidden start (no greeting) with a grid of 6 x 4 cells.
  const std::string ini = folder_ + "\\Nubotesa.ini";
  WritePrivateProfileStringA("Config", "Bitmap", "0", ini.c_str());
  WritePrivateProfileStringA("Config", "Startup", "0", ini.c_str());
  WritePrivateProfileStringA("Check", "CheckFlag", "1", ini.c_str());
  WritePrivateProfileStringA("Rect", "Left", "10", ini.c_str());
  WritePrivateProfileStringA("Rect", "Top", "10", ini.c_str());
  WritePrivateProfileStringA("Rect", "Right", "200", ini.c_str());
  WritePrivateProfileStringA("Rect", "Bottom", "136", ini.c_str());
  if (!Restart(-1)) return false;
  // One kill at a random operation of every stretch of `killEvery`.
  const int killEvery = kills > 0 ? std::max(1, operations / kills) : operations + 1;
  int killAt = Random(killEvery);
  for (int i = 0; i < operations; ++i) {
    soak::Operation op;
    const soak::Model before = model_;
    const soak::Model after = Planned(op);
    const bool kill = i % killEvery == killAt && totals_.kills < kills;
    if (i % killEvery == killEvery - 1) killAt = Random(killEvery);
    if (verbose_) {
      std::printf("%d: %s %d %d%s\n", totals_.operations, soak::KindName(op.kind), op.key, op.to,
                  kill ? " (kill)" : "");
    }
    Perform(op);
    ++totals_.operations;
    int warnings = 0;
    if (kill) {
      Sleep(static_cast<DWORD>(Random(40)));  // a random moment inside the operation
      launcher_.Kill();
      ++totals_.kills;
    } else if (!launcher_.Quiet(&warnings)) {
      Fail(std::string(soak::KindName(op.kind)) + ": the launcher stopped answering");
    }
    Settle(before, after, kill, fullDisk_, op, warnings - SettleSettings(op, kill));
    if (kill || !launcher_.Running() || (fullDisk_ && Random(20) == 0)) {
      // Every fifth restart plays a disk that fills up soon.
      const bool full = Random(5) == 0;
      totals_.fullDisks += full;
      if (!Restart(full ? Random(3 * 920) : -1)) return false;
      Settle(model_, model_, false, false, op);
    }
    if (totals_.failures > 20) break;
    if (totals_.operations % 1000 == 0) {
      std::printf("soak: %d operations, %d kills, %d failures so far\n", totals_.operations,
                  totals_.kills, totals_.failures);
      std::fflush(stdout);
    }
  }
  launcher_.Kill();
  return totals_.failures == 0;
}

// Paths may come in Unix form (from ctest); the launcher wants DOS ones.
std::string DosPath(std::string path) {
  if (path.empty() || path[0] != '/') return path;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return "Z:" + path;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: soak_driver PROGRAM FOLDER OPERATIONS KILLS SEED\n");
    return 2;
  }
  Soak soak(DosPath(argv[1]), DosPath(argv[2]), static_cast<unsigned>(std::atoi(argv[5])));
  const bool ok = soak.Run(std::atoi(argv[3]), std::atoi(argv[4]));
  const Totals& t = soak.totals();
  std::printf(
      "soak: operations %d, kills %d, disk-full runs %d, failures %d, items lost %d, "
      "screen/file differences %d, warnings %d\n",
      t.operations, t.kills, t.fullDisks, t.failures, t.lost, t.differences, t.warnings);
  return ok ? 0 : 1;
}

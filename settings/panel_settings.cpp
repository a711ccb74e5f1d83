// The settings file through the program's own reader and writer (ini_text),
// in code page 932 whatever the system's code page. What is read, in which
// order, and how each field is written is decided in settings_rules.
#include "settings/panel_settings.h"

#include <cstring>
#include <string>

#include "platform/file.h"
#include "settings/ini_text.h"
#include "settings/settings_rules.h"

using settings_rules::Key;
using settings_rules::KeyKind;

namespace {

// A settings file is a few hundred bytes; a bigger one is not read whole.
constexpr std::uint64_t kMaxFileBytes = 1 << 20;
constexpr char kTempFileName[] = "Nubotesa.tmp";
static_assert(sizeof kTempFileName == sizeof settings_rules::kFileName,
              "the temporary file's name takes the settings file's place in its path");

// The whole file into `text` (empty when there is no file); false when a
// file is there but cannot be read whole.
bool ReadWholeFile(const char* path, std::string* text) {
  text->clear();
  platform::File file;
  if (!file.Open(path, platform::OpenMode::ReadExisting)) return !platform::PathExists(path);
  std::uint64_t size = 0;
  if (!file.Size(&size) || size > kMaxFileBytes) return false;
  text->resize(static_cast<std::size_t>(size));
  return size == 0 || file.ReadAt(0, &(*text)[0], text->size()) == text->size();
}

bool WriteThroughTempFile(const char* path, const std::string& text) {
  char temp[sizeof PanelSettings::SettingsPath];
  const std::size_t length = std::strlen(path);
  const std::size_t name = sizeof settings_rules::kFileName - 1;
  std::memcpy(temp, path, length - name);
  std::memcpy(temp + length - name, kTempFileName, sizeof kTempFileName);
  platform::File file;
  bool ok = file.Open(temp, platform::OpenMode::CreateEmpty) &&
            file.WriteAt(0, text.data(), text.size()) == text.size() && file.Flush();
  // A network drive may tell only at the close that the text did not fit.
  ok = file.Close() && ok;
  if (ok && platform::ReplaceFileAtomically(temp, path)) return true;
  platform::RemoveFile(temp);
  return false;
}

// A write left out because the file holds every value already changes
// nothing, the mark of an earlier failed save neither.
int WriteSettings(PanelSettings& s, bool unlessHeld) {
  std::string text;
  if (s.SettingsPath[0] == '\0' || !ReadWholeFile(s.SettingsPath, &text)) {
    s.SaveFailed = 1;
    return 0;
  }
  const std::string held = text;
  char buffer[260];
  for (const Key& key : settings_rules::kKeys) {
    ini::SetValue(&text, key.section, key.name,
                  settings_rules::TextToWrite(s, key, buffer, sizeof buffer));
  }
  if (unlessHeld && !held.empty() && text == held) return 1;
  s.SaveFailed = WriteThroughTempFile(s.SettingsPath, text) ? 0 : 1;
  return s.SaveFailed == 0 ? 1 : 0;
}

}  // namespace

void PanelSettings::Load() {
  SettingsPath[0] = '\0';
  SaveFailed = 0;
  settings_rules::ApplyDefaults(this);
  char dir[260];
  const std::size_t length = platform::CurrentDirectory(dir, sizeof dir);
  // Without a whole path the defaults are used and nothing is read or written.
  if (length == 0 || length >= sizeof dir ||
      !platform::JoinPath(dir, settings_rules::kFileName, SettingsPath, sizeof SettingsPath)) {
    return;
  }
  std::string text;
  if (!ReadWholeFile(SettingsPath, &text)) text.clear();
  for (const Key& key : settings_rules::kKeys) {
    if (key.kind == KeyKind::Wallpaper) {
      ini::ReadString(text, key.section, key.name, settings_rules::kDefaultWallpaper, Wallpaper,
                      sizeof Wallpaper);
    } else {
      this->*key.field = ini::ReadInt(text, key.section, key.name, key.defaultValue);
    }
  }
  settings_rules::GuardLoaded(this);
}

int PanelSettings::Save() {
  return WriteSettings(*this, false);
}

int PanelSettings::SaveChanges() {
  return WriteSettings(*this, true);
}

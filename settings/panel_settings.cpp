// The settings file through the private-profile functions. What is read, in
// which order, and how each field is written is decided in settings_rules.
#include "settings/panel_settings.h"

#include <windows.h>

#include "platform/file.h"
#include "settings/settings_rules.h"

using settings_rules::Key;
using settings_rules::KeyKind;

void PanelSettings::Load() {
  SettingsPath[0] = '\0';
  char dir[260];
  const std::size_t length = platform::CurrentDirectory(dir, sizeof dir);
  if (length > 0 && length < sizeof dir) {
    settings_rules::AppendFileName(dir, settings_rules::kFileName, SettingsPath,
                                   sizeof SettingsPath);
  }
  if (SettingsPath[0] == '\0') {
    // Without a whole path the profile functions would fall back to the
    // Windows directory; the defaults are used and nothing is read.
    settings_rules::ApplyDefaults(this);
    return;
  }
  for (const Key& key : settings_rules::kKeys) {
    if (key.kind == KeyKind::Wallpaper) {
      GetPrivateProfileStringA(key.section, key.name, settings_rules::kDefaultWallpaper, Wallpaper,
                               sizeof Wallpaper, SettingsPath);
    } else {
      // The result is the signed value read, returned as UINT.
      this->*key.field = static_cast<std::int32_t>(
          GetPrivateProfileIntA(key.section, key.name, key.defaultValue, SettingsPath));
    }
  }
  settings_rules::GuardLoaded(this);
}

int PanelSettings::Save() {
  if (SettingsPath[0] == '\0') return 0;
  char text[260];
  int saved = 1;
  for (const Key& key : settings_rules::kKeys) {
    if (!WritePrivateProfileStringA(key.section, key.name,
                                    settings_rules::TextToWrite(*this, key, text, sizeof text),
                                    SettingsPath)) {
      saved = 0;
    }
  }
  return saved;
}

#include "tools/hotkey_store.h"

namespace {

Hotkeys& ProcessHotkeys() {
    static Hotkeys keys;
    return keys;
}

}  // namespace

Hotkey ReadHotkey(const CSettings& settings, const SettingKey& key) { return ParseHotkey(settings.Read(key)); }

void LoadHotkeys(const CSettings& settings) {
    Hotkeys& keys = ProcessHotkeys();
    keys.boss = ReadHotkey(settings, settings::kShortKey);
    keys.windowSwitch = ReadHotkey(settings, settings::kAltWndKey);
    keys.sound = ReadHotkey(settings, settings::kSndKey);
}

const Hotkeys& CurrentHotkeys() { return ProcessHotkeys(); }

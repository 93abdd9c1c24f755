list(APPEND CORE_PORTABLE
  tools/file_tree.cpp
  tools/hotkey.cpp
  tools/hotkey_rules.cpp
  tools/hotkey_store.cpp
  tools/x64_code.cpp
  tools/shortcut_names.cpp
)
list(APPEND CORE_WIN
  tools/file_tree_win.cpp
  tools/hotkey_store_win.cpp
  tools/keyboard_hook_win.cpp
  tools/setting_dlg_win.cpp
  tools/code_hook_win.cpp
  tools/sound_mute_win.cpp
  tools/shell_folder_win.cpp
  tools/shortcuts_win.cpp
  tools/cache_clean_win.cpp
  tools/favourite_file_win.cpp
  tools/fav_dlg_win.cpp
)

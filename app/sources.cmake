list(APPEND CORE_PORTABLE
  app/utf8.cpp
  app/ctrl_layout.cpp
  app/ctrl_block.cpp
  app/settings_store.cpp
  app/day_rules.cpp
  app/ini_rules.cpp
  app/account_entry.cpp
  app/beacon_urls.cpp
  app/device_identity.cpp
  app/start_mode.cpp
  app/process_state.cpp
  app/icon_info.cpp
  app/self_delete_batch.cpp
  app/desktop_icon_geometry.cpp
  app/dump_path.cpp
)
list(APPEND CORE_NATIVE
  app/code_page_iconv.cpp
)
list(APPEND CORE_WIN
  app/code_page_win.cpp
  app/ctrl_block_win.cpp
  app/ctrl_section.S
  app/settings_store_win.cpp
  app/ini_win.cpp
  app/account_cipher_win.cpp
  app/device_identity_win.cpp
  app/beacon_sender_win.cpp
  app/statistics_win.cpp
  app/message_box_win.cpp
  app/startup_hooks_win.cpp
  app/wow64_win.cpp
  app/autostart_win.cpp
  app/crash_dump_win.cpp
)
list(APPEND APP_WIN
  app/corvane_app_win.cpp
)

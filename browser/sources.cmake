list(APPEND CORE_PORTABLE
  browser/frame_urls.cpp
  browser/login_text.cpp
  browser/page_label.cpp
  browser/tab_strip.cpp
  browser/flash_rules.cpp
)
list(APPEND CORE_WIN
  browser/dhtm_dlg_ex_win.cpp
  browser/my_browser_site_win.cpp
  browser/corvane3_dlg_win.cpp
  browser/desktop_tools_win.cpp
  browser/game_wnd_win.cpp
  browser/shockwave_flash_win.cpp
  browser/ole_container_wnd_win.cpp
  browser/flash_wnd_win.cpp
  browser/flash_bk_win.cpp
)

list(APPEND CORE_WIN
  fw/win_app_win.cpp
  fw/wnd_win.cpp
  fw/dialog_win.cpp
  fw/button_win.cpp
  fw/static_win.cpp
  fw/progress_win.cpp
  fw/tooltip_win.cpp
  fw/image_list_win.cpp
  fw/paint_canvas_win.cpp
  fw/system_library_win.cpp
  fw/dib_section_win.cpp
)
list(APPEND APP_WIN
  fw/app_main_win.cpp
)
list(APPEND CORE_WIN
  fw/com_util_win.cpp
  fw/browser_site_win.cpp
  fw/dhtml_dialog_win.cpp
)

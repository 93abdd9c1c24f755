list(APPEND CORE_WIN
  fw/win_app_win.cpp
)
list(APPEND APP_WIN
  fw/app_main_win.cpp
)

list(APPEND CORE_PORTABLE
  login/bridge_command.cpp
  login/bridge_origin.cpp
  login/bridge_settings.cpp
  login/load_game.cpp
  login/setpauth.cpp
  login/login_urls.cpp
  login/partner_login.cpp
  login/drag_exclusion.cpp
  login/login_steps.cpp
)
list(APPEND CORE_WIN
  login/login_dlg_win.cpp
  login/login_bk_dlg_win.cpp
  login/qq_login_win.cpp
  login/user_account_control_win.cpp
)

list(APPEND CORE_PORTABLE
  login/bridge_command.cpp
  login/bridge_origin.cpp
  login/bridge_settings.cpp
  login/load_game.cpp
  login/setpauth.cpp
  login/login_urls.cpp
  login/partner_login.cpp
  login/drag_exclusion.cpp
)

list(APPEND NATIVE_TESTS
  tests/native/bridge_command_test.cpp
  tests/native/load_game_test.cpp
  tests/native/login_urls_test.cpp
  tests/native/partner_login_test.cpp
)

list(APPEND NATIVE_TESTS
  tests/native/ctrl_block_test.cpp
)
list(APPEND NATIVE_TESTS
  tests/native/settings_store_test.cpp
  tests/native/day_rules_test.cpp
  tests/native/beacon_urls_test.cpp
  tests/native/device_identity_test.cpp
  tests/native/start_mode_test.cpp
  tests/native/ini_rules_test.cpp
  tests/native/after_face_work_test.cpp
)
list(APPEND NATIVE_TESTS
  tests/native/install_rules_test.cpp
)

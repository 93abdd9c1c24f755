list(APPEND NATIVE_TESTS
  tests/native/ctrl_block_test.cpp
  tests/native/pe_image_test.cpp
  tests/native/ecdsa_der_test.cpp
  tests/native/update_apply_test.cpp
  tests/native/update_query_test.cpp
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
  tests/native/update_info_test.cpp
  tests/native/update_accept_test.cpp
)

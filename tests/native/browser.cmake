list(APPEND NATIVE_TESTS
  tests/native/login_text_test.cpp
  tests/native/frame_rules_test.cpp
  tests/native/frame_urls_test.cpp
  tests/native/flash_rules_test.cpp
)

list(APPEND NATIVE_TESTS
  tests/native/frame_rules_test.cpp
  tests/native/frame_urls_test.cpp
)

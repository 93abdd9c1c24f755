list(APPEND NATIVE_TESTS
  tests/native/login_text_test.cpp
)

list(APPEND NATIVE_TESTS
  tests/native/utf8_test.cpp
)

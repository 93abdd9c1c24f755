list(APPEND NATIVE_TESTS
  tests/native/utf8_test.cpp
  tests/native/base64_test.cpp
)

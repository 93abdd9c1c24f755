list(APPEND NATIVE_TESTS
  tests/native/utf8_test.cpp
  tests/native/ctrl_block_test.cpp
)

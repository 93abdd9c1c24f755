list(APPEND NATIVE_TESTS
  tests/native/file_tree_test.cpp
)

list(APPEND NATIVE_TESTS
  tests/native/file_tree_test.cpp
  tests/native/shortcut_names_test.cpp
)

list(APPEND NATIVE_TESTS
  tests/native/file_tree_test.cpp
  tests/native/hotkey_test.cpp
  tests/native/x64_code_test.cpp
  tests/native/shortcut_names_test.cpp
)

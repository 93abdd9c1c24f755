list(APPEND NATIVE_TESTS
  tests/native/test_files.cpp
  tests/native/block_edit_test.cpp
  tests/native/ctrlblock_cli_test.cpp
  tests/native/updatesign_test.cpp
)

list(APPEND NATIVE_TESTS
  tests/native/skin_geometry_test.cpp
  tests/native/icon_file_test.cpp
)

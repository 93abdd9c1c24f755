list(APPEND NATIVE_TESTS
  tests/native/shot_geometry_test.cpp
  tests/native/shot_files_test.cpp
)

list(APPEND NATIVE_TESTS
  tests/native/msgbox_layout_test.cpp
  tests/native/line_walk_test.cpp
  tests/native/progress_fill_test.cpp
  tests/native/skin_geometry_test.cpp
  tests/native/icon_file_test.cpp
  tests/native/png_fast_decode_test.cpp
)

corvane_win_test(win_ui_test
  SOURCES tests/win/fw_win_test.cpp tests/win/skin_images_win_test.cpp tests/win/skinned_win_test.cpp)
target_link_libraries(win_ui_test PRIVATE corvane_res)

corvane_win_test(win_file_tree_test SOURCES tests/win/file_tree_win_test.cpp)
corvane_win_test(win_hotkey_test
  SOURCES tests/win/hotkey_hook_win_test.cpp tests/win/setting_dlg_win_test.cpp
  RELABEL ShortName=WinTestHotkeys TitleName=热键测试客户端)
target_link_libraries(win_hotkey_test PRIVATE corvane_res)
corvane_win_test(win_sound_mute_test SOURCES tests/win/sound_mute_win_test.cpp)

corvane_win_test(win_shortcuts_test
  SOURCES tests/win/shortcuts_win_test.cpp
  RELABEL PortalHost=portal.example.com:8080)

corvane_win_test(win_cache_clean_test SOURCES tests/win/cache_clean_win_test.cpp)

corvane_win_test(win_favourites_test SOURCES tests/win/favourites_win_test.cpp)
target_link_libraries(win_favourites_test PRIVATE corvane_res)

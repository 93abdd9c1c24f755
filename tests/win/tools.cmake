corvane_win_test(win_file_tree_test SOURCES tests/win/file_tree_win_test.cpp)
corvane_win_test(win_hotkey_test
  SOURCES tests/win/hotkey_hook_win_test.cpp tests/win/setting_dlg_win_test.cpp
  RELABEL ShortName=WinTestHotkeys TitleName=热键测试客户端)
target_link_libraries(win_hotkey_test PRIVATE corvane_res)
corvane_win_test(win_sound_mute_test SOURCES tests/win/sound_mute_win_test.cpp)
# A planted library and a program that redirects the sound functions beside
# it: the sound mute must load the system's library, never the planted one.
add_library(plant_dll SHARED tests/win/plant_probe_win.cpp)
target_compile_definitions(plant_dll PRIVATE PLANT_DLL)
set_target_properties(plant_dll PROPERTIES PREFIX "")
add_executable(plant_child tests/win/plant_probe_win.cpp)
target_compile_definitions(plant_child PRIVATE PLANT_CHILD)
target_link_libraries(plant_child PRIVATE corvane_core psapi)
target_link_options(plant_child PRIVATE -municode)
add_dependencies(win_sound_mute_test plant_dll plant_child)

corvane_win_test(win_shortcuts_test
  SOURCES tests/win/shortcuts_win_test.cpp
  RELABEL PortalHost=portal.example.com:8080)

corvane_win_test(win_cache_clean_test SOURCES tests/win/cache_clean_win_test.cpp)

corvane_win_test(win_favourites_test SOURCES tests/win/favourites_win_test.cpp)
target_link_libraries(win_favourites_test PRIVATE corvane_res)

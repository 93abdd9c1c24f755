string(REPEAT "v" 255 full_slot)
corvane_win_test(win_ctrl_block_test
  SOURCES tests/win/ctrl_block_win_test.cpp
  RELABEL DisplayName=梦幻大陆 TitleName=梦幻大陆 ClientVersion=${full_slot} BuildFlags=0x14E
          GameCode=doln ExitPageUrl=)
target_link_libraries(win_ctrl_block_test PRIVATE imagehlp)

corvane_win_test(win_settings_test
  SOURCES tests/win/settings_win_test.cpp
  RELABEL ShortName=WinTestDoln Cid=3000)

corvane_win_test(win_beacon_sender_test
  SOURCES tests/win/beacon_sender_win_test.cpp tests/win/loopback_server_win.cpp tests/native/request_text.cpp)

corvane_win_test(win_autostart_test SOURCES tests/win/autostart_win_test.cpp)

# The crash test starts a program that crashes on purpose and looks for its
# dump beside it.
add_executable(crash_child tests/win/crash_child_win.cpp)
target_link_libraries(crash_child PRIVATE corvane_core)
target_link_options(crash_child PRIVATE -municode)
corvane_win_test(win_crash_dump_test SOURCES tests/win/crash_dump_win_test.cpp)
add_dependencies(win_crash_dump_test crash_child)

# The install tests' stand-ins: the client being installed (with the
# client's icon group and a stand-in logo movie) and a desktop list view in a process of its own.
add_executable(install_payload WIN32 tests/win/install_helpers_win.cpp tests/win/flash_movie_win.rc)
target_compile_definitions(install_payload PRIVATE INSTALL_PAYLOAD)
target_link_libraries(install_payload PRIVATE corvane_res)
target_link_options(install_payload PRIVATE -municode)
add_executable(desktop_child WIN32 tests/win/install_helpers_win.cpp)
target_compile_definitions(desktop_child PRIVATE DESKTOP_CHILD)
target_link_libraries(desktop_child PRIVATE comctl32)
target_link_options(desktop_child PRIVATE -municode)
corvane_win_test(win_install_test
  SOURCES tests/win/install_win_test.cpp tests/win/loopback_server_win.cpp tests/native/request_text.cpp
  RELABEL ShortName=WinTestInst DisplayName=测试大陆 TitleName=测试大陆 LaunchSwitch=/Test2D GameCode=doln Aid=2
          BuildFlags=0x808)
add_dependencies(win_install_test install_payload desktop_child)
corvane_win_test(win_update_signature_test SOURCES tests/win/update_signature_win_test.cpp)

corvane_win_test(win_elevation_test SOURCES tests/win/elevation_win_test.cpp)
corvane_win_test(win_fresh_program_start_test SOURCES tests/win/fresh_program_start_win_test.cpp)
corvane_win_test(win_access_rights_test SOURCES tests/win/access_rights_win_test.cpp)

corvane_win_test(win_gui_object_count_test SOURCES tests/win/gui_object_count_win_test.cpp)

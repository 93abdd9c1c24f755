corvane_win_test(win_sock_down_file_test
  SOURCES tests/win/sock_down_file_win_test.cpp tests/win/loopback_server_win.cpp tests/native/request_text.cpp)
corvane_win_test(win_update_test
  SOURCES tests/win/update_win_test.cpp tests/win/loopback_server_win.cpp tests/native/request_text.cpp
  RELABEL UpdateDomains=127.0.0.1 ExpectedTag=)
corvane_win_test(win_update_check_test
  SOURCES tests/win/update_check_win_test.cpp
  RELABEL ClientVersion=3.0.0.1 ExpectedTag=0123456789ABCDEF0123456789AB3001)
corvane_win_test(win_http_get_test
  SOURCES tests/win/http_get_win_test.cpp tests/win/loopback_server_win.cpp tests/native/request_text.cpp)
corvane_win_test(win_update_dialog_test
  SOURCES tests/win/update_dialog_win_test.cpp tests/win/loopback_server_win.cpp tests/native/request_text.cpp)
target_link_libraries(win_update_dialog_test PRIVATE corvane_res)

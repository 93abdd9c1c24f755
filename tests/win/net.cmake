corvane_win_test(win_sock_down_file_test
  SOURCES tests/win/sock_down_file_win_test.cpp tests/win/loopback_server_win.cpp)

corvane_win_test(win_http_get_test
  SOURCES tests/win/http_get_win_test.cpp tests/win/loopback_server_win.cpp)

corvane_win_test(win_file_tree_test SOURCES tests/win/file_tree_win_test.cpp)

corvane_win_test(win_shortcuts_test
  SOURCES tests/win/shortcuts_win_test.cpp
  RELABEL PortalHost=portal.example.com:8080)

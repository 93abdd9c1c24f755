corvane_win_test(win_file_tree_test SOURCES tests/win/file_tree_win_test.cpp)

corvane_win_test(win_ui_paint_test SOURCES tests/win/ui_paint_win_test.cpp)

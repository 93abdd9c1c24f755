# End-to-end tests: the built and labelled client itself under Wine, which
# lies beside each test program.

# "/Logo" starts: the logo window, then the main frame or a quick end.
corvane_win_test(win_logo_e2e_test
  SOURCES tests/e2e/logo_e2e_win_test.cpp tests/win/loopback_server_win.cpp tests/native/request_text.cpp
          relabel/pe_image.cpp relabel/block_edit.cpp)
add_dependencies(win_logo_e2e_test corvane_labelled)

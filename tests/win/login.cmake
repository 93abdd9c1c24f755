# The hosted browser and the login windows, with the real WebBrowser control.
corvane_win_test(win_login_test
  SOURCES tests/win/browser_page_win_test.cpp tests/win/login_win_test.cpp
  RELABEL "LoginPageUrl=http://127.0.0.1:7298/doln/reg.html?a=1&" PortalHost=127.0.0.1:7298
          PartnerHost=127.0.0.1:7298 QqOAuthHost=127.0.0.1:7298 ShortName=WinLoginTest)
target_link_libraries(win_login_test PRIVATE corvane_res wininet)

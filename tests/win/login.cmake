# The hosted browser and the login windows, with the real WebBrowser control.
corvane_win_test(win_login_test
  SOURCES tests/win/browser_page_win_test.cpp tests/win/login_win_test.cpp
  RELABEL "LoginPageUrl=http://127.0.0.1:7298/doln/reg.html?a=1&" PortalHost=127.0.0.1:7298
          PartnerHost=127.0.0.1:7298 QqOAuthHost=127.0.0.1:7298 ShortName=WinLoginTest)
target_link_libraries(win_login_test PRIVATE corvane_res wininet)

# `make screens` adds build/screens/login.png: the login face.
add_executable(login_screen ${CMAKE_SOURCE_DIR}/tests/screens/login_screen_win.cpp
  ${CMAKE_SOURCE_DIR}/tests/screens/screen_util_win.cpp)
target_link_libraries(login_screen PRIVATE corvane_core corvane_res)
target_link_options(login_screen PRIVATE -municode)
add_custom_command(TARGET screens POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E env CORVANE_WINE_DIR=${WINE_STATE_DIR}
          ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:login_screen> Z:${SCREENS_DIR}/login.png
  VERBATIM)
add_dependencies(screens login_screen)

# The main frame and its game pages, driven by messages against a loopback
# server on the port its control block names.
corvane_win_test(win_frame_test
  SOURCES tests/win/frame_win_test.cpp tests/win/loopback_server_win.cpp tests/native/request_text.cpp
  RELABEL "LoginPageUrl=http://127.0.0.1:7296/doln/reg.html?a=1&" PortalHost=127.0.0.1:7296
          ClientStatHost=127.0.0.1:7296 EventStatHost=127.0.0.1:7296 OnlineStatHost=127.0.0.1:7296
          PayHost=127.0.0.1:7296 GameHallHost=127.0.0.1:7296 ShortName=WinFrameTest StatTag=FrameT ClientVersion=9.9
          UpdateKey=MAE=
          TitleName=FrameTestTitle
          # Encoded, a referer this long makes the frame's event beacons
          # longer than the 511 characters the other beacons may have.
          "RefererUrl=http://127.0.0.1:7296/doln/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/r/")
target_link_libraries(win_frame_test PRIVATE corvane_res wininet ws2_32)
target_link_libraries(win_frame_test PRIVATE shell32)

# The Flash host and the logo window, over the install tests' stand-in
# desktop (desktop_child, tests/win/app.cmake), whose item this build names.
corvane_win_test(win_flash_host_test
  SOURCES tests/win/flash_host_win_test.cpp tests/win/flash_movie_win.rc
  RELABEL "DisplayName=Doln Game 梦幻" ShortName=WinFlashTest)
target_link_libraries(win_flash_host_test PRIVATE corvane_res comctl32)
add_dependencies(win_flash_host_test desktop_child)
